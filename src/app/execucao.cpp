#include "app/execucao.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <future>
#include <utility>

#include "base/colunas.h"
#include "convert/conferencia.h"
#include "convert/ferramentas.h"
#include "convert/percurso.h"
#include "convert/tabela_ddd.h"
#include "db/consulta.h"

namespace conversor::app {

namespace {

// The staging load's phase, as the load itself names it.
const char* const kCarregandoPlanilha = "Carregando dados do Excel, aguarde!";

// What the user is told when the rehearsal met rows another connection holds.
std::string AvisoOcupado(const std::string& motivo) {
    return "O banco está ocupado: outra conexão não liberou, em " +
           std::to_string(db::kEsperaPorTravaSegundos) +
           " segundos, dados que a conversão precisa alterar. Nada foi alterado no banco; "
           "converta de novo quando ela terminar.\rMotivo: " +
           motivo;
}

// Why a request gives no row to write: the rows asked for are none, or all blank.
std::string SemLinhasParaGravar(long long primeira, long long ultima) {
    const std::string inicio = "Não há nenhuma linha para gravar: ";
    const std::string fim = " Nada foi alterado no banco.";
    if (ultima < primeira)
        return inicio + "a última linha informada (" + std::to_string(ultima) +
               ") vem antes da primeira (" + std::to_string(primeira) + ")." + fim;
    return inicio +
           (ultima == primeira ? "a linha " + std::to_string(primeira) + " está"
                               : "as linhas " + std::to_string(primeira) + " a " +
                                     std::to_string(ultima) + " estão") +
           " em branco nas colunas que o tipo lê; confira a aba e a última linha." + fim;
}

}  // namespace

void ExecucaoConversao::MensagensContadas::Aviso(std::string_view texto) {
    ++avisos;
    destino_.Aviso(texto);
}
void ExecucaoConversao::MensagensContadas::Erro(std::string_view texto) { destino_.Erro(texto); }
void ExecucaoConversao::MensagensContadas::Informacao(std::string_view texto) {
    destino_.Informacao(texto);
}

ExecucaoConversao::ExecucaoConversao(db::Conexao& dbVantora, intake::TDMCotrolaExcel& dmExcel,
                                     intake::TTabelaTemp& cdsTabelaTemp,
                                     intake::Progresso& progresso, convert::Mensagens& mensagens,
                                     std::string arquivoCidades)
    : dbVantora_(dbVantora),
      dmExcel_(dmExcel),
      cdsTabelaTemp_(cdsTabelaTemp),
      progresso_(progresso),
      mensagens_(mensagens),
      arquivoCidades_(std::move(arquivoCidades)) {}

bool ExecucaoConversao::PreparaPlanilha(const PedidoConversao& pedido,
                                        ResultadoConversao& resultado) {
    mensagens_.avisos = 0;
    mapa_.reset();
    linhasEmBranco_.clear();
    tabelaDDD_.reset();
    resultado.campoACorrigir = ValidaCampos(pedido);
    if (resultado.campoACorrigir != CampoPedido::Nenhum) {
        resultado.desfecho = DesfechoConversao::Recusada;
        resultado.avisos = mensagens_.avisos;
        return false;
    }
    try {
        dmExcel_.SelecionaPlanilha(pedido.aba);
    } catch (const std::exception& e) {
        mensagens_.Erro(e.what());
        resultado.desfecho = DesfechoConversao::ErroLeitura;
        return false;
    }
    try {
        // Every kind but products reads the city table for its telephones: one that
        // cannot be read is said once, before anything, not at every row.
        if (convert::Descricao(pedido.tipo).leCidades)
            tabelaDDD_ = std::make_shared<const convert::TabelaDDD>(ArquivoCidades());
        // Reading a large sheet takes a while before its first row is copied: the
        // user sees the wait announced before it starts.
        progresso_.Legenda(kCarregandoPlanilha);
        progresso_.ProcessaMensagens();
        LePlanilhaAtendendo();
        const long long ultimaLinha =
            pedido.ateUltimaLinhaDaAba ? dmExcel_.UltimaLinha() : *pedido.ultimaLinha;
        // A map that does not fit the sheet is refused before anything is converted;
        // rows that cannot be loaded, before the map is looked for above them.
        intake::ConfereLinhas(pedido.primeiraLinha, ultimaLinha);
        mapa_ = ResolveMapa(pedido);
        intake::RecorteCarga recorte;
        recorte.primeiraLinha = pedido.primeiraLinha;
        if (mapa_) recorte.origem = mapa_->origem;
        CarregaTabelaTemp(ultimaLinha, recorte);
        linhasEmBranco_ =
            convert::FaixasEmBranco(cdsTabelaTemp_, convert::Descricao(pedido.tipo).Leiaute());
        resultado.linhasEmBranco = linhasEmBranco_;
        // Emptying the kind's tables to write nothing in their place is no conversion.
        if (convert::ContaLinhas(linhasEmBranco_) == cdsTabelaTemp_.RecordCount()) {
            mensagens_.Erro(SemLinhasParaGravar(pedido.primeiraLinha, ultimaLinha));
            LimpaProgresso();
            resultado.desfecho = DesfechoConversao::Recusada;
            resultado.campoACorrigir = CampoPedido::UltimaLinha;
            resultado.avisos = mensagens_.avisos;
            return false;
        }
    } catch (const std::exception& e) {
        // Nothing was written yet.
        mensagens_.Erro(e.what());
        LimpaProgresso();
        resultado.desfecho = DesfechoConversao::ErroLeitura;
        resultado.avisos = mensagens_.avisos;
        return false;
    }
    return true;
}

ResultadoConversao ExecucaoConversao::Confere(const PedidoConversao& pedido) {
    ResultadoConversao resultado;
    if (!PreparaPlanilha(pedido, resultado)) return resultado;
    resultado.ensaio = Ensaia(pedido);
    if (!resultado.ensaio.bancoOcupado.empty()) {
        mensagens_.Erro(AvisoOcupado(resultado.ensaio.bancoOcupado));
        resultado.desfecho = DesfechoConversao::Ocupado;
        return resultado;
    }
    resultado.desfecho = resultado.ensaio.falhas.empty() ? DesfechoConversao::Conferida
                                                         : DesfechoConversao::Reprovada;
    return resultado;
}

ResultadoConversao ExecucaoConversao::Converte(
    const PedidoConversao& pedido, const std::function<void(const ResultadoEnsaio&)>& aposEnsaio) {
    ResultadoConversao resultado;
    if (!PreparaPlanilha(pedido, resultado)) return resultado;
    // Without a database there is nothing to rehearse on; the run itself reports it.
    if (pedido.ensaiar && dbVantora_.Conectado()) {
        resultado.ensaio = Ensaia(pedido);
        if (!resultado.ensaio.bancoOcupado.empty()) {
            mensagens_.Erro(AvisoOcupado(resultado.ensaio.bancoOcupado));
            resultado.desfecho = DesfechoConversao::Ocupado;
            return resultado;
        }
        if (!resultado.ensaio.falhas.empty()) {
            resultado.desfecho = DesfechoConversao::Reprovada;
            return resultado;
        }
        if (aposEnsaio) {
            try {
                aposEnsaio(resultado.ensaio);
            } catch (const std::exception& e) {
                mensagens_.Erro(e.what());
                resultado.desfecho = DesfechoConversao::Recusada;
                return resultado;
            }
        }
    }

    const std::vector<const char*>& tabelas = convert::Descricao(pedido.tipo).tabelas;
    std::vector<LinhasTabela> referenciasAntes;
    {
        // Counted before the run's first write; the counts write nothing.
        const db::GuardaTransacao contagem(dbVantora_);
        resultado.linhasAntes = ContaLinhas(tabelas);
        referenciasAntes = ContaLinhas(convert::kTabelasDeReferencia);
    }
    resultado.desfecho =
        ExecutaConversao(pedido.tipo) ? DesfechoConversao::Concluida : DesfechoConversao::Falhou;
    {
        // What the tables hold now: the run's rows once committed; after a rollback,
        // what was committed before it.
        const db::GuardaTransacao contagem(dbVantora_);
        resultado.linhasGravadas = ContaLinhas(tabelas);
        resultado.referenciasCriadas = ReferenciasCriadas(referenciasAntes);
        if (resultado.desfecho == DesfechoConversao::Falhou)
            AvisaLinhasPerdidas(resultado.linhasAntes, resultado.linhasGravadas);
    }
    resultado.avisos = mensagens_.avisos;
    return resultado;
}

CampoPedido ExecucaoConversao::ValidaCampos(const PedidoConversao& pedido) {
    if (!pedido.ateUltimaLinhaDaAba && !pedido.ultimaLinha) {
        mensagens_.Aviso(
            "Favor informar o numero da linha onde o último registro se encontra na planilha");
        return CampoPedido::UltimaLinha;
    }
    if (pedido.arquivo.empty()) {
        mensagens_.Aviso("Favor informar o caminho do arquivo a ser convertido!");
        return CampoPedido::Arquivo;
    }
    if (pedido.aba < 1) {
        mensagens_.Aviso("Favor selecionar uma planilha para ser convertida!");
        return CampoPedido::Aba;
    }
    return CampoPedido::Nenhum;
}

void ExecucaoConversao::LePlanilhaAtendendo() {
    // The driver keeps the sheet it read: the staging load then starts from it.
    auto leitura = std::async(std::launch::async, [this] { dmExcel_.Planilha(); });
    // The gauge follows the rows read, against the sheet's last row where it was
    // measured before (listing the sheets measures it).
    int maximo = 0;
    while (leitura.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
        const intake::TDMCotrolaExcel::Andamento andamento = dmExcel_.AndamentoLeitura();
        if (andamento.ultimaLinha > 0) {
            if (andamento.ultimaLinha != maximo) {
                maximo = andamento.ultimaLinha;
                progresso_.Maximo(maximo);
            }
            progresso_.Posicao(std::min(andamento.linha, maximo));
        }
        progresso_.ProcessaMensagens();
    }
    leitura.get();
}

void ExecucaoConversao::CarregaTabelaTemp(long long ultimaLinha,
                                          const intake::RecorteCarga& recorte) {
    intake::CarregaTabelaTemp(dmExcel_, cdsTabelaTemp_, ultimaLinha, progresso_, recorte);
}

std::optional<convert::MapaResolvido> ExecucaoConversao::ResolveMapa(
    const PedidoConversao& pedido) {
    if (!pedido.mapa) return std::nullopt;
    const convert::LeiauteTipo& leiaute = convert::Descricao(pedido.tipo).Leiaute();
    // The headings: the last row above the first converted one that holds anything
    // (a blank row may part them from the data).
    const int ultimaColuna = dmExcel_.UltimaColuna();
    const long long ultimaDaAba = dmExcel_.UltimaLinha();
    convert::TitulosPlanilha titulos;
    for (long long linha = std::min(pedido.primeiraLinha - 1, ultimaDaAba);
         linha >= 1 && titulos.linha == 0; --linha) {
        std::vector<std::string> textos;
        bool vazia = true;
        for (int coluna = 1; coluna <= ultimaColuna; ++coluna) {
            textos.push_back(dmExcel_.LeCelula(coluna, static_cast<int>(linha)));
            vazia = vazia && convert::EmBranco(textos.back());
        }
        if (!vazia) titulos = {linha, std::move(textos)};
    }
    return convert::ResolveMapa(*pedido.mapa, leiaute, std::move(titulos), ultimaColuna);
}

std::vector<LinhasTabela> ExecucaoConversao::ContaLinhas(const std::vector<const char*>& tabelas,
                                                         bool avanca) {
    std::vector<LinhasTabela> contagens;
    for (const char* tabela : tabelas) {
        // A table this database lacks, or a connection gone: no figure for it.
        if (const std::optional<long long> linhas = db::ContaLinhas(dbVantora_, tabela))
            contagens.push_back({tabela, *linhas});
        if (avanca) progresso_.Avanca();
    }
    return contagens;
}

std::vector<LinhasTabela> ExecucaoConversao::ReferenciasCriadas(
    const std::vector<LinhasTabela>& antes, bool avanca) {
    std::vector<LinhasTabela> criadas;
    for (const LinhasTabela& d : ContaLinhas(convert::kTabelasDeReferencia, avanca))
        for (const LinhasTabela& a : antes)
            if (a.tabela == d.tabela) criadas.push_back({d.tabela, d.linhas - a.linhas});
    return criadas;
}

std::unique_ptr<convert::TFerramentas> ExecucaoConversao::Ferramentas(convert::Mensagens& mensagens,
                                                                      convert::Ensaio& ensaio) {
    auto ferramentas =
        std::make_unique<convert::TFerramentas>(dbVantora_, mensagens, arquivoCidades_);
    ferramentas->UsaTabelaDDD(tabelaDDD_);
    // Nobody else writes the reference tables while the run lasts.
    ferramentas->LembraCodigos(true);
    ferramentas->DefineEnsaio(ensaio);
    return ferramentas;
}

bool ExecucaoConversao::ExecutaConversao(TipoRegistro tipo) {
    try {
        dbVantora_.ExigeConexao();
        db::GuardaTransacao transacao(dbVantora_);
        const std::unique_ptr<convert::TFerramentas> ferramentas =
            Ferramentas(mensagens_, convert::Ensaio::Nenhum());
        convert::ContextoConversao contexto{dbVantora_, cdsTabelaTemp_, progresso_,
                                            mensagens_, *ferramentas,   comandosPreparados_};
        convert::Descricao(tipo).converte(contexto);
        transacao.Confirma();
        mensagens_.Informacao("Conversão concluída com sucesso!");
        return true;
    } catch (const std::exception& e) {
        // The guard has rolled back what the last commit left open.
        mensagens_.Erro(std::string("Houve um erro ao realizar a conversão. Motivo: ") + "\r" +
                        e.what());
        LimpaProgresso();
        return false;
    }
}

void ExecucaoConversao::AvisaLinhasPerdidas(const std::vector<LinhasTabela>& antes,
                                            const std::vector<LinhasTabela>& agora) {
    std::string perdidas;
    for (const LinhasTabela& a : antes)
        for (const LinhasTabela& d : agora)
            if (a.tabela == d.tabela && d.linhas < a.linhas)
                perdidas += std::string(perdidas.empty() ? "" : ", ") + a.tabela + " tinha " +
                            std::to_string(a.linhas) + " e tem " + std::to_string(d.linhas);
    if (perdidas.empty()) return;
    // A database in read-only mode shows its own attachment a purge it never keeps.
    try {
        db::Consulta q(dbVantora_);
        q.DefineSql("select MON$READ_ONLY as R from MON$DATABASE");
        q.Abre();
        if (q.CampoInteiro("R") == 1) return;
    } catch (const db::ErroBanco&) {
        // No answer: the counts stand.
    }
    mensagens_.Aviso(
        "A conversão falhou depois de esvaziar as tabelas do tipo, e a exclusão já "
        "estava confirmada: as linhas que elas tinham não voltam (" +
        perdidas +
        "). Restaure a cópia de segurança do banco, ou corrija a "
        "planilha e converta de novo.");
}

std::string ExecucaoConversao::ArquivoCidades() const {
    return arquivoCidades_.empty() ? convert::TabelaDDD::ArquivoPadrao() : arquivoCidades_;
}

void ExecucaoConversao::LimpaProgresso() {
    progresso_.Legenda("");
    progresso_.Status("");
    progresso_.Posicao(0);
}

}  // namespace conversor::app
