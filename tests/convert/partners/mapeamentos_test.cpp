// The carrier, supplier and seller sheet mappings run by the real conversion run
// against a real database, with the shipped city table for the area codes.
#include <xlsxwriter.h>

#include "convert/partners/apoio_parceiros.h"

namespace conversor::convert {
namespace {

using app::TipoRegistro;
using teste::LinhaPlanilha;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using ::testing::StartsWith;

const char* const kSucesso = "Conversão concluída com sucesso!";
const char* const kFalha = "Houve um erro ao realizar a conversão. Motivo: \r";

// What the three kinds have in common for the tests.
struct Tipo {
    const char* nome;
    TipoRegistro tipo;
    const char* tabela;
    int colunas;        // the last column the layout reads
    const char* letra;  // its letter
    int colunaCodigo;
    int colunaCidade;
    int colunaEstado;
    const char* legenda;
    const char* linhaAntiga;  // a row left by an earlier conversion
};

const Tipo kTipos[] = {
    {"transportadoras", TipoRegistro::Transportadoras, "TRANSPT", 27, "AA", 27, 6, 14,
     "Convertendo Transportador, Aguarde!",
     "INSERT INTO TRANSPT (CODTRANSPT, NOME) VALUES ('0099', 'Antiga')"},
    {"fornecedores", TipoRegistro::Fornecedores, "FORNECE", 48, "AV", 30, 8, 28,
     "Convertendo Fornecedor, Aguarde!",
     "INSERT INTO FORNECE (CODFORNEC, NOME) VALUES ('000099', 'Antigo')"},
    {"vendedores", TipoRegistro::Vendedores, "VENDEND", 57, "BE", 57, 10, 27,
     "Convertendo Vendedor, Aguarde!",
     "INSERT INTO VENDEND (CODVENDEDOR, NOME) VALUES ('0099', 'Antigo')"},
};

class Mapeamentos : public teste::ParceirosBanco {};

TEST_F(Mapeamentos, TabelaVaziaSoEsvaziaODestino) {
    for (const Tipo& t : kTipos) {
        SCOPED_TRACE(t.nome);
        Executa(t.linhaAntiga);
        mensagens_.Limpa();
        progresso_ = {};
        EXPECT_TRUE(Converte(t.tipo, 0, {}));
        EXPECT_EQ(ContaLinhas(t.tabela), 0);
        EXPECT_THAT(mensagens_.Informacoes(), ElementsAre(kSucesso));
        EXPECT_THAT(mensagens_.lista, SizeIs(1));
        EXPECT_THAT(progresso_.legendas, ElementsAre(t.legenda, ""));
        EXPECT_THAT(progresso_.status, ElementsAre(""));
        EXPECT_EQ(progresso_.maximo, 0);
        EXPECT_EQ(progresso_.posicao, 0);
    }
}

TEST_F(Mapeamentos, UmaGravacaoEUmPassoDeProgressoPorLinha) {
    for (const Tipo& t : kTipos) {
        SCOPED_TRACE(t.nome);
        mensagens_.Limpa();
        progresso_ = {};
        EXPECT_TRUE(
            Converte(t.tipo, t.colunas, {{{t.colunaCodigo, "1"}}, {{t.colunaCodigo, "2"}}}));
        EXPECT_EQ(ContaLinhas(t.tabela), 2);
        EXPECT_THAT(mensagens_.lista, SizeIs(1));
        EXPECT_THAT(progresso_.legendas, ElementsAre(t.legenda, ""));
        EXPECT_THAT(progresso_.status,
                    ElementsAre("Processando Registro 1 de 2", "Processando Registro 2 de 2", ""));
        EXPECT_EQ(progresso_.maximo, 2);
        EXPECT_EQ(progresso_.avancos, 2);
        EXPECT_EQ(progresso_.mensagensProcessadas, 2);
        EXPECT_EQ(progresso_.posicao, 0);
    }
}

TEST_F(Mapeamentos, PlanilhaEstreitaFalhaDepoisDeEsvaziar) {
    for (const Tipo& t : kTipos) {
        SCOPED_TRACE(t.nome);
        Executa(t.linhaAntiga);
        mensagens_.Limpa();
        LinhaPlanilha linha{{t.colunaCidade, "Contagem"}, {t.colunaEstado, "MG"}};
        EXPECT_FALSE(Converte(t.tipo, t.colunas - 1, {linha}));
        ASSERT_THAT(mensagens_.Erros(), SizeIs(1));
        EXPECT_THAT(mensagens_.Erros()[0], StartsWith(kFalha));
        EXPECT_THAT(mensagens_.Erros()[0],
                    HasSubstr(std::string("deve ir até a coluna ") + t.letra));
        EXPECT_EQ(ContaLinhas(t.tabela), 0);  // the purge was committed
        EXPECT_EQ(ContaLinhas("CIDADES"), 0);
    }
}

// ---------------------------------------------------------------------------------
// Carriers.

// A row with nothing but its code: every other field takes its default. (A row with
// nothing at all is no record.)
TEST_F(Mapeamentos, TransportadoraSoComOCodigo) {
    ASSERT_TRUE(Converte(TipoRegistro::Transportadoras, 27, {{{27, "0"}}}));
    EXPECT_THAT(Linha("select CODTRANSPT, NOME, CGCCPF, INSCEST, PESSOA_FJ, ENDERECO, BAIRRO, CEP, "
                      "CODCIDADE, ESTADO, CONTATO, FONE, FAX from TRANSPT"),
                ElementsAre("0000", "", "", "", "J", "", "", "", "", "", "", "", ""));
    EXPECT_EQ(ContaLinhas("CIDADES"), 0);
}

TEST_F(Mapeamentos, TransportadorasComCidadesETelefones) {
    const std::vector<LinhaPlanilha> linhas = {
        {{27, "12"},
         {19, "Rua Curitiba"},
         {13, "1500"},
         {21, "Sala 2"},
         {3, "Centro"},
         {4, "30.170-120"},
         {14, "mg"},
         {6, "Contagem"},
         {5, "12.345.678/0001-90"},
         {10, "3"},
         {26, "3333-4444"},
         {16, "(31) 3333-5555"},
         {20, "Transportes \"Rápido\" D'Ávila"},
         {18, "062.123.456/0078"}},
        // No street nor number: no address, even with a complement.
        {{27, "A12"}, {21, "Galpão 3"}, {14, "SP"}, {6, "  "}, {26, "."}, {16, "   "}},
        {{27, "12345"}, {14, "MG"}, {6, "Juiz de Fora"}, {26, "3215-0000"}},
    };
    ASSERT_TRUE(Converte(TipoRegistro::Transportadoras, 27, linhas));
    const char* const colunas =
        "select CODTRANSPT, NOME, CGCCPF, INSCEST, PESSOA_FJ, ENDERECO, BAIRRO, CEP, CODCIDADE, "
        "ESTADO, CONTATO, FONE, FAX from TRANSPT where CODTRANSPT = ";
    EXPECT_THAT(Linha(std::string(colunas) + "'0012'"),
                ElementsAre("0012", "Transportes Rápido D'Ávila", "12345678000190", "0621234560078",
                            "J", "Rua Curitiba 1500 Sala 2", "Centro", "30170120", "00001", "MG",
                            "00003", "3133334444", "3133335555"));
    EXPECT_THAT(Linha(std::string(colunas) + "'012'"),
                ElementsAre("012", "", "", "", "J", "", "", "", "", "SP", "", "", ""));
    EXPECT_THAT(Linha("select CODCIDADE, FONE from TRANSPT where CODTRANSPT = '1234'"),
                ElementsAre("00002", "3232150000"));
    // The city lookup got the cleaned state.
    EXPECT_EQ(Valor("select ESTADO from CIDADES where CIDADE = 'Contagem'"), "MG");
    EXPECT_EQ(ContaLinhas("CIDADES"), 2);
    EXPECT_THAT(mensagens_.lista, SizeIs(1));
}

TEST_F(Mapeamentos, TransportadoraRepetidaDesfazAteOUltimoCommit) {
    Executa("INSERT INTO TRANSPT (CODTRANSPT, NOME) VALUES ('0099', 'Antiga')");
    const std::vector<LinhaPlanilha> linhas = {
        {{27, "1"}, {20, "Primeira"}},
        // Creating the city commits everything written so far: the first carrier stays.
        {{27, "2"}, {20, "Segunda"}, {6, "Betim"}, {14, "MG"}},
        {{27, "1"}, {20, "Repetida"}},
    };
    EXPECT_FALSE(Converte(TipoRegistro::Transportadoras, 27, linhas));
    ASSERT_THAT(mensagens_.Erros(), SizeIs(1));
    EXPECT_THAT(mensagens_.Erros()[0], StartsWith(kFalha));
    EXPECT_THAT(mensagens_.Erros()[0], HasSubstr("PRIMARY or UNIQUE KEY"));
    EXPECT_THAT(mensagens_.Informacoes(), IsEmpty());
    EXPECT_THAT(Linha("select CODTRANSPT, NOME from TRANSPT"), ElementsAre("0001", "Primeira"));
    EXPECT_EQ(ContaLinhas("TRANSPT"), 1);
    EXPECT_EQ(ContaLinhas("CIDADES"), 1);
}

// ---------------------------------------------------------------------------------
// Suppliers.

TEST_F(Mapeamentos, FornecedorSoComOCodigo) {
    ASSERT_TRUE(Converte(TipoRegistro::Fornecedores, 48, {{{30, "0"}}}));
    std::vector<std::string> esperado(29, "");
    esperado[0] = "000000";    // CODFORNEC
    esperado[4] = " ";         // ENDERECO: the street, a blank and its complement
    esperado[12] = "J";        // PESSOA_FJ
    esperado[24] = "S";        // ATIVO
    esperado[28] = "0000000";  // CODMUNICIPIO
    EXPECT_EQ(Linha("select CODFORNEC, NOME, NOMEFANTASIA, CONTATO, ENDERECO, BAIRRO, CEP, "
                    "CODCIDADE, NUMERO, COMPLEMENTO, ESTADO, INSCMUNICIPAL, PESSOA_FJ, CGCCPF, "
                    "INSCEST, OBSERVACAO, FONE, FAX, CELULAR, EMAIL, HOMEPAGE, CAMPOLIVRE1, "
                    "CAMPOLIVRE2, CODCLIENTE, ATIVO, TIPOFORNECE, CONTACX, CTCTBRED, CODMUNICIPIO "
                    "from FORNECE"),
              esperado);
    // No nameless city is made up for a supplier without a city.
    EXPECT_EQ(ContaLinhas("CIDADES"), 0);
}

TEST_F(Mapeamentos, FornecedoresComCidadesETelefones) {
    const std::vector<LinhaPlanilha> linhas = {
        {{30, "123"},
         {28, "mg"},
         {8, "Contagem"},
         {5, "32.010-000"},
         {4, "Eldorado"},
         {12, "Galpão 4   "},
         {6, "12.345.678/0001-90"},
         {18, "999.999.999-99"},
         {48, "3333-4444"},
         {29, "(31) 3333-5555"},
         {40, "1500"},
         {36, "Av. João César de Oliveira"},
         {27, "Bloco B"},
         {38, "Aços D'Ávila Ltda"},
         {39, "Aços DÁvila"},
         {33, "062.123.456/0078"},
         {16, "Marta"},
         {26, "compras@acosdavila.com.br"}},
        // Column "6" holds only punctuation: the CPF of column "18" is used.
        {{30, "1234567"}, {28, "SP"}, {6, " ./- "}, {18, "123.456.789-09"}, {48, "."}, {29, ""}},
        {{30, "7"}, {28, "MG"}, {8, "Juiz de Fora"}, {48, "3215-0000"}},
    };
    ASSERT_TRUE(Converte(TipoRegistro::Fornecedores, 48, linhas));
    EXPECT_THAT(
        Linha("select CODFORNEC, ESTADO, CODCIDADE, CEP, BAIRRO, COMPLEMENTO, CGCCPF, FONE, "
              "FAX, NUMERO, ENDERECO, NOME, NOMEFANTASIA, INSCEST, CONTATO, EMAIL, ATIVO "
              "from FORNECE where CODFORNEC = '000123'"),
        ElementsAre("000123", "mg", "00001", "32010000", "Eldorado", "Galpão 4", "12345678000190",
                    "3133334444", "3133335555", "1500", "Av. João César de Oliveira Bloco B",
                    "Aços DÁvila Ltda", "Aços DÁvila", "0621234560078", "Marta",
                    "compras@acosdavila.com.br", "S"));
    EXPECT_THAT(Linha("select CODCIDADE, CGCCPF, FONE, FAX, ENDERECO from FORNECE "
                      "where CODFORNEC = '123456'"),
                ElementsAre("", "12345678909", "", "", " "));
    EXPECT_THAT(Linha("select CODCIDADE, FONE from FORNECE where CODFORNEC = '000007'"),
                ElementsAre("00002", "3232150000"));
    // The state goes to the lookup as the sheet writes it.
    EXPECT_EQ(Valor("select ESTADO from CIDADES where CIDADE = 'Contagem'"), "mg");
    EXPECT_EQ(ContaLinhas("CIDADES"), 2);
    EXPECT_THAT(mensagens_.lista, SizeIs(1));
}

// ---------------------------------------------------------------------------------
// Sellers.

TEST_F(Mapeamentos, VendedorSoComOCodigo) {
    ASSERT_TRUE(Converte(TipoRegistro::Vendedores, 57, {{{57, "0"}}}));
    EXPECT_THAT(
        Linha("select CODVENDEDOR, NOME, CODCIDADE, ESTADO, CEP, TELEFONE, COMISSAO, ATIVO, "
              "TIPOVENDEDOR, MUDAPRECOPDV, PRECOVENDEDOR, CODEMPRESA, CODFORNEC, BAIRRO, "
              "EMAIL, CODROTA, INSCEST, SENHATRANSF, CODFID from VENDEND"),
        ElementsAre("0000", "", "00000", "", "", "", "0", "S", "V", "N", "1", "00", "000000", "",
                    "", "", "", "", ""));
    EXPECT_THAT(Linha("select DATAULTIMAVISITA, ULTIMAVISITAMARCADA, VERSION from VENDEND"),
                ElementsAre("30/12/1899", "30/12/1899", "30/12/1899"));
    EXPECT_EQ(ContaLinhas("CIDADES"), 0);
}

TEST_F(Mapeamentos, VendedoresComCidadesTelefonesEComissao) {
    const std::vector<LinhaPlanilha> linhas = {
        {{57, "7"},
         {7, "30.130-000"},
         {26, "Rua da Bahia, 1148"},
         {27, "MG"},
         {10, "Belo Horizonte"},
         {20, "123.456.789-09"},
         {9, "MG-12.345.678"},
         {54, "3333-4444"},
         {40, "Ana Paula Souza"},
         {12, "2,5"}},
        // No city: no city code, not the previous seller's.
        {{57, "12345"}, {27, "MG"}, {10, " "}, {54, "."}, {40, "Bruno Lima"}, {12, " "}},
        {{57, "8"}, {27, "MG"}, {10, "Juiz de Fora"}, {54, "(32) 3215-0000"}, {12, " 3 "}},
    };
    ASSERT_TRUE(Converte(TipoRegistro::Vendedores, 57, linhas));
    EXPECT_THAT(
        Linha("select CODVENDEDOR, CEP, ENDERECO, ESTADO, CODCIDADE, CGCCPF, RG, TELEFONE, "
              "NOME, COMISSAO, ATIVO, TIPOVENDEDOR, MUDAPRECOPDV, PRECOVENDEDOR from VENDEND "
              "where CODVENDEDOR = '0007'"),
        ElementsAre("0007", "30130000", "Rua da Bahia, 1148", "MG", "00001", "12345678909",
                    "12345678", "3133334444", "Ana Paula Souza", "2,5", "S", "V", "N", "1"));
    EXPECT_THAT(Linha("select CODCIDADE, TELEFONE, NOME, COMISSAO, CEP from VENDEND "
                      "where CODVENDEDOR = '1234'"),
                ElementsAre("00000", "", "Bruno Lima", "0", ""));
    EXPECT_THAT(
        Linha("select CODCIDADE, TELEFONE, COMISSAO from VENDEND where CODVENDEDOR = '0008'"),
        ElementsAre("00002", "3232150000", "3"));
    EXPECT_THAT(mensagens_.lista, SizeIs(1));
}

TEST_F(Mapeamentos, VendedorRepetidoAvisaEOsOutrosEntram) {
    const std::vector<LinhaPlanilha> linhas = {
        {{57, "7"}, {40, "Ana"}}, {{57, "7"}, {40, "Bruno"}}, {{57, "9"}, {40, "Carla"}}};
    EXPECT_TRUE(Converte(TipoRegistro::Vendedores, 57, linhas));
    ASSERT_THAT(mensagens_.Avisos(), SizeIs(1));
    EXPECT_THAT(
        mensagens_.Avisos()[0],
        StartsWith("Ocorreu um erro ao tentar inserir os dados da TVendedorDAO.\rMotivo: "));
    EXPECT_THAT(mensagens_.Informacoes(), ElementsAre(kSucesso));
    EXPECT_EQ(Valor("select NOME from VENDEND where CODVENDEDOR = '0007'"), "Ana");
    EXPECT_EQ(Valor("select NOME from VENDEND where CODVENDEDOR = '0009'"), "Carla");
    EXPECT_EQ(ContaLinhas("VENDEND"), 2);
}

TEST_F(Mapeamentos, ComissaoQueNaoENumeroParaAConversao) {
    Executa("INSERT INTO VENDEND (CODVENDEDOR, NOME) VALUES ('0099', 'Antigo')");
    const std::vector<LinhaPlanilha> linhas = {{{57, "1"}, {12, "1,5"}}, {{57, "2"}, {12, "dois"}}};
    EXPECT_FALSE(Converte(TipoRegistro::Vendedores, 57, linhas));
    ASSERT_THAT(mensagens_.Erros(), SizeIs(1));
    EXPECT_THAT(mensagens_.Erros()[0], StartsWith(kFalha));
    EXPECT_THAT(mensagens_.Erros()[0], HasSubstr("'dois'"));
    EXPECT_THAT(mensagens_.Erros()[0], HasSubstr("coluna L, linha 2"));
    EXPECT_EQ(ContaLinhas("VENDEND"), 0);
}

// The sheet as the window reads it: numbers in number cells.
TEST_F(Mapeamentos, PlanilhaDeVendedoresComCelulasNumericas) {
    teste::PastaTemporaria pasta;
    const std::string arquivo = pasta.Arquivo("vendedores.xlsx");
    lxw_workbook* livro = workbook_new(arquivo.c_str());
    lxw_worksheet* aba = workbook_add_worksheet(livro, "Vendedores");
    // Columns counted from 0 here: staging column n is sheet column n - 1.
    worksheet_write_number(aba, 0, 56, 7, nullptr);
    worksheet_write_number(aba, 0, 11, 2.5, nullptr);
    worksheet_write_number(aba, 0, 53, 33334444, nullptr);
    worksheet_write_string(aba, 0, 9, "Belo Horizonte", nullptr);
    worksheet_write_string(aba, 0, 26, "MG", nullptr);
    worksheet_write_string(aba, 0, 6, "30.130-000", nullptr);
    worksheet_write_number(aba, 1, 56, 8, nullptr);
    worksheet_write_string(aba, 1, 53, ".", nullptr);
    ASSERT_EQ(workbook_close(livro), LXW_NO_ERROR);

    excel_.AbreArquivo(arquivo);
    app::ExecucaoConversao execucao(Banco(), excel_, tabela_, progresso_, mensagens_,
                                    CONVERSOR_TABELA_CIDADES);
    app::PedidoConversao pedido;
    pedido.ultimaLinha = 2;
    pedido.arquivo = arquivo;
    pedido.aba = 1;
    pedido.tipo = TipoRegistro::Vendedores;
    EXPECT_EQ(execucao.Converte(pedido).desfecho, app::DesfechoConversao::Concluida);
    EXPECT_THAT(Linha("select CODVENDEDOR, COMISSAO, TELEFONE, CEP, CODCIDADE from VENDEND "
                      "order by CODVENDEDOR"),
                ElementsAre("0007", "2,5", "3133334444", "30130000", "00001"));
    EXPECT_EQ(Valor("select TELEFONE from VENDEND where CODVENDEDOR = '0008'"), "");
}

}  // namespace
}  // namespace conversor::convert
