// The terminal commands as a user meets them: file names of every kind under any
// locale, one exit status per kind of outcome, nothing from a workbook reaching the
// terminal raw, and options told apart from file names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "apoio/processo.h"

namespace conversor::app {
namespace {

using ::testing::AnyOf;
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

// Replaces (or adds) one part of a zip package.
void TrocaParte(const std::string& pacote, const std::string& parte, const std::string& conteudo,
                bool armazenada = false) {
    int erro = 0;
    zip_t* z = zip_open(pacote.c_str(), ZIP_CREATE, &erro);
    ASSERT_NE(z, nullptr) << erro;
    zip_source_t* fonte = zip_source_buffer(z, conteudo.data(), conteudo.size(), 0);
    const zip_int64_t indice = zip_file_add(z, parte.c_str(), fonte, ZIP_FL_OVERWRITE);
    ASSERT_GE(indice, 0) << zip_strerror(z);
    if (armazenada) zip_set_file_compression(z, static_cast<zip_uint64_t>(indice), ZIP_CM_STORE, 0);
    ASSERT_EQ(zip_close(z), 0);
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

}  // namespace
}  // namespace conversor::app
