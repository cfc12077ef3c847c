// One row of the Vantora table PRODUTODETALHE: the product's PIS and COFINS settings,
// written with one INSERT whose values are embedded in the statement text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/conversao.h"

namespace conversor::convert {

// A successful Inserir resets the fields, except the entry rates of PIS and COFINS,
// which carry over to the following rows until they are set again. Columns without a
// setter are always written with their defaults.
class TConverteProdutoDetalhe : public TConversao {
public:
    // Also sets the program's short date format to "dd/mm/yyyy" for good.
    TConverteProdutoDetalhe(db::Conexao& database, Mensagens& mensagens);

    void SetCODPROD(std::string_view valor) { CODPROD_ = valor; }
    void SetALIQPIS(double valor) { ALIQPIS_ = valor; }
    void SetPIS_CST(std::string_view valor) { PIS_CST_ = valor; }
    void SetPISENT_CST(std::string_view valor) { PISENT_CST_ = valor; }
    void SetALIQCOFINS(double valor) { ALIQCOFINS_ = valor; }
    void SetCOFINS_CST(std::string_view valor) { COFINS_CST_ = valor; }
    void SetCOFINSENT_CST(std::string_view valor) { COFINSENT_CST_ = valor; }
    void SetALIQPISENT(double valor) { ALIQPISENT_ = valor; }
    void SetALIQCOFINSENT(double valor) { ALIQCOFINSENT_ = valor; }

    void Limpa();

    // The INSERT of the current fields, as Inserir executes it.
    std::string TextoInsert() const;
    void MontaInsert(MontagemSql& sql) const;

    // Writes the row in the connection's transaction, then resets the fields. A
    // database error is raised and leaves the fields as they were.
    bool Inserir();

    // Deletes every product detail and commits.
    void ExcluiRegistros();

private:
    std::string CODPROD_;
    std::string CONTROLERECEITUARIO_;
    std::string CODIGOATIVIDADE_;
    std::string CODIGOLISTASERVICO_;
    std::string ESPELHOMERCSERV_;
    std::string IMPORTADOPORTOSEGURO_;
    std::int32_t CODPROMOCAO_ = 0;
    double ALIQPIS_ = 0;
    std::string PIS_CST_;
    std::string PISENT_CST_;
    std::int32_t PIS_ST_ = 0;
    double ALIQCOFINS_ = 0;
    std::string COFINS_CST_;
    std::string COFINSENT_CST_;
    std::int32_t COFINS_ST_ = 0;
    std::string CODCSOSN_;
    double PRECOMAXVENDA_ = 0;
    std::int32_t PONTOBONUS_ = 0;
    double ALIQPISENT_ = 0;
    double ALIQCOFINSENT_ = 0;
};

}  // namespace conversor::convert
