#include "intake/tabela_temp.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>

#include "apoio/progresso_gravado.h"
#include "base/regional.h"
#include "intake/apoio_planilha.h"

namespace conversor::intake {
namespace {

using conversor::teste::ProgressoGravado;
using teste::ArquivosFalsos;
using teste::MensagemDe;
using ::testing::ContainsRegex;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

// The column texts of every record, first to last.
std::vector<std::vector<std::string>> Registros(TTabelaTemp& t) {
    std::vector<std::vector<std::string>> r;
    for (t.First(); !t.Eof(); t.Next()) {
        r.emplace_back();
        for (int k = 1; k <= t.Colunas(); ++k) r.back().push_back(t.Texto(std::to_string(k)));
    }
    return r;
}

using Linha = std::vector<std::string>;

class CargaTabela : public ::testing::Test {
protected:
    CargaTabela() {
        // Header in row 1, last used cell in column D, one cell of 150 characters.
        arquivos["clientes.xlsx"].abas = {{"Clientes",
                                           {{1, 1, "Código"},
                                            {1, 2, "Nome"},
                                            {1, 4, "Limite"},
                                            {2, 1, "1"},
                                            {2, 2, std::string(100, 'a') + std::string(50, 'b')},
                                            {2, 4, "1234,5"},
                                            {3, 1, "2"},
                                            {3, 4, "abc"}},
                                           {3, 4}}};
        arquivos["pequena.csv"].abas = {{"pequena", {{1, 1, "x"}, {2, 2, "y"}}, {2, 2}}};
        excel.AbreArquivo("clientes.xlsx");
        excel.SelecionaPlanilha(1);
    }

