// The .csv and .xls readers: what the real workbooks of the conformance test do not
// show, on files written here, and files that are damaged or hostile.
#include <gmock/gmock.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/regional.h"
#include "intake/leitor.h"

namespace conversor::intake {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::ElementsAre;
using testing::HasSubstr;

const fs::path kPastas = CONVERSOR_PASTAS_REAIS;

class PastaTemporaria {
public:
    PastaTemporaria() {
        std::string modelo = (fs::temp_directory_path() / "leitor-XXXXXX").string();
        if (!mkdtemp(modelo.data())) throw std::runtime_error("mkdtemp falhou");
        caminho_ = modelo;
    }
    ~PastaTemporaria() {
        std::error_code erro;
        fs::remove_all(caminho_, erro);
    }
    std::string Grava(const std::string& nome, const std::string& bytes) const {
        const std::string caminho = (caminho_ / nome).string();
        std::ofstream(caminho, std::ios::binary) << bytes;
        return caminho;
    }
    std::string operator/(const std::string& nome) const { return (caminho_ / nome).string(); }

private:
    fs::path caminho_;
};

using Celulas = std::map<std::pair<int, int>, std::string>;  // (row, column) -> text

class Coleta : public VisitanteCelulas {
public:
    void Celula(int linha, int coluna, std::string_view texto) override {
        ++entregas;
        celulas[{linha, coluna}] = std::string(texto);
    }
    Celulas celulas;
    int entregas = 0;
};

struct Lido {
    std::vector<std::string> abas;
    Celulas celulas;
    AreaUsada area;
};

Lido Le(const std::string& caminho, int posicao = 1) {
    auto leitor = AbreLeitor(caminho);
    Lido lido;
    lido.abas = leitor->Abas();
    Coleta coleta;
    lido.area = leitor->LeAba(posicao, coleta);
    lido.celulas = std::move(coleta.celulas);
    return lido;
}

// The message of the ErroPlanilha that `f` raises (Windows-1252, as the literals
// here); fails the test when there is none.
template <typename F>
std::string MensagemDe(F&& f) {
    try {
        f();
    } catch (const ErroPlanilha& e) {
        return e.what();
    }
    ADD_FAILURE() << "nenhum ErroPlanilha";
    return "";
}

// ================================================================ CSV

// What a spreadsheet program saves as "Unicode text": UTF-16 with its byte-order mark,
// little-endian unless `grandeIndiano`.
std::string Utf16(std::u16string_view texto, bool grandeIndiano = false) {
    std::string bytes = grandeIndiano ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t u : texto) {
        const char baixo = static_cast<char>(u & 0xFF), alto = static_cast<char>(u >> 8);
        bytes += grandeIndiano ? alto : baixo;
        bytes += grandeIndiano ? baixo : alto;
    }
    return bytes;
}

struct CasoCsv {
    const char* nome;
    std::string bytes;
    Celulas esperado;  // Windows-1252
    int linhas, colunas;
};

void PrintTo(const CasoCsv& caso, std::ostream* saida) { *saida << caso.nome; }

class Csv : public testing::TestWithParam<CasoCsv> {};

