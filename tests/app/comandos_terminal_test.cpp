// The terminal commands as a user meets them: file names of every kind under any
// locale, one exit status per kind of outcome, nothing from a workbook reaching the
// terminal raw, and options told apart from file names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/partes_zip.h"
#include "apoio/processo.h"
#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::app {
namespace {

using teste::LeParte;
using teste::TiraParte;
using teste::TrocaParte;
using ::testing::AnyOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

// What goes to the file system and the terminal is UTF-8, while plain literals here
// are Windows-1252.
std::string U8(const char8_t* texto) { return reinterpret_cast<const char*>(texto); }

// The program under a locale, in a folder of the test's: `env` sets both.
teste::Resultado Conversor(const std::string& locale, const std::string& pasta,
                           const std::vector<std::string>& argumentos) {
    std::vector<std::string> comando = {
        "env", "-C", pasta, "LANG=" + locale, "LC_ALL=" + locale, CONVERSOR_EXECUTAVEL};
    comando.insert(comando.end(), argumentos.begin(), argumentos.end());
    return teste::Roda(comando);
}

// Two carriers in the carriers' layout, in Belo Horizonte with an eight-digit
// telephone, so that the conversion looks the area code up in the city table.
void EscreveTransportadoras(const std::string& arquivo) {
    std::ofstream saida(arquivo);
    for (int codigo = 1; codigo <= 2; ++codigo) {
        for (int coluna = 1; coluna <= 27; ++coluna) {
            if (coluna > 1) saida << ';';
            if (coluna == 6) saida << "Belo Horizonte";
            if (coluna == 14) saida << "MG";
            if (coluna == 20) saida << "Transportadora " << codigo;
            if (coluna == 26) saida << "3333-444" << codigo;
            if (coluna == 27) saida << codigo;
        }
        saida << '\n';
    }
}

std::string LeArquivo(const std::string& caminho) {
    std::ifstream entrada(caminho, std::ios::binary);
    return {std::istreambuf_iterator<char>(entrada), std::istreambuf_iterator<char>()};
}

// Every row of every table of the database, as text, sorted.
std::vector<std::string> LinhasDoBanco(const std::string& arquivo) {
    db::Conexao banco;
    banco.DefineNomeBanco(arquivo);
    banco.Conecta();
    const std::vector<std::string> tabelas = teste::TabelasDoBanco(banco);
    std::vector<std::string> linhas;
    for (const std::string& tabela : tabelas) {
        db::Consulta q(banco);
        q.DefineSql("select * from " + tabela);
        for (q.Abre(); !q.Eof(); q.Proximo()) {
            std::string linha = tabela;
            for (int i = 0; i < q.NumeroCampos(); ++i)
                linha += " | " + (q.CampoNulo(q.NomeCampo(i)) ? std::string("<nulo>")
                                                              : q.CampoTexto(q.NomeCampo(i)));
            linhas.push_back(std::move(linha));
        }
    }
    std::sort(linhas.begin(), linhas.end());
    return linhas;
}

const char* const kDoctype = "<?xml version=\"1.0\"?><!DOCTYPE x [<!ENTITY a \"aaaa\">]><x>&a;</x>";

class ComandosNoTerminal : public ::testing::Test {
protected:
    std::string Arquivo(const std::string& nome) const { return pasta_.Arquivo(nome); }
    teste::PastaTemporaria pasta_;
};

TEST_F(ComandosNoTerminal, CaminhosDeQualquerNomeComoDigitadosSobQualquerLocale) {
    const std::string nomes[] = {
        U8(u8"Área de Trabalho/vendas ção"),
        "com 'aspas' e \"aspas\"",
        U8(u8"-começa com traço"),
        U8(u8"中文 目录/表格"),
        U8(u8"emoji 😀🚚"),
    };
    for (const char* locale : {"C", "C.UTF-8"}) {
        for (const std::string& nome : nomes) {
            SCOPED_TRACE(std::string(locale) + " " + nome);
            // Relative names, as typed in the folder the program runs in; "--" lets the
            // name that starts with a dash through.
            const std::string pasta = nome + " " + locale;
            std::filesystem::create_directories(Arquivo(pasta));
            const std::string banco = pasta + U8(u8"/banco ção.fdb");
            const std::string planilha = pasta + U8(u8"/transportadoras ção.csv");
            const std::string cidades = pasta + U8(u8"/cidades ção.DBF");
            EscreveTransportadoras(Arquivo(planilha));
            std::filesystem::copy_file(CONVERSOR_TABELA_CIDADES, Arquivo(cidades));

            teste::Resultado r = Conversor(locale, pasta_.Caminho(), {"criar-banco", "--", banco});
            ASSERT_EQ(r.status, 0) << r.saida;
            EXPECT_THAT(r.saida, HasSubstr("Banco criado: " + banco));
            EXPECT_TRUE(std::filesystem::exists(Arquivo(banco)));

            r = Conversor(locale, pasta_.Caminho(), {"planilhas", "--", planilha});
            EXPECT_EQ(r.status, 0) << r.saida;
            EXPECT_THAT(r.saida, HasSubstr("\t2\t27\n"));

            r = Conversor(locale, pasta_.Caminho(),
                          {"converter", "--banco", banco, "--planilha", planilha, "--tipo",
                           "transportadoras", "--cidades", cidades});
            EXPECT_EQ(r.status, 0) << r.saida;
            EXPECT_THAT(r.saida, HasSubstr("TRANSPT         2 linhas gravadas"));
            EXPECT_THAT(r.saida, HasSubstr("Avisos: 0"));

            // Names that lead nowhere, in the messages exactly as typed.
            const std::string ausente = pasta + U8(u8"/não há 中 😀");
            const struct {
                std::vector<std::string> argumentos;
                std::string nome;
            } faltas[] = {
                {{"planilhas", "--", ausente + ".xlsx"}, ausente + ".xlsx"},
                {{"mostrar", "--", ausente + ".csv"}, ausente + ".csv"},
                {{"criar-banco", "--", ausente + "/b.fdb"}, ausente + "/b.fdb"},
                {{"converter", "--banco", ausente + ".fdb", "--planilha", planilha, "--tipo",
                  "clientes"},
                 ausente + ".fdb"},
                {{"converter", "--banco", banco, "--planilha", planilha, "--tipo",
                  "transportadoras", "--cidades", ausente + ".DBF"},
                 ausente + ".DBF"},
            };
            for (const auto& f : faltas) {
                SCOPED_TRACE(f.argumentos[0]);
                r = Conversor(locale, pasta_.Caminho(), f.argumentos);
                EXPECT_NE(r.status, 0);
                EXPECT_THAT(r.saida, AnyOf(HasSubstr("'" + f.nome + "'"), HasSubstr(": " + f.nome)))
                    << r.saida;
                EXPECT_THAT(r.saida, Not(HasSubstr("\xC3\x83")));  // no "Ã" of a double conversion
            }
        }
    }
}

TEST_F(ComandosNoTerminal, ArquivoRecusadoSaiComDoisEmQualquerFormatoOuParte) {
    // An .xlsx whose first sheet is sound and whose second carries a DOCTYPE: the fault
    // shows only once that sheet is read.
    const std::string xlsx = Arquivo("doctype-na-aba.xlsx");
    {
        lxw_workbook* wb = workbook_new(xlsx.c_str());
        worksheet_write_string(workbook_add_worksheet(wb, "Boa"), 0, 0, "ok", nullptr);
        worksheet_write_string(workbook_add_worksheet(wb, "Ruim"), 0, 0, "x", nullptr);
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }
    TrocaParte(xlsx, "xl/worksheets/sheet2.xml", kDoctype);
    const std::string xlsxTextos = Arquivo("doctype-nos-textos.xlsx");
    {
        lxw_workbook* wb = workbook_new(xlsxTextos.c_str());
        worksheet_write_string(workbook_add_worksheet(wb, "Plan1"), 0, 0, "texto", nullptr);
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }
    TrocaParte(xlsxTextos, "xl/sharedStrings.xml", kDoctype);
    const std::string ods = Arquivo("doctype.ods");
    TrocaParte(ods, "mimetype", "application/vnd.oasis.opendocument.spreadsheet", true);
    TrocaParte(ods, "content.xml", kDoctype);
    const std::string csv = Arquivo("colunas-demais.csv");
    std::ofstream(csv) << "a;b\n" << std::string(20000, ';') << "\n";
    const std::string zipQuebrado = Arquivo("cortado.xlsx");
    std::ofstream(zipQuebrado) << "PK\x03\x04 e nada mais";
    const std::string xls =
        std::string(CONVERSOR_REGRESSAO) + "/fuzz_xls/texto-compartilhado-inexistente.xls";

    // Listing measures a sheet without its texts, so a fault in the shared strings shows
    // only once the cells are read.
    const struct {
        std::string arquivo;
        const char* abaComDefeito;
        bool listagemVeODefeito;
    } casos[] = {{xlsx, "2", true}, {xlsxTextos, "1", false}, {ods, "1", true},
                 {csv, "1", true},  {zipQuebrado, "1", true}, {xls, "1", true}};
    for (const auto& c : casos) {
        std::vector<std::vector<std::string>> comandos = {
            {"mostrar", c.arquivo, "--aba", c.abaComDefeito}};
        if (c.listagemVeODefeito) comandos.push_back({"planilhas", c.arquivo});
        for (const std::vector<std::string>& argumentos : comandos) {
            SCOPED_TRACE(argumentos[0] + " " + c.arquivo);
            const teste::Resultado r = Conversor("C.UTF-8", pasta_.Caminho(), argumentos);
            EXPECT_EQ(r.status, 2) << r.saida;
            EXPECT_THAT(r.saida, HasSubstr(std::filesystem::path(c.arquivo).filename().string()));
        }
    }
}

// Output sent into the workbook being read (`>>`) would spoil it: refused, the
// workbook left as it was.
TEST_F(ComandosNoTerminal, SaidaSobreAPlanilhaLidaERecusada) {
    const std::string csv = Arquivo("clientes.csv");
    const std::string conteudo = "Codigo;Nome\n1;Ana\n";
    std::ofstream(csv) << conteudo;
    for (const std::string& comando :
         {"planilhas " + csv, "mostrar " + csv, "mapa --tipo clientes --planilha " + csv}) {
        SCOPED_TRACE(comando);
        const int r = std::system((std::string(CONVERSOR_EXECUTAVEL) + " " + comando + " >> " +
                                   csv + " 2> " + Arquivo("erro.txt"))
                                      .c_str());
        EXPECT_EQ(WIFEXITED(r) ? WEXITSTATUS(r) : -1, 2);
        EXPECT_EQ(LeArquivo(csv), conteudo);
        EXPECT_THAT(LeArquivo(Arquivo("erro.txt")),
                    HasSubstr(U8(u8"seria gravada sobre a própria planilha")));
    }
}

TEST_F(ComandosNoTerminal, ControlesDasCelulasEDosNomesNaoChegamCrusAoTerminal) {
    const std::string xlsx = Arquivo("controles.xlsx");
    {
        lxw_workbook* wb = workbook_new(xlsx.c_str());
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Plan1");
        worksheet_write_string(ws, 0, 0, "\x1B[2Jlimpa", nullptr);
        worksheet_write_string(ws, 0, 1, "sino\x07 volta\x08 fim", nullptr);
        worksheet_write_string(ws, 0, 2, U8(u8"dcs\u0090fim").c_str(), nullptr);
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }
    // A .csv names its one sheet after the file: a sheet name with terminal commands.
    const std::string csv = Arquivo(
        "aba\x1B"
        "c\x07.csv");
    std::ofstream(csv) << "x\n";
    // A file name with a terminal command in it, in the messages.
    const std::string ausente = Arquivo("nome\x1B[31mvermelho\x07.xlsx");

    const auto semControles = [](const std::string& saida) {
        for (const char c : saida)
            if ((static_cast<unsigned char>(c) < 0x20 && c != '\n' && c != '\t') || c == 0x7F)
                return false;
        for (size_t i = 0; i + 1 < saida.size(); ++i)  // C1 controls, U+0080..U+009F
            if (saida[i] == '\xC2' && static_cast<unsigned char>(saida[i + 1]) < 0xA0) return false;
        return true;
    };
    teste::Resultado r = Conversor("C.UTF-8", pasta_.Caminho(), {"planilhas", csv});
    EXPECT_EQ(r.status, 0) << r.saida;
    EXPECT_EQ(r.saida, "1\taba\\x1Bc\\x07\t1\t1\n");

    r = Conversor("C.UTF-8", pasta_.Caminho(), {"mostrar", xlsx});
    EXPECT_EQ(r.status, 0) << r.saida;
    EXPECT_EQ(r.saida, "\\x1B[2Jlimpa\tsino\\x07 volta\\x08 fim\tdcs\\x90fim\n");

    for (const std::vector<std::string>& argumentos :
         {std::vector<std::string>{"planilhas", ausente},
          std::vector<std::string>{"mostrar", ausente},
          std::vector<std::string>{"converter", "--banco", ausente, "--planilha", xlsx, "--tipo",
                                   "clientes"},
          std::vector<std::string>{"criar-banco", Arquivo("nao/ha\x1B[31m/x.fdb")},
          std::vector<std::string>{"mostrar", "--x\x1B[31m", xlsx},
          std::vector<std::string>{"comando\x1B[31m"}}) {
        SCOPED_TRACE(argumentos[0]);
        r = Conversor("C.UTF-8", pasta_.Caminho(), argumentos);
        EXPECT_NE(r.status, 0);
        EXPECT_TRUE(semControles(r.saida)) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr("\\x1B[31m"));
    }
}

