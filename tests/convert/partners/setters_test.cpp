// The cleaning the carrier and supplier setters and the seller record do on the way
// in. No database is needed: converters only touch it when they write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "apoio/mensagens_gravadas.h"
#include "convert/partners/converte_fornece.h"
#include "convert/partners/converte_transportadora.h"
#include "convert/partners/registro_vendedor.h"

namespace conversor::convert {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;

template <class Conversor>
struct CasoSetter {
    const char* nome;
    std::function<void(Conversor&, std::string_view)> setter;
    std::function<const std::string&(const Conversor&)> campo;
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
    using Caso = CasoSetter<T>;
    const Caso casos[] = {
        {"codigo curto", &T::SetCodTransp, &T::CODTRANSPT, "12", "0012"},
        {"codigo longo", &T::SetCodTransp, &T::CODTRANSPT, "12345", "1234"},
        {"codigo com letra: preenche e depois tira", &T::SetCodTransp, &T::CODTRANSPT, "A12", "012"},
        {"codigo com aspas", &T::SetCodTransp, &T::CODTRANSPT, "1\"2", "0012"},
        {"estado em maiusculas", &T::SetEstado, &T::ESTADO, "mg", "MG"},
        {"estado cortado", &T::SetEstado, &T::ESTADO, "Minas", "MI"},
        {"estado com aspas", &T::SetEstado, &T::ESTADO, "\"sp\"", "SP"},
        {"nome sem aspas duplas", &T::SetNome, &T::NOME, "Transportes \"Rápido\" Ltda",
         "Transportes Rápido Ltda"},
        {"nome guarda apostrofo", &T::SetNome, &T::NOME, "Expresso D'Ávila", "Expresso D'Ávila"},
        {"nome aparado depois da aspa", &T::SetNome, &T::NOME, "  Expresso \" ", "Expresso"},
        {"nome cortado em 35", &T::SetNome, &T::NOME, std::string(40, 'N'), std::string(35, 'N')},
        {"cnpj so digitos", &T::SetCgcCpf, &T::CGCCPF, "12.345.678/0001-90", "12345678000190"},
        {"cnpj cortado em 14", &T::SetCgcCpf, &T::CGCCPF, "123456789012345678", "12345678901234"},
        {"cnpj isento", &T::SetCgcCpf, &T::CGCCPF, "isento", "ISENTO"},
        // Each removal cleans the value again: the quote left behind spoils "ISENTO".
        {"isento entre aspas", &T::SetInscEst, &T::INSCEST, "\"ISENTO\"", ""},
        {"inscricao cortada em 15", &T::SetInscEst, &T::INSCEST, "062.123.456/0078-99", "062123456007899"},
        {"pessoa", &T::SetPessoaFJ, &T::PESSOA_FJ, "Jur", "J"},
        {"cidade vazia fica vazia", &T::SetCodCidade, &T::CODCIDADE, "", ""},
        {"cidade preenchida", &T::SetCodCidade, &T::CODCIDADE, "7", "00007"},
        {"cidade cortada", &T::SetCodCidade, &T::CODCIDADE, "123456", "12345"},
        {"contato vazio", &T::SetContato, &T::CONTATO, "", ""},
        {"contato", &T::SetContato, &T::CONTATO, "12", "00012"},
        {"bairro", &T::SetBairro, &T::BAIRRO, std::string(31, 'b'), std::string(30, 'b')},
        {"cep", &T::SetCep, &T::CEP, "301300009", "30130000"},
        {"endereco", &T::SetEndereco, &T::ENDERECO, std::string(51, 'e'), std::string(50, 'e')},
        {"fone so digitos", &T::SetFone, &T::FONE, "(31) 3333-4444", "3133334444"},
        {"fone cortado em 16", &T::SetFone, &T::FONE, "12345678901234567890", "1234567890123456"},
        {"fax com aspas", &T::SetFax, &T::FAX, "\"3133334444\"", "3133334444"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        T t(semBanco_, mensagens_);
        c.setter(t, c.entrada);
        EXPECT_EQ(c.campo(t), c.esperado);
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
    for (const std::string* limpo : {&t.CODTRANSPT(), &t.NOME(), &t.CGCCPF(), &t.INSCEST(),
                                     &t.PESSOA_FJ(), &t.CODCIDADE(), &t.ESTADO()})
        EXPECT_EQ(*limpo, "");
    EXPECT_EQ(t.BAIRRO(), "Centro");
    EXPECT_EQ(t.CEP(), "30130000");
    EXPECT_EQ(t.ENDERECO(), "Rua Curitiba 100");
    EXPECT_EQ(t.CONTATO(), "00001");
    EXPECT_EQ(t.FONE(), "3133334444");
    EXPECT_EQ(t.FAX(), "3133335555");
}

TEST_F(Setters, Fornecedor) {
    using F = TConverteFornece;
    using Caso = CasoSetter<F>;
    const Caso casos[] = {
        {"codigo curto", &F::SetCodFornec, &F::CodFornec, "123", "000123"},
        {"codigo longo fica inteiro", &F::SetCodFornec, &F::CodFornec, "1234567", "1234567"},
        {"codigo com apostrofo", &F::SetCodFornec, &F::CodFornec, "12'3", "000123"},
        {"estado sem maiusculas", &F::SetEstado, &F::Estado, "mg", "mg"},
        {"nome sem apostrofo", &F::SetNome, &F::Nome, "D'AVILA", "DAVILA"},
        {"nome guarda aspas duplas", &F::SetNome, &F::Nome, "Casa \"Boa\"", "Casa \"Boa\""},
        {"nome aparado e cortado", &F::SetNome, &F::Nome, "  " + std::string(60, 'n'),
         std::string(50, 'n')},
        {"fantasia", &F::SetNomeFantasia, &F::NomeFantasia, std::string(41, 'f'), std::string(40, 'f')},
        {"contato", &F::SetContato, &F::Contato, " Zé ", "Zé"},
        {"endereco sem aparar", &F::SetEndereco, &F::Endereco, " Rua A ", " Rua A "},
        // Cut before trimming: the blanks inside the first 60 go, the rest never came.
        {"complemento cortado e aparado", &F::SetComplemento, &F::Complemento,
         std::string(55, 'c') + "      xyz", std::string(55, 'c')},
        {"cidade vazia", &F::SetCodCidade, &F::CodCidade, "", ""},
        {"cidade", &F::SetCodCidade, &F::CodCidade, "42", "00042"},
        {"cnpj", &F::SetCgcCpf, &F::CgcCpf, "12.345.678/0001-90", "12345678000190"},
        {"inscricao isenta", &F::SetInscEst, &F::InscEst, "Isento", "ISENTO"},
        {"inscricao municipal", &F::SetInscMunicipal, &F::InscMunicipal, "123.456-7", "1234567"},
        {"celular", &F::SetCelular, &F::Celular, "(31) 99999-8888", "31999998888"},
        {"fone cortado em 15", &F::SetFone, &F::Fone, "9988887777ramal2", "9988887777ramal"},
        {"email aparado", &F::SetEmail, &F::Email, " compras@aco.com.br ", "compras@aco.com.br"},
        {"municipio vazio", &F::SetCodMunicipio, &F::codmunicipio, "", "0000000"},
        {"municipio longo cortado", &F::SetCodMunicipio, &F::codmunicipio, "31062009", "3106200"},
        {"ativo em maiusculas", &F::SetAtivo, &F::ativo, "sim", "S"},
        {"ativo guarda apostrofo", &F::SetAtivo, &F::ativo, "'", "'"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        F f(semBanco_, mensagens_);
        c.setter(f, c.entrada);
        EXPECT_EQ(c.campo(f), c.esperado);
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
    EXPECT_EQ(f.ativo(), "");
    f.SetAtivo("S");
    f.SetNome("Aço Forte");
    f.SetCodFornec("9");
    f.Limpa();
    EXPECT_EQ(f.ativo(), "S");
    EXPECT_EQ(f.Nome(), "");
    EXPECT_EQ(f.CodFornec(), "000000");
    EXPECT_EQ(f.codmunicipio(), "0000000");
}

TEST_F(Setters, RegistroVendedorGuardaComoRecebeExcetoOCodigo) {
    TRegistroVendedor r(semBanco_, mensagens_);
    EXPECT_EQ(r.GetCodvendedor(), "0000");
    EXPECT_EQ(r.GetCodcidade(), "");
    EXPECT_EQ(r.GetComissao(), 0);
    EXPECT_EQ(r.GetPrecovendedor(), 0);
    EXPECT_EQ(r.GetVersion(), 0);
    r.SetCodvendedor("7");
    EXPECT_EQ(r.GetCodvendedor(), "0007");
    r.SetCodvendedor("12345");
    EXPECT_EQ(r.GetCodvendedor(), "12345");
    r.SetCep(" 30.130-000 ");
    EXPECT_EQ(r.GetCep(), " 30.130-000 ");
}

}  // namespace
}  // namespace conversor::convert
