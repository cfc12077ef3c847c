// The products sheet converted as the window converts it: a workbook written here,
// the run object the window uses, and a real database seeded with earlier rows.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "apoio/progresso_gravado.h"
#include "app/execucao.h"
#include "base/regional.h"
#include "convert/ferramentas.h"
#include "convert/mapeamentos.h"
#include "intake/excel.h"
#include "intake/tabela_temp.h"

namespace conversor::convert {
namespace {

using teste::BancoTeste;
using teste::MensagensGravadas;
using teste::ProgressoGravado;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::SizeIs;

// The products' part of the progress: from their legend on (the staging load comes
// before it).
constexpr std::string_view kDaConversao = "Legenda Convertendo Produtos, Aguarde!";

// A sheet cell as the workbook stores it: text, number or boolean.
struct Celula {
    enum class Tipo { Texto, Numero, Booleano } tipo;
    std::string texto;
    double numero = 0;
};
Celula T(std::string t) { return {Celula::Tipo::Texto, std::move(t)}; }
Celula N(double n) { return {Celula::Tipo::Numero, {}, n}; }
Celula B(bool b) { return {Celula::Tipo::Booleano, {}, b ? 1.0 : 0.0}; }

using Linha = std::map<int, Celula>;  // sheet column number -> cell

// A product as a customer's sheet gives it, every column the conversion reads filled.
Linha LinhaProduto() {
    return {
        {3, T("Setor A")},
        {5, B(true)},
        {15, T("84713012")},
        {20, T("Prateleira 3")},
        {27, N(1)},
        {30, T("01")},
        {44, T("07")},
        {55, T("TRAMONTINA")},
        {64, N(12.5)},
        {66, T("Martelo \"unha\" 27mm")},
        {81, N(3)},
        {85, T("Ferramentas manuais")},
        {86, N(5)},
        {87, N(2)},
        {88, N(0.65)},
        {91, N(0.6)},
        {96, N(2.5)},
        {102, N(39.9)},
        {103, T("MT-27")},
        {111, N(10)},
        {126, T("Linha profissional")},
        {129, N(60)},
        {130, T("cx")},
        {132, T("x")},
    };
}

// Writes the rows from sheet row 1 (there is no title row) into a one-sheet workbook.
void EscrevePlanilha(const std::string& arquivo, const std::vector<Linha>& linhas) {
    lxw_workbook* pasta = workbook_new(arquivo.c_str());
    lxw_worksheet* aba = workbook_add_worksheet(pasta, "Produtos");
    for (size_t r = 0; r < linhas.size(); ++r)
        for (const auto& [coluna, c] : linhas[r]) {
            const auto lin = static_cast<lxw_row_t>(r);
            const auto col = static_cast<lxw_col_t>(coluna - 1);
            switch (c.tipo) {
                case Celula::Tipo::Texto:
                    worksheet_write_string(aba, lin, col, c.texto.c_str(), nullptr);
                    break;
                case Celula::Tipo::Numero:
                    worksheet_write_number(aba, lin, col, c.numero, nullptr);
                    break;
                case Celula::Tipo::Booleano:
                    worksheet_write_boolean(aba, lin, col, c.numero != 0, nullptr);
                    break;
            }
        }
    ASSERT_EQ(workbook_close(pasta), LXW_NO_ERROR);
}

class ConverteProdutosTeste : public BancoTeste {
protected:
    void SetUp() override {
        for (const char* tabela : {"PRODUTO", "PRODUTODETALHE", "COMPPROD", "MVGERAL", "UNIDADES",
                                   "CLASFISC", "CADFABR"})
            Executa(std::string("delete from ") + tabela);
        // What an earlier conversion left behind.
        Executa("insert into PRODUTO (CODPROD, DESCRICAO) values ('000099', 'Antigo')");
        Executa("insert into PRODUTODETALHE (CODPROD) values ('000099')");
        Executa("insert into COMPPROD (CODPROD) values ('000099')");
        Executa("insert into MVGERAL (CODPROD, QUANTIDADE) values ('000099', 5)");
        Executa("insert into UNIDADES (UNIDADE) values ('CX')");
        Executa(
            "insert into CLASFISC (CODCLASFIS, CODIGONCM, CODNBM) values ('0005', '84713012', "
            "'84713012')");
        Executa("insert into CADFABR (CODFABRIC, DESCRICAO) values ('00003', 'TRAMONTINA')");
    }

