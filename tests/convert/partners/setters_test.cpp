// The cleaning the carrier and supplier setters and the seller record do on the way
// in. No database is needed: converters only touch it when they write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "apoio/mensagens_gravadas.h"
#include "convert/partners/registro_fornecedor.h"
#include "convert/partners/registro_transportadora.h"
#include "convert/partners/registro_vendedor.h"

namespace conversor::convert {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

template <class Conversor, class Campos>
struct CasoSetter {
    const char* nome;
    std::function<void(Conversor&, std::string_view)> setter;
    std::string Campos::*campo;
    std::string entrada;
    std::string esperado;
};

class Setters : public ::testing::Test {
protected:
    db::Conexao semBanco_;  // never connected
    teste::MensagensGravadas mensagens_;
};

TEST_F(Setters, Transportadora) {
    using T = TConverteTransportadora;
    using Caso = CasoSetter<T, TCamposTransportadora>;
    const Caso casos[] = {
        {"codigo curto", &T::SetCodTransp, &TCamposTransportadora::CODTRANSPT, "12", "0012"},
        {"codigo longo", &T::SetCodTransp, &TCamposTransportadora::CODTRANSPT, "12345", "1234"},
        {"codigo com letra: preenche e depois tira", &T::SetCodTransp,
         &TCamposTransportadora::CODTRANSPT, "A12", "012"},
        {"codigo com aspas", &T::SetCodTransp, &TCamposTransportadora::CODTRANSPT, "1\"2", "0012"},
        {"estado em maiusculas", &T::SetEstado, &TCamposTransportadora::ESTADO, "mg", "MG"},
        {"estado cortado", &T::SetEstado, &TCamposTransportadora::ESTADO, "Minas", "MI"},
        {"estado com aspas", &T::SetEstado, &TCamposTransportadora::ESTADO, "\"sp\"", "SP"},
        {"nome sem aspas duplas", &T::SetNome, &TCamposTransportadora::NOME,
         "Transportes \"Rápido\" Ltda", "Transportes Rápido Ltda"},
        {"nome guarda apostrofo", &T::SetNome, &TCamposTransportadora::NOME, "Expresso D'Ávila",
         "Expresso D'Ávila"},
        {"nome aparado depois da aspa", &T::SetNome, &TCamposTransportadora::NOME, "  Expresso \" ",
         "Expresso"},
        {"nome cortado em 35", &T::SetNome, &TCamposTransportadora::NOME, std::string(40, 'N'),
         std::string(35, 'N')},
        {"cnpj so digitos", &T::SetCgcCpf, &TCamposTransportadora::CGCCPF, "12.345.678/0001-90",
         "12345678000190"},
        {"cnpj cortado em 14", &T::SetCgcCpf, &TCamposTransportadora::CGCCPF, "123456789012345678",
         "12345678901234"},
        {"cnpj isento", &T::SetCgcCpf, &TCamposTransportadora::CGCCPF, "isento", "ISENTO"},
        // Each removal cleans the value again: the quote left behind spoils "ISENTO".
        {"isento entre aspas", &T::SetInscEst, &TCamposTransportadora::INSCEST, "\"ISENTO\"", ""},
        {"inscricao cortada em 15", &T::SetInscEst, &TCamposTransportadora::INSCEST,
         "062.123.456/0078-99", "062123456007899"},
        {"pessoa", &T::SetPessoaFJ, &TCamposTransportadora::PESSOA_FJ, "Jur", "J"},
        {"cidade vazia fica vazia", &T::SetCodCidade, &TCamposTransportadora::CODCIDADE, "", ""},
        {"cidade preenchida", &T::SetCodCidade, &TCamposTransportadora::CODCIDADE, "7", "00007"},
        {"cidade cortada", &T::SetCodCidade, &TCamposTransportadora::CODCIDADE, "123456", "12345"},
        {"contato vazio", &T::SetContato, &TCamposTransportadora::CONTATO, "", ""},
        {"contato", &T::SetContato, &TCamposTransportadora::CONTATO, "12", "00012"},
        {"bairro", &T::SetBairro, &TCamposTransportadora::BAIRRO, std::string(31, 'b'),
         std::string(30, 'b')},
        {"cep", &T::SetCep, &TCamposTransportadora::CEP, "301300009", "30130000"},
        {"endereco", &T::SetEndereco, &TCamposTransportadora::ENDERECO, std::string(51, 'e'),
         std::string(50, 'e')},
        {"fone so digitos", &T::SetFone, &TCamposTransportadora::FONE, "(31) 3333-4444",
         "3133334444"},
        {"fone cortado em 16", &T::SetFone, &TCamposTransportadora::FONE, "12345678901234567890",
         "1234567890123456"},
        {"fax com aspas", &T::SetFax, &TCamposTransportadora::FAX, "\"3133334444\"", "3133334444"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        T t(semBanco_, mensagens_);
        c.setter(t, c.entrada);
        EXPECT_EQ(t.Campos().*c.campo, c.esperado);
    }
}

TEST_F(Setters, TransportadoraLimpaSoAIdentificacao) {
    TConverteTransportadora t(semBanco_, mensagens_);
    t.SetCodTransp("1");
    t.SetNome("Rodoviário Minas");
    t.SetCgcCpf("12345678000190");
    t.SetInscEst("0621234560078");
    t.SetPessoaFJ("J");
    t.SetCodCidade("1");
    t.SetEstado("MG");
    t.SetBairro("Centro");
    t.SetCep("30130000");
    t.SetEndereco("Rua Curitiba 100");
    t.SetContato("1");
    t.SetFone("3133334444");
    t.SetFax("3133335555");
    t.Limpa();
    const TCamposTransportadora& c = t.Campos();
    for (const std::string* limpo :
         {&c.CODTRANSPT, &c.NOME, &c.CGCCPF, &c.INSCEST, &c.PESSOA_FJ, &c.CODCIDADE, &c.ESTADO})
        EXPECT_EQ(*limpo, "");
    EXPECT_EQ(c.BAIRRO, "Centro");
    EXPECT_EQ(c.CEP, "30130000");
    EXPECT_EQ(c.ENDERECO, "Rua Curitiba 100");
    EXPECT_EQ(c.CONTATO, "00001");
    EXPECT_EQ(c.FONE, "3133334444");
    EXPECT_EQ(c.FAX, "3133335555");
}

TEST_F(Setters, Fornecedor) {
    using F = TConverteFornece;
    using Caso = CasoSetter<F, TCamposFornecedor>;
    const Caso casos[] = {
        {"codigo curto", &F::SetCodFornec, &TCamposFornecedor::CodFornec, "123", "000123"},
        {"codigo longo fica inteiro", &F::SetCodFornec, &TCamposFornecedor::CodFornec, "1234567",
         "1234567"},
        {"codigo com apostrofo", &F::SetCodFornec, &TCamposFornecedor::CodFornec, "12'3", "000123"},
        {"estado sem maiusculas", &F::SetEstado, &TCamposFornecedor::Estado, "mg", "mg"},
        {"nome sem apostrofo", &F::SetNome, &TCamposFornecedor::Nome, "D'AVILA", "DAVILA"},
        {"nome guarda aspas duplas", &F::SetNome, &TCamposFornecedor::Nome, "Casa \"Boa\"",
         "Casa \"Boa\""},
        {"nome aparado e cortado", &F::SetNome, &TCamposFornecedor::Nome,
         "  " + std::string(60, 'n'), std::string(50, 'n')},
        {"fantasia", &F::SetNomeFantasia, &TCamposFornecedor::NomeFantasia, std::string(41, 'f'),
         std::string(40, 'f')},
        {"contato", &F::SetContato, &TCamposFornecedor::Contato, " Zé ", "Zé"},
        {"endereco sem aparar", &F::SetEndereco, &TCamposFornecedor::Endereco, " Rua A ",
         " Rua A "},
        // Cut before trimming: the blanks inside the first 60 go, the rest never came.
        {"complemento cortado e aparado", &F::SetComplemento, &TCamposFornecedor::Complemento,
         std::string(55, 'c') + "      xyz", std::string(55, 'c')},
        {"cidade vazia", &F::SetCodCidade, &TCamposFornecedor::CodCidade, "", ""},
        {"cidade", &F::SetCodCidade, &TCamposFornecedor::CodCidade, "42", "00042"},
        {"cnpj", &F::SetCgcCpf, &TCamposFornecedor::CgcCpf, "12.345.678/0001-90", "12345678000190"},
        {"inscricao isenta", &F::SetInscEst, &TCamposFornecedor::InscEst, "Isento", "ISENTO"},
        {"inscricao municipal", &F::SetInscMunicipal, &TCamposFornecedor::InscMunicipal,
         "123.456-7", "1234567"},
        {"celular", &F::SetCelular, &TCamposFornecedor::Celular, "(31) 99999-8888", "31999998888"},
        {"fone cortado em 15", &F::SetFone, &TCamposFornecedor::Fone, "9988887777ramal2",
         "9988887777ramal"},
        {"email aparado", &F::SetEmail, &TCamposFornecedor::Email, " compras@aco.com.br ",
         "compras@aco.com.br"},
        {"municipio vazio", &F::SetCodMunicipio, &TCamposFornecedor::codmunicipio, "", "0000000"},
        {"municipio longo cortado", &F::SetCodMunicipio, &TCamposFornecedor::codmunicipio,
         "31062009", "3106200"},
        {"ativo em maiusculas", &F::SetAtivo, &TCamposFornecedor::ativo, "sim", "S"},
        {"ativo guarda apostrofo", &F::SetAtivo, &TCamposFornecedor::ativo, "'", "'"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        F f(semBanco_, mensagens_);
        c.setter(f, c.entrada);
        EXPECT_EQ(f.Campos().*c.campo, c.esperado);
    }
}

TEST_F(Setters, FornecedorMontaInsertComTodosOsValoresEntreApostrofos) {
    TConverteFornece f(semBanco_, mensagens_);
    f.SetCodFornec("1");
    f.SetNome("Aço Forte");
    f.SetAtivo("'");  // the one value that keeps a single quote
    const std::string sql = f.MontaInsert();
    EXPECT_THAT(sql, StartsWith("Insert Into fornece ( fornece.CodFornec, fornece.Nome, "));
    EXPECT_THAT(sql, HasSubstr("fornece.codmunicipio) Values ('000001', 'Aço Forte', '', "));
    // ... Celular, Email, HomePage, CampoLivre1, CampoLivre2, codcliente, ativo,
    // TipoFornece, contacx, ctctbred, codmunicipio.
    EXPECT_THAT(sql, EndsWith("'', '', '', '', '', '', '''', '', '', '', '0000000') "));
}

TEST_F(Setters, FornecedorLimpaNaoMexeNoAtivo) {
    TConverteFornece f(semBanco_, mensagens_);
    EXPECT_EQ(f.Campos().ativo, "");
    f.SetAtivo("S");
    f.SetNome("Aço Forte");
    f.SetCodFornec("9");
    f.Limpa();
    EXPECT_EQ(f.Campos().ativo, "S");
    EXPECT_EQ(f.Campos().Nome, "");
    EXPECT_EQ(f.Campos().CodFornec, "000000");
    EXPECT_EQ(f.Campos().codmunicipio, "0000000");
}

TEST_F(Setters, RegistroVendedorGuardaComoRecebeExcetoOCodigo) {
    TRegistroVendedor r(semBanco_, mensagens_);
    EXPECT_EQ(r.Campos().Codvendedor, "0000");
    EXPECT_EQ(r.Campos().Codcidade, "");
    EXPECT_EQ(r.Campos().Comissao, 0);
    EXPECT_EQ(r.Campos().Precovendedor, 0);
    EXPECT_EQ(r.Campos().Version, 0);
    r.SetCodvendedor("7");
    EXPECT_EQ(r.Campos().Codvendedor, "0007");
    r.SetCodvendedor("12345");
    EXPECT_EQ(r.Campos().Codvendedor, "12345");
    r.SetCep(" 30.130-000 ");
    EXPECT_EQ(r.Campos().Cep, " 30.130-000 ");
}

}  // namespace
}  // namespace conversor::convert
