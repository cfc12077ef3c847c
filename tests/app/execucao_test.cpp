// The conversion run's result: the field to correct after a refusal, and the counts
// the command line prints, against a real database and carrier sheets written as CSV.
#include "app/execucao.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <utility>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"

namespace conversor::app {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Pair;
using Contagens = std::vector<std::pair<std::string, long long>>;

Contagens Pares(const std::vector<LinhasTabela>& linhas) {
    Contagens r;
    for (const LinhasTabela& l : linhas) r.emplace_back(l.tabela, l.linhas);
    return r;
}

class ExecucaoConversaoTeste : public teste::BancoTeste {
protected:
    void SetUp() override {
        for (const char* tabela : {"TRANSPT", "CIDADES"})
            Executa(std::string("DELETE FROM ") + tabela);
        Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')");
    }

    // Carriers in the carriers' layout: the code in column 27, the name in 20, the city
    // in 6, the state "MG" in 14.
    std::string Planilha(const std::vector<std::pair<const char*, const char*>>& linhas) {
        const std::string arquivo = pasta_.Arquivo("transportadoras.csv");
        std::ofstream saida(arquivo);
        for (const auto& [codigo, cidade] : linhas) {
            for (int coluna = 1; coluna <= 27; ++coluna) {
                if (coluna > 1) saida << ';';
                if (coluna == 6) saida << cidade;
                if (coluna == 14) saida << "MG";
                if (coluna == 20) saida << "Transportadora " << codigo;
                if (coluna == 27) saida << codigo;
            }
            saida << '\n';
        }
        return arquivo;
    }

    // The command line's request: the whole first sheet.
    ResultadoConversao Converte(const std::string& arquivo, bool ensaiar = true) {
        excel_.AbreArquivo(arquivo);
        PedidoConversao pedido;
        pedido.arquivo = arquivo;
        pedido.aba = 1;
        pedido.ateUltimaLinhaDaAba = true;
        pedido.tipo = TipoRegistro::Transportadoras;
        pedido.ensaiar = ensaiar;
        return execucao_.Converte(pedido);
    }

    teste::PastaTemporaria pasta_;
    intake::TDMCotrolaExcel excel_;
    intake::TTabelaTemp tabela_;
    intake::ProgressoMudo progresso_;
    teste::MensagensGravadas mensagens_;
    ExecucaoConversao execucao_{Banco(),    excel_,     tabela_,
                                progresso_, mensagens_, CONVERSOR_TABELA_CIDADES};
};

TEST_F(ExecucaoConversaoTeste, ConcluidaContaAsLinhasGravadasEAsReferenciasCriadas) {
    const ResultadoConversao r =
        Converte(Planilha({{"1", "Belo Horizonte"}, {"2", "Uberlandia"}, {"3", "Belo Horizonte"}}));
    ASSERT_EQ(r.desfecho, DesfechoConversao::Concluida)
        << ::testing::PrintToString(mensagens_.Erros());
    EXPECT_EQ(r.campoACorrigir, CampoPedido::Nenhum);
    EXPECT_THAT(Pares(r.linhasGravadas), ElementsAre(Pair("TRANSPT", 3)));
    EXPECT_THAT(Pares(r.referenciasCriadas), ElementsAre(Pair("CIDADES", 2), Pair("UNIDADES", 0),
                                                         Pair("CLASFISC", 0), Pair("CADFABR", 0)));
    EXPECT_EQ(r.avisos, 0);
    // The counts leave no transaction behind.
    EXPECT_FALSE(Banco().DBTransaction().Ativa());
}

TEST_F(ExecucaoConversaoTeste, AvisosMostradosSaoContados) {
    // A city code that is no number: every new city is refused with a warning.
    Executa("insert into CIDADES (CODCIDADE, CIDADE, ESTADO) values ('0A001', 'X', 'MG')");
    const ResultadoConversao r = Converte(Planilha({{"1", "Belo Horizonte"}, {"2", "Uberlandia"}}));
    ASSERT_EQ(r.desfecho, DesfechoConversao::Concluida)
        << ::testing::PrintToString(mensagens_.Erros());
    EXPECT_GT(r.avisos, 0);
    EXPECT_EQ(r.avisos, static_cast<int>(mensagens_.Avisos().size()));
    EXPECT_THAT(Pares(r.referenciasCriadas), ElementsAre(Pair("CIDADES", 0), Pair("UNIDADES", 0),
                                                         Pair("CLASFISC", 0), Pair("CADFABR", 0)));
}

TEST_F(ExecucaoConversaoTeste, FalhaContaOQueAsTabelasGuardamDepoisDeDesfeita) {
    // Without the rehearsal, which would have refused the sheet.
    const ResultadoConversao r = Converte(Planilha({{"1", ""}, {"1", ""}}), false);
    ASSERT_EQ(r.desfecho, DesfechoConversao::Falhou);
    ASSERT_THAT(mensagens_.Erros(), ::testing::SizeIs(1));
    // The purge was committed before the first row, the rows after it undone.
    EXPECT_THAT(Pares(r.linhasGravadas), ElementsAre(Pair("TRANSPT", 0)));
    EXPECT_EQ(ContaLinhas("TRANSPT"), 0);
}

TEST_F(ExecucaoConversaoTeste, RecusaOuErroDeLeituraNomeiaOCampoENaoConta) {
    const std::string arquivo = Planilha({{"1", ""}});
    excel_.AbreArquivo(arquivo);
    struct Caso {
        const char* nome;
        PedidoConversao pedido;
        DesfechoConversao desfecho;
        CampoPedido campo;
        int avisos;
    };
    const Caso casos[] = {
        {"sem a última linha",
         {arquivo, 1, std::nullopt, false, TipoRegistro::Transportadoras},
         DesfechoConversao::Recusada,
         CampoPedido::UltimaLinha,
         1},
        {"sem o arquivo",
         {"", 1, 1, false, TipoRegistro::Transportadoras},
         DesfechoConversao::Recusada,
         CampoPedido::Arquivo,
         1},
        {"sem a aba",
         {arquivo, 0, 1, false, TipoRegistro::Transportadoras},
         DesfechoConversao::Recusada,
         CampoPedido::Aba,
         1},
        {"aba que o arquivo não tem",
         {arquivo, 2, 1, false, TipoRegistro::Transportadoras},
         DesfechoConversao::ErroLeitura,
         CampoPedido::Nenhum,
         0},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        mensagens_.Limpa();
        const ResultadoConversao r = execucao_.Converte(c.pedido);
        EXPECT_EQ(r.desfecho, c.desfecho);
        EXPECT_EQ(r.campoACorrigir, c.campo);
        EXPECT_EQ(r.avisos, c.avisos);
        EXPECT_THAT(r.linhasGravadas, IsEmpty());
        EXPECT_THAT(r.referenciasCriadas, IsEmpty());
        EXPECT_EQ(ContaLinhas("TRANSPT"), 1);
    }
}

}  // namespace
}  // namespace conversor::app
