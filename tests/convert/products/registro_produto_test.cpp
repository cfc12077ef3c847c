// The product, product detail and product complement converters against a real
// database: the statement text they build and, above all, the row the table holds.
#include "convert/products/registro_produto.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "base/regional.h"
#include "convert/products/registro_comp_prod.h"
#include "convert/products/registro_produto_detalhe.h"
#include "db/erro.h"

namespace conversor::convert {
namespace {

using teste::BancoTeste;
using teste::MensagensGravadas;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

class ConverteProdutoTeste : public BancoTeste {
protected:
    void SetUp() override {
        Executa("delete from PRODUTO");
        Executa("delete from PRODUTODETALHE");
        Executa("delete from COMPPROD");
    }
    // A column of the product row, as text (numbers in the number rule).
    static std::string Coluna(const std::string& coluna, const std::string& codProd = "000000") {
        return Valor("select " + coluna + " from PRODUTO where CODPROD = '" + codProd + "'");
    }
    static long long Nulos(const std::string& coluna) {
        return std::stoll(Valor("select count(*) from PRODUTO where " + coluna + " is null"));
    }

    MensagensGravadas mensagens;
};

TEST_F(ConverteProdutoTeste, ConstrucaoDeixaOsPadroes) {
    TConverteProduto produto(Banco(), mensagens);
    const std::string sql = produto.TextoInsert();
    EXPECT_THAT(sql, Not(HasSubstr("DT_CADASTRO")));
    EXPECT_THAT(sql, Not(HasSubstr("Data_Ult_Ent1")));
    EXPECT_THAT(sql, Not(HasSubstr("Data_Ult_Reajuste")));
    EXPECT_THAT(sql, HasSubstr("Produto.PrecoPromo, Produto.Fracionado"));
    EXPECT_TRUE(produto.Inserir());

    EXPECT_EQ(ContaLinhas("PRODUTO"), 1);
    const std::pair<const char*, const char*> textos[] = {
        {"CODPROD", "000000"}, {"TIPOPROD", "R"},      {"ATIVO", "S"},       {"PRODBLOQUEADO", "N"},
        {"UNIDADEENT", "UN"},  {"UNIDADESAIDA", "UN"}, {"DESCRICAO", ""},    {"CODCLASFIS", ""},
        {"CODSUBGRUPO", ""},   {"SUBSTRIB", ""},       {"CODTRIBUT00", ""},  {"MULTDIVIDE", ""},
        {"FRACIONADO", ""},    {"CAMPOLIVRE4", ""},    {"CONTROLELOTE", ""},
    };
    for (const auto& [coluna, esperado] : textos) {
        SCOPED_TRACE(coluna);
        EXPECT_EQ(Coluna(coluna), esperado);
        EXPECT_EQ(Nulos(coluna), 0) << "empty texts are written, not left null";
    }
    for (const char* coluna : {"PRECO", "ALIQICMSREG00", "BASEICMSREG00", "PR_ULT_ENT1", "LUCRO",
                               "PERC_IVA", "PRECOPROMO", "PERCICMSSUBSTRIBSAIDAR4", "GRADE"}) {
        SCOPED_TRACE(coluna);
        EXPECT_EQ(Coluna(coluna), "0");
    }
    for (const char* coluna : {"DT_CADASTRO", "DATA_ULT_ENT1", "DATA_ULT_REAJUSTE"}) {
        SCOPED_TRACE(coluna);
        EXPECT_EQ(Nulos(coluna), 1) << "left out of the statement";
    }
    EXPECT_EQ(Regional().formatoDataCurta, "dd/mm/yyyy");
}

// Every field set to a value of its own lands in its own column: a column list and a
// value list out of step would put some value into a neighbour.
TEST_F(ConverteProdutoTeste, CadaCampoChegaNaSuaColuna) {
    TConverteProduto produto(Banco(), mensagens);
    struct Campo {
        const char* coluna;
        std::function<void()> define;
        std::string esperado;
    };
    TConverteProduto& p = produto;
    double n = 0;
    std::vector<Campo> campos;
    const auto texto = [&](const char* coluna, void (TConverteProduto::*set)(std::string_view),
                           std::string valor, std::string esperado = {}) {
        if (esperado.empty()) esperado = valor;
        campos.push_back({coluna, [&p, set, valor] { (p.*set)(valor); }, esperado});
    };
    const auto numero = [&](const char* coluna, void (TConverteProduto::*set)(double)) {
        n += 1.25;
        const double valor = n;
        campos.push_back({coluna, [&p, set, valor] { (p.*set)(valor); }, NumeroParaTexto(valor)});
    };
    using P = TConverteProduto;
    texto("CODPROD", &P::SetCODPROD, "42", "000042");
    texto("TIPOPROD", &P::SetTIPOPROD, "P");
    texto("ATIVO", &P::SetATIVO, "N");
    texto("PRODBLOQUEADO", &P::SetPRODBLOQUEADO, "S");
    texto("CONTROLESERIE", &P::SetCONTROLESERIE, "C");
    texto("REFERENCIA", &P::SetREFERENCIA, "REF-1");
    texto("REFFABRICANTE", &P::SetREFFABRICANTE, "  RF-2  ", "RF-2");
    texto("DESCRICAO", &P::SetDESCRICAO, "Martelo");
    texto("DESCRICAO2", &P::SetDESCRICAO2, "Desc 2");
    texto("DESCRICAO3", &P::SetDESCRICAO3, "Desc 3");
    texto("FORNEC_ULT_ENT1", &P::SetFORNEC_ULT_ENT1, "F00001");
    texto("CODGRUPO", &P::SetCODGRUPO, "7", "007");
    texto("CODSUBGRUPO", &P::SetCODSUBGRUPO, "8", "008");
    texto("PRINCIPALFORNEC", &P::SetPRINCIPALFORNEC, " 9 ", "000009");
    texto("EMBALAGEM", &P::SetEMBALAGEM, "CX 12");
    texto("CODFABRIC", &P::SetCODFABRIC, "4", "004");
    texto("OBSERVACAO", &P::SetOBSERVACAO, "Obs");
    texto("CODLOCAL", &P::SetCODLOCAL, "A1-B2-C3-D4", "A1-B2-C3");
    texto("CODCLASFIS", &P::SetCODCLASFIS, "31", "0031");
    numero("ALIQICMSREG00", &P::SetALIQICMSREG00);
    numero("BASEICMSREG00", &P::SetBASEICMSREG00);
    numero("BASEICMSREG02", &P::SetBASEICMSREG02);
    texto("CODTRIBUT00", &P::SetCODTRIBUT00, "60", "060");
    texto("CODTRIBUT01", &P::SetCODTRIBUT01, "10", "010");
    numero("ALIQICMSPDV", &P::SetALIQICMSPDV);
    texto("SUBSTRIB", &P::SetSUBSTRIB, "S");
    numero("ALIQIPI", &P::SetAliqIpi);
    numero("ALIQISS", &P::SetAliqISS);
    numero("PESO", &P::SetPESO);
    texto("UNIDADEENT", &P::SetUNIDADEENT, "CAIXA12", "CAIXA1");
    texto("UNIDADESAIDA", &P::SetUNIDADESAIDA, "PC");
    texto("CODFAMILIA", &P::SetCodFamilia, "FAM", "FA");
    texto("CODTIPOPRODUTO", &P::SetCodTipoProduto, "00");
    texto("CODVOLUME", &P::SetCodVolume, "V01");
    texto("TIPOENTREGA", &P::SetTipoEntrega, "E");
    texto("CODGENEROITEM", &P::SetCodGeneroItem, "07");
    numero("PRECO", &P::SetPRECO);
    texto("DESCRICAOPRECO", &P::SetDESCRICAOPRECO, "Varejo do centro", "Varejo do ");
    numero("PRECO2", &P::SetPRECO2);
    texto("DESCRICAOPRECO2", &P::SetDESCRICAOPRECO2, "Atacado");
    numero("PRECO3", &P::SetPRECO3);
    texto("DESCRICAOPRECO3", &P::SetDESCRICAOPRECO3, "Promo");
    numero("PRECO4", &P::SetPRECO4);
    texto("DESCRICAOPRECO4", &P::SetDESCRICAOPRECO4, "Outro");
    numero("LUCRO", &P::SetLucro);
    numero("LUCRO2", &P::SetLucro2);
    numero("LUCRO3", &P::SetLucro3);
    numero("LUCRO4", &P::SetLucro4);
    numero("ESTMINIMO", &P::SetEstMinimo);
    numero("ESTMAXIMO", &P::SetEstMaximo);
    numero("COMISSAO", &P::SetComissao);
    numero("PERC_IVA", &P::SetPerc_Iva);
    numero("FATORCONVERSAO", &P::SetFatorConversao);
    numero("VALORIPI", &P::SetValorIpi);
    numero("PRECOPROMO", &P::SetPrecoPromo);
    texto("CAMPOLIVRE1", &P::SetCAMPOLIVRE1, " livre 1 ", "livre 1");
    texto("CAMPOLIVRE2", &P::SetCAMPOLIVRE2, "livre 2");
    texto("CAMPOLIVRE3", &P::SetCAMPOLIVRE3, "livre 3");
    texto("CAMPOLIVRE4", &P::SetCAMPOLIVRE4, "livre 4");
    texto("MENSAGEM00", &P::Setmensagem00, "msg 0");
    numero("ALIQICMSREG01", &P::Setaliqicmsreg01);
    numero("BASEICMSREG01", &P::SetBaseIcmsReg01);
    texto("MENSAGEM01", &P::Setmensagem01, "msg 1");
    numero("ALIQICMSREG02", &P::Setaliqicmsreg02);
    texto("CODTRIBUT02", &P::SetCODTRIBUT02, "20", "020");
    texto("MENSAGEM02", &P::Setmensagem02, "msg 2");
    numero("ALIQICMSREG03", &P::Setaliqicmsreg03);
    numero("BASEICMSREG03", &P::SetBaseIcmsReg03);
    texto("CODTRIBUT03", &P::SetCODTRIBUT03, "30", "030");
    texto("MENSAGEM03", &P::Setmensagem03, "msg 3");
    numero("ALIQICMSDIVERSOS", &P::SetAliqIcmsDiversos);
    numero("BASEICMSDIVERSOS", &P::SetBaseIcmsdiversos);
    texto("CODTRIBUTDIVERSOS", &P::SetCodTributDiversos, "90", "090");
    texto("MENSAGEMDIVERSOS", &P::SetMensagemDiversos, "msg d");
    numero("LUCROSUBSTRIB", &P::Setlucrosubstrib);
    texto("SUBSTRIBSAIDA", &P::Setsubstribsaida, "A");
    numero("PERCBASESUBSTRIBSAIDA", &P::Setpercbasesubstribsaida);
    numero("PERCICMSSUBSTRIBSAIDA", &P::SetPercIcmsSubsTribSaida);
    texto("SUBSTRIBSAIDAR1", &P::SetsubstribsaidaR1, "B");
    numero("PERCBASESUBSTRIBSAIDAR1", &P::SetpercbasesubstribsaidaR1);
    numero("PERCICMSSUBSTRIBSAIDAR1", &P::SetPercIcmsSubsTribSaidaR1);
    texto("SUBSTRIBSAIDAR2", &P::SetsubstribsaidaR2, "C");
    numero("PERCBASESUBSTRIBSAIDAR2", &P::SetpercbasesubstribsaidaR2);
    numero("PERCICMSSUBSTRIBSAIDAR2", &P::SetPercIcmsSubsTribSaidaR2);
    texto("SUBSTRIBSAIDAR3", &P::SetsubstribsaidaR3, "D");
    numero("PERCBASESUBSTRIBSAIDAR3", &P::SetpercbasesubstribsaidaR3);
    numero("PERCICMSSUBSTRIBSAIDAR3", &P::SetPercIcmsSubsTribSaidaR3);
    texto("SUBSTRIBSAIDAR4", &P::SetsubstribsaidaR4, "E");
    numero("PERCBASESUBSTRIBSAIDAR4", &P::SetpercbasesubstribsaidaR4);
    texto("CONTROLELOTE", &P::SetControleLote, "L");
    numero("PERCICMSSUBSTRIBSAIDAR4", &P::SetPercIcmsSubsTribSaidaR4);
    campos.push_back({"GRADE", [&p] { p.Setgrade(77); }, "77"});

    for (const Campo& c : campos) c.define();
    ASSERT_NO_THROW(produto.Inserir()) << produto.TextoInsert();
    for (const Campo& c : campos) {
        SCOPED_TRACE(c.coluna);
        EXPECT_EQ(Coluna(c.coluna, "000042"), c.esperado);
    }
    EXPECT_EQ(Coluna("PR_ULT_ENT1", "000042"), "0");
    EXPECT_EQ(Coluna("MULTDIVIDE", "000042"), "");

    // Inserir reset everything: the next row is the defaults again.
    produto.SetCODPROD("43");
    produto.Inserir();
    EXPECT_EQ(Coluna("DESCRICAO", "000043"), "");
    EXPECT_EQ(Coluna("UNIDADEENT", "000043"), "UN");
    EXPECT_EQ(Coluna("ATIVO", "000043"), "S");
    EXPECT_EQ(Coluna("PRECOPROMO", "000043"), "0");
    EXPECT_EQ(Coluna("GRADE", "000043"), "0");
}

TEST_F(ConverteProdutoTeste, SettersNormalizam) {
    const std::string descricao60 = std::string(49, 'A') + " " + std::string(10, 'B');
    struct Caso {
        const char* nome;
        std::function<void(TConverteProduto&)> define;
        const char* coluna;
        std::string esperado;
    };
    const Caso casos[] = {
        {"codprod 7", [](auto& p) { p.SetCODPROD("7"); }, "CODPROD", "000007"},
        {"codprod com brancos", [](auto& p) { p.SetCODPROD(" 12 "); }, "CODPROD", "000012"},
        {"codprod longo", [](auto& p) { p.SetCODPROD("1234567"); }, "CODPROD", "123456"},
        {"clasfis com branco", [](auto& p) { p.SetCODCLASFIS(" 12"); }, "CODCLASFIS", "0 12"},
        {"clasfis", [](auto& p) { p.SetCODCLASFIS("12"); }, "CODCLASFIS", "0012"},
        {"clasfis brancos", [](auto& p) { p.SetCODCLASFIS("   "); }, "CODCLASFIS", ""},
        {"subgrupo", [](auto& p) { p.SetCODSUBGRUPO("5"); }, "CODSUBGRUPO", "005"},
        {"subgrupo vazio", [](auto& p) { p.SetCODSUBGRUPO(""); }, "CODSUBGRUPO", ""},
        {"subgrupo sem aparar", [](auto& p) { p.SetCODSUBGRUPO(" 5"); }, "CODSUBGRUPO", "0 5"},
        {"grupo longo", [](auto& p) { p.SetCODGRUPO("12345"); }, "CODGRUPO", "123"},
        {"grupo brancos", [](auto& p) { p.SetCODGRUPO("  "); }, "CODGRUPO", ""},
        {"fornecedor brancos", [](auto& p) { p.SetPRINCIPALFORNEC("  "); }, "PRINCIPALFORNEC", ""},
        {"ativo Sim", [](auto& p) { p.SetATIVO("Sim"); }, "ATIVO", "S"},
        {"descricao cortada e aparada", [&](auto& p) { p.SetDESCRICAO(descricao60); }, "DESCRICAO",
         std::string(49, 'A')},
        {"descricao aparada", [](auto& p) { p.SetDESCRICAO("  Serrote  "); }, "DESCRICAO",
         "Serrote"},
        {"apostrofo", [](auto& p) { p.SetDESCRICAO("CAIXA D'AGUA"); }, "DESCRICAO", "CAIXA D'AGUA"},
        {"embalagem aparada e cortada", [](auto& p) { p.SetEMBALAGEM("   caixa com 24 unidades"); },
         "EMBALAGEM", "caixa com 24 un"},
        {"campo livre 3", [](auto& p) { p.SetCAMPOLIVRE3(" " + std::string(60, 'x')); },
         "CAMPOLIVRE3", std::string(50, 'x')},
        {"tributacao brancos", [](auto& p) { p.SetCODTRIBUT00("   "); }, "CODTRIBUT00", ""},
        {"tributacao aparada", [](auto& p) { p.SetCODTRIBUT00(" 6 "); }, "CODTRIBUT00", "006"},
    };
    TConverteProduto produto(Banco(), mensagens);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        Executa("delete from PRODUTO");
        c.define(produto);
        ASSERT_NO_THROW(produto.Inserir());
        EXPECT_EQ(Valor(std::string("select ") + c.coluna + " from PRODUTO"), c.esperado);
    }
}

TEST_F(ConverteProdutoTeste, ValoresNoTextoDoInsert) {
    TConverteProduto produto(Banco(), mensagens);
    produto.SetDESCRICAO("D'AGUA");
    produto.SetBASEICMSREG00(51.11);
    produto.SetALIQICMSREG00(18);
    produto.SetPRECO(1234567.891);
    produto.SetPESO(-0.5);
    const std::string sql = produto.TextoInsert();
    EXPECT_THAT(sql, HasSubstr("'D''AGUA'"));
    EXPECT_THAT(sql, HasSubstr(", 18, 51.11, 0, "));  // ALIQICMSREG00, BASEICMSREG00, BASEICMSREG02
    EXPECT_THAT(sql, HasSubstr(" 1234567.891, "));
    EXPECT_THAT(sql, HasSubstr(" -0.5, "));
    EXPECT_THAT(sql, StartsWith(" Insert Into Produto (Produto.CODPROD, "));
    EXPECT_THAT(sql, EndsWith(", 0) "));

    produto.Inserir();
    db::Consulta q(Banco());
    q.DefineSql("select DESCRICAO, BASEICMSREG00, ALIQICMSREG00, PRECO, PESO from PRODUTO");
    q.Abre();
    EXPECT_EQ(q.CampoTexto("DESCRICAO"), "D'AGUA");
    EXPECT_EQ(q.CampoNumero("BASEICMSREG00"), 51.11);
    EXPECT_EQ(q.CampoNumero("ALIQICMSREG00"), 18);
    EXPECT_EQ(q.CampoNumero("PRECO"), 1234567.891);
    EXPECT_EQ(q.CampoNumero("PESO"), -0.5);
}

TEST_F(ConverteProdutoTeste, DataDeCadastroEntreOPrecoPromocionalEOFracionado) {
    TConverteProduto produto(Banco(), mensagens);
    produto.SetPrecoPromo(9.9);
    produto.SetDT_CADASTRO("15.03.2010");
    const std::string sql = produto.TextoInsert();
    EXPECT_THAT(sql,
                HasSubstr("Produto.PrecoPromo, Produto.DT_CADASTRO     ,Produto.Fracionado, "));
    EXPECT_THAT(sql, HasSubstr(", 9.9, '15.03.2010','', "));
    ASSERT_NO_THROW(produto.Inserir());
    EXPECT_EQ(Valor("select extract(day from DT_CADASTRO) || '-' || extract(month from DT_CADASTRO)"
                    " || '-' || extract(year from DT_CADASTRO) from PRODUTO"),
              "15-3-2010");
    EXPECT_EQ(Nulos("DATA_ULT_ENT1"), 1);

    // The text goes in untouched, so a date written day/month/year is read by the
    // database as month/day.
    produto.SetCODPROD("2");
    produto.SetDT_CADASTRO("05/03/2010");
    ASSERT_NO_THROW(produto.Inserir());
    EXPECT_EQ(Valor("select extract(month from DT_CADASTRO) from PRODUTO where CODPROD = '000002'"),
              "5");
}

TEST_F(ConverteProdutoTeste, InsercaoRecusadaMantemOsCampos) {
    TConverteProduto produto(Banco(), mensagens);
    produto.SetCODPROD("1");
    produto.Inserir();
    produto.SetCODPROD("1");
    produto.SetDESCRICAO("Alicate");
    try {
        produto.Inserir();
        FAIL() << "a second product 000001 must be refused";
    } catch (const db::ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("PRODUTO"));
    }
    produto.SetCODPROD("2");
    produto.Inserir();
    EXPECT_EQ(Coluna("DESCRICAO", "000002"), "Alicate");
}

