// The client record and its complement: what the setters store, the statements they
// build, and the rows the database ends up holding.
#include "convert/clients/registro_cliente.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "base/regional.h"
#include "convert/clients/registro_comp_clie.h"
#include "db/erro.h"

namespace conversor::convert {
namespace {

using teste::BancoTeste;
using teste::MensagensGravadas;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

// Today as the record keeps it ("dd.mm.yyyy") and as the database gives it back.
std::string HojeComPontos() {
    std::string r = DataParaTexto(Hoje());
    std::replace(r.begin(), r.end(), '/', '.');
    return r;
}

// The columns the insert names: the list between the first "(" and the first ")".
int ColunasDoInsert(const std::string& sql) {
    const size_t inicio = sql.find('('), fim = sql.find(')');
    return static_cast<int>(std::count(sql.begin() + inicio, sql.begin() + fim, ',')) + 1;
}

class TConverteClienteTeste : public BancoTeste {
protected:
    void SetUp() override {
        Executa("delete from CLIENTE");
        Executa("delete from COMPCLIE");
    }
    MensagensGravadas mensagens_;
    TConverteCliente cliente_{Banco(), mensagens_};
};

using Setter = void (TConverteCliente::*)(std::string_view);

TEST_F(TConverteClienteTeste, SettersNormalizam) {
    struct Caso {
        const char* nome;
        Setter setter;
        std::string TCamposCliente::*campo;
        std::string entrada;
        std::string esperado;
    };
    using C = TConverteCliente;
    using F = TCamposCliente;
    const std::string longo(70, 'x');
    const Caso casos[] = {
        {"codigo vazio", &C::SetCodCliente, &F::codCliente, "", "00000000"},
        {"codigo 123", &C::SetCodCliente, &F::codCliente, "123", "00000123"},
        // Padded again after the letter goes, so the complement gets the same code.
        {"codigo com letra", &C::SetCodCliente, &F::codCliente, "12A", "00000012"},
        {"codigo com aspas", &C::SetCodCliente, &F::codCliente, "1\"23", "00000123"},
        {"codigo longo", &C::SetCodCliente, &F::codCliente, "123456789", "12345678"},
        {"nome com aspas", &C::SetNome, &F::nome, "  \"Ana\" Maria  ", "Ana Maria"},
        {"nome com aspas e longo", &C::SetNome, &F::nome, " \"" + longo, longo.substr(0, 60)},
        {"nome sem aspas aparado", &C::SetNome, &F::nome, "  Ana  ", "Ana"},
        {"fantasia aparada", &C::SetNomeFantasia, &F::nomefantasia, " Pão \"Bom\" ", "Pão Bom"},
        {"cidade vazia", &C::SetCodCidade, &F::codcidade, "", ""},
        {"cidade 7", &C::SetCodCidade, &F::codcidade, "7", "00007"},
        {"cidade longa", &C::SetCodCidade, &F::codcidade, "1234567", "12345"},
        {"cidade de cobranca", &C::SetCodCidadeCob, &F::codcidadecob, "42", "00042"},
        {"estado", &C::SetEstado, &F::estado, "MGX", "MG"},
        {"estado de cobranca", &C::SetEstadoCob, &F::estadocob, "\"SP\" capital", "SP"},
        {"estado de entrega aparado", &C::SetEstadoEnt, &F::estadoent, " mg ", "mg"},
        {"cep pontuado", &C::SetCep, &F::cep, "30.130-000", "30130000"},
        {"cnpj", &C::SetCgcCpf, &F::cgccpf, "12.345.678/0001-90", "12345678000190"},
        {"isento", &C::SetInscEst, &F::inscest, "ISENTO", "ISENTO"},
        {"isenta de inscricao", &C::SetInscMunicipal, &F::inscmunicipal, "Isenta", ""},
        {"fone de 8", &C::SetFone, &F::fone, "12345678", "  12345678"},
        {"fone de 8 depois das aspas", &C::SetFone, &F::fone, "\"3333-4444", "  33334444"},
        {"fone com ddd", &C::SetFone, &F::fone, "3133334444", "3133334444"},
        {"fone longo", &C::SetFone, &F::fone, std::string(20, '9'), std::string(15, '9')},
        {"fax pontuado", &C::SetFax, &F::fax, " (31) 3333-4444 ", "3133334444"},
        {"celular de 18", &C::SetCelular, &F::celular, std::string(18, '9'), std::string(18, '9')},
        {"celular de 18 com aspas", &C::SetCelular, &F::celular, "\"" + std::string(18, '9'),
         std::string(15, '9')},
        {"prefixo", &C::SetPrefixCelular, &F::prefixcelular, "031 9", "031 "},
        {"bairro sem aparar", &C::SetBairro, &F::bairro, " Centro ", " Centro "},
        {"bairro de cobranca", &C::SetBairroCob, &F::bairrocob, " " + longo, longo.substr(0, 30)},
        {"contato", &C::SetContato, &F::contato, "  " + longo, longo.substr(0, 50)},
        {"campo livre 1", &C::SetCampoLivre1, &F::campolivre1, longo, longo.substr(0, 20)},
        {"campo livre 5", &C::SetCampoLivre5, &F::campolivre5, longo, longo.substr(0, 40)},
        {"vendedor sem corte", &C::SetCodVendend1, &F::CodVendend1, "1\"2345", "12345"},
        {"pessoa", &C::SetPessoaFJ, &F::pessoa_fj, "Jurídica", "J"},
        {"cadastro 25/12/2020", &C::SetDtCadastro, &F::dt_cadastro, "25/12/2020", "25.12.2020"},
        {"cadastro vazio e hoje", &C::SetDtCadastro, &F::dt_cadastro, "", HojeComPontos()},
        {"cadastro serial", &C::SetDtCadastro, &F::dt_cadastro, "44190", "25.12.2020"},
        {"cadastro ano primeiro", &C::SetDtCadastro, &F::dt_cadastro, "2020-12-25", "2020.12.25"},
        // Not a date: kept, for the database to refuse when the row is written.
        {"cadastro ilegivel", &C::SetDtCadastro, &F::dt_cadastro, "Data/Cad", "Data.Cad"},
        {"nascimento vazio", &C::SetDtNascimento, &F::dt_nascimento, "", ""},
        {"nascimento", &C::SetDtNascimento, &F::dt_nascimento, "01/02/1990", "01.02.1990"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        (cliente_.*c.setter)(c.entrada);
        EXPECT_EQ(cliente_.Campos().*c.campo, c.esperado);
    }
}

TEST_F(TConverteClienteTeste, RegistroNovoTemOsValoresDeLimpa) {
    const TCamposCliente& c = cliente_.Campos();
    EXPECT_EQ(c.codCliente, "00000000");
    EXPECT_EQ(c.pessoa_fj, "F");
    EXPECT_EQ(c.Ativo, "S");
    EXPECT_EQ(c.CliBloqueado, "N");
    EXPECT_EQ(c.dt_cadastro, HojeComPontos());
    EXPECT_EQ(c.dt_nascimento, "");
    EXPECT_EQ(c.codcidade, "");
    EXPECT_EQ(c.LimiteCredito, 0);
}

TEST_F(TConverteClienteTeste, InsertDoRegistroLimpoGrava52ColunasEOsValoresFixos) {
    const std::string sql = cliente_.MontaInsert();
    EXPECT_EQ(ColunasDoInsert(sql), 52);
    EXPECT_THAT(sql, Not(HasSubstr("dt_nascimento")));
    EXPECT_THAT(sql, HasSubstr("cliente.dt_cadastro"));
    // Fixed texts in double quotes: string constants in dialect 1.
    EXPECT_THAT(sql, EndsWith("'N','',\"N\", \"N\") "));
    EXPECT_TRUE(cliente_.GravaCliente(1));

    const std::string onde = " from CLIENTE where CODCLIENTE = '00000000'";
    EXPECT_EQ(Valor("select DT_CADASTRO" + onde), DataParaTexto(Hoje()));
    EXPECT_EQ(Valor("select count(*)" + onde +
                    " and DT_NASCIMENTO is null and DT_ULTVENDA is null and DT_VALCAD is null"),
              "1");
    EXPECT_EQ(Valor("select PESSOA_FJ || ATIVO || CLIBLOQUEADO || MALADIRETAELETR || "
                    "PROTESTARCLIENTE" +
                    onde),
              "FSNNN");
    EXPECT_EQ(Valor("select LIMITECREDITO" + onde), "0");
    // The columns nothing fills are empty texts, not null.
    EXPECT_EQ(Valor("select count(*)" + onde +
                    " and CODFORNEC = '' and NOMESOCIO = '' and CODSEGMENTO = '' and "
                    "CODCLASCLI = '' and TIPOCLIENTE = '' and CODCIDADE = ''"),
              "1");
}

TEST_F(TConverteClienteTeste, NascimentoPreenchidoDa53Colunas) {
    cliente_.SetCodCliente("5");
    cliente_.SetDtNascimento("01/02/1990");
    EXPECT_EQ(ColunasDoInsert(cliente_.MontaInsert()), 53);
    cliente_.GravaCliente(1);
    EXPECT_EQ(Valor("select DT_NASCIMENTO from CLIENTE where CODCLIENTE = '00000005'"),
              "01/02/1990");
}

TEST_F(TConverteClienteTeste, DatasChegamAoBancoComODiaPrimeiro) {
    // "05/04/2020" must be 5 April: the database would read "/" dates month first.
    const struct {
        const char* codigo;
        std::string texto;
    } casos[] = {{"1", "05/04/2020"}, {"2", "43926"}, {"3", "2020-04-05"}, {"4", " 05-04-2020 "}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.texto);
        cliente_.SetCodCliente(c.codigo);
        cliente_.SetDtCadastro(c.texto);
        cliente_.GravaCliente(1);
        EXPECT_EQ(Valor("select DT_CADASTRO from CLIENTE where CODCLIENTE = '0000000" +
                        std::string(c.codigo) + "'"),
                  "05/04/2020");
    }
}

TEST_F(TConverteClienteTeste, ApostrofoDobradoNosDoisComandos) {
    cliente_.SetCodCliente("1");
    cliente_.SetNome("D'Ávila");
    EXPECT_THAT(cliente_.MontaInsert(), HasSubstr("'D''Ávila'"));
    cliente_.GravaCliente(1);
    EXPECT_EQ(Valor("select NOME from CLIENTE where CODCLIENTE = '00000001'"), "D'Ávila");

    cliente_.SetCodCliente("1");
    cliente_.SetNome("Maria D'Ávila");
    EXPECT_THAT(cliente_.MontaUpdate(), HasSubstr("cliente.Nome = 'Maria D''Ávila'"));
    cliente_.GravaCliente(2);
    EXPECT_EQ(Valor("select NOME from CLIENTE where CODCLIENTE = '00000001'"), "Maria D'Ávila");
}

TEST_F(TConverteClienteTeste, UpdateReescreveTudoMenosOCodigoEAnulaDatasVazias) {
    cliente_.SetCodCliente("7");
    cliente_.SetNome("Antiga");
    cliente_.SetBairro("Savassi");
    cliente_.SetDtNascimento("01/02/1990");
    cliente_.SetCliBloqueado("S");
    cliente_.GravaCliente(1);

    cliente_.SetCodCliente("7");
    cliente_.SetNome("Nova");
    cliente_.SetDtCadastro("25/12/2020");
    cliente_.SetCliBloqueado("S");  // the update always unblocks
    const std::string sql = cliente_.MontaUpdate();
    EXPECT_THAT(sql, StartsWith(" Update Cliente set cliente.Nome = 'Nova', "));
    EXPECT_THAT(sql, HasSubstr("cliente.dt_nascimento = NULL, cliente.dt_ultvenda = NULL, "
                               "cliente.dt_cadastro = '25.12.2020', cliente.DT_ValCad = NULL"));
    EXPECT_THAT(sql, EndsWith("Where cliente.codcliente = '00000007'"));
    EXPECT_TRUE(cliente_.GravaCliente(2));

    const std::string onde = " from CLIENTE where CODCLIENTE = '00000007'";
    EXPECT_EQ(ContaLinhas("CLIENTE"), 1);
    EXPECT_EQ(Valor("select NOME || '|' || BAIRRO || '|' || CLIBLOQUEADO" + onde), "Nova||N");
    EXPECT_EQ(Valor("select count(*)" + onde + " and DT_NASCIMENTO is null"), "1");
    EXPECT_EQ(Valor("select DT_CADASTRO" + onde), "25/12/2020");
}

TEST_F(TConverteClienteTeste, GravacaoBemSucedidaLimpaORegistro) {
    const TCamposCliente novo = cliente_.Campos();
    cliente_.SetCodCliente("3");
    cliente_.SetNome("Ana");
    cliente_.SetDtNascimento("01/02/1990");
    cliente_.SetPessoaFJ("J");
    cliente_.GravaCliente(1);
    EXPECT_EQ(cliente_.Campos(), novo);
}

TEST_F(TConverteClienteTeste, FalhasDeGravacao) {
    cliente_.SetCodCliente("9");
    cliente_.GravaCliente(1);

    // A code already there: the database's error, and the record keeps its values.
    cliente_.SetCodCliente("9");
    cliente_.SetNome("Repetido");
    try {
        cliente_.GravaCliente(1);
        ADD_FAILURE() << "aceitou o código repetido";
    } catch (const db::ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("PRIMARY or UNIQUE KEY"));
    }
    EXPECT_EQ(cliente_.Campos().nome, "Repetido");