TEST_F(ComandosNoTerminal, OpcoesAntesDosArquivosEDuploTracoEncerraAsOpcoes) {
    std::ofstream(Arquivo("-x.csv")) << "a;b\n";
    const struct {
        std::vector<std::string> argumentos;
        int status;
        const char* saida;
    } casos[] = {
        {{"criar-banco", "--help"}, 0, "Uso: conversor criar-banco ARQUIVO"},
        {{"criar-banco", "-h"}, 0, "Uso: conversor criar-banco ARQUIVO"},
        {{"criar-banco", "-x.fdb"}, 2, "Op\xC3\xA7\xC3\xA3o desconhecida: -x.fdb"},
        {{"criar-banco", "a.fdb", "b.fdb"}, 2, "Uso: conversor criar-banco ARQUIVO"},
        {{"planilhas", "--help"}, 0, "Uso: conversor planilhas ARQUIVO"},
        {{"planilhas", "-x.csv"}, 2, "Op\xC3\xA7\xC3\xA3o desconhecida: -x.csv"},
        {{"planilhas", "--", "-x.csv"}, 0, "1\t-x\t1\t2\n"},
        {{"mostrar", "--help"}, 0, "Uso: conversor mostrar ARQUIVO"},
        {{"mostrar", "-x.csv"}, 2, "Op\xC3\xA7\xC3\xA3o desconhecida: -x.csv"},
        {{"mostrar", "--aba", "1", "--", "-x.csv"}, 0, "a\tb\n"},
        {{"mostrar", "--", "-x.csv", "--aba"}, 2, "Informe um s\xC3\xB3 arquivo"},
        {{"converter", "--help"}, 0, "Uso: conversor converter --banco BANCO"},
        {{"converter", "--banco", "b.fdb", "-x"}, 2, "Op\xC3\xA7\xC3\xA3o desconhecida: -x"},
        {{"converter", "--banco", "b.fdb", "--", "-x"}, 2, "Argumento inesperado: -x"},
        {{"converter", "--banco"}, 2, "Falta o banco depois de --banco"},
    };
    for (const auto& c : casos) {
        std::string nome;
        for (const std::string& a : c.argumentos) nome += a + " ";
        SCOPED_TRACE(nome);
        const teste::Resultado r = Conversor("C.UTF-8", pasta_.Caminho(), c.argumentos);
        EXPECT_EQ(r.status, c.status) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr(c.saida));
    }
    // Help and refused options create nothing; "--" reaches a file named like an option.
    EXPECT_FALSE(std::filesystem::exists(Arquivo("--help")));
    EXPECT_FALSE(std::filesystem::exists(Arquivo("-h")));
    EXPECT_FALSE(std::filesystem::exists(Arquivo("-x.fdb")));
    const teste::Resultado r =
        Conversor("C.UTF-8", pasta_.Caminho(), {"criar-banco", "--", "-x.fdb"});
    EXPECT_EQ(r.status, 0) << r.saida;
    EXPECT_TRUE(std::filesystem::exists(Arquivo("-x.fdb")));
}