    app::DesfechoConversao Converte(const std::vector<Linha>& linhas) {
        const std::string arquivo = pasta_.Arquivo("produtos.xlsx");
        EscrevePlanilha(arquivo, linhas);
        intake::TDMCotrolaExcel excel;
        excel.AbreArquivo(arquivo);
        app::ExecucaoConversao execucao(Banco(), excel, tabela_, progresso, mensagens);
        app::PedidoConversao pedido;
        pedido.arquivo = arquivo;
        pedido.aba = 1;
        pedido.ultimaLinha = static_cast<long long>(linhas.size());
        pedido.tipo = app::TipoRegistro::Produtos;
        // The mapping as it runs for real; the rehearsal before it has tests of its own.
        pedido.ensaiar = false;
        return execucao.Converte(pedido).desfecho;
    }

    static std::string Produto(const std::string& cod, const std::string& coluna) {
        return Valor("select " + coluna + " from PRODUTO where CODPROD = '" + cod + "'");
    }

    MensagensGravadas mensagens;
    ProgressoGravado progresso;

private:
    teste::PastaTemporaria pasta_;
    intake::TTabelaTemp tabela_;
};

TEST_F(ConverteProdutosTeste, PlanilhaSubstituiOsProdutos) {
    Linha l1 = LinhaProduto();
    Linha l2 = LinhaProduto();
    l2[129] = N(20);
    l2.erase(132);
    l2[130] = T("pc");
    l2[5] = T("TRUE");
    l2[27] = T("01");
    l2[30] = N(1);
    l2[15] = T("73181500");
    l2[55] = T("TIGRE");
    l2[102] = T("   ");
    l2.erase(86);
    Linha l3 = LinhaProduto();
    for (int c : {129, 27, 30, 55, 96, 111}) l3.erase(c);
    l3[5] = T("Verdadeiro");
    l3[15] = T("   ");
    Linha l4 = LinhaProduto();
    l4[129] = N(40);
    l4[5] = T("True");
    l4[132] = T("sim");
    l4[130] = T("pc");
    l4[64] = T("12,5");

    ASSERT_EQ(Converte({l1, l2, l3, l4}), app::DesfechoConversao::Concluida)
        << ::testing::PrintToString(mensagens.Erros());
    EXPECT_THAT(mensagens.Informacoes(), ElementsAre("Conversão concluída com sucesso!"));
    EXPECT_THAT(mensagens.Avisos(), IsEmpty());
    EXPECT_THAT(mensagens.Erros(), IsEmpty());

    // The former rows are gone; one product, detail and movement per sheet row.
    EXPECT_EQ(
        Valor("select list(CODPROD, ',') from (select CODPROD from PRODUTO order by CODPROD)"),
        "000001,000002,000003,000004");
    EXPECT_EQ(
        Valor(
            "select list(CODPROD, ',') from (select CODPROD from PRODUTODETALHE order by CODPROD)"),
        "000001,000002,000003,000004");
    EXPECT_EQ(
        Valor("select list(CODPROD, ',') from (select CODPROD from MVGERAL order by CODPROD)"),
        "000001,000002,000003,000004");
    EXPECT_EQ(ContaLinhas("COMPPROD"), 0);

    struct Esperado {
        const char* cod;
        const char* coluna;
        std::string valor;
    };
    const Esperado produtos[] = {
        {"000001", "CODTRIBUT00", "060"},
        {"000001", "BASEICMSREG00", "0"},
        {"000001", "ALIQICMSREG00", "0"},
        {"000001", "SUBSTRIB", "S"},
        {"000002", "CODTRIBUT00", "020"},
        {"000002", "BASEICMSREG00", "51,11"},
        {"000002", "ALIQICMSREG00", "18"},
        {"000002", "SUBSTRIB", "S"},
        {"000003", "CODTRIBUT00", "000"},
        {"000003", "BASEICMSREG00", "100"},
        {"000003", "ALIQICMSREG00", "18"},
        {"000003", "SUBSTRIB", "N"},
        {"000004", "CODTRIBUT00", "040"},
        {"000004", "BASEICMSREG00", "0"},
        {"000004", "ALIQICMSREG00", "0"},
        {"000004", "SUBSTRIB", "S"},
        {"000001", "UNIDADEENT", "CX"},
        {"000001", "UNIDADESAIDA", "CX"},
        {"000002", "UNIDADEENT", "UN"},
        {"000002", "UNIDADESAIDA", "UN"},
        {"000004", "UNIDADEENT", "PC"},
        {"000004", "UNIDADESAIDA", "PC"},
        {"000001", "ATIVO", "S"},
        {"000002", "ATIVO", "N"},
        {"000003", "ATIVO", "N"},
        {"000004", "ATIVO", "S"},
        {"000001", "CODCLASFIS", "0005"},
        {"000002", "CODCLASFIS", "0006"},
        {"000003", "CODCLASFIS", ""},
        {"000001", "CODFABRIC", "00003"},
        {"000002", "CODFABRIC", "00004"},
        {"000003", "CODFABRIC", "000"},
        {"000001", "PERC_IVA", "12,5"},
        {"000001", "LUCRO", "12,5"},
        {"000004", "PERC_IVA", "12,5"},
        {"000004", "LUCRO", "12,5"},
        {"000001", "DESCRICAO", "Martelo unha 27mm"},
        {"000001", "REFERENCIA", "MT-27"},
        {"000001", "CAMPOLIVRE1", "Setor A"},
        {"000001", "CAMPOLIVRE2", "Prateleira 3"},
        {"000001", "CAMPOLIVRE3", "Ferramentas manuais"},
        {"000001", "CAMPOLIVRE4", "Linha profissional"},
        {"000001", "PRECO", "39,9"},
        {"000002", "PRECO", "0"},
        {"000001", "ALIQIPI", "5"},
        {"000002", "ALIQIPI", "0"},
        {"000001", "ALIQISS", "2"},
        {"000001", "PESO", "0,6"},
        {"000001", "CODGENEROITEM", "07"},
        {"000001", "TIPOPROD", "R"},
        {"000001", "CODTIPOPRODUTO", "00"},
        {"000001", "PRODBLOQUEADO", "N"},
    };
    for (const Esperado& e : produtos) {
        SCOPED_TRACE(std::string(e.cod) + " " + e.coluna);
        EXPECT_EQ(Produto(e.cod, e.coluna), e.valor);
    }

    const auto detalhe = [](const char* cod, const char* coluna) {
        return Valor(std::string("select ") + coluna + " from PRODUTODETALHE where CODPROD = '" +
                     cod + "'");
    };
    EXPECT_EQ(detalhe("000001", "COFINS_CST"), "01");
    EXPECT_EQ(detalhe("000001", "PIS_CST"), "01");
    EXPECT_EQ(detalhe("000002", "COFINS_CST"), "01");
    EXPECT_EQ(detalhe("000002", "PIS_CST"), "01");
    EXPECT_EQ(detalhe("000003", "COFINS_CST"), "");
    EXPECT_EQ(detalhe("000003", "PIS_CST"), "");
    EXPECT_EQ(detalhe("000003", "PISENT_CST"), "50");
    EXPECT_EQ(detalhe("000003", "COFINSENT_CST"), "50");
    EXPECT_EQ(detalhe("000003", "ALIQPISENT"), "1,65");
    EXPECT_EQ(detalhe("000003", "ALIQCOFINSENT"), "7,6");
    EXPECT_EQ(detalhe("000001", "ALIQCOFINS"), "3");
    EXPECT_EQ(detalhe("000001", "ALIQPIS"), "0,65");

    const auto movimento = [](const char* cod, const char* coluna) {
        return Valor(std::string("select ") + coluna + " from MVGERAL where CODPROD = '" + cod +
                     "'");
    };
    EXPECT_EQ(movimento("000001", "QUANTIDADE"), "10");
    EXPECT_EQ(movimento("000001", "PRECOCUSTO"), "2,5");
    EXPECT_EQ(movimento("000001", "PRECOMEDIO"), "0");
    EXPECT_EQ(movimento("000003", "QUANTIDADE"), "0");
    EXPECT_EQ(movimento("000003", "PRECOCUSTO"), "0");
    EXPECT_EQ(Valor("select count(*) from MVGERAL where DT_MOVIMENTO = cast('TODAY' as date)"),
              "4");

    // Reference rows found or created with the next codes.
    EXPECT_EQ(
        Valor("select list(UNIDADE, ',') from (select UNIDADE from UNIDADES order by UNIDADE)"),
        "CX,PC,UN");
    EXPECT_EQ(Valor("select CODIGONCM from CLASFISC where CODCLASFIS = '0006'"), "73181500");
    EXPECT_EQ(ContaLinhas("CLASFISC"), 2) << "a blank NCM is not looked up";
    EXPECT_EQ(Valor("select DESCRICAO from CADFABR where CODFABRIC = '00004'"), "TIGRE");
    EXPECT_EQ(ContaLinhas("CADFABR"), 2) << "an empty manufacturer is not created";

    const std::vector<std::string> eventos = progresso.SemMensagens(kDaConversao);
    // The four tables emptied, a step of the gauge each; then the four records.
    ASSERT_THAT(eventos, SizeIs(1 + 6 + 2 + 4 * 2 + 3));
    EXPECT_THAT(
        std::vector<std::string>(eventos.begin() + 1, eventos.begin() + 7),
        ElementsAre("Posicao 0", "Maximo 4", "Posicao 1", "Posicao 2", "Posicao 3", "Posicao 4"));
    EXPECT_EQ(eventos[7], "Posicao 0");
    EXPECT_EQ(eventos[8], "Maximo 4");
    EXPECT_EQ(eventos[9], "Status Processando Registro 1 de 4");
    EXPECT_EQ(eventos[15], "Status Processando Registro 4 de 4");
    EXPECT_EQ(eventos[16], "Avanca");
    EXPECT_THAT(std::vector<std::string>(eventos.end() - 3, eventos.end()),
                ElementsAre("Legenda ", "Status ", "Posicao 0"));
}

TEST_F(ConverteProdutosTeste, FalhaDesfazSoOQueVeioDepoisDaUltimaConfirmacao) {
    Linha novoFabricante = LinhaProduto();
    novoFabricante[55] = T("TIGRE");
    Linha letras = LinhaProduto();
    letras[64] = T("abc");

    EXPECT_EQ(Converte({LinhaProduto(), novoFabricante, letras}), app::DesfechoConversao::Falhou);
    ASSERT_THAT(mensagens.Erros(), SizeIs(1));
    const std::string erro = mensagens.Erros()[0];
    EXPECT_THAT(erro, HasSubstr("Houve um erro ao realizar a conversão. Motivo: \r"));
    EXPECT_THAT(erro, HasSubstr("'abc' não é um valor numérico válido"));
    EXPECT_THAT(erro, HasSubstr("campo '64'"));
    EXPECT_THAT(erro, HasSubstr("linha 3"));
    EXPECT_THAT(mensagens.Informacoes(), IsEmpty());

    // Creating the manufacturer in row 2 committed row 1 and the purges; row 2's own
    // rows came after that commit and were rolled back with row 3.
    EXPECT_EQ(Valor("select list(CODPROD) from PRODUTO"), "000001");
    EXPECT_EQ(Valor("select list(CODPROD) from PRODUTODETALHE"), "000001");
    EXPECT_EQ(Valor("select list(CODPROD) from MVGERAL"), "000001");
    EXPECT_EQ(ContaLinhas("COMPPROD"), 0);
    EXPECT_EQ(Valor("select CODFABRIC from CADFABR where DESCRICAO = 'TIGRE'"), "00004");
    EXPECT_THAT(progresso.SemMensagens(), Contains("Legenda "));
    EXPECT_EQ(progresso.SemMensagens().back(), "Posicao 0");
}

TEST_F(ConverteProdutosTeste, FalhasNaPrimeiraLinhaDeixamSoAsTabelasEsvaziadas) {
    Linha estreita = LinhaProduto();
    estreita.erase(132);
    estreita[131] = T("fim");
    Linha generoLongo = LinhaProduto();
    generoLongo[44] = T("07 - Cereais");  // wider than the column
    struct Caso {
        const char* nome;
        std::vector<Linha> linhas;
        std::vector<std::string> trechos;
    };
    const Caso casos[] = {
        {"linha sem a margem",
         {LinhaProduto(), Linha{{66, T("Sem margem")}}},
         {"'' não é um valor numérico válido", "campo '64'", "linha 2"}},
        {"planilha com menos de 132 colunas",
         {estreita},
         {"A planilha de produtos deve ir até a coluna EB (132)", "coluna EA (131)"}},
        {"titulo na coluna 64",
         {Linha{{64, T("Lucro")}, {132, T("Unidade")}}, LinhaProduto()},
         {"'Lucro' não é um valor numérico válido", "linha 1"}},
        // Refused by the database after the product's movement went in.
        {"produto recusado pelo banco",
         {generoLongo},
         {"string truncation", "\r(linha 1 da planilha)"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        SetUp();
        mensagens.Limpa();
        EXPECT_EQ(Converte(c.linhas), app::DesfechoConversao::Falhou);
        ASSERT_THAT(mensagens.Erros(), SizeIs(1));
        for (const std::string& trecho : c.trechos)
            EXPECT_THAT(mensagens.Erros()[0], HasSubstr(trecho));
        for (const char* tabela : {"PRODUTO", "PRODUTODETALHE", "COMPPROD", "MVGERAL"}) {
            SCOPED_TRACE(tabela);
            EXPECT_EQ(ContaLinhas(tabela), 0) << "emptied for good, refilled with nothing";
        }
        EXPECT_EQ(ContaLinhas("UNIDADES"), 1);
        EXPECT_EQ(ContaLinhas("CADFABR"), 1);
    }
}

// The mapping on a staging table filled directly: emptiness rules column by column.
class MapeamentoProdutosTeste : public ConverteProdutosTeste {
protected:
    // Runs the mapping on one staging row: the texts the staging load would give the
    // sheet row of LinhaProduto(), with the cases' changes.
    void ConverteLinha(const std::map<int, std::string>& mudancas) {
        tabela.Recria(132);
        AnexaLinha(mudancas);
        Converte();
    }
    void AnexaLinha(const std::map<int, std::string>& mudancas) {
        tabela.NovoRegistro();
        for (const auto& [coluna, celula] : LinhaProduto()) {
            std::string texto = celula.tipo == Celula::Tipo::Texto ? celula.texto
                                : celula.tipo == Celula::Tipo::Numero
                                    ? NumeroParaTexto(celula.numero)
                                : celula.numero != 0 ? "True"
                                                     : "False";
            tabela.DefineCampo(coluna, texto);
        }
        for (const auto& [coluna, texto] : mudancas) tabela.DefineCampo(coluna, texto);
        tabela.Grava();
    }
    // The mapping alone, with a toolkit that remembers nothing.
    void Converte() {
        TFerramentas ferramentas(Banco(), mensagens);
        ContextoConversao contexto{Banco(), tabela, progresso, mensagens, ferramentas};
        ConverteProdutos(contexto);
    }

    intake::TTabelaTemp tabela;
};

TEST_F(MapeamentoProdutosTeste, BrancosVazioEmAlgumasColunasENumeroInvalidoEmOutras) {
    struct Caso {
        const char* nome;
        int coluna;
        const char* texto;
        const char* campo;  // PRODUTO or detail column that reads 0, or empty when it fails
        bool detalhe = false;
    };
    const Caso casos[] = {
        {"preco", 102, "   ", "PRECO"},    {"ipi", 86, "  ", "ALIQIPI"},
        {"iss", 87, " ", "ALIQISS"},       {"classificacao", 15, "  ", "CODCLASFIS"},
        {"peso vazio", 91, "", "PESO"},    {"cofins vazio", 81, "", "ALIQCOFINS", true},
        {"peso", 91, " ", nullptr},        {"cofins", 81, " ", nullptr},
        {"pis", 88, " ", nullptr},         {"custo", 96, " ", nullptr},
        {"quantidade", 111, " ", nullptr}, {"lucro", 64, " ", nullptr},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        if (c.campo) {
            ASSERT_NO_THROW(ConverteLinha({{c.coluna, c.texto}}));
            const std::string tabelaAlvo = c.detalhe ? "PRODUTODETALHE" : "PRODUTO";
            const std::string valor =
                Valor(std::string("select ") + c.campo + " from " + tabelaAlvo);
            EXPECT_TRUE(valor == "0" || valor.empty()) << valor;
        } else {
            try {
                ConverteLinha({{c.coluna, c.texto}});
                ADD_FAILURE() << "a cell of blanks is not a number";
            } catch (const ErroConversao& e) {
                EXPECT_THAT(e.what(), HasSubstr("campo '" + std::to_string(c.coluna) + "'"));
            }
        }
        Banco().DBTransaction().Desfaz();
    }
}

TEST_F(MapeamentoProdutosTeste, TabelaVaziaSoEsvazia) {
    tabela.Recria(132);
    ASSERT_NO_THROW(Converte());
    for (const char* t : {"PRODUTO", "PRODUTODETALHE", "COMPPROD", "MVGERAL"}) {
        SCOPED_TRACE(t);
        EXPECT_EQ(ContaLinhas(t), 0);
    }
    EXPECT_THAT(progresso.SemMensagens(kDaConversao),
                ElementsAre("Legenda Convertendo Produtos, Aguarde!", "Posicao 0", "Maximo 4",
                            "Posicao 1", "Posicao 2", "Posicao 3", "Posicao 4", "Posicao 0",
                            "Maximo 0", "Legenda ", "Status ", "Posicao 0"));
}

TEST_F(MapeamentoProdutosTeste, CodigoTributarioCortadoEmDoisCaracteres) {
    // A three-digit code keeps only its first two characters.
    ASSERT_NO_THROW(ConverteLinha({{129, "060"}, {132, ""}, {130, "cx"}}));
    EXPECT_EQ(Produto("000001", "CODTRIBUT00"), "006");
    EXPECT_EQ(Produto("000001", "BASEICMSREG00"), "0");
    EXPECT_EQ(Produto("000001", "SUBSTRIB"), "S");
    EXPECT_EQ(Produto("000001", "UNIDADEENT"), "UN") << "no unit column: UN whatever \"130\" holds";
}

TEST_F(MapeamentoProdutosTeste, FabricanteDeBrancosServeAosSemFabricante) {
    // The database compares texts without their trailing blanks: the manufacturer
    // made of blanks is also the one of an empty column, once it exists. The run,
    // which remembers its lookups, must answer as the database does.
    for (const bool lembra : {false, true}) {
        SCOPED_TRACE(lembra ? "a execucao, que lembra" : "o mapeamento sem lembrar");
        SetUp();
        mensagens.Limpa();
        tabela.Recria(132);
        for (const char* fabricante : {"", "   ", ""}) AnexaLinha({{55, fabricante}});
        if (lembra) {
            intake::TDMCotrolaExcel excel;
            app::ExecucaoConversao execucao(Banco(), excel, tabela, progresso, mensagens);
            ASSERT_TRUE(execucao.ExecutaConversao(app::TipoRegistro::Produtos))
                << ::testing::PrintToString(mensagens.Erros());
        } else {
            ASSERT_NO_THROW(Converte());
        }
        EXPECT_EQ(Valor("select CODFABRIC from CADFABR where DESCRICAO = '   '"), "00004");
        EXPECT_EQ(ContaLinhas("CADFABR"), 2);
        EXPECT_EQ(Produto("000001", "CODFABRIC"), "000") << "no manufacturer of blanks yet";
        EXPECT_EQ(Produto("000002", "CODFABRIC"), "00004");
        EXPECT_EQ(Produto("000003", "CODFABRIC"), "00004");
    }
}

TEST_F(MapeamentoProdutosTeste, PlanilhaComMaisLinhasQueCodigosRecusadaAntesDeEsvaziar) {
    // The product code is the row number in six digits: row 1000000 would take the code
    // of row 100000. Such a sheet is refused before the earlier products are deleted.
    struct Caso {
        int linhas;
        bool recusada;
    };
    for (const Caso c : {Caso{1000000, true}, Caso{999999, false}}) {
        SCOPED_TRACE(c.linhas);
        SetUp();
        mensagens.Limpa();
        tabela.Recria(132);
        // Rows with a description alone: one that is converted fails at its first
        // number column.
        for (int i = 0; i < c.linhas; ++i) {
            tabela.NovoRegistro();
            tabela.DefineCampo(66, "x");
            tabela.Grava();
        }
        intake::TDMCotrolaExcel excel;
        app::ExecucaoConversao execucao(Banco(), excel, tabela, progresso, mensagens);
        EXPECT_FALSE(execucao.ExecutaConversao(app::TipoRegistro::Produtos));
        ASSERT_THAT(mensagens.Erros(), SizeIs(1));
        if (c.recusada) {
            EXPECT_THAT(mensagens.Erros()[0],
                        HasSubstr("A planilha de produtos tem 1000000 linhas, mas o código do "
                                  "produto é o número da linha, com 6 dígitos: a planilha pode "
                                  "ter no máximo 999999 linhas."));
        } else {
            EXPECT_THAT(mensagens.Erros()[0], HasSubstr("campo '64'"));
        }
        for (const char* t : {"PRODUTO", "PRODUTODETALHE", "COMPPROD", "MVGERAL"}) {
            SCOPED_TRACE(t);
            EXPECT_EQ(ContaLinhas(t), c.recusada ? 1 : 0);
        }
    }
}

}  // namespace
}  // namespace conversor::convert
