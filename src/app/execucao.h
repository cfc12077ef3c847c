// The conversion run: the inputs checked, the chosen sheet copied into the staging
// table, and the chosen record kind's sheet mapping run inside the connection's
// transaction, committed at the end or rolled back on the first error. The window,
// the command line and the tests drive this same object with plain values; what the
// run did comes back as plain values too.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "convert/ensaio.h"
#include "convert/mapa_colunas.h"
#include "convert/mensagens.h"
#include "convert/percurso.h"
#include "convert/tipos.h"
#include "db/conexao.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {
class TabelaDDD;
class TFerramentas;
}  // namespace conversor::convert

namespace conversor::app {

using convert::TipoRegistro;

// A conversion as the user asked for it (in the window or on the command line).
struct PedidoConversao {
    // The workbook the driver has open; empty when none was chosen.
    std::string arquivo;
    // The sheet to convert, counted from 1; 0 when none was chosen.
    int aba = 0;
    // The row of the last record to convert; none when the user left it out.
    std::optional<long long> ultimaLinha;
    // Up to the sheet's own last row instead of `ultimaLinha`.
    bool ateUltimaLinhaDaAba = false;
    TipoRegistro tipo = TipoRegistro::Produtos;
    // Rehearse the run before it writes anything, and write only when the rehearsal
    // found no row that would stop it.
    bool ensaiar = true;
    // The sheet row of the first record: the rows above it (titles, headings) are not
    // converted, and every message still names the sheet's own rows.
    long long primeiraLinha = 1;
    // Where each layout column comes from, for a sheet not in the layout; none: sheet
    // column k is layout column k. Its headings are looked for in the last non-empty
    // row above `primeiraLinha`.
    std::optional<convert::MapaColunas> mapa = std::nullopt;
};

// The inputs of a request, named for the user: the one to correct after a refusal.
enum class CampoPedido { Nenhum, UltimaLinha, Arquivo, Aba };

enum class DesfechoConversao {
    Recusada,     // an input was missing; the user was warned
    ErroLeitura,  // selecting or loading the sheet failed; nothing was written
    Concluida,    // "Conversão concluída com sucesso!"
    Falhou,       // the mapping failed and the transaction was rolled back
    Reprovada,    // the rehearsal found rows that would stop the run; nothing was changed
    Conferida,    // the rehearsal alone was asked for and found nothing to stop the run
    Ocupado,      // another connection held rows the rehearsal had to change, past the
                  // transaction's wait; nothing was changed, the user was told
};

// The rows of one table.
struct LinhasTabela {
    std::string tabela;
    long long linhas = 0;
};

// What the rehearsal found, and what the run would write.
struct ResultadoEnsaio {
    bool feito = false;
    // The first problems of each kind (see convert::Ensaio::kMaxPorGenero) and how
    // many there were in all.
    std::vector<convert::Problema> falhas;
    std::vector<convert::Problema> avisos;
    long long totalFalhas = 0;
    convert::AvisosPorGenero avisosPorGenero;
    // The rows each table of the kind would hold, and the reference rows that would be
    // created, counted inside the rehearsal's transaction before it was undone.
    std::vector<LinhasTabela> linhasGravadas;
    std::vector<LinhasTabela> referenciasCriadas;
    // The database's reason when another connection held it busy and the rehearsal
    // stopped there; empty otherwise.
    std::string bancoOcupado;
};

// What a run did. The counts are taken only once the run reached the database
// (concluded or failed); a table that could not be counted is left out.
struct ResultadoConversao {
    DesfechoConversao desfecho = DesfechoConversao::Recusada;
    // After a refusal, the input the user must correct.
    CampoPedido campoACorrigir = CampoPedido::Nenhum;
    // The rows each table of the record kind held before the run wrote anything.
    std::vector<LinhasTabela> linhasAntes;
    // The rows each table of the record kind holds once the run is over (all it wrote
    // when it concluded, since the kind empties its tables first), in the kind's order.
    std::vector<LinhasTabela> linhasGravadas;
    // The rows the run added to the reference tables: cities, units, fiscal
    // classifications and manufacturers, in that order.
    std::vector<LinhasTabela> referenciasCriadas;
    // The warnings shown while the run lasted.
    int avisos = 0;
    // The rows left out for being blank in every column the kind reads.
    std::vector<convert::FaixaLinhas> linhasEmBranco;
    ResultadoEnsaio ensaio;
};

// A stop asked while the run works (Ctrl+C, the system ending the program): the
// progress display throws it at the next row, and the run rolls back its current
// transaction.
class ErroInterrupcao : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Owns nothing: the connection, the driver, the staging table and the displays
// belong to the caller (the window or the command line) and outlive the run.
class ExecucaoConversao {
public:
    ExecucaoConversao(db::Conexao& dbVantora, intake::TDMCotrolaExcel& dmExcel,
                      intake::TTabelaTemp& cdsTabelaTemp, intake::Progresso& progresso,
                      convert::Mensagens& mensagens, std::string arquivoCidades = {});

