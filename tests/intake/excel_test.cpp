#include "intake/excel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <fstream>

#include "base/regional.h"
#include "intake/apoio_planilha.h"

namespace conversor::intake {
namespace {

using teste::ArquivosFalsos;
using teste::MensagemDe;
using teste::PastaTemporaria;
using ::testing::AllOf;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(LetraColuna, LetrasDaColuna) {
    const struct {
        int coluna;
        const char* letras;
    } casos[] = {{1, "A"},   {26, "Z"},   {27, "AA"},   {52, "AZ"},
                 {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.coluna);
        EXPECT_EQ(TDMCotrolaExcel::LetraColuna(c.coluna), c.letras);
    }
    EXPECT_THAT(MensagemDe([] { TDMCotrolaExcel::LetraColuna(0); }), HasSubstr("inválido: 0"));
}

class DriverFalso : public ::testing::Test {
protected:
    DriverFalso() {
        auto& pasta = arquivos["pasta.xlsx"];
        pasta.abas = {
            {"Clientes", {{1, 1, "Nome"}, {2, 1, "Ana"}, {2, 3, "12,5"}}, {2, 3}},
            {"Produtos", {{1, 1, "Código"}, {5, 2, "X"}}, {7, 4}},  // formatted cells up to D7
        };
        arquivos["outra.xlsx"].abas = {{"Única", {{3, 2, "outra"}}, {3, 2}}};
    }

