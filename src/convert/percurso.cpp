#include "convert/percurso.h"

#include <algorithm>
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
        db::RelancaSeGrave();
        contexto.ensaio.Falha(FalhaDoRegistro(contexto.cdsTabelaTemp.LinhaDaPlanilha(), e));
        pontos.volta.Executa();
        return false;
    }
    pontos.libera.Executa();
    return true;
}

}  // namespace

void PercorreTabelaTemp(ContextoConversao& contexto, const DescricaoTipo& tipo,
                        const std::function<void(int registro)>& converteRegistro,
                        const std::function<void()>& esqueceMemorias,
                        const std::vector<std::function<void()>>& exclusoes) {
    intake::TTabelaTemp& tabela = contexto.cdsTabelaTemp;
    intake::Progresso& progresso = contexto.progresso;
    Ensaio& ensaio = contexto.ensaio;
    progresso.Legenda(ensaio.Ativo() ? kLegendaEnsaio : tipo.fase);
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
    const LeiauteTipo& leiaute = tipo.Leiaute();
    const int ultimaColuna = leiaute.UltimaColuna();
    if (total > 0 && tabela.Colunas() < ultimaColuna) {
        using intake::TDMCotrolaExcel;
        throw intake::ErroTabelaTemp(
            std::string("A planilha de ") + tipo.nome + " deve ir até a coluna " +
            TDMCotrolaExcel::LetraColuna(ultimaColuna) + " (" + std::to_string(ultimaColuna) +
            "); a planilha escolhida vai só até a coluna " +
            TDMCotrolaExcel::LetraColuna(tabela.Colunas()) + " (" +
            std::to_string(tabela.Colunas()) + ").");
    }
    const std::string deTotal = " de " + std::to_string(total);
    std::optional<PontosDoEnsaio> pontos;
    if (ensaio.Ativo()) pontos.emplace(contexto.dbVantora);
    for (int registro = 1; !tabela.Eof(); ++registro) {
        progresso.Status("Processando Registro " + std::to_string(registro) + deTotal);
        progresso.ProcessaMensagens();
        if (RegistroEmBranco(tabela, leiaute)) {
            tabela.Next();
            progresso.Avanca();
            continue;
        }
        if (ensaio.Ativo()) {
            ensaio.linhaAtual = tabela.LinhaDaPlanilha();
            if (!EnsaiaRegistro(contexto, *pontos, registro, converteRegistro)) {
                const bool lembra = contexto.ferramentas.LembraCodigos();
                contexto.ferramentas.LembraCodigos(false);
                contexto.ferramentas.LembraCodigos(lembra);
                if (esqueceMemorias) esqueceMemorias();
            }
            ensaio.linhaAtual = 0;
            // The list holds no more failures than that, and a sheet failing on every
            // row of a million would keep the person waiting for minutes to learn it.
            if (ensaio.totalFalhas >= Ensaio::kMaxPorGenero) {
                Problema parada;
                parada.linha = tabela.LinhaDaPlanilha();
                parada.motivo = "A conferência parou nesta linha, depois de " +
                                std::to_string(ensaio.totalFalhas) +
                                " falhas: as linhas seguintes não foram conferidas.";
                ensaio.Aviso(std::move(parada));
                break;
            }
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

bool EmBranco(std::string_view texto) {
    return std::all_of(texto.begin(), texto.end(),
                       [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

bool RegistroEmBranco(const intake::TTabelaTemp& tabela, const LeiauteTipo& leiaute) {
    const int colunas = tabela.Colunas();
    for (const ColunaLida& c : leiaute.colunas)
        if (c.coluna <= colunas && !EmBranco(tabela.TextoVista(c.coluna))) return false;
    return true;
}

std::vector<FaixaLinhas> FaixasEmBranco(intake::TTabelaTemp& tabela, const LeiauteTipo& leiaute) {
    std::vector<FaixaLinhas> faixas;
    for (tabela.First(); !tabela.Eof(); tabela.Next()) {
        if (!RegistroEmBranco(tabela, leiaute)) continue;
        const long long linha = tabela.LinhaDaPlanilha();
        if (!faixas.empty() && faixas.back().ultima + 1 == linha)
            faixas.back().ultima = linha;
        else
            faixas.push_back({linha, linha});
    }
    tabela.First();
    return faixas;
}

long long ContaLinhas(const std::vector<FaixaLinhas>& faixas) {
    long long linhas = 0;
    for (const FaixaLinhas& f : faixas) linhas += f.ultima - f.primeira + 1;
    return linhas;
}

std::string DescreveFaixas(const std::vector<FaixaLinhas>& faixas, size_t maximo) {
    std::string texto;
    for (size_t i = 0; i < faixas.size() && i < maximo; ++i) {
        if (i > 0) texto += ", ";
        texto += std::to_string(faixas[i].primeira);
        if (faixas[i].ultima > faixas[i].primeira)
            texto += " a " + std::to_string(faixas[i].ultima);
    }
    if (faixas.size() > maximo)
        texto += " e mais " + std::to_string(faixas.size() - maximo) + " faixa(s)";
    return texto;
}

}  // namespace conversor::convert
