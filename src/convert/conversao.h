// The base of every converter: its two query objects on the Vantora connection and
// the way its rows' statements reach the database.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>

#include "convert/ensaio.h"
#include "convert/limpeza.h"
#include "convert/mensagens.h"
#include "convert/montagem_sql.h"
#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::convert {

// A converter holds one target row as text and writes it. It owns its statement query
// (its own insert or update) and its second query (purges, the unit ensure); both
// live as long as the converter and run in the connection's transaction. The
// connection and the message display are not owned and must outlive it.
class TConversao {
public:
    TConversao(db::Conexao& database, Mensagens& mensagens, bool comandosPreparados = true);
    virtual ~TConversao() = default;
    TConversao(const TConversao&) = delete;
    TConversao& operator=(const TConversao&) = delete;

    // Two-letter unit code (the first two characters, a-z upper-cased); the unit is
    // created in UNIDADES when missing. A failure is shown as a warning and the code
    // is still returned.
    std::string ConverteUnidade(std::string_view unidade);
    // Within a conversion run: the units found or created are remembered, as the
    // database compares them, and not asked for again (off by default).
    void LembraUnidades(bool lembra) { lembraUnidades_ = lembra; }
    // Forgets the units met so far (the rows that created them were undone).
    void EsqueceUnidades() { unidades_.clear(); }
    // In a rehearsal: each unit about to be created becomes a warning of the row.
    void DefineEnsaio(Ensaio& ensaio) { ensaio_ = &ensaio; }

    // Empties the table and commits; a failure is shown as an error message and the
    // run goes on.
    void ExcluiTabela(std::string_view tabela);

    // The opening stock movement of a product in MVGERAL, dated today.
    void GravaMovimento(db::Conexao& database, std::string_view codProd, double quantidade,
                        double precoCusto, double precoMedio);

    // How the statements built with the values in their text reach the database:
    // prepared once per distinct text and run with the values bound (the default),
    // or each row as its own text. Both store the same rows; the text is the
    // reference the prepared way is checked against.
    bool ComandosPreparados() const { return comandosPreparados_; }

protected:
    db::Consulta& Query() { return query_; }        // the statement query
    db::Consulta& QueryAux() { return queryAux_; }  // the second query
    db::Conexao& Database() { return database_; }
    Mensagens& Msg() { return mensagens_; }

    // Runs the DELETE `exclusao` and then the commit statement `confirmacao` on the
    // second query; database errors are raised.
    void ExcluiEConfirma(const char* exclusao, const char* confirmacao);

    // Builds the row's statement with `monta` and runs it in the connection's
    // transaction: prepared and bound (see ComandosPreparados) or as text on the
    // statement query. Database errors are raised.
    void ExecutaLinha(const std::function<void(MontagemSql&)>& monta);

private:
    db::Conexao& database_;
    Mensagens& mensagens_;
    db::Consulta query_;
    db::Consulta queryAux_;
    std::unique_ptr<PreparadosPorTexto> preparados_;
    MontagemSql montagem_{true};  // the rows' statements, built in the same memory
    bool comandosPreparados_;
    bool lembraUnidades_ = false;
    std::unordered_set<std::string> unidades_;
    Ensaio* ensaio_ = &Ensaio::Nenhum();
};

}  // namespace conversor::convert
