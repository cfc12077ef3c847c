// Within a run the reference lookups remember the codes they found or created, the
// absence of a key they may not create, and the highest code; a lookup that failed is
// not remembered and is tried again. Outside a run nothing is remembered.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "convert/conversao.h"
#include "convert/ferramentas.h"

namespace conversor::convert {
namespace {

using teste::BancoTeste;
using teste::MensagensGravadas;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::StartsWith;

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

// The database compares texts as if the shorter were filled with blanks: "Itu" and
// "Itu  " are the same key to it, and so they are to the run's memory. Leading blanks
// and letter case do count.
TEST_F(MemoriaCodigos, BrancosNoFimNaoMudamAChave) {
    struct Caso {
        const char* nome;
        std::function<std::string(TFerramentas&, const char*)> busca;
        const char* texto;
        const char* comBrancos;
        const char* outro;    // another key to the database
        const char* mudanca;  // someone changes the codes behind the run's back
    };
    const Caso casos[] = {
        {"fabricante", [](TFerramentas& f, const char* t) { return f.BuscaFabricante(t); }, "ACME",
         "ACME  ", " ACME", "update CADFABR set CODFABRIC = '00070'"},
        {"cidade", [](TFerramentas& f, const char* t) { return f.BuscaCidade(t, "SP"); }, "Itu",
         "Itu   ", "ITU", "update CIDADES set CODCIDADE = '00070'"},
        {"estado", [](TFerramentas& f, const char* t) { return f.BuscaCidade("Itu", t); }, "S",
         "S ", "s", "update CIDADES set CODCIDADE = '00070'"},
        {"classificacao",
         [](TFerramentas& f, const char* t) { return f.BuscaClassificacaoFiscal(t); }, "8471",
         "8471    ", " 8471", "update CLASFISC set CODCLASFIS = '0070'"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        SetUp();
        TFerramentas f(Banco(), mensagens);
        f.LembraCodigos(true);
        const std::string codigo = c.busca(f, c.texto);
        ASSERT_FALSE(codigo.empty());
        Executa(c.mudanca);
        EXPECT_EQ(c.busca(f, c.comBrancos), codigo) << "remembered";
        EXPECT_NE(c.busca(f, c.outro), codigo) << "asked of the database";
        EXPECT_THAT(mensagens.lista, IsEmpty());
    }

    // A unit code of one letter and a blank is the unit of that letter.
    TConversao conversao(Banco(), mensagens);
    conversao.LembraUnidades(true);
    EXPECT_EQ(conversao.ConverteUnidade("p"), "P");
    Executa("delete from UNIDADES");
    EXPECT_EQ(conversao.ConverteUnidade("p "), "P ");
    EXPECT_EQ(ContaLinhas("UNIDADES"), 0) << "remembered, not ensured again";
    EXPECT_EQ(conversao.ConverteUnidade(" p"), " P");
    EXPECT_EQ(ContaLinhas("UNIDADES"), 1) << "another unit";
    Banco().DBTransaction().Desfaz();
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

// A manufacturer made of blanks is created (only an empty name is not), and from then
// on it is the manufacturer of an empty name as well, remembered "not there" or not.
TEST_F(MemoriaCodigos, FaltaLembradaNaoImpedeCriarOQueOBancoIgualaria) {
    TFerramentas f(Banco(), mensagens);
    f.LembraCodigos(true);
    EXPECT_EQ(f.BuscaFabricante(""), "");
    EXPECT_EQ(f.BuscaFabricante("   "), "00001");
    EXPECT_EQ(f.BuscaFabricante(""), "00001");
    EXPECT_EQ(f.BuscaFabricante(" "), "00001");
    EXPECT_EQ(ContaLinhas("CADFABR"), 1);
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

}  // namespace
}  // namespace conversor::convert
