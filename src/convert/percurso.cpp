#include "convert/percurso.h"

#include "base/regional.h"
#include "db/erro.h"
#include "intake/excel.h"

namespace conversor::convert {

void PercorreTabelaTemp(ContextoConversao& contexto, const LayoutPlanilha& layout,
                        const std::function<void(int registro)>& converteRegistro) {
    intake::TTabelaTemp& tabela = contexto.cdsTabelaTemp;
    intake::Progresso& progresso = contexto.progresso;
    progresso.Legenda(layout.legenda);
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
    for (int registro = 1; !tabela.Eof(); ++registro) {
        progresso.Status("Processando Registro " + std::to_string(registro) + deTotal);
        progresso.ProcessaMensagens();
        try {
            converteRegistro(registro);
        } catch (const db::ErroBanco& e) {
            throw db::ErroBanco(
                std::string(e.what()) + "\r(linha " + std::to_string(registro) + " da planilha)",
                e.SqlState(), e.Grave());
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