TEST_F(ConverteProdutoTeste, ExcluiRegistrosEsvaziaEConfirma) {
    Executa("insert into PRODUTO (CODPROD) values ('000091')");
    Executa("insert into PRODUTODETALHE (CODPROD) values ('000091')");
    Executa("insert into COMPPROD (CODPROD) values ('000091')");
    TConverteProduto produto(Banco(), mensagens);
    TConverteProdutoDetalhe detalhe(Banco(), mensagens);
    TConverteCompProd compProd(Banco(), mensagens);
    produto.ExcluiRegistros();
    detalhe.ExcluiRegistros();
    compProd.ExcluiRegistros();
    EXPECT_FALSE(Banco().DBTransaction().Ativa()) << "each purge ends with a commit";
    EXPECT_EQ(ContaLinhas("PRODUTO"), 0);
    EXPECT_EQ(ContaLinhas("PRODUTODETALHE"), 0);
    EXPECT_EQ(ContaLinhas("COMPPROD"), 0);
    EXPECT_THAT(mensagens.lista, IsEmpty());
}

TEST_F(ConverteProdutoTeste, DetalhePadroesEValores) {
    TConverteProdutoDetalhe detalhe(Banco(), mensagens);
    EXPECT_THAT(
        detalhe.TextoInsert(),
        EndsWith(
            ")  Values ('', '', '', '', '', '', 0, 0, '', '', 0, 0, 0, 0, '', '', 0, '', 0, 0) "));

    detalhe.SetCODPROD("000007");
    detalhe.SetPIS_CST("01");
    detalhe.SetCOFINS_CST("01");
    detalhe.SetPISENT_CST("50");
    detalhe.SetCOFINSENT_CST("50");
    detalhe.SetALIQPIS(0.65);
    detalhe.SetALIQCOFINS(3);
    detalhe.SetALIQPISENT(1.65);
    detalhe.SetALIQCOFINSENT(7.6);
    const std::string sql = detalhe.TextoInsert();
    EXPECT_THAT(sql, StartsWith(" Insert Into ProdutoDetalhe ("));
    EXPECT_THAT(sql, EndsWith(")  Values ('000007', '', '', '', '', '', 0, 0.65, '01', '50', 0, 3, "
                              "1.65, 7.6, '01', '50', 0, '', 0, 0) "));
    ASSERT_TRUE(detalhe.Inserir());

    // The entry rates carry over to the next row; everything else is reset.
    detalhe.SetCODPROD("000008");
    detalhe.Inserir();
    const auto coluna = [](const char* c, const char* cod) {
        return Valor(std::string("select ") + c + " from PRODUTODETALHE where CODPROD = '" + cod +
                     "'");
    };
    EXPECT_EQ(coluna("PIS_CST", "000007"), "01");
    EXPECT_EQ(coluna("ALIQPIS", "000007"), "0,65");
    EXPECT_EQ(coluna("ALIQCOFINS", "000007"), "3");
    EXPECT_EQ(coluna("COFINSENT_CST", "000007"), "50");
    EXPECT_EQ(coluna("ALIQPISENT", "000008"), "1,65");
    EXPECT_EQ(coluna("ALIQCOFINSENT", "000008"), "7,6");
    EXPECT_EQ(coluna("ALIQPIS", "000008"), "0");
    EXPECT_EQ(coluna("PIS_CST", "000008"), "");
    EXPECT_EQ(coluna("CODPROMOCAO", "000008"), "0");
}

TEST(TConverteCompProd, CodigoDoProdutoSoCompletado) {
    // No connection is needed for the fields: the queries stay idle.
    db::Conexao semBanco;
    MensagensGravadas mensagens;
    TConverteCompProd compProd(semBanco, mensagens);
    EXPECT_EQ(compProd.Campos().CODPROD, "000000");
    compProd.SetCODPROD("12");
    EXPECT_EQ(compProd.Campos().CODPROD, "000012");
    compProd.SetCODPROD("1234567");
    EXPECT_EQ(compProd.Campos().CODPROD, "1234567");
    compProd.SetCODPROD(" 12");
    EXPECT_EQ(compProd.Campos().CODPROD, "000 12");
    compProd.SetQuantidade(3);
    compProd.SetPrecoCusto(2.5);
    compProd.Limpa();
    EXPECT_EQ(compProd.Campos().CODPROD, "000000");
    EXPECT_EQ(compProd.Campos().Quantidade, 0);
    EXPECT_EQ(compProd.Campos().PrecoCusto, 0);
}

}  // namespace
}  // namespace conversor::convert
