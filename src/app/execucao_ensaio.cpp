// The rehearsal of a run: the kind's mapping over the staging table in one transaction
// that is rolled back, each failing row noted instead of ending it.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/execucao.h"
#include "base/colunas.h"
#include "convert/conferencia.h"
#include "convert/ferramentas.h"
#include "db/erro.h"

namespace conversor::app {

ResultadoEnsaio ExecucaoConversao::Ensaia(const PedidoConversao& pedido) {
    const convert::DescricaoTipo& tipo = convert::Descricao(pedido.tipo);
    ResultadoEnsaio resultado;
    resultado.feito = true;
    convert::Ensaio ensaio;
    progresso_.Legenda(convert::kLegendaEnsaio);
    convert::ConfereLeiaute(tipo.Leiaute(), cdsTabelaTemp_, ensaio, progresso_);
    // Rows the user left out of the run that still hold data.
    if (!pedido.ateUltimaLinhaDaAba && pedido.ultimaLinha) {
        try {
            const long long ultimaDaAba = dmExcel_.UltimaLinha();
            if (*pedido.ultimaLinha < ultimaDaAba) {
                convert::Problema problema;
                problema.linha = *pedido.ultimaLinha + 1;
                problema.motivo = "A aba tem dados até a linha " + std::to_string(ultimaDaAba) +
                                  ", depois da última linha informada (" +
                                  std::to_string(*pedido.ultimaLinha) +
                                  "): essas linhas não serão convertidas.";
                problema.genero = convert::GeneroAviso::LinhasDeFora;
                ensaio.Aviso(std::move(problema));
            }
        } catch (const std::exception&) {
            // The sheet is loaded already; its extent is only a warning's matter.
        }
    }
    for (const convert::FaixaLinhas& faixa : linhasEmBranco_) {
        convert::Problema problema;
        problema.linha = faixa.primeira;
        problema.motivo = faixa.ultima > faixa.primeira
                              ? "As linhas " + std::to_string(faixa.primeira) + " a " +
                                    std::to_string(faixa.ultima) +
                                    " estão em branco: não serão gravadas."
                              : "A linha está em branco: não será gravada.";
        problema.genero = convert::GeneroAviso::LinhasEmBranco;
        ensaio.Aviso(std::move(problema));
    }
    convert::MensagensDoEnsaio mensagens(ensaio);
    // What the rehearsal took from generators (MVGERAL's numbering, a trigger's) stays
    // taken, as after any transaction rolled back: putting a generator back would hand
    // out again the values other connections took from it meanwhile. The real run then
    // numbers its rows from where the rehearsal left them.
    {
        const db::EnsaioNaConexao modo(dbVantora_);
        // Never confirmed: whatever the rehearsal wrote is undone when it ends.
        const db::GuardaTransacao transacao(dbVantora_);
        try {
            dbVantora_.ExigeConexao();
            const std::vector<LinhasTabela> referenciasAntes =
                ContaLinhas(convert::kTabelasDeReferencia);
            const std::unique_ptr<convert::TFerramentas> ferramentas =
                Ferramentas(mensagens, ensaio);
            convert::ContextoConversao contexto{dbVantora_, cdsTabelaTemp_, progresso_,
                                                mensagens,  *ferramentas,   comandosPreparados_,
                                                ensaio};
            tipo.converte(contexto);
            // Counting a table of 100,000 rows takes a while: a step of the gauge each.
            progresso_.Legenda(convert::kLegendaEnsaio);
            progresso_.Posicao(0);
            progresso_.Maximo(
                static_cast<int>(tipo.tabelas.size() + convert::kTabelasDeReferencia.size()));
            resultado.linhasGravadas = ContaLinhas(tipo.tabelas, true);
            resultado.referenciasCriadas = ReferenciasCriadas(referenciasAntes, true);
        } catch (const std::exception& e) {
            // What stops the run outside its rows (a sheet too narrow, a purge refused,
            // a busy database) ends the rehearsal too.
            if (const auto* banco = dynamic_cast<const db::ErroBanco*>(&e);
                banco && banco->Ocupado())
                resultado.bancoOcupado = e.what();
            convert::Problema problema;
            problema.linha = ensaio.linhaAtual;
            problema.motivo = e.what();
            ensaio.Falha(std::move(problema));
        }
    }
    LimpaProgresso();
    if (mapa_) {
        for (auto* problemas : {&ensaio.falhas, &ensaio.avisos})
            for (convert::Problema& p : *problemas)
                if (p.coluna > 0) {
                    p.origem = mapa_->Descreve(tipo.Leiaute(), p.coluna);
                    const size_t k = static_cast<size_t>(p.coluna - 1);
                    p.letra = k < mapa_->origem.size() && mapa_->origem[k] > 0
                                  ? LetraColuna(mapa_->origem[k])
                                  : std::string();
                }
    }
    resultado.falhas = std::move(ensaio.falhas);
    resultado.avisos = std::move(ensaio.avisos);
    resultado.totalFalhas = ensaio.totalFalhas;
    resultado.avisosPorGenero = std::move(ensaio.avisosPorGenero);
    return resultado;
}

}  // namespace conversor::app