    ArquivosFalsos arquivos;
    TDMCotrolaExcel excel{arquivos.Fabrica()};
    TTabelaTemp tabela;
    ProgressoGravado progresso;
};

TEST_F(CargaTabela, UmRegistroPorLinhaDaPlanilhaComCabecalho) {
    CarregaTabelaTemp(excel, tabela, 3, progresso);
    EXPECT_EQ(tabela.Colunas(), 4);
    EXPECT_EQ(tabela.RecordCount(), 3);
    EXPECT_EQ(tabela.RecNo(), 3);  // left on the last record
    EXPECT_THAT(Registros(tabela), ElementsAre(Linha{"Código", "Nome", "", "Limite"},
                                               Linha{"1", std::string(100, 'a'), "", "1234,5"},
                                               Linha{"2", "", "", "abc"}));
}

TEST_F(CargaTabela, LinhasAlemDaAreaUsadaSaoRegistrosVazios) {
    CarregaTabelaTemp(excel, tabela, 5, progresso);
    ASSERT_EQ(tabela.RecordCount(), 5);
    const auto registros = Registros(tabela);
    EXPECT_EQ(registros[3], Linha(4, ""));
    EXPECT_EQ(registros[4], Linha(4, ""));
}

TEST_F(CargaTabela, UltimaLinhaZeroDaColunasSemRegistros) {
    CarregaTabelaTemp(excel, tabela, 0, progresso);
    EXPECT_EQ(tabela.Colunas(), 4);
    EXPECT_EQ(tabela.RecordCount(), 0);
    tabela.First();
    EXPECT_TRUE(tabela.Eof());
    EXPECT_EQ(tabela.Texto("4"), "");
    EXPECT_THAT(progresso.chamadas, ElementsAre("Posicao 0", "Maximo 0",
                                                "Legenda Carregando dados do Excel, aguarde!"));
}

TEST_F(CargaTabela, ProgressoPorLinha) {
    CarregaTabelaTemp(excel, tabela, 2, progresso);
    EXPECT_THAT(progresso.chamadas,
                ElementsAre("Posicao 0", "Maximo 2", "Legenda Carregando dados do Excel, aguarde!",
                            "Status Processando Registro 1 de 2", "Mensagens", "Avanca",
                            "Status Processando Registro 2 de 2", "Mensagens", "Avanca"));
}

TEST_F(CargaTabela, UltimaLinhaForaDoLimiteRecusadaAntesDeTudo) {
    CarregaTabelaTemp(excel, tabela, 1, progresso);
    for (long long l : {static_cast<long long>(kMaxLinhas) + 1, 5000000000LL, -1LL}) {
        SCOPED_TRACE(l);
        progresso.chamadas.clear();
        EXPECT_THAT(MensagemDe([&] { CarregaTabelaTemp(excel, tabela, l, progresso); }),
                    HasSubstr("(" + std::to_string(l) + ") deve estar entre 0 e 1048576"));
        EXPECT_TRUE(progresso.chamadas.empty());
        EXPECT_EQ(tabela.RecordCount(), 1);  // the earlier load is untouched
    }
}

TEST_F(CargaTabela, MaiorUltimaLinhaCustaPoucoComPlanilhaPequena) {
    ProgressoMudo mudo;
    CarregaTabelaTemp(excel, tabela, kMaxLinhas, mudo);
    EXPECT_EQ(tabela.RecordCount(), kMaxLinhas);
    EXPECT_EQ(tabela.Texto("1"), "");
    tabela.First();
    EXPECT_EQ(tabela.Texto("1"), "Código");
}

TEST_F(CargaTabela, ErroNoMeioGuardaRegistrosJaGravados) {
    progresso.aoProcessar = [&] {
        if (tabela.RecordCount() == 2) throw std::runtime_error("janela fechada");
    };
    EXPECT_THAT(MensagemDe([&] { CarregaTabelaTemp(excel, tabela, 3, progresso); }),
                HasSubstr("janela fechada"));
    EXPECT_EQ(tabela.RecordCount(), 2);
    EXPECT_EQ(tabela.Texto("4"), "1234,5");
}

TEST_F(CargaTabela, NovaCargaRefazATabela) {
    CarregaTabelaTemp(excel, tabela, 3, progresso);
    excel.AbreArquivo("pequena.csv");
    excel.ListaPlanilhas();
    excel.UltimaLinha();
    // The driver has moved on; the table keeps what it loaded.
    tabela.First();
    EXPECT_EQ(tabela.Texto("1"), "Código");
    CarregaTabelaTemp(excel, tabela, 2, progresso);
    EXPECT_EQ(tabela.Colunas(), 2);
    EXPECT_THAT(Registros(tabela), ElementsAre(Linha{"x", ""}, Linha{"", "y"}));
    EXPECT_THAT(MensagemDe([&] { tabela.Texto("4"); }), HasSubstr("Campo '4' não encontrado"));
}

TEST_F(CargaTabela, ColunaQueATabelaNaoTemNomeiaACampo) {
    CarregaTabelaTemp(excel, tabela, 3, progresso);
    for (const char* nome : {"140", "5", "0", "01", "-1", "1.0", "", "abc", "999999999999"}) {
        SCOPED_TRACE(nome);
        const std::string msg = MensagemDe([&] { tabela.Texto(nome); });
        EXPECT_THAT(msg, HasSubstr("Campo '" + std::string(nome) + "' não encontrado"));
        EXPECT_THAT(msg, HasSubstr("'1' a '4'"));
        EXPECT_THAT(MensagemDe([&] { tabela.Numero(nome); }),
                    HasSubstr("Campo '" + std::string(nome) + "'"));
    }
    EXPECT_THAT(MensagemDe([&] { tabela.Texto(5); }), HasSubstr("Campo '5' não encontrado"));
}

TEST_F(CargaTabela, NumeroComVirgulaDecimal) {
    CarregaTabelaTemp(excel, tabela, 3, progresso);
    tabela.First();
    tabela.Next();
    EXPECT_DOUBLE_EQ(tabela.Numero("4"), 1234.5);
    EXPECT_DOUBLE_EQ(tabela.Numero("1"), 1);
    const std::string vazio = MensagemDe([&] { tabela.Numero("3"); });
    EXPECT_THAT(vazio, HasSubstr("'' não é um valor numérico válido"));
    EXPECT_THAT(vazio, HasSubstr("campo '3', coluna C, linha 2"));
    tabela.Next();
    EXPECT_THROW(tabela.Numero(4), ErroConversao);
    EXPECT_THAT(MensagemDe([&] { tabela.Numero("4"); }),
                HasSubstr("'abc' não é um valor numérico"));
}

TEST(TabelaTemp, NavegacaoEmTabelaVaziaENoFim) {
    TTabelaTemp t;
    t.First();
    EXPECT_TRUE(t.Eof());
    EXPECT_THAT(MensagemDe([&] { t.Texto("1"); }), HasSubstr("nenhuma coluna"));
    t.Recria(1);
    for (const char* texto : {"a", "b"}) {
        t.NovoRegistro();
        t.DefineCampo(1, texto);
        t.Grava();
    }
    t.First();
    EXPECT_FALSE(t.Eof());
    t.Next();
    EXPECT_FALSE(t.Eof());
    t.Next();
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.Texto(1), "b");  // Eof stays on the last record
}

TEST(TabelaTemp, RegistroMontadoForaDeOrdem) {
    TTabelaTemp t;
    t.Recria(5);
    t.NovoRegistro();
    t.DefineCampo(4, "quatro");
    t.DefineCampo(2, "dois");
    t.DefineCampo(4, "");  // set again: the later (empty) text counts
    t.DefineCampo(5, "cinco");
    t.DefineCampo(2, "DOIS");
    t.Grava();
    t.NovoRegistro();
    t.DefineCampo(1, "descartado");
    t.Cancela();
    t.NovoRegistro();
    t.DefineCampo(3, std::string(150, 'x'));
    t.Grava();
    EXPECT_THAT(Registros(t), ElementsAre(Linha{"", "DOIS", "", "", "cinco"},
                                          Linha{"", "", std::string(100, 'x'), "", ""}));
    EXPECT_THAT(MensagemDe([&] { t.DefineCampo(1, "x"); }),
                HasSubstr("não tem registro em inclusão"));
}

// The whole road from a file a spreadsheet program could have written.
TEST(CargaTabelaArquivo, XlsxAteATabela) {
    teste::PastaTemporaria pasta;
    const std::string caminho = pasta / "produtos.xlsx";
    {
        lxw_workbook* wb = workbook_new(caminho.c_str());
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Produtos");
        worksheet_write_string(ws, 0, 0, "Descricao", nullptr);
        worksheet_write_string(ws, 0, 3, "Preco", nullptr);
        worksheet_write_string(ws, 1, 0, (std::string(120, 'p') + "\t").c_str(), nullptr);
        worksheet_write_number(ws, 1, 3, 10.25, nullptr);
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }
    TDMCotrolaExcel excel;
    excel.AbreArquivo(caminho);
    excel.ListaPlanilhas();
    TTabelaTemp tabela;
    ProgressoMudo mudo;
    CarregaTabelaTemp(excel, tabela, excel.UltimaLinha() + 1, mudo);
    EXPECT_THAT(Registros(tabela),
                ElementsAre(Linha{"Descricao", "", "", "Preco"},
                            Linha{std::string(100, 'p'), "", "", "10,25"}, Linha{"", "", "", ""}));
    tabela.First();
    tabela.Next();
    EXPECT_DOUBLE_EQ(tabela.Numero("4"), 10.25);
}

// `conversor mostrar` and `conversor planilhas`: the same load, seen from the terminal.
class ComandoPlanilha : public ::testing::Test {
protected:
    struct Resultado {
        int status;
        std::string saida;
        std::string erro;
    };