    // An unknown mode writes nothing.
    cliente_.SetCodCliente("10");
    try {
        cliente_.GravaCliente(3);
        ADD_FAILURE() << "aceitou o modo 3";
    } catch (const std::invalid_argument& e) {
        EXPECT_THAT(e.what(), HasSubstr("Modo de gravação de cliente inválido: 3"));
    }
    EXPECT_EQ(cliente_.Campos().codCliente, "00000010");
    EXPECT_EQ(ContaLinhas("CLIENTE"), 1);

    // A registration date that is no date reaches the database, which refuses it.
    cliente_.SetDtCadastro("Data de Cadastro");
    try {
        cliente_.GravaCliente(1);
        ADD_FAILURE() << "aceitou a data ilegível";
    } catch (const db::ErroBanco& e) {
        EXPECT_THAT(e.what(), HasSubstr("Data de Cadastro"));
    }
}

TEST_F(TConverteClienteTeste, ExcluiRegistrosEsvaziaEConfirma) {
    Executa("insert into CLIENTE (CODCLIENTE) values ('00000001')");
    Executa("insert into COMPCLIE (CODCLIENTE) values ('00000001')");
    MensagensGravadas mensagens;
    TConverteCompClie comp(Banco(), mensagens);
    cliente_.ExcluiRegistros();
    comp.ExcluiRegistros();
    // The purge was committed: a rollback brings nothing back.
    if (Banco().DBTransaction().Ativa()) Banco().DBTransaction().Desfaz();
    EXPECT_EQ(ContaLinhas("CLIENTE"), 0);
    EXPECT_EQ(ContaLinhas("COMPCLIE"), 0);
}

// ---------------------------------------------------------------------------------
// The complement.

using TConverteCompClieTeste = TConverteClienteTeste;

TEST_F(TConverteCompClieTeste, Setters) {
    MensagensGravadas mensagens;
    TConverteCompClie comp(Banco(), mensagens);
    EXPECT_EQ(comp.Campos().DATA_LIB, "01/01/1900");
    comp.SetCodCliente(" 123 ");
    EXPECT_EQ(comp.Campos().CODCLIENTE, "00000123");
    comp.SetCodCliente("1234567890");
    EXPECT_EQ(comp.Campos().CODCLIENTE, "12345678");
    comp.SetNumeroNFe("123456");
    EXPECT_EQ(comp.Campos().NUMERONFE, "12345");
    // Parameters need no unquoting: the text stays as given, only cut.
    comp.SetEnderecoNFe(" Rua \"A\" " + std::string(60, 'x'));
    EXPECT_EQ(comp.Campos().ENDERECONFE, (" Rua \"A\" " + std::string(60, 'x')).substr(0, 60));
}

TEST_F(TConverteCompClieTeste, InserirGravaEmBrancoSemNulosELimpa) {
    MensagensGravadas mensagens;
    TConverteCompClie comp(Banco(), mensagens);
    const TCamposCompClie novo = comp.Campos();
    comp.SetCodCliente("123");
    comp.SetEnderecoNFe("Rua D'Ávila");
    comp.SetNumeroNFe("45");
    comp.SetComplementoNFe("Apto 101");
    EXPECT_TRUE(comp.Inserir());
    EXPECT_EQ(comp.Campos(), novo);
    comp.SetCodCliente("124");
    comp.Inserir();

    EXPECT_EQ(Valor("select ENDERECONFE || '|' || NUMERONFE || '|' || COMPLEMENTONFE from "
                    "COMPCLIE where CODCLIENTE = '00000123'"),
              "Rua D'Ávila|45|Apto 101");
    EXPECT_EQ(Valor("select count(*) from COMPCLIE where DATA_LIB = '01.01.1900' and "
                    "REFCOMERCIAIS is not null and REFBANCARIAS is not null and USUARIO = '' "
                    "and ENDERECONFE = '' and NUMERONFE = '' and COMPLEMENTONFE = ''"),
              "1");
    EXPECT_EQ(Valor("select REFCOMERCIAIS from COMPCLIE where CODCLIENTE = '00000124'"), "");
}

}  // namespace
}  // namespace conversor::convert
