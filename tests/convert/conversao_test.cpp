#include "convert/conversao.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "base/regional.h"
#include "db/consulta.h"

namespace conversor::convert {
namespace {

using teste::BancoTeste;
using teste::MensagensGravadas;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class TConversaoBanco : public BancoTeste {
protected:
    void SetUp() override {
        Executa("delete from UNIDADES");
        Executa("delete from MVGERAL");
    }

    MensagensGravadas mensagens;
};

TEST_F(TConversaoBanco, ConverteUnidadeCriaUmaVezSemConfirmar) {
    TConversao conversao(Banco(), mensagens);
    EXPECT_EQ(conversao.ConverteUnidade("pc"), "PC");
    EXPECT_EQ(conversao.ConverteUnidade("PCT"), "PC");
    EXPECT_EQ(conversao.ConverteUnidade("unidade"), "UN");
    EXPECT_EQ(conversao.ConverteUnidade(""), "");
    EXPECT_EQ(Valor("select count(*) from UNIDADES where UNIDADE = 'PC'"), "1");
    EXPECT_EQ(Valor("select count(*) from UNIDADES where UNIDADE = 'UN'"), "1");
    EXPECT_EQ(Valor("select count(*) from UNIDADES where UNIDADE = ''"), "1");
    EXPECT_THAT(mensagens.lista, IsEmpty());

    // The units belong to the run's transaction: no commit of their own.
    Banco().DBTransaction().Desfaz();
    EXPECT_EQ(ContaLinhas("UNIDADES"), 0);
}

TEST_F(TConversaoBanco, ConverteUnidadeComFalhaAvisaEDevolveOCodigo) {
    db::Conexao semBanco;  // never connected: every statement fails
    TConversao conversao(semBanco, mensagens);
    EXPECT_EQ(conversao.ConverteUnidade("kg"), "KG");
    EXPECT_THAT(mensagens.Avisos(), ElementsAre("Erro ao converter Unidade."));
}

TEST_F(TConversaoBanco, ExcluiTabelaEsvaziaEConfirma) {
    Executa("insert into UNIDADES (UNIDADE) values ('CX')");
    {
        db::Consulta q(Banco());
        q.DefineSql("insert into UNIDADES (UNIDADE) values ('KG')");
        q.Executa();
    }
    TConversao conversao(Banco(), mensagens);
    conversao.ExcluiTabela("UNIDADES");
    EXPECT_FALSE(Banco().DBTransaction().Ativa());
    EXPECT_EQ(ContaLinhas("UNIDADES"), 0);
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_F(TConversaoBanco, ExcluiTabelaInexistenteMostraErroESegue) {
    TConversao conversao(Banco(), mensagens);
    conversao.ExcluiTabela("TABELA_QUE_NAO_EXISTE");
    ASSERT_THAT(mensagens.Erros(),
                ElementsAre(StartsWith("Erro na Exclusão da tabela TABELA_QUE_NAO_EXISTE.\r")));
    const std::string texto = mensagens.Erros()[0];
    EXPECT_THAT(texto, HasSubstr("Table unknown"));
    EXPECT_THAT(texto, HasSubstr("\rVerifique se a tabela está em Transação."));
    EXPECT_THAT(mensagens.Avisos(), IsEmpty());

    // The run goes on: the connection still works.
    EXPECT_EQ(conversao.ConverteUnidade("cx"), "CX");
}

TEST_F(TConversaoBanco, GravaMovimentoEscreveOsOnzeValores) {
    // The movement's dates don't follow the short date format.
    ConfiguracaoRegional antes = Regional();
    Regional().formatoDataCurta = "d/m/yy";
    TConversao conversao(Banco(), mensagens);
    conversao.GravaMovimento(Banco(), "00'12", 1234567.891, 2.5, 0);
    conversao.GravaMovimento(Banco(), "000123", 10, 0.125, 3);
    Regional() = antes;

    const std::string hoje = FormataDataHora("dd/mm/yyyy", Hoje());
    const std::string documento = hoje.substr(0, 2) + hoje.substr(3, 2) + hoje.substr(6, 4);

    db::Consulta q(Banco());
    q.DefineSql(
        "select CODEMPRESA, TIPOAGENTE, CODIGOAGENTE, DOCUMENTO, CODPROD, CODGRADE, "
        "DT_MOVIMENTO, TIPOMOV, QUANTIDADE, PRECOCUSTO, PRECOMEDIO from MVGERAL "
        "order by IDMOVIMENTO");
    q.Abre();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.CampoTexto("CODEMPRESA"), "00");
    EXPECT_EQ(q.CampoTexto("TIPOAGENTE"), "F");
    EXPECT_EQ(q.CampoTexto("CODIGOAGENTE"), "000000");
    EXPECT_EQ(q.CampoTexto("DOCUMENTO"), documento);
    EXPECT_EQ(q.CampoTexto("CODPROD"), "00'12");
    EXPECT_EQ(q.CampoTexto("CODGRADE"), "0000");
    EXPECT_EQ(q.CampoTexto("DT_MOVIMENTO"), hoje);
    EXPECT_EQ(q.CampoTexto("TIPOMOV"), "04");
    EXPECT_EQ(q.CampoNumero("QUANTIDADE"), 1234567.891);
    EXPECT_EQ(q.CampoNumero("PRECOCUSTO"), 2.5);
    EXPECT_EQ(q.CampoNumero("PRECOMEDIO"), 0);

    q.Proximo();
    ASSERT_FALSE(q.Eof());
    EXPECT_EQ(q.CampoTexto("CODPROD"), "000123");
    EXPECT_EQ(q.CampoTexto("DOCUMENTO"), documento);
    EXPECT_EQ(q.CampoNumero("QUANTIDADE"), 10);
    EXPECT_EQ(q.CampoNumero("PRECOCUSTO"), 0.125);
    EXPECT_EQ(q.CampoNumero("PRECOMEDIO"), 3);
    q.Proximo();
    EXPECT_TRUE(q.Eof());
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_F(TConversaoBanco, GravaMovimentoNaoConfirmaENaoEngoleErros) {
    TConversao conversao(Banco(), mensagens);
    conversao.GravaMovimento(Banco(), "000001", 1, 1, 1);
    Banco().DBTransaction().Desfaz();
    EXPECT_EQ(ContaLinhas("MVGERAL"), 0);

    // A product code longer than the column: the database refuses, the error goes up.
    try {
        conversao.GravaMovimento(Banco(), "1234567", 1, 1, 1);
        ADD_FAILURE() << "no error";
    } catch (const db::ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("truncation"));
    }
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

}  // namespace
}  // namespace conversor::convert
