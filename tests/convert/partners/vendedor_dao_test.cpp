// The seller data-access object writing records into a real VENDEND.
#include "convert/partners/vendedor_dao.h"

#include "base/regional.h"
#include "convert/partners/apoio_parceiros.h"

namespace conversor::convert {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

class VendedorDAO : public teste::ParceirosBanco {};

TEST_F(VendedorDAO, RegistroNovoGravaOsValoresIniciais) {
    TRegistroVendedor r(Banco(), mensagens_);
    TVendedorDAO dao(Banco(), mensagens_);
    EXPECT_TRUE(dao.Inserir(r));
    EXPECT_THAT(
        Linha("select CODVENDEDOR, NOME, CODCIDADE, ESTADO, CEP, TELEFONE, COMISSAO, "
              "CODROTA10, CGCCPF, MUDAPRECOPDV, HORAFIM, CODEMPRESA, CODFORNEC, "
              "PRECOVENDEDOR, COD_VENDEDOR_JAVA from VENDEND"),
        ElementsAre("0000", "", "00000", "", "", "", "0", "", "", "", "", "00", "000000", "0", ""));
    EXPECT_THAT(Linha("select DATAULTIMAVISITA, ULTIMAVISITAMARCADA, VERSION from VENDEND"),
                ElementsAre("30/12/1899", "30/12/1899", "30/12/1899"));
    EXPECT_THAT(mensagens_.lista, IsEmpty());
}

TEST_F(VendedorDAO, CortaELimpaCadaValorNaGravacao) {
    TRegistroVendedor r(Banco(), mensagens_);
    r.SetCodvendedor("12345");
    r.SetNome(std::string(45, 'N'));
    r.SetCodcidade("42");
    r.SetEstado("mg");
    r.SetCep("30.130-000");
    r.SetTelefone(" (31) 3333-4444 / 9999 8888 77");
    r.SetComissao(2.5);
    r.SetCgccpf("123.456.789-09");
    r.SetRg("MG-12.345.678");
    r.SetCodempresa("1");
    r.SetCodfornec("1234567");
    r.SetPrecovendedor(1);
    r.SetDataultimavisita(CodificaData(2024, 3, 15));
    r.SetCod_vendedor_java(std::string(20, 'j'));
    TVendedorDAO dao(Banco(), mensagens_);
    ASSERT_TRUE(dao.Inserir(r));
    EXPECT_THAT(Linha("select CODVENDEDOR, NOME, CODCIDADE, ESTADO, CEP, TELEFONE, COMISSAO, "
                      "CGCCPF, RG, CODEMPRESA, CODFORNEC, PRECOVENDEDOR, DATAULTIMAVISITA, "
                      "COD_VENDEDOR_JAVA from VENDEND"),
                ElementsAre("1234", std::string(40, 'N'), "00042", "mg", "30130000",
                            "3133334444999988", "2,5", "12345678909", "12345678", "01", "123456",
                            "1", "15/03/2024", std::string(18, 'j')));
}

TEST_F(VendedorDAO, CodigoRepetidoAvisaDevolveFalsoESegue) {
    TRegistroVendedor r(Banco(), mensagens_);
    TVendedorDAO dao(Banco(), mensagens_);
    r.SetCodvendedor("7");
    r.SetNome("Primeiro");
    ASSERT_TRUE(dao.Inserir(r));
    r.SetNome("Segundo");
    EXPECT_FALSE(dao.Inserir(r));
    ASSERT_THAT(mensagens_.Avisos(), SizeIs(1));
    EXPECT_THAT(
        mensagens_.Avisos()[0],
        StartsWith("Ocorreu um erro ao tentar inserir os dados da TVendedorDAO.\rMotivo: "));
    EXPECT_THAT(mensagens_.Avisos()[0], HasSubstr("PRIMARY or UNIQUE KEY"));
    // The transaction is untouched: the first seller is still there, and the object
    // goes on writing.
    EXPECT_TRUE(Banco().DBTransaction().Ativa());
    r.SetCodvendedor("8");
    EXPECT_TRUE(dao.Inserir(r));
    EXPECT_EQ(Valor("select NOME from VENDEND where CODVENDEDOR = '0007'"), "Primeiro");
    EXPECT_EQ(ContaLinhas("VENDEND"), 2);
}

TEST_F(VendedorDAO, ValorQueOBancoRecusaTambemViraAviso) {
    TRegistroVendedor r(Banco(), mensagens_);
    r.SetMudaprecopdv("NAO");  // one character wide, written as given
    TVendedorDAO dao(Banco(), mensagens_);
    EXPECT_FALSE(dao.Inserir(r));
    ASSERT_THAT(mensagens_.Avisos(), SizeIs(1));
    EXPECT_THAT(mensagens_.Avisos()[0], HasSubstr("Motivo: "));
    EXPECT_THAT(mensagens_.Avisos()[0], HasSubstr("truncation"));
    EXPECT_EQ(ContaLinhas("VENDEND"), 0);
}

}  // namespace
}  // namespace conversor::convert
