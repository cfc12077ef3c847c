// The base of every converter: its two query objects on the Vantora connection and
// the text normalisation the setters and the sheet mappings share.
#pragma once

#include <string>
#include <string_view>

#include "convert/mensagens.h"
#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::convert {

// A converter holds one target row as text and writes it. It owns its statement query
// (its own insert or update) and its second query (purges, the unit ensure); both
// live as long as the converter and run in the connection's transaction. The
// connection and the message display are not owned and must outlive it.
class TConversao {
public:
    TConversao(db::Conexao& database, Mensagens& mensagens);
    virtual ~TConversao() = default;
    TConversao(const TConversao&) = delete;
    TConversao& operator=(const TConversao&) = delete;

    // Two-letter unit code (the first two characters, a-z upper-cased); the unit is
    // created in UNIDADES when missing. A failure is shown as a warning and the code
    // is still returned.
    std::string ConverteUnidade(std::string_view unidade);

    // Empties the table and commits; a failure is shown as an error message and the
    // run goes on.
    void ExcluiTabela(std::string_view tabela);

    // The opening stock movement of a product in MVGERAL, dated today.
    void GravaMovimento(db::Conexao& database, std::string_view codProd, double quantidade,
                        double precoCusto, double precoMedio);

    static std::string CompletaZeros(std::string_view texto, int largura);
    static std::string TrataInscricao(std::string_view texto);
    // Normalises the date text and also leaves the result in the argument.
    static std::string FormataData(std::string& data);
    static std::string RetiraPontuacao(std::string_view texto);
    static std::string SomenteNumeros(std::string_view texto);

protected:
    db::Consulta& Query() { return query_; }         // the statement query
    db::Consulta& QueryAux() { return queryAux_; }   // the second query
    db::Conexao& Database() { return database_; }
    Mensagens& Msg() { return mensagens_; }

private:
    db::Conexao& database_;
    Mensagens& mensagens_;
    db::Consulta query_;
    db::Consulta queryAux_;
};

}  // namespace conversor::convert
