#include "app/execucao.h"

#include <exception>
#include <utility>

#include "convert/ferramentas.h"
#include "convert/mapeamentos.h"
#include "db/consulta.h"

namespace conversor::app {

namespace {

// The staging load's phase, as the load itself names it.
const char* const kCarregandoPlanilha = "Carregando dados do Excel, aguarde!";

// The tables each record kind writes.
std::vector<const char*> TabelasGravadas(TipoRegistro tipo) {
    switch (tipo) {
        case TipoRegistro::Produtos:
            return {"MVGERAL", "PRODUTO", "PRODUTODETALHE"};
        case TipoRegistro::Clientes:
            return {"CLIENTE", "COMPCLIE"};
        case TipoRegistro::Fornecedores:
            return {"FORNECE"};
        case TipoRegistro::Vendedores:
            return {"VENDEND"};
        case TipoRegistro::Transportadoras:
            return {"TRANSPT"};
    }
    return {};
}

// The reference tables the mappings add to as they meet new values.
const std::vector<const char*> kReferencias = {"CIDADES", "UNIDADES", "CLASFISC", "CADFABR"};

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

ResultadoConversao ExecucaoConversao::Converte(const PedidoConversao& pedido) {
    mensagens_.avisos = 0;
    ResultadoConversao resultado;
    resultado.campoACorrigir = ValidaCampos(pedido);
    if (resultado.campoACorrigir != CampoPedido::Nenhum) {
        resultado.desfecho = DesfechoConversao::Recusada;
        resultado.avisos = mensagens_.avisos;
        return resultado;
    }
    try {
        dmExcel_.SelecionaPlanilha(pedido.aba);
    } catch (const std::exception& e) {
        mensagens_.Erro(e.what());
        resultado.desfecho = DesfechoConversao::ErroLeitura;
        return resultado;
    }
    try {
        // Reading a large sheet takes a while before its first row is copied: the
        // user sees the wait announced before it starts.
        progresso_.Legenda(kCarregandoPlanilha);
        progresso_.ProcessaMensagens();
        CarregaTabelaTemp(pedido.ateUltimaLinhaDaAba ? dmExcel_.UltimaLinha()
                                                     : *pedido.ultimaLinha);
    } catch (const std::exception& e) {
        // Nothing was written yet.
        mensagens_.Erro(e.what());
        LimpaProgresso();
        resultado.desfecho = DesfechoConversao::ErroLeitura;
        resultado.avisos = mensagens_.avisos;
        return resultado;
    }

    // The references are counted in the run's own transaction, before its first write.
    const std::vector<LinhasTabela> referenciasAntes = ContaLinhas(kReferencias);
    resultado.desfecho =
        ExecutaConversao(pedido.tipo) ? DesfechoConversao::Concluida : DesfechoConversao::Falhou;
    resultado.avisos = mensagens_.avisos;
    // What the tables hold now: the run's rows once committed; after a rollback, what
    // was committed before it.
    resultado.linhasGravadas = ContaLinhas(TabelasGravadas(pedido.tipo));
    for (const LinhasTabela& depois : ContaLinhas(kReferencias)) {
        for (const LinhasTabela& antes : referenciasAntes)
            if (antes.tabela == depois.tabela)
                resultado.referenciasCriadas.push_back(
                    {depois.tabela, depois.linhas - antes.linhas});
    }
    try {
        // The counts wrote nothing; the connection is left without a transaction, as
        // the run leaves it.
        DesfazTransacao();
    } catch (const std::exception&) {
        // The connection itself is gone; the run's outcome stands.
    }
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

void ExecucaoConversao::CarregaTabelaTemp(long long ultimaLinha) {
    intake::CarregaTabelaTemp(dmExcel_, cdsTabelaTemp_, ultimaLinha, progresso_);
}

std::vector<LinhasTabela> ExecucaoConversao::ContaLinhas(const std::vector<const char*>& tabelas) {
    std::vector<LinhasTabela> contagens;
    if (!dbVantora_.Conectado()) return contagens;
    for (const char* tabela : tabelas) {
        try {
            db::Consulta q(dbVantora_);
            q.DefineSql(std::string("select count(*) as N from ") + tabela);
            q.Abre();
            contagens.push_back({tabela, q.CampoInteiro("N")});
        } catch (const db::ErroBanco&) {
            // A table this database lacks, or a connection gone: no figure for it.
        }
    }
    return contagens;
}

bool ExecucaoConversao::ExecutaConversao(TipoRegistro tipo) {
    try {
        IniciaTransacao();
        convert::TFerramentas ferramentas(dbVantora_, mensagens_, arquivoCidades_);
        // Nobody else writes the reference tables while the run lasts.
        ferramentas.LembraCodigos(true);
        convert::ContextoConversao contexto{dbVantora_, cdsTabelaTemp_, progresso_,
                                            mensagens_, ferramentas,    comandosPreparados_};
        switch (tipo) {
            case TipoRegistro::Produtos:
                convert::ConverteProdutos(contexto);
                break;
            case TipoRegistro::Clientes:
                convert::ConverteClientes(contexto);
                break;
            case TipoRegistro::Fornecedores:
                convert::ConverteFornecedores(contexto);
                break;
            case TipoRegistro::Vendedores:
                convert::ConverteVendedores(contexto);
                break;
            case TipoRegistro::Transportadoras:
                convert::ConverteTransportadoras(contexto);
                break;
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
