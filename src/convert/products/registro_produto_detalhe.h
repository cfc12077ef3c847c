// One row of the Vantora table PRODUTODETALHE: the product's PIS and COFINS settings,
// written with one INSERT whose values are embedded in the statement text, from its
// column table.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/registro_base.h"

namespace conversor::convert {

// The row's values, named after the PRODUTODETALHE columns.
struct TCamposProdutoDetalhe {
    std::string CODPROD;
    std::string CONTROLERECEITUARIO;
    std::string CODIGOATIVIDADE;
    std::string CODIGOLISTASERVICO;
    std::string ESPELHOMERCSERV;
    std::string IMPORTADOPORTOSEGURO;
    std::int32_t CODPROMOCAO = 0;
    double ALIQPIS = 0;
    std::string PIS_CST;
    std::string PISENT_CST;
    std::int32_t PIS_ST = 0;
    double ALIQCOFINS = 0;
    std::string COFINS_CST;
    std::string COFINSENT_CST;
    std::int32_t COFINS_ST = 0;
    std::string CODCSOSN;
    double PRECOMAXVENDA = 0;
    std::int32_t PONTOBONUS = 0;
    double ALIQPISENT = 0;
    double ALIQCOFINSENT = 0;

    bool operator==(const TCamposProdutoDetalhe&) const = default;
};

// A successful Inserir resets the fields, except the entry rates of PIS and COFINS,
// which carry over to the following rows until they are set again. Columns without a
// setter are always written with their defaults.
class TConverteProdutoDetalhe : public TRegistro<TCamposProdutoDetalhe, TConverteProdutoDetalhe> {
public:
    // Also sets the program's short date format to "dd/mm/yyyy" for good.
    TConverteProdutoDetalhe(db::Conexao& database, Mensagens& mensagens,
                            bool comandosPreparados = true);

    void SetCODPROD(std::string_view valor) { campos_.CODPROD = valor; }
    void SetALIQPIS(double valor) { campos_.ALIQPIS = valor; }
    void SetPIS_CST(std::string_view valor) { campos_.PIS_CST = valor; }
    void SetPISENT_CST(std::string_view valor) { campos_.PISENT_CST = valor; }
    void SetALIQCOFINS(double valor) { campos_.ALIQCOFINS = valor; }
    void SetCOFINS_CST(std::string_view valor) { campos_.COFINS_CST = valor; }
    void SetCOFINSENT_CST(std::string_view valor) { campos_.COFINSENT_CST = valor; }
    void SetALIQPISENT(double valor) { campos_.ALIQPISENT = valor; }
    void SetALIQCOFINSENT(double valor) { campos_.ALIQCOFINSENT = valor; }

    // The INSERT of the current fields, as Inserir executes it.
    using TRegistro::MontaInsert;
    using TRegistro::TextoInsert;

    // Writes the row in the connection's transaction, then resets the fields. A
    // database error is raised and leaves the fields as they were.
    using TRegistro::Inserir;

    // Deletes every product detail and commits.
    void ExcluiRegistros();
};

}  // namespace conversor::convert