    Resultado Executa(const std::vector<std::string>& args) {
        std::string comando = CONVERSOR_EXECUTAVEL;
        for (const std::string& a : args) comando += " '" + a + "'";
        const std::string arquivoErro = pasta / "stderr.txt";
        comando += " 2>'" + arquivoErro + "'";
        Resultado r{};
        FILE* p = popen(comando.c_str(), "r");
        char bloco[4096];
        for (size_t n; (n = std::fread(bloco, 1, sizeof bloco, p)) > 0;) r.saida.append(bloco, n);
        const int fim = pclose(p);
        r.status = WIFEXITED(fim) ? WEXITSTATUS(fim) : -1;
        std::ifstream e(arquivoErro);
        r.erro.assign(std::istreambuf_iterator<char>(e), {});
        return r;
    }

    teste::PastaTemporaria pasta;
};

TEST_F(ComandoPlanilha, UsoErradoEArquivoAusenteSaoRecusados) {
    const std::string ausente = pasta / "ausente.xlsx";
    const struct {
        std::vector<std::string> args;
        const char* mensagem;  // UTF-8, as the terminal shows it
    } casos[] = {
        {{"planilhas"}, "Uso: conversor planilhas ARQUIVO"},
        {{"planilhas", ausente}, "ausente.xlsx"},
        {{"mostrar"}, "Informe um arquivo"},
        {{"mostrar", ausente, "--aba"}, "Falta o n\xC3\xBAmero depois de --aba"},
        {{"mostrar", ausente, "--ultima-linha", "1x"}, "\xC3\x9Altima linha inv\xC3\xA1lida: '1x'"},
        {{"mostrar", ausente, "--ultima-linha", "1048577"}, "de 0 a 1048576"},
        {{"mostrar", ausente, "--xyz"}, "Op\xC3\xA7\xC3\xA3o desconhecida: --xyz"},
        {{"mostrar", ausente}, "ausente.xlsx"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.args.size() > 1 ? c.args.back() : c.args[0]);
        const Resultado r = Executa(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_THAT(r.erro, HasSubstr(c.mensagem));
        EXPECT_EQ(r.saida, "");
    }
}

TEST_F(ComandoPlanilha, MostraAsLinhasDaCargaEmUtf8ComEscapes) {
    const std::string caminho = pasta / "vendedores.xlsx";
    {
        // libxlsxwriter takes UTF-8: the accented names are written as UTF-8 bytes.
        lxw_workbook* wb = workbook_new(caminho.c_str());
        lxw_worksheet* um = workbook_add_worksheet(wb, "Resumo");
        worksheet_write_number(um, 2, 4, 1, nullptr);
        lxw_worksheet* dois = workbook_add_worksheet(wb, "Vendedores Jo\xC3\xA3o");
        worksheet_write_string(dois, 0, 0, "S\xC3\xA3o Paulo", nullptr);
        worksheet_write_string(dois, 0, 2, "a\tb\\c\nd\re", nullptr);
        worksheet_write_number(dois, 1, 1, 0.5, nullptr);
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }

    Resultado r = Executa({"planilhas", caminho});
    EXPECT_EQ(r.status, 0) << r.erro;
    EXPECT_EQ(r.saida, "1\tResumo\t3\t5\n2\tVendedores Jo\xC3\xA3o\t2\t3\n");

    r = Executa({"mostrar", caminho, "--aba", "2", "--ultima-linha", "3"});
    EXPECT_EQ(r.status, 0) << r.erro;
    EXPECT_EQ(r.saida, "S\xC3\xA3o Paulo\t\ta\\tb\\\\c\\nd\\re\n\t0,5\t\n\t\t\n");

    r = Executa({"mostrar", caminho});  // first sheet, up to its last row
    EXPECT_EQ(r.status, 0) << r.erro;
    EXPECT_EQ(r.saida, "\t\t\t\t\n\t\t\t\t\n\t\t\t\t1\n");

    r = Executa({"mostrar", caminho, "--aba", "3"});
    EXPECT_EQ(r.status, 2);
    EXPECT_THAT(r.erro, HasSubstr("posi\xC3\xA7\xC3\xA3o 3"));
    EXPECT_THAT(r.erro, HasSubstr("vendedores.xlsx"));
}

// What libgsf says in English about a damaged OLE2 container never reaches the terminal:
// the user sees the workbook, or the reader's Portuguese message, and nothing else.
TEST_F(ComandoPlanilha, ConteinerOle2DanificadoNaoMostraMensagensDaBiblioteca) {
    const auto le = [](const std::string& caminho) {
        std::ifstream f(caminho, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    };
    const auto grava = [](const std::string& caminho, const std::string& bytes) {
        std::ofstream(caminho, std::ios::binary) << bytes;
    };
    // A real workbook whose root directory entry is not marked as the root: libgsf
    // warns and reads it all the same.
    std::string raizTrocada = le(CONVERSOR_PASTAS_REAIS "/date_1904.xls");
    const auto u16 = [&](size_t i) {
        return static_cast<unsigned char>(raizTrocada[i]) |
               static_cast<unsigned char>(raizTrocada[i + 1]) << 8;
    };
    const size_t raiz = (static_cast<size_t>(u16(0x30)) + 1) << u16(0x1E);
    ASSERT_EQ(raizTrocada[raiz + 0x42], 5);  // the root entry's type
    raizTrocada[raiz + 0x42] = 1;
    grava(pasta / "raiz-trocada.xls", raizTrocada);
    // A directory whose entries point at blocks past the file's end and at each other:
    // libgsf fails its own assertions on it.
    grava(pasta / "diretorio-danificado.xls",
          le(CONVERSOR_REGRESSAO "/fuzz_xls/diretorio-com-irmaos-da-raiz.xls"));

    const struct {
        const char* arquivo;
        bool le;
    } casos[] = {{"raiz-trocada.xls", true}, {"diretorio-danificado.xls", false}};
    for (const auto& c : casos) {
        SCOPED_TRACE(c.arquivo);
        const Resultado r = Executa({"planilhas", pasta / c.arquivo});
        EXPECT_THAT(r.erro, Not(ContainsRegex("GLib|gsf|assertion|WARNING|CRITICAL|\\*\\*")));
        if (c.le) {
            EXPECT_EQ(r.status, 0);
            EXPECT_EQ(r.erro, "");
            EXPECT_THAT(r.saida, HasSubstr("\t"));
        } else {
            EXPECT_NE(r.status, 0);
            EXPECT_THAT(r.erro, HasSubstr(c.arquivo));
        }
    }
}

}  // namespace
}  // namespace conversor::intake
