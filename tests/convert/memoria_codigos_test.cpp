// Within a run the reference lookups remember the codes they found or created, the
// absence of a key they may not create, and the highest code; a lookup that failed is
// not remembered and is tried again. Outside a run nothing is remembered.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "convert/conversao.h"
#include "convert/ferramentas.h"

namespace conversor::convert {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;
using teste::BancoTeste;
using teste::MensagensGravadas;

class MemoriaCodigos : public BancoTeste {
protected:
    void SetUp() override {
        for (const char* t : {"CIDADES", "CLASFISC", "CADFABR", "UNIDADES"})
            Executa(std::string("delete from ") + t);
    }
    MensagensGravadas mensagens;
};

TEST_F(MemoriaCodigos, EncontradosECriadosNaoVoltamAoBanco) {
    for (const bool lembra : {true, false}) {
        SCOPED_TRACE(lembra ? "lembrando" : "sem lembrar");
        SetUp();
        Executa("insert into CADFABR (CODFABRIC, DESCRICAO) values ('00007', 'ACME')");
        TFerramentas f(Banco(), mensagens);
        f.LembraCodigos(lembra);
        EXPECT_EQ(f.BuscaFabricante("ACME"), "00007");
        EXPECT_EQ(f.BuscaCidade("Itu", "SP"), "00001");
        EXPECT_EQ(f.BuscaClassificacaoFiscal("84713012"), "0001");
        // Someone changes the codes behind the run's back: a run does not see it.
        Executa("update CADFABR set CODFABRIC = '00070'");
        Executa("update CIDADES set CODCIDADE = '00010'");
        Executa("update CLASFISC set CODCLASFIS = '0100'");
        EXPECT_EQ(f.BuscaFabricante("ACME"), lembra ? "00007" : "00070");
        EXPECT_EQ(f.BuscaCidade("Itu", "SP"), lembra ? "00001" : "00010");
        EXPECT_EQ(f.BuscaClassificacaoFiscal("84713012"), lembra ? "0001" : "0100");
        // Another key is looked up in the database, and the next code comes from the
        // highest the run knows of.
        EXPECT_EQ(f.BuscaCidade("Itu", "MG"), lembra ? "00002" : "00011");
        EXPECT_EQ(f.BuscaClassificacaoFiscal("84713013"), lembra ? "0002" : "0101");
        EXPECT_THAT(mensagens.lista, IsEmpty());
        EXPECT_EQ(ContaLinhas("CIDADES"), 2);
    }
}

TEST_F(MemoriaCodigos, FalhaNaoELembradaETentadaDeNovo) {
    // The next code no longer fits the column: every creation fails.
    Executa("insert into CLASFISC (CODCLASFIS, CODIGONCM, CODNBM) values ('99999', 'X', 'X')");
    TFerramentas f(Banco(), mensagens);
    f.LembraCodigos(true);
    EXPECT_EQ(f.BuscaClassificacaoFiscal("84713012"), "100000");
    EXPECT_EQ(f.BuscaClassificacaoFiscal("84713012"), "100000");
    EXPECT_THAT(mensagens.Avisos(),
                ElementsAre(StartsWith("Erro ao converter Classificação Fiscal. Motivo: \r"),
                            StartsWith("Erro ao converter Classificação Fiscal. Motivo: \r")));
    // Once the table can take it, the same key is created.
    Executa("delete from CLASFISC");
    EXPECT_EQ(f.BuscaClassificacaoFiscal("84713012"), "0001");
    EXPECT_EQ(ContaLinhas("CLASFISC"), 1);

    // A manufacturer without a name is not created, and within a run its absence is
    // an answer like any other; outside a run it is asked again.
    for (const bool lembra : {true, false}) {
        SCOPED_TRACE(lembra ? "lembrando" : "sem lembrar");
        Executa("delete from CADFABR");
        TFerramentas g(Banco(), mensagens);
        g.LembraCodigos(lembra);
        mensagens.Limpa();
        EXPECT_EQ(g.BuscaFabricante(""), "");
        EXPECT_EQ(ContaLinhas("CADFABR"), 0);
        Executa("insert into CADFABR (CODFABRIC, DESCRICAO) values ('00003', '')");
        EXPECT_EQ(g.BuscaFabricante(""), lembra ? "" : "00003");
        EXPECT_THAT(mensagens.lista, IsEmpty());
    }
}

TEST_F(MemoriaCodigos, UnidadeLembradaSoQuandoPedido) {
    for (const bool lembra : {true, false}) {
        SCOPED_TRACE(lembra ? "lembrando" : "sem lembrar");
        SetUp();
        TConversao conversao(Banco(), mensagens);
        conversao.LembraUnidades(lembra);
        EXPECT_EQ(conversao.ConverteUnidade("pc"), "PC");
        Executa("delete from UNIDADES");
        EXPECT_EQ(conversao.ConverteUnidade("PCT"), "PC");
        // Remembered: not ensured again; otherwise created once more.
        EXPECT_EQ(ContaLinhas("UNIDADES"), lembra ? 0 : 1);
        Banco().DBTransaction().Desfaz();
    }
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

}  // namespace
}  // namespace conversor::convert