// A workbook damaged in its structure: a sheet that leads to no worksheet, a part
// missing or of another kind, a sheet list that points elsewhere in the file. Each is
// refused naming the file and the sheet before the run touches the database: read as a
// sheet without cells, it would empty the kind's tables and report success.
// A sheet or row number is read the same way by every command that takes it: digits
// only, within the option's bounds, and anything else a usage error before any file is
// opened. Accepted numbers go on to the command's own checks, which refuse without the
// usage: a report in a folder that does not exist, a sheet the workbook lacks.
TEST_F(ComandosNoTerminal, NumerosDeAbaEDeLinhaLidosDoMesmoModoPorTodosOsComandos) {
    std::ofstream(Arquivo("x.csv")) << "a;b\n";
    const std::string banco = Arquivo("banco.fdb");
    const std::string relatorio = Arquivo("nao-ha/r.xlsx");
    const std::vector<std::vector<std::string>> comandos = {
        {"converter", "--banco", banco, "--planilha", "x.csv", "--tipo", "clientes", "--relatorio",
         relatorio},
        {"conferir", "--banco", banco, "--planilha", "x.csv", "--tipo", "clientes", "--relatorio",
         relatorio},
        {"mostrar", "x.csv"},
        {"mapa", "--tipo", "clientes", "--planilha", "x.csv"},
    };
    const struct {
        const char* opcao;
        const char* nome;  // UTF-8
        long long minimo;
        long long maximo;
        std::vector<std::string> comandos;
    } opcoes[] = {
        {"--aba", "Aba", 1, 32767, {"converter", "conferir", "mostrar", "mapa"}},
        {"--primeira-linha", "Primeira linha", 1, 1048576, {"converter", "conferir", "mostrar"}},
        {"--ultima-linha", "\xC3\x9Altima linha", 0, 1048576, {"converter", "conferir", "mostrar"}},
        {"--linha-titulos", "Linha de t\xC3\xADtulos", 1, 1048576, {"mapa"}},
    };
    for (const auto& o : opcoes) {
        // Past what any number holds, and one past the option's bound.
        const std::string enorme(20, '9');
        std::vector<std::string> recusados = {
            "+1", "-1", "1.0", " 1", "1 ", "", "um", "0x1", enorme, std::to_string(o.maximo + 1)};
        if (o.minimo > 0) recusados.push_back(std::to_string(o.minimo - 1));
        const std::vector<std::string> aceitos = {std::to_string(o.minimo),
                                                  std::to_string(o.maximo)};
        for (const std::vector<std::string>& base : comandos) {
            if (std::find(o.comandos.begin(), o.comandos.end(), base[0]) == o.comandos.end())
                continue;
            for (const std::string& valor : recusados) {
                std::vector<std::string> argumentos = base;
                argumentos.insert(argumentos.end(), {o.opcao, valor});
                SCOPED_TRACE(base[0] + " " + o.opcao + " '" + valor + "'");
                const teste::Resultado r = Conversor("C.UTF-8", pasta_.Caminho(), argumentos);
                EXPECT_EQ(r.status, 2) << r.saida;
                EXPECT_THAT(r.saida, HasSubstr(std::string(o.nome) + U8(u8" inválida: '") + valor +
                                               "'. " + o.opcao + U8(u8" deve ser um número de ") +
                                               std::to_string(o.minimo) + " em diante"));
                EXPECT_THAT(r.saida, HasSubstr("Uso: conversor " + base[0]));
            }
            for (const std::string& valor : aceitos) {
                std::vector<std::string> argumentos = base;
                argumentos.insert(argumentos.end(), {o.opcao, valor});
                SCOPED_TRACE(base[0] + " " + o.opcao + " '" + valor + "'");
                const teste::Resultado r = Conversor("C.UTF-8", pasta_.Caminho(), argumentos);
                EXPECT_THAT(r.saida, Not(HasSubstr(U8(u8"inválida"))));
                EXPECT_THAT(r.saida, Not(HasSubstr("Uso: conversor")));
            }
        }
    }
    EXPECT_FALSE(std::filesystem::exists(banco));
}

