#include "app/execucao.h"

#include <exception>

#include "base/regional.h"
#include "convert/ferramentas.h"
#include "convert/mapeamentos.h"

namespace conversor::app {

namespace {

// The staging load's phase, as the load itself names it.
const char* const kCarregandoPlanilha = "Carregando dados do Excel, aguarde!";

}  // namespace

ExecucaoConversao::ExecucaoConversao(db::Conexao& dbVantora, intake::TDMCotrolaExcel& dmExcel,
                                     intake::TTabelaTemp& cdsTabelaTemp,
                                     intake::Progresso& progresso, convert::Mensagens& mensagens,
                                     ControlesEntrada& controles, std::string arquivoCidades)
    : dbVantora_(dbVantora),
      dmExcel_(dmExcel),
      cdsTabelaTemp_(cdsTabelaTemp),
      progresso_(progresso),
      mensagens_(mensagens),
      controles_(controles),
      arquivoCidades_(std::move(arquivoCidades)) {}

DesfechoConversao ExecucaoConversao::btOKClick(const PedidoConversao& pedido) {
    if (pedido.numLinha.empty()) {
        mensagens_.Aviso(
            "Favor informar o numero da linha onde o último registro se encontra na planilha");
        controles_.Foca(ControlesEntrada::Controle::NumLinha);
        return DesfechoConversao::Recusada;
    }
    if (ValidaCampos(pedido)) return DesfechoConversao::Recusada;
    try {
        dmExcel_.SelecionaPlanilha(pedido.planilha + 1);
    } catch (const std::exception& e) {
        mensagens_.Erro(e.what());
        return DesfechoConversao::ErroLeitura;
    }
    controles_.DesabilitaCampos();
    try {
        // Reading a large sheet takes a while before its first row is copied: the
        // user sees the wait announced and the controls disabled before it starts.
        progresso_.Legenda(kCarregandoPlanilha);
        progresso_.ProcessaMensagens();
        CarregaTabelaTemp(pedido.numLinha);
    } catch (const std::exception& e) {
        // Nothing was written yet; the controls come back so the user can correct
        // the input instead of being left with a dead window.
        mensagens_.Erro(e.what());
        LimpaProgresso();
        controles_.HabilitaCampos();
        return DesfechoConversao::ErroLeitura;
    }
    const bool sucesso = ExecutaConversao(pedido.tipo);
    controles_.HabilitaCampos();
    return sucesso ? DesfechoConversao::Concluida : DesfechoConversao::Falhou;
}

bool ExecucaoConversao::ValidaCampos(const PedidoConversao& pedido) {
    if (pedido.caminhoOrigem.empty()) {
        mensagens_.Aviso("Favor informar o caminho do arquivo a ser convertido!");
        controles_.Foca(ControlesEntrada::Controle::Btabrir);
        return true;
    }
    if (pedido.planilha < 0) {
        mensagens_.Aviso("Favor selecionar uma planilha para ser convertida!");
        controles_.Foca(ControlesEntrada::Controle::MostraPlanilha);
        return true;
    }
    return false;
}

void ExecucaoConversao::CarregaTabelaTemp(const std::string& numLinha) {
    long long ultimaLinha;
    try {
        ultimaLinha = TextoParaInteiro(numLinha);
    } catch (const ErroConversao&) {
        throw ErroConversao("'" + numLinha + "' não é um número de linha válido");
    }
    intake::CarregaTabelaTemp(dmExcel_, cdsTabelaTemp_, ultimaLinha, progresso_);
}

bool ExecucaoConversao::ExecutaConversao(TipoRegistro tipo) {
    try {
        IniciaTransacao();
        convert::TFerramentas ferramentas(dbVantora_, mensagens_, arquivoCidades_);
        // Nobody else writes the reference tables while the run lasts.
        ferramentas.LembraCodigos(true);
        convert::ContextoConversao contexto{dbVantora_, cdsTabelaTemp_, progresso_, mensagens_,
                                            ferramentas, comandosPreparados_};
        switch (tipo) {
            case TipoRegistro::Produtos: convert::ConverteProdutos(contexto); break;
            case TipoRegistro::Clientes: convert::ConverteClientes(contexto); break;
            case TipoRegistro::Fornecedores: convert::ConverteFornecedores(contexto); break;
            case TipoRegistro::Vendedores: convert::ConverteVendedores(contexto); break;
            case TipoRegistro::Transportadoras: convert::ConverteTransportadoras(contexto); break;
        }
        ConfirmaTransacao();
        mensagens_.Informacao("Conversão concluída com sucesso!");
        return true;
    } catch (const std::exception& e) {
        try {
            DesfazTransacao();
        } catch (const std::exception&) {
            // The connection itself is gone; the error below says why.
        }
        mensagens_.Erro(std::string("Houve um erro ao realizar a conversão. Motivo: ") + "\r" +
                        e.what());
        LimpaProgresso();
        return false;
    }
}

void ExecucaoConversao::LimpaProgresso() {
    progresso_.Legenda("");
    progresso_.Status("");
    progresso_.Posicao(0);
}

void ExecucaoConversao::IniciaTransacao() {
    if (!dbVantora_.DBTransaction().Ativa()) dbVantora_.DBTransaction().Inicia();
}

void ExecucaoConversao::ConfirmaTransacao() {
    if (dbVantora_.DBTransaction().Ativa()) dbVantora_.DBTransaction().Confirma();
}

void ExecucaoConversao::DesfazTransacao() {
    if (dbVantora_.DBTransaction().Ativa()) dbVantora_.DBTransaction().Desfaz();
}

}  // namespace conversor::app
