#include "convert/percurso.h"

#include <exception>
#include <optional>

#include "base/regional.h"
#include "db/consulta.h"
#include "db/erro.h"
#include "intake/excel.h"

namespace conversor::convert {

namespace {

// The failure of one record, as the rehearsal lists it.
Problema FalhaDoRegistro(long long linha, const std::exception& e) {
    Problema p;
    p.linha = linha;
    p.motivo = e.what();
    // The database's own English text follows a refusal it explains in Portuguese; the
    // list keeps the explanation.
    if (const size_t fim = p.motivo.find('\r');
        fim != std::string::npos && dynamic_cast<const db::ErroBanco*>(&e))
        p.motivo.resize(fim);
    if (const auto* celula = dynamic_cast<const intake::ErroCelula*>(&e)) {
        p.coluna = celula->Coluna();
        p.letra = intake::TDMCotrolaExcel::LetraColuna(celula->Coluna());
        p.texto = celula->Texto();
        p.motivo = celula->Motivo();
    }
    return p;
}

// The statements around each record of a rehearsal, each prepared once for the whole
// walk: a statement's text changing on one query would prepare it anew every time,
// twice a record.
struct PontosDoEnsaio {
    explicit PontosDoEnsaio(db::Conexao& conexao)
        : marca(conexao), libera(conexao), volta(conexao) {
        marca.DefineSql("SAVEPOINT ENSAIO_REGISTRO");
        libera.DefineSql("RELEASE SAVEPOINT ENSAIO_REGISTRO");
        volta.DefineSql("ROLLBACK TO SAVEPOINT ENSAIO_REGISTRO");
    }
    db::Consulta marca, libera, volta;
};

// Runs one record of a rehearsal under a savepoint; false when it failed, and then
// nothing of it is left in the transaction.
bool EnsaiaRegistro(ContextoConversao& contexto, PontosDoEnsaio& pontos, int registro,
                    const std::function<void(int registro)>& converteRegistro) {
    pontos.marca.Executa();
    try {
        converteRegistro(registro);
    } catch (const std::exception& e) {
        // The database as a whole failing is no fault of this row.
        if (const auto* banco = dynamic_cast<const db::ErroBanco*>(&e); banco && banco->Grave())
            throw;
        contexto.ensaio->Falha(FalhaDoRegistro(contexto.cdsTabelaTemp.LinhaDaPlanilha(), e));
        pontos.volta.Executa();
        return false;
    }
    pontos.libera.Executa();
    return true;
}

}  // namespace

void PercorreTabelaTemp(ContextoConversao& contexto, const LayoutPlanilha& layout,
                        const std::function<void(int registro)>& converteRegistro,
                        const std::function<void()>& esqueceMemorias,
                        const std::vector<std::function<void()>>& exclusoes) {
    intake::TTabelaTemp& tabela = contexto.cdsTabelaTemp;
    intake::Progresso& progresso = contexto.progresso;
    Ensaio* const ensaio = contexto.ensaio;
    progresso.Legenda(ensaio ? kLegendaEnsaio : layout.legenda);
    if (!exclusoes.empty()) {
        progresso.Posicao(0);
        progresso.Maximo(static_cast<int>(exclusoes.size()));
        for (size_t i = 0; i < exclusoes.size(); ++i) {
            exclusoes[i]();
            progresso.Posicao(static_cast<int>(i + 1));
        }
    }
    const int total = tabela.RecordCount();
    progresso.Posicao(0);
    progresso.Maximo(total);
    tabela.First();
    // Refused before the first record, so that nothing of a sheet that cannot be
    // converted (a city, a manufacturer) is created and committed on the way.
    if (total > 0 && tabela.Colunas() < layout.ultimaColuna) {
        using intake::TDMCotrolaExcel;
        throw intake::ErroTabelaTemp(
            std::string("A planilha de ") + layout.tipo + " deve ir até a coluna " +
            TDMCotrolaExcel::LetraColuna(layout.ultimaColuna) + " (" +
            std::to_string(layout.ultimaColuna) + "); a planilha escolhida vai só até a coluna " +
            TDMCotrolaExcel::LetraColuna(tabela.Colunas()) + " (" +
            std::to_string(tabela.Colunas()) + ").");
    }
    const std::string deTotal = " de " + std::to_string(total);
    std::optional<PontosDoEnsaio> pontos;
    if (ensaio) pontos.emplace(contexto.dbVantora);
    for (int registro = 1; !tabela.Eof(); ++registro) {
        progresso.Status("Processando Registro " + std::to_string(registro) + deTotal);
        progresso.ProcessaMensagens();
        if (ensaio) {
            ensaio->linhaAtual = tabela.LinhaDaPlanilha();
            if (!EnsaiaRegistro(contexto, *pontos, registro, converteRegistro)) {
                const bool lembra = contexto.ferramentas.LembraCodigos();
                contexto.ferramentas.LembraCodigos(false);
                contexto.ferramentas.LembraCodigos(lembra);
                if (esqueceMemorias) esqueceMemorias();
            }
            ensaio->linhaAtual = 0;
            tabela.Next();
            progresso.Avanca();
            continue;
        }
        try {
            converteRegistro(registro);
        } catch (const db::ErroBanco& e) {
            throw db::ErroBanco(std::string(e.what()) + "\r(linha " +
                                    std::to_string(tabela.LinhaDaPlanilha()) + " da planilha)",
                                e.SqlState(), e.Grave(), e.Ocupado());
        }
        tabela.Next();
        progresso.Avanca();
    }
    progresso.Legenda("");
    progresso.Status("");
    progresso.Posicao(0);
}

bool EmBranco(std::string_view texto) { return Apara(texto).empty(); }

}  // namespace conversor::convert