TEST_P(Csv, LeCelulasEArea) {
    const CasoCsv& caso = GetParam();
    PastaTemporaria pasta;
    const Lido lido = Le(pasta.Grava("dados.csv", caso.bytes));
    EXPECT_THAT(lido.abas, ElementsAre("dados"));
    EXPECT_EQ(lido.celulas, caso.esperado);
    EXPECT_EQ(lido.area.ultimaLinha, caso.linhas);
    EXPECT_EQ(lido.area.ultimaColuna, caso.colunas);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, Csv,
    testing::Values(
        CasoCsv{"PontoEVirgula",
                "a;b,c\n1;2\n",
                {{{1, 1}, "a"}, {{1, 2}, "b,c"}, {{2, 1}, "1"}, {{2, 2}, "2"}},
                2,
                2},
        CasoCsv{"Virgula", "a,b;c,d\n", {{{1, 1}, "a"}, {{1, 2}, "b;c"}, {{1, 3}, "d"}}, 1, 3},
        CasoCsv{
            "Tabulacao", "a\tb;c\td,e\n", {{{1, 1}, "a"}, {{1, 2}, "b;c"}, {{1, 3}, "d,e"}}, 1, 3},
        CasoCsv{"EmpateFicaComPontoEVirgula", "a;b,c\n", {{{1, 1}, "a"}, {{1, 2}, "b,c"}}, 1, 2},
        CasoCsv{"SemSeparadorNaPrimeiraLinha",
                "titulo\n1;2,5\n",
                {{{1, 1}, "titulo"}, {{2, 1}, "1"}, {{2, 2}, "2,5"}},
                2,
                2},
        // The separators inside quotes of the first record do not count.
        CasoCsv{"SeparadoresEntreAspasNaoContam",
                "\"a,b,c\";d\n",
                {{{1, 1}, "a,b,c"}, {{1, 2}, "d"}},
                1,
                2},
        CasoCsv{"AspasGuardamSeparadorQuebraEAspas",
                "\"x;y\";\"l1\r\nl2\";\"diz \"\"oi\"\"\";\"\"\r\nfim\r\n",
                {{{1, 1}, "x;y"}, {{1, 2}, "l1\r\nl2"}, {{1, 3}, "diz \"oi\""}, {{2, 1}, "fim"}},
                2,
                4},
        // A quote inside an unquoted cell or after the closing quote is text.
        CasoCsv{"AspasForaDoLugar", "ab\"cd;\"x\"y\n", {{{1, 1}, "ab\"cd"}, {{1, 2}, "xy"}}, 1, 2},
        CasoCsv{"FinsDeLinhaCrLfECrSozinho",
                "a;b\rc;d\r\ne\nf",
                {{{1, 1}, "a"},
                 {{1, 2}, "b"},
                 {{2, 1}, "c"},
                 {{2, 2}, "d"},
                 {{3, 1}, "e"},
                 {{4, 1}, "f"}},
                4,
                2},
        // Ragged rows, an empty line and a trailing separator all count for the area.
        CasoCsv{"LinhasDesiguais",
                "a\n\nb;c;d;\ne;f\n\n",
                {{{1, 1}, "a"},
                 {{3, 1}, "b"},
                 {{3, 2}, "c"},
                 {{3, 3}, "d"},
                 {{4, 1}, "e"},
                 {{4, 2}, "f"}},
                5,
                4},
        CasoCsv{"BrancosSaoTexto", " a ; \n", {{{1, 1}, " a "}, {{1, 2}, " "}}, 1, 2},
        CasoCsv{"Utf8ComBom",
                "\xEF\xBB\xBF"
                "C\xC3\xB3"
                "digo;\xE2\x82\xAC;\xE4\xB8\xAD\n",
                {{{1, 1},
                  "C\xF3"
                  "digo"},
                 {{1, 2}, "\x80"},
                 {{1, 3}, "?"}},
                1,
                3},
        CasoCsv{"Utf8SemBom",
                "C\xC3\xB3"
                "digo\n",
                {{{1, 1},
                  "C\xF3"
                  "digo"}},
                1,
                1},
        // Not UTF-8: the bytes are Windows-1252 as they are.
        CasoCsv{"Windows1252",
                "C\xF3"
                "digo;\x80 5;\x81\n",
                {{{1, 1},
                  "C\xF3"
                  "digo"},
                 {{1, 2}, "\x80 5"},
                 {{1, 3}, "\x81"}},
                1,
                3},
        // Characters outside Windows-1252 are "?", a surrogate pair (an emoji) one "?".
        CasoCsv{"Utf16LeComBomSeparadoPorTabulacao",
                Utf16(u"C\u00f3digo\tPre\u00e7o\r\n\u20ac 5\t\u4e2d\U0001F600\r\n"),
                {{{1, 1},
                  "C\xF3"
                  "digo"},
                 {{1, 2}, "Pre\xE7o"},
                 {{2, 1}, "\x80 5"},
                 {{2, 2}, "??"}},
                2,
                2},
        CasoCsv{
            "Utf16BeComBom", Utf16(u"a;\u00e9\n", true), {{{1, 1}, "a"}, {{1, 2}, "\xE9"}}, 1, 2},
        // A surrogate without its pair and a byte left over at the end are "?" too.
        CasoCsv{"Utf16Defeituoso",
                Utf16(u"a\xD800;b\xDC00") + "c",
                {{{1, 1}, "a?"}, {{1, 2}, "b??"}},
                1,
                2},
        CasoCsv{"SoBomUtf16", "\xFF\xFE", {}, 0, 0}, CasoCsv{"ArquivoVazio", "", {}, 0, 0},
        CasoCsv{"SoBom", "\xEF\xBB\xBF", {}, 0, 0}),
    [](const testing::TestParamInfo<CasoCsv>& info) { return std::string(info.param.nome); });

// The encoding is decided over the whole file, which is read in blocks.
TEST(CsvCodificacao, DecideSobreOArquivoInteiroLidoEmBlocos) {
    PastaTemporaria pasta;
    // Valid UTF-8 whose "é" straddles the end of the first 64 KiB block.
    const std::string longo(65535, 'a');
    Lido lido = Le(pasta.Grava("atravessa.csv", longo + "\xC3\xA9\n"));
    EXPECT_EQ(lido.celulas.at({1, 1}), longo + "\xE9");

    // UTF-8 until one byte far past the first block: the whole file is Windows-1252.
    std::string bytes = "\xC3\xA9;x\n";
    for (int i = 0; i < 20000; ++i) bytes += "linha;\xC3\xA9\n";
    bytes += "fim;\xE9\n";
    lido = Le(pasta.Grava("tardio.csv", bytes));
    EXPECT_EQ(lido.celulas.at({1, 1}), "\xC3\xA9");
    EXPECT_EQ(lido.celulas.at({20002, 2}), "\xE9");
    EXPECT_EQ(lido.area.ultimaLinha, 20002);

    // A byte-order mark makes it UTF-8 even with a malformed byte: that byte is "?".
    lido = Le(pasta.Grava("bom.csv", "\xEF\xBB\xBF\xC3\xA9;\xFF\n"));
    EXPECT_EQ(lido.celulas.at({1, 1}), "\xE9");
    EXPECT_EQ(lido.celulas.at({1, 2}), "?");
}