TEST_F(ComandosNoTerminal, PastaDanificadaERecusadaSemTocarNoBanco) {
    const std::string banco = Arquivo("banco.fdb");
    teste::Resultado r = Conversor("C.UTF-8", pasta_.Caminho(), {"criar-banco", banco});
    ASSERT_EQ(r.status, 0) << r.saida;

    // The carriers of EscreveTransportadoras in a sound .xlsx, converted: the rows the
    // damaged workbooks must leave in place.
    const std::string xlsx = Arquivo("transportadoras.xlsx");
    {
        const std::string csv = Arquivo("transportadoras.csv");
        EscreveTransportadoras(csv);
        std::ifstream entrada(csv);
        lxw_workbook* wb = workbook_new(xlsx.c_str());
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Transportadoras");
        std::string linha;
        for (lxw_row_t l = 0; std::getline(entrada, linha); ++l) {
            lxw_col_t c = 0;
            for (size_t inicio = 0;; ++c) {
                const size_t fim = linha.find(';', inicio);
                const std::string valor = linha.substr(inicio, fim - inicio);
                if (!valor.empty()) worksheet_write_string(ws, l, c, valor.c_str(), nullptr);
                if (fim == std::string::npos) break;
                inicio = fim + 1;
            }
        }
        ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);
    }
    r = Conversor("C.UTF-8", pasta_.Caminho(),
                  {"converter", "--banco", banco, "--planilha", xlsx, "--tipo", "transportadoras",
                   "--cidades", CONVERSOR_TABELA_CIDADES});
    ASSERT_EQ(r.status, 0) << r.saida;
    const std::vector<std::string> antes = LinhasDoBanco(banco);
    ASSERT_THAT(antes, Contains(HasSubstr("Transportadora 2")));

    // Copies of a sound workbook, each damaged in one way.
    const auto copia = [&](const std::string& origem, const std::string& nome) {
        const std::string destino = Arquivo(nome);
        std::filesystem::copy_file(origem, destino);
        return destino;
    };
    const auto trocaNaParte = [](const std::string& pacote, const std::string& parte,
                                 const std::string& de, const std::string& para) {
        std::string conteudo = LeParte(pacote, parte);
        const size_t onde = conteudo.find(de);
        ASSERT_NE(onde, std::string::npos) << parte << ": " << de;
        TrocaParte(pacote, parte, conteudo.replace(onde, de.size(), para));
    };
    const std::string rels = "xl/_rels/workbook.xml.rels";
    const std::string relacaoAusente = copia(xlsx, "relacao-ausente.xlsx");
    trocaNaParte(relacaoAusente, rels, "Id=\"rId1\"", "Id=\"rId99\"");
    const std::string relacaoDeEstilos = copia(xlsx, "relacao-de-estilos.xlsx");
    trocaNaParte(relacaoDeEstilos, rels, "relationships/worksheet\" Target=\"worksheets/sheet1.xml",
                 "relationships/styles\" Target=\"styles.xml");
    const std::string alvoNosEstilos = copia(xlsx, "alvo-nos-estilos.xlsx");
    trocaNaParte(alvoNosEstilos, rels, "worksheets/sheet1.xml", "styles.xml");
    const std::string parteAusente = copia(xlsx, "parte-ausente.xlsx");
    TiraParte(parteAusente, "xl/worksheets/sheet1.xml");
    const std::string parteDeGrafico = copia(xlsx, "parte-de-grafico.xlsx");
    TrocaParte(parteDeGrafico, "xl/worksheets/sheet1.xml",
               "<?xml version=\"1.0\"?><chartsheet xmlns=\"http://schemas.openxmlformats.org/"
               "spreadsheetml/2006/main\"><sheetPr/></chartsheet>");

    const std::string ods = Arquivo("transportadoras.ods");
    TrocaParte(ods, "mimetype", "application/vnd.oasis.opendocument.spreadsheet", true);
    TrocaParte(ods, "content.xml",
               "<?xml version=\"1.0\"?><office:document-content "
               "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
               "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
               "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\"><office:body>"
               "<office:spreadsheet><table:table table:name=\"Transportadoras\"><table:table-row>"
               "<table:table-cell office:value-type=\"string\"><text:p>x</text:p>"
               "</table:table-cell></table:table-row></table:table></office:spreadsheet>"
               "</office:body></office:document-content>");
    const std::string odsSemConteudo = copia(ods, "sem-conteudo.ods");
    TiraParte(odsSemConteudo, "content.xml");
    const std::string odsDeTexto = copia(ods, "conteudo-de-texto.ods");
    trocaNaParte(odsDeTexto, "content.xml", "office:spreadsheet>", "office:text>");
    trocaNaParte(odsDeTexto, "content.xml", "office:spreadsheet>", "office:text>");

    // A real .xls whose sheets are "Visible", "Hidden", "VeryHidden" and a chart: the
    // first one's start, in its BOUNDSHEET record, moved elsewhere in the stream.
    const std::string xls = std::string(CONVERSOR_PASTAS_REAIS) + "/any_sheets.xls";
    const std::string bytes = LeArquivo(xls);
    // The start of the BOUNDSHEET record of a sheet named in 8-bit characters.
    const auto inicioDe = [&](const std::string& nome) {
        const size_t p = bytes.find(std::string(1, static_cast<char>(nome.size())) + '\0' + nome);
        EXPECT_NE(p, std::string::npos) << nome;
        EXPECT_EQ(bytes.compare(p - 10, 2, "\x85\x00", 2), 0) << nome;
        return p - 6;
    };
    const auto xlsComInicio = [&](const std::string& nome, uint32_t inicio) {
        std::string alterado = bytes;
        for (int k = 0; k < 4; ++k)
            alterado[inicioDe("Visible") + k] = static_cast<char>(inicio >> (8 * k));
        std::ofstream(Arquivo(nome), std::ios::binary) << alterado;
        return Arquivo(nome);
    };
    uint32_t inicioDoGrafico = 0;
    for (int k = 3; k >= 0; --k)
        inicioDoGrafico =
            inicioDoGrafico << 8 | static_cast<unsigned char>(bytes[inicioDe("Chart") + k]);

    const struct {
        std::string arquivo;
        const char8_t* mensagem;
    } casos[] = {
        {relacaoAusente,
         u8"(aba 'Transportadoras'): a relação 'rId1', que leva à parte da aba, não existe"},
        {relacaoDeEstilos,
         u8"(aba 'Transportadoras'): a relação 'rId1' leva à parte 'xl/styles.xml', que não é uma "
         "planilha de células"},
        {alvoNosEstilos,
         u8"(aba 'Transportadoras'): a parte 'xl/styles.xml' não é uma planilha de células"},
        {parteAusente,
         u8"(aba 'Transportadoras'): a parte 'xl/worksheets/sheet1.xml' não existe no pacote"},
        {parteDeGrafico,
         u8"(aba 'Transportadoras'): a parte 'xl/worksheets/sheet1.xml' não é uma planilha de "
         "células (seu elemento raiz é <chartsheet>)"},
        {odsSemConteudo, u8"(parte 'content.xml'): a parte 'content.xml' não existe no pacote"},
        {odsDeTexto, u8"(parte 'content.xml'): o conteúdo não é o de uma planilha"},
        {xlsComInicio("inicio-na-pasta.xls", 0),
         u8"(planilha 'Visible'): o início registrado da planilha cai no começo da pasta"},
        {xlsComInicio("inicio-no-grafico.xls", inicioDoGrafico),
         u8"(planilha 'Visible'): o início registrado da planilha cai num gráfico"},
        {xlsComInicio("inicio-fora.xls", 0x00FFFFFF),
         u8"(planilha 'Visible'): a planilha começa fora do arquivo"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.arquivo);
        r = Conversor("C.UTF-8", pasta_.Caminho(),
                      {"converter", "--banco", banco, "--planilha", c.arquivo, "--tipo",
                       "transportadoras", "--cidades", CONVERSOR_TABELA_CIDADES});
        EXPECT_EQ(r.status, 2) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr("'" + c.arquivo + "'"));
        EXPECT_THAT(r.saida, HasSubstr(U8(c.mensagem)));
        EXPECT_EQ(LinhasDoBanco(banco), antes);
    }
}

}  // namespace
}  // namespace conversor::app