    // Checks the request, loads the chosen sheet into the staging table and converts
    // it into the chosen record kind; what "&Efetuar Conversão" does.
    // Unless the request says otherwise, the run is rehearsed first (the same mapping
    // in one transaction that is rolled back, each failing row noted instead of ending
    // it), and only a rehearsal without failures lets the run itself start.
    // `aposEnsaio` is called once a rehearsal has found nothing to stop the run, before
    // the run writes anything; a std::exception it raises is shown as an error and ends
    // the run with nothing written (DesfechoConversao::Recusada).
    ResultadoConversao Converte(const PedidoConversao& pedido,
                                const std::function<void(const ResultadoEnsaio&)>& aposEnsaio = {});

    // The rehearsal alone: checks and loads as Converte does, then rehearses; the
    // database is left as it was.
    ResultadoConversao Confere(const PedidoConversao& pedido);

    // The transaction bracket around the record kind's sheet mapping of the rows
    // already in the staging table; true on success.
    bool ExecutaConversao(TipoRegistro tipo);

    // The city table the run reads: the one given, or the one beside the program.
    std::string ArquivoCidades() const;

    // Statements prepared once and run with their values bound (the default), or each
    // row sent as its own text; the tests and the benchmark compare the two.
    void ComandosPreparados(bool preparados) { comandosPreparados_ = preparados; }

private:
    // The caller's messages, with the warnings counted.
    class MensagensContadas final : public convert::Mensagens {
    public:
        explicit MensagensContadas(convert::Mensagens& destino) : destino_(destino) {}
        void Aviso(std::string_view texto) override;
        void Erro(std::string_view texto) override;
        void Informacao(std::string_view texto) override;
        int avisos = 0;

    private:
        convert::Mensagens& destino_;
    };

    // The request checked, the sheet chosen and loaded into the staging table; false
    // (with `resultado` saying why) when the run cannot go on.
    bool PreparaPlanilha(const PedidoConversao& pedido, ResultadoConversao& resultado);
    // The rehearsal of the kind's mapping over the staging table (execucao_ensaio.cpp).
    ResultadoEnsaio Ensaia(const PedidoConversao& pedido);
    // The toolkit of one pass over the rows: the city table read before, the codes
    // remembered for the pass, the problems noted in `ensaio`.
    std::unique_ptr<convert::TFerramentas> Ferramentas(convert::Mensagens& mensagens,
                                                       convert::Ensaio& ensaio);
    // Warns about the first input missing and names it; CampoPedido::Nenhum when none is.
    CampoPedido ValidaCampos(const PedidoConversao& pedido);
    // Reads the chosen sheet on another thread while the display's messages keep
    // running here: a large sheet takes seconds to read before its first row can be
    // copied, and the window must not freeze meanwhile; the gauge follows the rows read.
    // A stop asked meanwhile waits for the reading to end.
    void LePlanilhaAtendendo();
    void CarregaTabelaTemp(long long ultimaLinha, const intake::RecorteCarga& recorte = {});
    // The request's map set against the current sheet; nullopt without a map. Raises
    // convert::ErroMapa.
    std::optional<convert::MapaResolvido> ResolveMapa(const PedidoConversao& pedido);
    // The rows of each table, each counted on its own; a table whose count fails is
    // left out. `avanca`: a step of the gauge per table.
    std::vector<LinhasTabela> ContaLinhas(const std::vector<const char*>& tabelas,
                                          bool avanca = false);
    // The rows each reference table gained since `antes` was counted.
    std::vector<LinhasTabela> ReferenciasCriadas(const std::vector<LinhasTabela>& antes,
                                                 bool avanca = false);
    // After a failed run: says which tables lost rows the purge had committed.
    void AvisaLinhasPerdidas(const std::vector<LinhasTabela>& antes,
                             const std::vector<LinhasTabela>& agora);
    // Empties the caption, the status text and the gauge after a failure.
    void LimpaProgresso();

    db::Conexao& dbVantora_;
    intake::TDMCotrolaExcel& dmExcel_;
    intake::TTabelaTemp& cdsTabelaTemp_;
    intake::Progresso& progresso_;
    MensagensContadas mensagens_;
    std::string arquivoCidades_;
    bool comandosPreparados_ = true;
    // The map of the sheet loaded, for the rehearsal to name both columns.
    std::optional<convert::MapaResolvido> mapa_;
    // The city table, read once per run before the sheet.
    std::shared_ptr<const convert::TabelaDDD> tabelaDDD_;
    // The blank rows of the sheet loaded, which no run writes.
    std::vector<convert::FaixaLinhas> linhasEmBranco_;
};

}  // namespace conversor::app