// UTF-16 is read in the same blocks: a surrogate pair cut by a block's end is still one
// character.
TEST(CsvCodificacao, Utf16AtravessaOsBlocos) {
    PastaTemporaria pasta;
    // The mark and 32766 units fill the first 64 KiB block but for the pair's high half.
    const std::u16string longo(32766, u'a');
    const Lido lido = Le(pasta.Grava("unicode.txt", Utf16(longo + u"\U0001F600\u00e9;x\r\n")));
    EXPECT_EQ(lido.celulas.at({1, 1}), std::string(32766, 'a') + "?\xE9");
    EXPECT_EQ(lido.celulas.at({1, 2}), "x");
}

// A binary file named .csv is refused with a message naming it, instead of being read as
// Windows-1252; so is UTF-16 without its mark, which has a NUL in every other byte.
TEST(CsvCodificacao, ArquivoBinarioERecusado) {
    PastaTemporaria pasta;
    const struct {
        const char* nome;
        std::string bytes;
    } casos[] = {
        {"foto.csv", "\x89PNG\r\n\x1A\n\0\0\0\rIHDR\0\0\x01\0"s},
        {"programa.csv", "MZ\x90\0\x03\0\0\0"s},
        {"sem-marca.csv", Utf16(u"a;b\n").substr(2)},
        {"nul-no-fim.csv", "a;b\n" + std::string(70000, 'x') + "\0"s},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        const std::string caminho = pasta.Grava(c.nome, c.bytes);
        EXPECT_THAT(MensagemDe([&] { Le(caminho); }),
                    AllOf(HasSubstr(caminho), HasSubstr("bin\xE1rios")));
    }
    // The control characters that text does hold are read as they are.
    EXPECT_EQ(Le(pasta.Grava("texto.csv", "a\vb\fc;d\x1A\n")).celulas.at({1, 1}), "a\vb\fc");
}

TEST(CsvNome, AbaLevaONomeDoArquivoSemExtensaoEmWindows1252) {
    PastaTemporaria pasta;
    const auto leitor = AbreLeitor(pasta.Grava("Pedidos S\xC3\xA3o Paulo.CSV", "a\n"));
    EXPECT_THAT(leitor->Abas(), ElementsAre("Pedidos S\xE3o Paulo"));
    Coleta coleta;
    EXPECT_THAT(MensagemDe([&] { leitor->LeAba(2, coleta); }),
                AllOf(HasSubstr("Pedidos São Paulo.CSV"), HasSubstr("2")));
}

TEST(CsvLimites, LinhaLongaEntreAspasEDadoCorreto) {
    PastaTemporaria pasta;
    std::string texto(1 << 20, 'x');
    texto[1000] = '\n';
    texto[2000] = ';';
    const Lido lido = Le(pasta.Grava("longa.csv", "\"" + texto + "\";fim\r\n"));
    EXPECT_EQ(lido.celulas.at({1, 1}), texto);
    EXPECT_EQ(lido.celulas.at({1, 2}), "fim");
    EXPECT_EQ(lido.area.ultimaLinha, 1);
}

TEST(CsvLimites, ErrosNomeiamArquivoELinha) {
    PastaTemporaria pasta;
    const std::string largo =
        pasta.Grava("largo.csv", "a\nb\n" + std::string(kMaxColunas, ';') + "\n");
    EXPECT_THAT(MensagemDe([&] { Le(largo); }),
                AllOf(HasSubstr("largo.csv"), HasSubstr("linha 3"), HasSubstr("16384 colunas")));

    // Exactly the limit is fine: kMaxColunas fields.
    EXPECT_EQ(Le(pasta.Grava("limite.csv", std::string(kMaxColunas - 1, ';'))).area.ultimaColuna,
              kMaxColunas);

    const std::string comprido = pasta.Grava("comprido.csv", std::string(kMaxLinhas + 1, '\n'));
    EXPECT_THAT(
        MensagemDe([&] { Le(comprido); }),
        AllOf(HasSubstr("comprido.csv"), HasSubstr("1048576 linhas"), HasSubstr("1048577")));
    EXPECT_EQ(Le(pasta.Grava("cheio.csv", std::string(kMaxLinhas, '\n'))).area.ultimaLinha,
              kMaxLinhas);

    // A quote left open over a large file is caught instead of piling up memory.
    const std::string aberto =
        pasta.Grava("aberto.csv", "a;b\nc;\"" + std::string(17 << 20, 'z') + "\n");
    EXPECT_THAT(MensagemDe([&] { Le(aberto); }),
                AllOf(HasSubstr("aberto.csv"), HasSubstr("coluna 2, linha 2"), HasSubstr("aspas")));
}