    ArquivosFalsos arquivos;
    TDMCotrolaExcel excel{arquivos.Fabrica()};
};

TEST_F(DriverFalso, NadaFuncionaAntesDeAbrirUmArquivo) {
    const std::vector<std::function<void()>> operacoes = {
        [&] { excel.ListaPlanilhas(); }, [&] { excel.SelecionaPlanilha(1); },
        [&] { excel.UltimaLinha(); },    [&] { excel.UltimaColuna(); },
        [&] { excel.LeCelula(1, 1); },
    };
    for (size_t i = 0; i < operacoes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_THAT(MensagemDe(operacoes[i]), HasSubstr("Nenhum arquivo de planilha foi aberto"));
    }
    excel.AbreArquivo("pasta.xlsx");
    EXPECT_THAT(MensagemDe([&] { excel.UltimaLinha(); }),
                HasSubstr("Nenhuma planilha do arquivo 'pasta.xlsx' foi selecionada"));
}

TEST_F(DriverFalso, ListarDeixaAUltimaPlanilhaComoAtual) {
    excel.AbreArquivo("pasta.xlsx");
    const std::vector<std::string>& lista = excel.ListaPlanilhas();
    EXPECT_THAT(lista, ElementsAre("Clientes", "Produtos"));
    EXPECT_EQ(excel.UltimaLinha(), 7);
    EXPECT_EQ(excel.UltimaColuna(), 4);
    EXPECT_EQ(excel.LeCelula(1, 1), "Código");
    excel.LiberaLista();
    EXPECT_THAT(lista, IsEmpty());

    excel.SelecionaPlanilha(1);
    EXPECT_EQ(excel.UltimaLinha(), 2);
    EXPECT_EQ(excel.UltimaColuna(), 3);
    EXPECT_EQ(excel.LeCelula(3, 2), "12,5");
    EXPECT_EQ(excel.LeCelula(2, 2), "");    // empty inside the used area
    EXPECT_EQ(excel.LeCelula(9, 900), "");  // outside it
    EXPECT_THAT(MensagemDe([&] { excel.LeCelula(0, 1); }),
                HasSubstr("Célula inválida (coluna 0, linha 1) na planilha 'Clientes'"));
}

TEST_F(DriverFalso, SegundoArquivoPassaASerOAberto) {
    excel.AbreArquivo("pasta.xlsx");
    excel.SelecionaPlanilha(2);
    EXPECT_EQ(excel.LeCelula(2, 5), "X");

    excel.AbreArquivo("outra.xlsx");
    EXPECT_THAT(MensagemDe([&] { excel.LeCelula(2, 5); }), HasSubstr("'outra.xlsx'"));
    EXPECT_THAT(excel.ListaPlanilhas(), ElementsAre("Única"));
    EXPECT_EQ(excel.LeCelula(2, 3), "outra");

    // A file that cannot be opened leaves the open one as it was.
    EXPECT_THAT(MensagemDe([&] { excel.AbreArquivo("sumiu.xlsx"); }), HasSubstr("'sumiu.xlsx'"));
    EXPECT_EQ(excel.LeCelula(2, 3), "outra");
}

// Running out of memory while reading a sheet is the driver's Portuguese error naming
// the sheet and the file, not "std::bad_alloc"; the workbook stays usable.
TEST_F(DriverFalso, FaltaDeMemoriaViraErroEmPortugues) {
    arquivos["pasta.xlsx"].abas[1].semMemoria = true;
    excel.AbreArquivo("pasta.xlsx");
    excel.SelecionaPlanilha(2);
    const std::vector<std::function<void()>> operacoes = {
        [&] { excel.UltimaLinha(); },
        [&] { excel.LeCelula(1, 1); },
        [&] { excel.Planilha(); },
    };
    for (size_t i = 0; i < operacoes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_THAT(MensagemDe(operacoes[i]),
                    AllOf(HasSubstr("Memória insuficiente"), HasSubstr("'Produtos'"),
                          HasSubstr("'pasta.xlsx'")));
    }
    excel.SelecionaPlanilha(1);
    EXPECT_EQ(excel.LeCelula(1, 2), "Ana");
}

TEST_F(DriverFalso, PosicaoForaDasPlanilhasNomeiaArquivoEPosicao) {
    excel.AbreArquivo("pasta.xlsx");
    excel.SelecionaPlanilha(1);
    for (int posicao : {3, 0, -1}) {
        SCOPED_TRACE(posicao);
        const std::string msg = MensagemDe([&] { excel.SelecionaPlanilha(posicao); });
        EXPECT_THAT(msg, HasSubstr("'pasta.xlsx'"));
        EXPECT_THAT(msg, HasSubstr("posição " + std::to_string(posicao)));
        EXPECT_THAT(msg, HasSubstr("tem 2 planilhas"));
    }
    EXPECT_EQ(excel.LeCelula(1, 2), "Ana");  // the current sheet did not change
}

TEST_F(DriverFalso, PlanilhaLidaUmaVezAteMudarDePlanilhaOuArquivo) {
    const int& leituras = arquivos["pasta.xlsx"].leituras;
    excel.AbreArquivo("pasta.xlsx");
    excel.SelecionaPlanilha(1);
    EXPECT_EQ(leituras, 0);
    excel.UltimaColuna();
    excel.UltimaLinha();
    for (int l = 1; l <= 3; ++l)
        for (int c = 1; c <= 3; ++c) excel.LeCelula(c, l);
    EXPECT_EQ(leituras, 1);
    excel.SelecionaPlanilha(1);
    excel.LeCelula(1, 1);
    EXPECT_EQ(leituras, 1);
    excel.SelecionaPlanilha(2);
    excel.LeCelula(1, 1);
    EXPECT_EQ(leituras, 2);
    excel.AbreArquivo("pasta.xlsx");
    excel.ListaPlanilhas();
    excel.LeCelula(1, 1);
    EXPECT_EQ(leituras, 3);
}

TEST_F(DriverFalso, CelulasForaDeOrdemRepetidasEVazias) {
    arquivos["bagunca.csv"].abas = {
        {"bagunca",
         {{3, 2, "c"}, {1, 5, "b"}, {1, 1, "a"}, {3, 2, "nova"}, {2, 1, "d"}, {6, 6, ""}},
         {1, 1}}};
    excel.AbreArquivo("bagunca.csv");
    excel.ListaPlanilhas();
    // An empty cell is not text, but the file said it is there.
    EXPECT_EQ(excel.UltimaLinha(), 6);
    EXPECT_EQ(excel.UltimaColuna(), 6);
    EXPECT_EQ(excel.LeCelula(2, 3), "nova");
    EXPECT_EQ(excel.LeCelula(6, 6), "");
    std::vector<std::string> lidas;
    const std::shared_ptr<const GradePlanilha> grade = excel.Planilha();
    for (size_t r = 0; r < grade->QuantasLinhas(); ++r) {
        const LinhaPlanilha linha = grade->Linha(r);
        for (size_t i = 0; i < linha.Quantidade(); ++i)
            lidas.push_back(std::to_string(grade->NumeroDaLinha(r)) + ":" +
                            std::to_string(linha.Coluna(i)) + "=" + std::string(linha.Texto(i)));
    }
    EXPECT_THAT(lidas, ElementsAre("1:1=a", "1:5=b", "2:1=d", "3:2=nova"));
}

TEST_F(DriverFalso, ErroDeLeituraNaoDeixaPlanilhaPelaMetade) {
    arquivos["pasta.xlsx"].abas[0].falhaAposCelulas = 2;
    excel.AbreArquivo("pasta.xlsx");
    excel.SelecionaPlanilha(1);
    EXPECT_THAT(MensagemDe([&] { excel.UltimaColuna(); }), HasSubstr("Falha simulada"));
    EXPECT_EQ(excel.LeCelula(3, 2), "12,5");  // read again in full
}

TEST_F(DriverFalso, CelulaForaDosLimitesNomeiaPlanilhaEArquivo) {
    arquivos["enorme.xlsx"].abas = {{"Dados", {{kMaxLinhas + 1, 1, "x"}}, {}}};
    excel.AbreArquivo("enorme.xlsx");
    excel.ListaPlanilhas();
    const std::string msg = MensagemDe([&] { excel.UltimaLinha(); });
    EXPECT_THAT(msg, HasSubstr("'Dados' do arquivo 'enorme.xlsx'"));
    EXPECT_THAT(msg, HasSubstr("linha 1048577, coluna 1 da planilha 'Dados'"));
}

// Files written the way a spreadsheet program writes them, read by the real readers.
class DriverArquivo : public ::testing::Test {
protected:
    PastaTemporaria pasta;
    TDMCotrolaExcel excel;
};

TEST_F(DriverArquivo, XlsxDeDuasPlanilhas) {
    const std::string caminho = pasta / "clientes.xlsx";
    {
        // libxlsxwriter takes UTF-8; literals here are Windows-1252.
        lxw_workbook* wb = workbook_new(caminho.c_str());
        lxw_format* data = workbook_add_format(wb);
        format_set_num_format(data, "dd/mm/yyyy");
        lxw_worksheet* a = workbook_add_worksheet(wb, "Primeira");
        worksheet_write_string(a, 0, 0, Cp1252ParaUtf8("só uma").c_str(), nullptr);
        lxw_worksheet* b = workbook_add_worksheet(wb, "Cadastro");
        worksheet_write_string(b, 0, 0, "Nome", nullptr);
        worksheet_write_string(b, 0, 3, "Valor", nullptr);
        worksheet_write_string(b, 1, 0, Cp1252ParaUtf8("José").c_str(), nullptr);
        worksheet_write_number(b, 1, 3, 1234.5, nullptr);
        lxw_datetime dia = {2010, 3, 15, 0, 0, 0};
        worksheet_write_datetime(b, 2, 1, &dia, data);
        worksheet_write_number(b, 3, 2, 12, nullptr);
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }
    excel.AbreArquivo(caminho);
    EXPECT_THAT(excel.ListaPlanilhas(), ElementsAre("Primeira", "Cadastro"));
    EXPECT_EQ(excel.UltimaLinha(), 4);
    EXPECT_EQ(excel.UltimaColuna(), 4);
    EXPECT_EQ(excel.LeCelula(1, 2), "José");
    EXPECT_EQ(excel.LeCelula(4, 2), "1234,5");
    EXPECT_EQ(excel.LeCelula(2, 3), "40252");
    EXPECT_EQ(excel.LeCelula(3, 4), "12");
    EXPECT_EQ(excel.LeCelula(2, 2), "");
    excel.SelecionaPlanilha(1);
    EXPECT_EQ(excel.UltimaLinha(), 1);
    EXPECT_EQ(excel.LeCelula(1, 1), "só uma");
    EXPECT_THAT(MensagemDe([&] { excel.SelecionaPlanilha(3); }), HasSubstr("posição 3"));
}

TEST_F(DriverArquivo, CsvTemUmaPlanilhaComONomeDoArquivo) {
    const std::string caminho = pasta / "fornecedores.csv";
    std::ofstream(caminho) << "Codigo;Nome\n1;Acme\n2;Beta\n";
    excel.AbreArquivo(caminho);
    EXPECT_THAT(excel.ListaPlanilhas(), ElementsAre("fornecedores"));
    EXPECT_EQ(excel.UltimaLinha(), 3);
    EXPECT_EQ(excel.UltimaColuna(), 2);
    EXPECT_EQ(excel.LeCelula(2, 3), "Beta");
}

TEST_F(DriverArquivo, ArquivoQueNaoExisteNomeiaOArquivo) {
    const std::string caminho = pasta / "nao-existe.xlsx";
    EXPECT_THAT(MensagemDe([&] { excel.AbreArquivo(caminho); }), HasSubstr("'" + caminho + "'"));
}

}  // namespace
}  // namespace conversor::intake