// A quote never closed would take the rest of the file into one cell: the file is
// refused, naming the cell and the line of the text where the quote opened, whether the
// file ends inside the quote, right after a doubled quote or after earlier quoted cells
// that span lines and do close.
TEST(CsvLimites, AspasSemFechamentoSaoArquivoDanificado) {
    PastaTemporaria pasta;
    const struct {
        const char* nome;
        std::string bytes;
        const char* onde;
    } casos[] = {
        {"resto.csv", "a;b\nc;\"aberto\nd;e\nf;g\n", "coluna 2, linha 2 do arquivo"},
        {"dobradas.csv", "a;b\n\"diz \"\"oi\"\"", "coluna 1, linha 2 do arquivo"},
        {"depois-de-fechadas.csv", "\"l1\r\nl2\";x\r\n\"l3\r\nl4\";\"sem fim\r\n",
         "coluna 2, linha 2 do arquivo"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        const std::string caminho = pasta.Grava(c.nome, c.bytes);
        EXPECT_THAT(MensagemDe([&] { Le(caminho); }),
                    AllOf(HasSubstr(c.onde), HasSubstr(c.nome), HasSubstr("não se fecham")));
    }
    // The line of the text is where the quote opened, not where its record started.
    EXPECT_THAT(MensagemDe([&] { Le(pasta / "depois-de-fechadas.csv"); }),
                HasSubstr("(linha 4 do texto)"));
}

TEST(CsvLimites, ArquivoInexistente) {
    EXPECT_THAT(MensagemDe([] { AbreLeitor("/nao/existe/clientes.csv"); }),
                HasSubstr("/nao/existe/clientes.csv"));
}

// ================================================================ XLS

std::string U16(uint16_t v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string U32(uint32_t v) {
    return U16(static_cast<uint16_t>(v & 0xFFFF)) + U16(static_cast<uint16_t>(v >> 16));
}
std::string F64(double d) {
    std::string s(8, '\0');
    std::memcpy(s.data(), &d, 8);
    return s;
}
std::string Registro(uint16_t id, const std::string& dados) {
    return U16(id) + U16(static_cast<uint16_t>(dados.size())) + dados;
}
std::string Celula(uint16_t id, int linha, int coluna, const std::string& resto) {
    return Registro(id, U16(static_cast<uint16_t>(linha - 1)) +
                            U16(static_cast<uint16_t>(coluna - 1)) + U16(15) + resto);
}
std::string Numero(int linha, int coluna, double v) {
    return Celula(0x0203, linha, coluna, F64(v));
}
std::string Rk(int linha, int coluna, uint32_t rk) {
    return Celula(0x027E, linha, coluna, U32(rk));
}
// A BIFF8 text of 8-bit characters.
std::string Texto8(const std::string& s) { return U16(static_cast<uint16_t>(s.size())) + '\0' + s; }
std::string Bof8(uint16_t tipo) {
    return Registro(0x0809, U16(0x0600) + U16(tipo) + U32(0) + U32(0));
}
std::string Eof() { return Registro(0x000A, ""); }

struct FolhaTeste {
    std::string nome;
    uint8_t tipo = 0;  // 0 worksheet, 2 chart
    std::string registros;
    uint8_t visibilidade = 0;  // 1 hidden, 2 very hidden
};

// A BIFF8 workbook stream: globals (extra records, the BOUNDSHEETs) and the sheets.
std::string Pasta8(const std::vector<FolhaTeste>& folhas, const std::string& globais = "") {
    std::string inicio = Bof8(0x0005) + globais;
    size_t tamanhoGlobais = inicio.size() + Eof().size();
    for (const FolhaTeste& f : folhas) tamanhoGlobais += 4 + 8 + f.nome.size();
    std::string corpo;
    for (const FolhaTeste& f : folhas) {
        inicio += Registro(0x0085, U32(static_cast<uint32_t>(tamanhoGlobais + corpo.size())) +
                                       char(f.visibilidade) + char(f.tipo) + char(f.nome.size()) +
                                       '\0' + f.nome);
        corpo += Bof8(f.tipo == 2 ? 0x0020 : 0x0010) + f.registros + Eof();
    }
    return inicio + Eof() + corpo;
}

struct LiberaGObject {
    void operator()(void* p) const {
        if (p) g_object_unref(p);
    }
};

// An OLE2 compound file with one stream.
void GravaOle(const std::string& caminho, const std::string& fluxo,
              const char* nomeFluxo = "Workbook") {
    gsf_init();
    std::unique_ptr<GsfOutput, LiberaGObject> saida(gsf_output_stdio_new(caminho.c_str(), nullptr));
    ASSERT_TRUE(saida);
    std::unique_ptr<GsfOutfile, LiberaGObject> ole(gsf_outfile_msole_new(saida.get()));
    std::unique_ptr<GsfOutput, LiberaGObject> filho(
        gsf_outfile_new_child(ole.get(), nomeFluxo, FALSE));
    gsf_output_write(filho.get(), fluxo.size(), reinterpret_cast<const guint8*>(fluxo.data()));
    gsf_output_close(filho.get());
    gsf_output_close(GSF_OUTPUT(ole.get()));
    gsf_output_close(saida.get());
}

class Xls : public testing::Test {
protected:
    std::string Ole(const std::string& fluxo, const char* nomeFluxo = "Workbook") {
        const std::string caminho = pasta / ("pasta" + std::to_string(++n) + ".xls");
        GravaOle(caminho, fluxo, nomeFluxo);
        return caminho;
    }
    PastaTemporaria pasta;
    int n = 0;
};

// Dates and times are numbers to the sheet: the serial the file stores comes out,
// time of day and days past 24 hours included, whatever the date system.
TEST_F(Xls, DatasSaoOSerialGuardado) {
    const std::string celulas = Numero(1, 1, 40252) + Numero(2, 1, 40252.5) +
                                Numero(3, 1, 10.632060185185185) + Numero(4, 1, 0.5 / 86400) +
                                Rk(5, 1, (39448u << 2) | 2) +   // integer RK
                                Rk(6, 1, (123456u << 2) | 3) +  // integer / 100
                                Rk(7, 1, 0x3FF80000u);          // 1.5 as the top of a double
    for (const bool de1904 : {false, true}) {
        SCOPED_TRACE(de1904 ? "1904" : "1900");
        const Lido lido = Le(Ole(Pasta8({{"Datas", 0, celulas}}, Registro(0x0022, U16(de1904)))));
        EXPECT_EQ(lido.celulas, (Celulas{{{1, 1}, "40252"},
                                         {{2, 1}, "40252,5"},
                                         {{3, 1}, "10,6320601851852"},
                                         {{4, 1}, "5,78703703703704E-6"},
                                         {{5, 1}, "39448"},
                                         {{6, 1}, "1234,56"},
                                         {{7, 1}, "1,5"}}));
    }
}

TEST_F(Xls, FormulasDaoOValorGuardado) {
    const auto formula = [](int linha, const std::string& resultado) {
        return Celula(0x0006, linha, 1, resultado + U16(0) + U32(0) + U16(0));
    };
    const auto especial = [](uint8_t tipo, uint8_t valor) {
        return std::string{char(tipo), 0, char(valor), 0, 0, 0, '\xFF', '\xFF'};
    };
    const std::string celulas =
        formula(1, F64(2.5)) + formula(2, especial(0, 0)) +
        Registro(0x04BC, std::string(10, '\0')) +  // shared formula
        Registro(0x0207, Texto8("texto calculado")) + formula(3, especial(1, 1)) +
        formula(4, especial(1, 0)) + formula(5, especial(2, 0x2A)) +
        formula(6, especial(3, 0)) +                   // an empty text
        formula(7, especial(0, 0)) + Numero(8, 1, 8);  // the STRING never came
    const Lido lido = Le(Ole(Pasta8({{"F", 0, celulas}})));
    EXPECT_EQ(lido.celulas, (Celulas{{{1, 1}, "2,5"},
                                     {{2, 1}, "texto calculado"},
                                     {{3, 1}, "True"},
                                     {{4, 1}, "False"},
                                     {{5, 1}, "#N/A"},
                                     {{8, 1}, "8"}}));
    EXPECT_EQ(lido.area.ultimaLinha, 8);
}

// Shared texts: one broken across CONTINUE records, changing from 8-bit to 16-bit
// characters there; formatting runs and phonetic data that are not text; a character
// outside the BMP.
TEST_F(Xls, TextosCompartilhados) {
    std::string sst = U32(4) + U32(4);
    sst += U16(3) + '\0' + "abc";
    sst += U16(6) + '\x08' + U16(1) + "rico";  // 6 characters, 1 run: "rico" + ...
    std::string continuacao = std::string(1, '\x01') + U16(u'\u00E7') + U16(u'\u0159');  // ...ç ř
    continuacao += U32(0);  // ...the run
    continuacao +=
        U16(2) + '\x05' + U32(3) + U16(0xD83D) + U16(0xDE00) + "xyz";  // emoji + phonetic
    continuacao += U16(4) + '\0' + "fim!";
    const std::string globais = Registro(0x00FC, sst) + Registro(0x003C, continuacao);
    const auto rotulo = [](int linha, uint32_t i) { return Celula(0x00FD, linha, 2, U32(i)); };
    const Lido lido = Le(Ole(
        Pasta8({{"T", 0, rotulo(1, 0) + rotulo(2, 1) + rotulo(3, 2) + rotulo(4, 3)}}, globais)));
    EXPECT_EQ(lido.celulas,
              (Celulas{{{1, 2}, "abc"}, {{2, 2}, "rico\xE7?"}, {{3, 2}, "?"}, {{4, 2}, "fim!"}}));
}

TEST_F(Xls, ListaSoPlanilhasNaOrdemEOcultasTambem) {
    const std::string fluxo =
        Pasta8({{"Um", 0, Numero(1, 1, 1)},
                {"Grafico", 2, ""},
                {"Dois", 0, Numero(2, 2, 2) + Celula(0x0204, 3, 3, Texto8("L")), 1},
                {"Tres", 0, "", 2}});
    const auto leitor = AbreLeitor(Ole(fluxo));
    EXPECT_THAT(leitor->Abas(), ElementsAre("Um", "Dois", "Tres"));
    Coleta coleta;
    const AreaUsada area = leitor->LeAba(2, coleta);
    EXPECT_EQ(coleta.celulas, (Celulas{{{2, 2}, "2"}, {{3, 3}, "L"}}));
    EXPECT_EQ(area.ultimaLinha, 3);
    EXPECT_THAT(MensagemDe([&] { leitor->LeAba(4, coleta); }), HasSubstr("número 4"));
}

TEST_F(Xls, BooleanosErrosBrancosEAreaRegistrada) {
    const std::string celulas =
        Celula(0x0205, 1, 1, "\x01\x00"s) + Celula(0x0205, 1, 2, "\x07\x01"s) +
        Celula(0x0201, 9, 1, "") +  // formatted blank
        Registro(0x00BE, U16(0) + U16(0) + U16(15) + U16(15) + U16(15) + U16(2)) +  // A1:C1 blank
        Registro(0x00E5, U16(1) + U16(3) + U16(11) + U16(0) + U16(4)) +             // merged A4:E12
        Numero(1, 1, 99);  // a second record for A1: the first one stands
    Coleta coleta;
    const auto leitor = AbreLeitor(Ole(Pasta8({{"B", 0, celulas}})));
    const AreaUsada area = leitor->LeAba(1, coleta);
    EXPECT_EQ(coleta.celulas, (Celulas{{{1, 1}, "True"}, {{1, 2}, "#DIV/0!"}}));
    EXPECT_EQ(coleta.entregas, 2);
    EXPECT_EQ(area.ultimaLinha, 12);
    EXPECT_EQ(area.ultimaColuna, 5);

    // A DIMENSIONS record beyond what .xls addresses is cut to it.
    const std::string dimensoes = Registro(0x0200, U32(0) + U32(0x7FFFFFFF) + U16(0) + U16(0xFFFF));
    const Lido lido = Le(Ole(Pasta8({{"D", 0, dimensoes}})));
    EXPECT_EQ(lido.area.ultimaLinha, 65536);
    EXPECT_EQ(lido.area.ultimaColuna, 256);
}

// Excel 5.0/95 keeps 8-bit texts in the workbook's code page.
TEST_F(Xls, Biff5NaPaginaDeCodigoDaPasta) {
    const auto bof5 = [](uint16_t tipo) {
        return Registro(0x0809, U16(0x0500) + U16(tipo) + U32(0));
    };
    const std::string nome = "Caf\x8E";  // Mac Roman é
    const std::string folha =
        bof5(0x0010) + Celula(0x0204, 1, 1, U16(4) + "\x8E\x9F\xD2\xD3") + Eof();
    std::string globais = bof5(0x0005) + Registro(0x0042, U16(10000));
    const size_t inicio = globais.size() + 4 + 7 + nome.size() + Eof().size();
    globais += Registro(0x0085, U32(static_cast<uint32_t>(inicio)) + '\0' + '\0' +
                                    char(nome.size()) + nome) +
               Eof();
    const Lido lido = Le(Ole(globais + folha, "Book"));
    EXPECT_THAT(lido.abas, ElementsAre("Caf\xE9"));
    EXPECT_EQ(lido.celulas.at({1, 1}), "\xE9\xFC\x93\x94");  // é ü “ ”
}

// An Excel 2.x worksheet file: no container, no sheet name.
TEST_F(Xls, Biff2NomeadaPeloArquivo) {
    const auto celula2 = [](uint16_t id, int linha, int coluna, const std::string& resto) {
        return Registro(id, U16(static_cast<uint16_t>(linha - 1)) +
                                U16(static_cast<uint16_t>(coluna - 1)) + std::string(3, '\0') +
                                resto);
    };
    const std::string fluxo = Registro(0x0009, U16(2) + U16(0x0010)) +
                              Registro(0x0000, U16(0) + U16(3) + U16(0) + U16(2)) +
                              celula2(0x0002, 1, 1, U16(7)) + celula2(0x0003, 1, 2, F64(-0.25)) +
                              celula2(0x0004, 2, 1,
                                      "\x03"
                                      "C\xF3"
                                      "d") +
                              celula2(0x0005, 2, 2, "\x00\x00"s) + Eof();
    const Lido lido = Le(pasta.Grava("Antiga.xls", fluxo));
    EXPECT_THAT(lido.abas, ElementsAre("Antiga"));
    EXPECT_EQ(lido.celulas, (Celulas{{{1, 1}, "7"},
                                     {{1, 2}, "-0,25"},
                                     {{2, 1},
                                      "C\xF3"
                                      "d"},
                                     {{2, 2}, "False"}}));
    EXPECT_EQ(lido.area.ultimaLinha, 3);
}

// A one-sheet workbook stream whose sheet "P" is listed as starting at `inicio`,
// followed by a chart substream.
std::string PastaComInicio(uint32_t inicio) {
    return Bof8(5) + Registro(0x0085, U32(inicio) + '\0' + '\0' + '\1' + '\0' + "P") + Eof() +
           Bof8(0x0020) + Eof();
}
// Where the chart substream of PastaComInicio starts.
const uint32_t kInicioDoGrafico = static_cast<uint32_t>(PastaComInicio(0).find(Bof8(0x0020)));

// A one-sheet workbook ("P") holding `celulas`, without the sheet's own EOF.
std::string PastaSemFimDaPlanilha(const std::string& celulas) {
    const std::string fluxo = Pasta8({{"P", 0, celulas}});
    return fluxo.substr(0, fluxo.size() - Eof().size());
}

// `fluxo` with `registros` put right after the EOF of the workbook globals.
std::string DepoisDasGlobais(std::string fluxo, const std::string& registros) {
    return fluxo.insert(fluxo.find(Bof8(0x0010)), registros);
}

std::string BofsAninhados(int quantos) {
    std::string s;
    for (int i = 0; i < quantos; ++i) s += Bof8(0x0005);
    return s;
}

struct CasoDefeito {
    const char* nome;
    std::string fluxo;   // the Workbook stream
    const char* trecho;  // in the message
};

void PrintTo(const CasoDefeito& caso, std::ostream* saida) { *saida << caso.nome; }

class XlsDefeituosa : public Xls, public testing::WithParamInterface<CasoDefeito> {};

TEST_P(XlsDefeituosa, ErroNomeiaOArquivoEODefeito) {
    const std::string caminho = Ole(GetParam().fluxo);
    const std::string mensagem = MensagemDe([&] {
        auto leitor = AbreLeitor(caminho);
        Coleta coleta;
        for (size_t i = 1; i <= leitor->Abas().size(); ++i)
            leitor->LeAba(static_cast<int>(i), coleta);
    });
    EXPECT_THAT(mensagem, AllOf(HasSubstr(fs::path(caminho).filename().string()),
                                HasSubstr(GetParam().trecho)));
}

INSTANTIATE_TEST_SUITE_P(
    Casos, XlsDefeituosa,
    testing::Values(
        CasoDefeito{"Senha",
                    Pasta8({{"S", 0, ""}}, Registro(0x002F, U16(1) + std::string(52, 'k'))),
                    "protegida por senha"},
        CasoDefeito{"SemBof", Registro(0x0203, std::string(14, '\0')), "BOF"},
        CasoDefeito{"RegistroPassaDoFim", Bof8(5) + U16(0x0085) + U16(400) + "abc", "truncado"},
        CasoDefeito{
            "PlanilhaForaDoArquivo",
            Bof8(5) + Registro(0x0085, U32(900000) + '\0' + '\0' + '\1' + '\0' + "P") + Eof(),
            "planilha 'P'"},
        CasoDefeito{"PlanilhaNoComecoDaPasta", PastaComInicio(0),
                    "(planilha 'P'): o início registrado da planilha cai no começo da pasta de "
                    "trabalho, não numa planilha de células"},
        CasoDefeito{"PlanilhaNumGrafico", PastaComInicio(kInicioDoGrafico),
                    "(planilha 'P'): o início registrado da planilha cai num gráfico"},
        CasoDefeito{"TextoCompartilhadoInexistente",
                    Pasta8({{"P", 0, Celula(0x00FD, 3, 2, U32(5))}},
                           Registro(0x00FC, U32(1) + U32(1) + U16(1) + '\0' + "a")),
                    "B3"},
        CasoDefeito{"ColunaImpossivel", Pasta8({{"P", 0, Numero(1, 20000, 1)}}), "coluna"},
        CasoDefeito{"PastaExcel4", Registro(0x0409, U16(0) + U16(0x0100) + U16(0)), "Excel 4.0"},
        // A sheet read short or empty is worse than one refused: the stream cut inside the
        // sheet, a stray BOF taking the sheet's EOF for its own, BOFs never closed.
        CasoDefeito{"FluxoCortadoNaPlanilha", PastaSemFimDaPlanilha(Numero(1, 1, 1)),
                    "(planilha 'P'): a planilha não é fechada: a pasta de trabalho acaba no "
                    "byte"},
        CasoDefeito{"BofAMaisLevaOEofDaPlanilha",
                    Pasta8({{"P", 0, Bof8(0x0010) + Numero(1, 1, 1)}}), "a planilha não é fechada"},
        CasoDefeito{"GraficoEmbutidoSemEof",
                    PastaSemFimDaPlanilha(Numero(1, 1, 1) + Bof8(0x0020) + Numero(2, 1, 2)),
                    "o trecho embutido que começa no byte"},
        CasoDefeito{"MilharesDeBofsAninhados", Pasta8({{"P", 0, BofsAninhados(20000)}}),
                    "o trecho embutido que começa no byte"},
        // A damaged record length makes the walk meet an EOF in the middle of the sheet:
        // the rows after it follow the EOF.
        CasoDefeito{"RegistrosDepoisDoEofDaPlanilha",
                    Pasta8({{"P", 0, Numero(1, 1, 1) + Eof() + Numero(2, 1, 2)}}),
                    "o que vem depois dele"},
        CasoDefeito{"GlobaisSemEof",
                    Bof8(5) + Registro(0x0085, U32(40) + '\0' + '\0' + '\1' + '\0' + "P"),
                    "lista das planilhas"},
        CasoDefeito{"RegistrosDepoisDoEofDasGlobais",
                    DepoisDasGlobais(Pasta8({{"P", 0, Numero(1, 1, 1)}}), Numero(9, 9, 9)),
                    "a parte inicial da pasta"}),
    [](const testing::TestParamInfo<CasoDefeito>& info) { return std::string(info.param.nome); });

// Charts and objects on the sheet are substreams closed by their own EOF, nested too,
// and Excel pads the stream with zeros after the last EOF: none of that ends the sheet
// early or makes it damaged.
TEST_F(Xls, SubfluxosEmbutidosFechadosEZerosNoFim) {
    const std::string grafico = Bof8(0x0020) + Numero(7, 7, 7) + Bof8(0x0020) + Eof() + Eof();
    const std::string fluxo =
        Pasta8({{"P", 0, Numero(1, 1, 1) + grafico + Numero(2, 1, 2)}, {"Q", 0, Numero(3, 3, 3)}});
    for (const std::string& zeros : {""s, std::string(4096, '\0')}) {
        SCOPED_TRACE(zeros.size());
        const auto leitor = AbreLeitor(Ole(fluxo + zeros));
        Coleta p, q;
        leitor->LeAba(1, p);
        leitor->LeAba(2, q);
        EXPECT_EQ(p.celulas, (Celulas{{{1, 1}, "1"}, {{2, 1}, "2"}}));
        EXPECT_EQ(q.celulas, (Celulas{{{3, 3}, "3"}}));
    }
}

TEST_F(Xls, ConteinerSemPastaOuDanificado) {
    EXPECT_THAT(MensagemDe([&] { AbreLeitor(Ole("texto de um documento", "WordDocument")); }),
                HasSubstr("não contém uma pasta de trabalho"));

    std::mt19937 aleatorio(7);
    std::string lixo = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    while (lixo.size() < 8192) lixo += static_cast<char>(aleatorio());
    const std::string caminho = pasta.Grava("lixo.xls", lixo);
    EXPECT_THAT(MensagemDe([&] { AbreLeitor(caminho); }), HasSubstr("lixo.xls"));
}

// Real workbooks cut short and with bytes changed at random: each one opens and
// reads, or raises ErroPlanilha; none crashes, hangs or eats memory.
TEST_F(Xls, ArquivosReaisTruncadosOuAlteradosNuncaDerrubam) {
    std::mt19937 aleatorio(2024);
    int erros = 0, lidos = 0;
    const auto tenta = [&](const std::string& caminho) {
        try {
            auto leitor = AbreLeitor(caminho);
            const size_t abas = leitor->Abas().size();
            for (size_t i = 1; i <= abas; ++i) {
                Coleta coleta;
                leitor->LeAba(static_cast<int>(i), coleta);
            }
            ++lidos;
        } catch (const ErroPlanilha& e) {
            EXPECT_THAT(e.what(), HasSubstr("alterada.xls"));
            ++erros;
        }
    };
    for (const auto& e : fs::directory_iterator(kPastas)) {
        if (e.path().extension() != ".xls") continue;
        std::ifstream entrada(e.path(), std::ios::binary);
        const std::string original((std::istreambuf_iterator<char>(entrada)), {});
        SCOPED_TRACE(e.path().filename().string());
        for (int vez = 0; vez < 150; ++vez) {
            std::string bytes = original;
            if (vez % 3 == 0) {
                bytes.resize(aleatorio() % bytes.size());
            } else {
                const int trocas = 1 + static_cast<int>(aleatorio() % 16);
                for (int t = 0; t < trocas; ++t)
                    bytes[aleatorio() % bytes.size()] = static_cast<char>(aleatorio());
            }
            tenta(pasta.Grava("alterada.xls", bytes));
        }
    }
    EXPECT_GT(erros, 0);
    EXPECT_GT(lidos, 0);
}

}  // namespace
}  // namespace conversor::intake
