// The .xlsx and .ods readers: workbooks written here with libxlsxwriter, packages
// put together with libzip where the XML itself is the point, and broken or hostile
// files, each of which must end in ErroPlanilha naming the file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "base/colunas.h"
#include "base/regional.h"
#include "intake/excel.h"
#include "intake/leitor.h"
#include "intake/valores_xml.h"

namespace conversor::intake {
namespace {

using testing::HasSubstr;

// --- Reading ---------------------------------------------------------------------------

// Every cell handed over, by address (Windows-1252 text as the reader gives it).
class Coleta : public VisitanteCelulas {
public:
    void Celula(int linha, int coluna, std::string_view texto) override {
        const std::string endereco = EnderecoCelula(linha, coluna);
        if (!celulas.emplace(endereco, std::string(texto)).second) repetidas.push_back(endereco);
    }
    std::string operator[](const std::string& endereco) const {
        const auto achada = celulas.find(endereco);
        return achada == celulas.end() ? "" : achada->second;
    }
    std::map<std::string, std::string> celulas;
    std::vector<std::string> repetidas;
};

struct Aba {
    AreaUsada area;
    Coleta celulas;
};

Aba LeAba(const std::string& caminho, int posicao = 1) {
    Aba aba;
    aba.area = AbreLeitor(caminho)->LeAba(posicao, aba.celulas);
    EXPECT_THAT(aba.celulas.repetidas, testing::IsEmpty()) << "células entregues mais de uma vez";
    return aba;
}

// The message of the ErroPlanilha that opening, listing and reading the sheet raise.
std::string ErroAoLer(const std::string& caminho, int posicao = 1) {
    try {
        auto leitor = AbreLeitor(caminho);
        leitor->Abas();
        Coleta coleta;
        leitor->LeAba(posicao, coleta);
    } catch (const ErroPlanilha& e) {
        return e.what();
    }
    ADD_FAILURE() << "nenhum ErroPlanilha ao ler " << caminho;
    return "";
}

// UTF-8 text for what goes into a file: narrow literals are Windows-1252 here.
std::string U8(std::u8string_view texto) { return std::string(texto.begin(), texto.end()); }

// --- Packages made by hand -------------------------------------------------------------

struct Parte {
    std::string nome;
    std::string conteudo;
    bool armazenada = false;  // stored, not deflated
};

void EscreveZip(const std::string& caminho, const std::vector<Parte>& partes) {
    int erro = 0;
    zip_t* z = zip_open(caminho.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &erro);
    ASSERT_NE(z, nullptr) << "zip_open " << erro;
    for (const Parte& p : partes) {
        zip_source_t* fonte = zip_source_buffer(z, p.conteudo.data(), p.conteudo.size(), 0);
        const zip_int64_t indice = zip_file_add(z, p.nome.c_str(), fonte, ZIP_FL_OVERWRITE);
        ASSERT_GE(indice, 0) << zip_strerror(z);
        if (p.armazenada)
            zip_set_file_compression(z, static_cast<zip_uint64_t>(indice), ZIP_CM_STORE, 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

constexpr const char* kNsPlanilha = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr const char* kNsRelacoes =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

std::string Folha(const std::string& dados, const std::string& depois = "",
                  const std::string& antes = "") {
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?><worksheet xmlns=\"") +
           kNsPlanilha + "\">" + antes + "<sheetData>" + dados + "</sheetData>" + depois +
           "</worksheet>";
}

std::string Textos(const std::vector<std::string>& itens) {
    std::string x = std::string("<?xml version=\"1.0\"?><sst xmlns=\"") + kNsPlanilha + "\">";
    for (const auto& i : itens) x += "<si>" + i + "</si>";
    return x + "</sst>";
}

// A one-sheet workbook ("Plan1") around the given worksheet XML.
std::vector<Parte> PacoteXlsx(const std::string& folha, const std::string& textos = "",
                              const std::string& propriedades = "") {
    const std::string rel = std::string("<Relationship Id=\"rId1\" Type=\"") + kNsRelacoes;
    std::vector<Parte> partes = {
        {"[Content_Types].xml",
         "<?xml version=\"1.0\"?><Types xmlns=\"http://schemas.openxmlformats.org/package/2006/"
         "content-types\"/>"},
        {"_rels/.rels",
         "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
         "2006/relationships\">" +
             rel + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml",
         std::string("<?xml version=\"1.0\"?><workbook xmlns=\"") + kNsPlanilha + "\" xmlns:r=\"" +
             kNsRelacoes + "\">" + propriedades +
             "<sheets><sheet name=\"Plan1\" sheetId=\"1\" r:id=\"rId1\"/></sheets>"
             "</workbook>"},
        {"xl/_rels/workbook.xml.rels",
         "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/package/"
         "2006/relationships\">" +
             rel + "/worksheet\" Target=\"/xl/worksheets/sheet1.xml\"/>" +
             "<Relationship Id=\"rId2\" Type=\"" + kNsRelacoes +
             "/sharedStrings\" Target=\"sharedStrings.xml\"/></Relationships>"},
        {"xl/worksheets/sheet1.xml", folha},
    };
    if (!textos.empty()) partes.push_back({"xl/sharedStrings.xml", textos});
    return partes;
}

std::string ConteudoOds(const std::string& tabelas, const std::string& antes = "") {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?><office:document-content "
           "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
           "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
           "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
           "xmlns:calcext=\"urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0\" "
           "office:version=\"1.2\"><office:body><office:spreadsheet>" +
           antes + tabelas + "</office:spreadsheet></office:body></office:document-content>";
}

std::vector<Parte> PacoteOds(
    const std::string& conteudo,
    const std::string& tipo = "application/vnd.oasis.opendocument.spreadsheet") {
    return {{"mimetype", tipo, true}, {"content.xml", conteudo}};
}

class LeitorZip : public testing::Test {
protected:
    std::string Arquivo(const std::string& nome) const { return pasta_.Arquivo(nome); }

    std::string Zip(const std::string& nome, const std::vector<Parte>& partes) const {
        const std::string caminho = Arquivo(nome);
        EscreveZip(caminho, partes);
        return caminho;
    }

    teste::PastaTemporaria pasta_;
};

// --- Listing: each sheet's used area without its cells -----------------------------------

// The used area of a listing comes from the sheet's cell tags alone: neither the shared
// strings nor any value is read (a workbook of a few megabytes can hold gigabytes of
// text), so faults there only show when the cells are read.
TEST_F(LeitorZip, XlsxAreaDaListagemNaoLeTextosNemValores) {
    const std::string folha = Folha(
        "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"C2\"><v>abc</v></c></row>"
        "<row r=\"7\"><c r=\"E7\" t=\"s\"><v>1</v></c></row>");
    const struct {
        const char* nome;
        std::string textos;
    } casos[] = {
        {"textos-quebrados.xlsx", "<sst><si><t>sem fim"},
        {"textos-demais.xlsx", Textos({"<t>" + std::string(1 << 20, 'x') + "</t>", "<t>y</t>"})},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.nome);
        TDMCotrolaExcel excel;
        excel.AbreArquivo(Zip(c.nome, PacoteXlsx(folha, c.textos)));
        ASSERT_EQ(excel.ListaPlanilhas().size(), 1u);
        EXPECT_EQ(excel.UltimaLinha(), 7);
        EXPECT_EQ(excel.UltimaColuna(), 5);
        // The cells are still read in full when asked for, faults and all.
        try {
            excel.LeCelula(2, 2);
            ADD_FAILURE() << "nenhum ErroPlanilha ao ler as células";
        } catch (const ErroPlanilha& e) {
            EXPECT_THAT(e.what(), HasSubstr(c.nome));
        }
    }
}

// Every sheet of an .ods is measured in the same pass over content.xml: listing the sheets
// one after the other goes through the file once, not once per sheet (which grows with
// the square of the sheet count). Once measured, the file is not read again.
TEST_F(LeitorZip, OdsListagemMedeTodasAsAbasNumaPassagem) {
    std::string tabelas;
    for (int i = 1; i <= 3; ++i)
        tabelas += "<table:table table:name=\"T" + std::to_string(i) + "\">" +
                   std::string(static_cast<size_t>(i), ' ') +
                   "<table:table-row table:number-rows-repeated=\"" + std::to_string(i) +
                   "\"><table:table-cell table:number-columns-repeated=\"" + std::to_string(i + 1) +
                   "\" office:value-type=\"string\"><text:p>x</text:p></table:table-cell>"
                   "</table:table-row></table:table>";
    // Stored and larger than any buffer of the file, so that another pass reads the file.
    std::vector<Parte> partes = PacoteOds(ConteudoOds(tabelas, std::string(1 << 20, ' ')));
    partes[1].armazenada = true;
    const std::string caminho = Zip("tres.ods", partes);
    TDMCotrolaExcel excel;
    excel.AbreArquivo(caminho);
    excel.SelecionaPlanilha(1);
    EXPECT_EQ(excel.UltimaLinha(), 1);
    // The file changes under the open workbook: another pass would fail on it.
    std::ofstream(caminho, std::ios::binary | std::ios::trunc) << "estragado";
    for (int i = 2; i <= 3; ++i) {
        excel.SelecionaPlanilha(i);
        EXPECT_EQ(excel.UltimaLinha(), i);
        EXPECT_EQ(excel.UltimaColuna(), i + 1);
    }
}

// --- .xlsx written by libxlsxwriter ------------------------------------------------------

struct CasoCelula {
    const char* nome;
    const char* endereco;
    std::string esperado;  // Windows-1252
};

TEST_F(LeitorZip, XlsxLeValoresComoOTextoDaCelula) {
    const std::string caminho = Arquivo("valores.xlsx");
    lxw_workbook* wb = workbook_new(caminho.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, U8(u8"Preços").c_str());
    lxw_format* negrito = workbook_add_format(wb);
    format_set_bold(negrito);
    const double numeros[] = {12,   12.5,   0.1 + 0.2, 1e20,    1.5e-7,
                              -0.0, 1234.5, -2.5e15,   0.00001, 123456789012345678.0};
    for (int i = 0; i < 10; ++i) worksheet_write_number(ws, i, 0, numeros[i], nullptr);
    lxw_datetime data = {2010, 3, 15, 0, 0, 0};
    lxw_datetime dataHora = {2008, 1, 1, 12, 0, 0};
    worksheet_write_datetime(ws, 0, 1, &data, nullptr);
    worksheet_write_datetime(ws, 1, 1, &dataHora, nullptr);
    worksheet_write_string(ws, 0, 2, U8(u8"Ação €").c_str(), nullptr);
    worksheet_write_string(ws, 1, 2, U8(u8"Zażółć").c_str(), nullptr);
    worksheet_write_string(ws, 2, 2, "\xF0\x9F\x98\x80", nullptr);
    worksheet_write_string(ws, 3, 2, "linha1\nlinha2", nullptr);
    worksheet_write_boolean(ws, 0, 3, 1, nullptr);
    worksheet_write_boolean(ws, 1, 3, 0, nullptr);
    worksheet_write_formula_num(ws, 0, 4, "=1+1", nullptr, 2);
    worksheet_write_formula_str(ws, 1, 4, "=\"a\"&\"b\"", nullptr, "ab");
    lxw_rich_string_tuple parte1 = {negrito, const_cast<char*>("ne")};
    std::string gocio = U8(u8"gócio");
    lxw_rich_string_tuple parte2 = {nullptr, gocio.data()};
    lxw_rich_string_tuple* partes[] = {&parte1, &parte2, nullptr};
    worksheet_write_rich_string(ws, 0, 5, partes, nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    EXPECT_EQ(AbreLeitor(caminho)->Abas(), std::vector<std::string>{"Pre\xE7os"});
    const Aba aba = LeAba(caminho);
    const CasoCelula casos[] = {
        {"inteiro", "A1", "12"},
        {"decimal", "A2", "12,5"},
        {"15 algarismos", "A3", "0,3"},
        {"grande", "A4", "1E20"},
        {"pequeno", "A5", "1,5E-7"},
        {"zero negativo", "A6", "0"},
        {"com vírgula", "A7", "1234,5"},
        {"negativo grande", "A8", "-2,5E15"},
        {"limite do ponto fixo", "A9", "0,00001"},
        {"arredondado", "A10", "1,23456789012346E17"},
        {"data", "B1", "40252"},
        {"data e hora", "B2", "39448,5"},
        {"acentos e euro", "C1", "A\xE7\xE3o \x80"},
        {"fora do Windows-1252", "C2", "Za?\xF3??"},
        {"emoji", "C3", "?"},
        {"quebra de linha", "C4", "linha1\nlinha2"},
        {"verdadeiro", "D1", "True"},
        {"falso", "D2", "False"},
        {"fórmula numérica", "E1", "2"},
        {"fórmula de texto", "E2", "ab"},
        {"texto rico", "F1",
         "neg\xF3"
         "cio"},
    };
    for (const CasoCelula& caso : casos) {
        SCOPED_TRACE(caso.nome);
        EXPECT_EQ(aba.celulas[caso.endereco], caso.esperado) << caso.endereco;
    }
    EXPECT_EQ(aba.celulas.celulas.size(), std::size(casos));
    EXPECT_EQ(aba.area.ultimaLinha, 10);
    EXPECT_EQ(aba.area.ultimaColuna, 6);
}

TEST_F(LeitorZip, XlsxLeTextosEmLinhaDoModoDeMemoriaConstante) {
    const std::string caminho = Arquivo("inline.xlsx");
    lxw_workbook_options opcoes = {};
    opcoes.constant_memory = 1;
    lxw_workbook* wb = workbook_new_opt(caminho.c_str(), &opcoes);
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    worksheet_write_string(ws, 0, 0, U8(u8"Olá").c_str(), nullptr);
    worksheet_write_number(ws, 2, 1, 7, nullptr);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    const Aba aba = LeAba(caminho);
    EXPECT_EQ(aba.celulas.celulas,
              (std::map<std::string, std::string>{{"A1", "Ol\xE1"}, {"B3", "7"}}));
}

TEST_F(LeitorZip, XlsxAreaUsadaContaFormatacaoMesclagemELinhasComAtributos) {
    const std::string caminho = Arquivo("area.xlsx");
    lxw_workbook* wb = workbook_new(caminho.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    lxw_format* borda = workbook_add_format(wb);
    format_set_border(borda, LXW_BORDER_THIN);
    worksheet_write_number(ws, 0, 0, 1, nullptr);
    worksheet_write_blank(ws, 4, 5, borda);                      // F5 formatted, empty
    worksheet_merge_range(ws, 1, 1, 2, 7, "mesclada", nullptr);  // B2:H3
    worksheet_set_row(ws, 11, 30, nullptr);                      // row 12 taller
    lxw_worksheet* vazia = workbook_add_worksheet(wb, nullptr);
    (void)vazia;
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    const Aba aba = LeAba(caminho);
    EXPECT_EQ(aba.area.ultimaLinha, 12);
    EXPECT_EQ(aba.area.ultimaColuna, 8);
    EXPECT_EQ(aba.celulas["B2"], "mesclada");
    EXPECT_EQ(aba.celulas["F5"], "");

    const Aba semNada = LeAba(caminho, 2);
    EXPECT_LE(semNada.area.ultimaLinha, 1);
    EXPECT_LE(semNada.area.ultimaColuna, 1);
    EXPECT_THAT(semNada.celulas.celulas, testing::IsEmpty());
}

TEST_F(LeitorZip, XlsxPosicoesContamSoAsPlanilhasNaoOsGraficos) {
    const std::string caminho = Arquivo("grafico.xlsx");
    lxw_workbook* wb = workbook_new(caminho.c_str());
    lxw_worksheet* dados = workbook_add_worksheet(wb, "Dados");
    lxw_chartsheet* grafico = workbook_add_chartsheet(wb, U8(u8"Gráfico").c_str());
    lxw_worksheet* resumo = workbook_add_worksheet(wb, "Resumo");
    worksheet_write_number(dados, 0, 0, 1, nullptr);
    worksheet_write_number(dados, 1, 0, 2, nullptr);
    worksheet_write_string(resumo, 0, 0, "total", nullptr);
    lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_COLUMN);
    chart_add_series(chart, nullptr, "=Dados!$A$1:$A$2");
    chartsheet_set_chart(grafico, chart);
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    EXPECT_EQ(AbreLeitor(caminho)->Abas(), (std::vector<std::string>{"Dados", "Resumo"}));
    EXPECT_EQ(LeAba(caminho, 2).celulas["A1"], "total");
    EXPECT_THAT(ErroAoLer(caminho, 3), HasSubstr("a aba 3 não existe"));
}

// A sheet of the workbook that leads to no worksheet part is listed, so that the other
// positions hold, and choosing it is refused naming the file, the sheet and the fault:
// read as a sheet without cells, it would empty the tables of a run.
TEST_F(LeitorZip, XlsxAbaQueNaoLevaAUmaPlanilhaDeCelulasERecusadaAoSerLida) {
    const std::string celulas = "<row r=\"1\"><c r=\"A1\"><v>42</v></c></row>";
    const std::string relacoes =
        "<?xml version=\"1.0\"?><Relationships xmlns=\"http://schemas.openxmlformats.org/"
        "package/2006/relationships\"><Relationship Id=\"rId1\" Type=\"" +
        std::string(kNsRelacoes) + "/";
    const std::string estilos =
        std::string("<?xml version=\"1.0\"?><styleSheet xmlns=\"") + kNsPlanilha + "\"/>";
    const std::u16string grafico16 =
        u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><chartsheet><sheetPr/></chartsheet>";
    const struct {
        const char* nome;
        size_t parte;  // of PacoteXlsx: 2 the workbook, 3 its relationships, 4 the sheet
        std::string conteudo;
        std::vector<std::string> motivo;
    } casos[] = {
        {"relação da aba ausente",
         2,
         std::string("<workbook xmlns=\"") + kNsPlanilha + "\" xmlns:r=\"" + kNsRelacoes +
             "\"><sheets><sheet name=\"Plan1\" sheetId=\"1\" r:id=\"rId7\"/></sheets></workbook>",
         {"a relação 'rId7', que leva à parte da aba, não existe em 'xl/_rels/workbook.xml.rels'"}},
        {"aba sem relação",
         2,
         std::string("<workbook xmlns=\"") + kNsPlanilha +
             "\"><sheets><sheet name=\"Plan1\" sheetId=\"1\"/></sheets></workbook>",
         {"a aba não diz qual relação leva à sua parte"}},
        {"relação de outro tipo",
         3,
         relacoes + "styles\" Target=\"styles.xml\"/></Relationships>",
         {"a relação 'rId1' leva à parte 'xl/styles.xml', que não é uma planilha de células "
          "(relação do tipo 'styles')"}},
        {"planilha que leva aos estilos",
         3,
         relacoes + "worksheet\" Target=\"styles.xml\"/></Relationships>",
         {"a parte 'xl/styles.xml' não é uma planilha de células (seu elemento raiz é "
          "<styleSheet>)"}},
        {"parte de gráfico no lugar da planilha",
         4,
         std::string("<?xml version=\"1.0\"?><x:chartsheet xmlns:x=\"") + kNsPlanilha +
             "\"><x:sheetData><x:row><x:c><x:v>1</x:v></x:c></x:row></x:sheetData></x:chartsheet>",
         {"a parte 'xl/worksheets/sheet1.xml' não é uma planilha de células (seu elemento "
          "raiz é <chartsheet>)"}},
        {"parte de gráfico em UTF-16",
         4,
         std::string(reinterpret_cast<const char*>(grafico16.data()), grafico16.size() * 2),
         {"seu elemento raiz é <chartsheet>"}},
    };
    for (size_t i = 0; i < std::size(casos); ++i) {
        SCOPED_TRACE(casos[i].nome);
        std::vector<Parte> partes = PacoteXlsx(Folha(celulas));
        partes[casos[i].parte].conteudo = casos[i].conteudo;
        partes.push_back({"xl/styles.xml", estilos});
        const std::string nome = "sem-planilha" + std::to_string(i) + ".xlsx";
        TDMCotrolaExcel excel;
        excel.AbreArquivo(Zip(nome, partes));
        EXPECT_EQ(excel.ListaPlanilhas(), std::vector<std::string>{"Plan1"});
        std::string msg;
        try {
            excel.UltimaLinha();
            ADD_FAILURE() << "a aba foi lida";
        } catch (const ErroPlanilha& e) {
            msg = e.what();
        }
        EXPECT_THAT(msg,
                    HasSubstr("Erro ao ler o arquivo '" + Arquivo(nome) + "' (aba 'Plan1'): "));
        for (const std::string& m : casos[i].motivo) EXPECT_THAT(msg, HasSubstr(m));
        EXPECT_EQ(ErroAoLer(Arquivo(nome)), msg);
    }
}

// --- .xlsx XML written by hand ---------------------------------------------------------

TEST_F(LeitorZip, XlsxDecodificaEscapesXHHHH) {
    const std::vector<std::string> textos = {
        "<t>ABC_x000D_\nDEF</t>",    "<t>_x005F_x000D_</t>",   "<t>_X000D_ e _x00G1_</t>",
        "<t>caf_x00e9_ _x00C9_</t>", "<t>_xD83D__xDE00_!</t>", "<t>_xD83D_</t>",
    };
    const std::string folha = Folha(
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "<c r=\"C1\" t=\"s\"><v>2</v></c><c r=\"D1\" t=\"s\"><v>3</v></c>"
        "<c r=\"E1\" t=\"s\"><v>4</v></c><c r=\"F1\" t=\"s\"><v>5</v></c>"
        "<c r=\"G1\" t=\"inlineStr\"><is><t>x_x0009_y</t></is></c>"
        "<c r=\"H1\" t=\"str\"><f>A1</f><v>_x0041_</v></c></row>");
    const Aba aba = LeAba(Zip("escapes.xlsx", PacoteXlsx(folha, Textos(textos))));
    const CasoCelula casos[] = {
        {"CR antes de LF", "A1", "ABC\r\nDEF"},
        {"sublinhado escapado", "B1", "_x000D_"},
        {"X maiúsculo e hexa inválido", "C1", "_X000D_ e _x00G1_"},
        {"hexa minúsculo e maiúsculo", "D1", "caf\xE9 \xC9"},
        {"par substituto", "E1", "?!"},
        {"substituto sozinho", "F1", "?"},
        {"texto em linha", "G1", "x\ty"},
        {"fórmula de texto", "H1", "A"},
    };
    for (const CasoCelula& caso : casos) {
        SCOPED_TRACE(caso.nome);
        EXPECT_EQ(aba.celulas[caso.endereco], caso.esperado);
    }
}

TEST_F(LeitorZip, XlsxTextosRicosFoneticaEPrefixos) {
    const std::string textos =
        "<?xml version=\"1.0\"?><x:sst xmlns:x=\"" + std::string(kNsPlanilha) +
        "\"><x:si><x:r><x:t>ri</x:t></x:r><x:r><x:rPr><x:b/></x:rPr><x:t>co</x:t></x:r>"
        "<x:rPh sb=\"0\" eb=\"1\"><x:t>FONETICA</x:t></x:rPh></x:si><x:si/></x:sst>";
    const std::string folha =
        "<x:worksheet xmlns:x=\"" + std::string(kNsPlanilha) +
        "\"><x:sheetData><x:row r=\"2\"><x:c r=\"A2\" t=\"s\"><x:v>0</x:v></x:c>"
        "<x:c r=\"B2\" t=\"s\"><x:v>1</x:v></x:c>"
        "<x:c r=\"C2\" t=\"inlineStr\"><x:is><x:t>em</x:t><x:rPh><x:t>X</x:t></x:rPh></x:is></x:c>"
        "</x:row></x:sheetData></x:worksheet>";
    const Aba aba = LeAba(Zip("ricos.xlsx", PacoteXlsx(folha, textos)));
    EXPECT_EQ(aba.celulas.celulas,
              (std::map<std::string, std::string>{{"A2", "rico"}, {"C2", "em"}}));
    EXPECT_EQ(aba.area.ultimaLinha, 2);
    EXPECT_EQ(aba.area.ultimaColuna, 3);
}

TEST_F(LeitorZip, XlsxDatasIsoViramNumerosDeSerie) {
    const std::string dados =
        "<row r=\"1\"><c r=\"A1\" t=\"d\"><v>2010-03-15</v></c>"
        "<c r=\"B1\" t=\"d\"><v>2010-03-15T12:00:00Z</v></c>"
        "<c r=\"C1\" t=\"d\"><v>1900-01-01</v></c><c r=\"D1\" t=\"d\"><v>1900-03-01</v></c>"
        "<c r=\"E1\" t=\"d\"><v>18:00:00</v></c><c r=\"F1\"><v>40252</v></c></row>";
    const Aba de1900 = LeAba(Zip("d1900.xlsx", PacoteXlsx(Folha(dados))));
    EXPECT_EQ(de1900.celulas.celulas, (std::map<std::string, std::string>{{"A1", "40252"},
                                                                          {"B1", "40252,5"},
                                                                          {"C1", "1"},
                                                                          {"D1", "61"},
                                                                          {"E1", "0,75"},
                                                                          {"F1", "40252"}}));

    // The 1904 system: ISO dates count from 1/1/1904, stored serials stay as they are.
    const Aba de1904 =
        LeAba(Zip("d1904.xlsx", PacoteXlsx(Folha(dados), "", "<workbookPr date1904=\"1\"/>")));
    EXPECT_EQ(de1904.celulas.celulas, (std::map<std::string, std::string>{{"A1", "38790"},
                                                                          {"B1", "38790,5"},
                                                                          {"C1", "-1460"},
                                                                          {"D1", "-1401"},
                                                                          {"E1", "0,75"},
                                                                          {"F1", "40252"}}));
}

TEST_F(LeitorZip, XlsxCelulasELinhasSemReferencia) {
    const std::string dados =
        "<row><c><v>1</v></c><c><v>2</v></c></row>"
        "<row r=\"5\"><c r=\"C5\"><v>3</v></c><c><v>4</v></c></row>"
        "<row><c t=\"b\"><v>1</v></c><c/><c t=\"e\"><v>#N/A</v></c></row>";
    const Aba aba = LeAba(Zip("semr.xlsx", PacoteXlsx(Folha(dados))));
    EXPECT_EQ(
        aba.celulas.celulas,
        (std::map<std::string, std::string>{
            {"A1", "1"}, {"B1", "2"}, {"C5", "3"}, {"D5", "4"}, {"A6", "True"}, {"C6", "#N/A"}}));
    EXPECT_EQ(aba.area.ultimaLinha, 6);
    EXPECT_EQ(aba.area.ultimaColuna, 4);
}

TEST_F(LeitorZip, XlsxAreaUsadaDaDimensaoDeclarada) {
    const std::string folha = Folha("<row r=\"2\"><c r=\"B2\"><v>1</v></c></row>",
                                    "<mergeCells><mergeCell ref=\"C3:E9\"/></mergeCells>",
                                    "<dimension ref=\"A1:W890\"/>");
    const Aba aba = LeAba(Zip("dimensao.xlsx", PacoteXlsx(folha)));
    EXPECT_EQ(aba.area.ultimaLinha, 890);
    EXPECT_EQ(aba.area.ultimaColuna, 23);
}

TEST_F(LeitorZip, XlsxCelulaDeMegabytesFicaCortadaEm32767Caracteres) {
    const std::string enorme(5'000'000, 'x');
    const std::string dados = "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + enorme +
                              "</t></is></c><c r=\"B1\"><v>5</v></c></row>";
    const Aba aba = LeAba(Zip("enorme.xlsx", PacoteXlsx(Folha(dados))));
    EXPECT_EQ(aba.celulas["A1"], std::string(32767, 'x'));
    EXPECT_EQ(aba.celulas["B1"], "5");
}

// A text blob of megabytes from every place a cell text comes from: each is cut to
// what a cell holds, and the cells after it still arrive.
TEST_F(LeitorZip, TextosDeMegabytesDeCadaOrigemFicamCortados) {
    const std::string enorme(5'000'000, 'x');
    std::string trechos;
    for (int i = 0; i < 1000; ++i) trechos += "<r><t>" + std::string(5000, 'x') + "</t></r>";
    const std::string depois = "<c r=\"B1\"><v>5</v></c></row>";
    const auto ods = [](const std::string& celula) {
        return PacoteOds(
            ConteudoOds("<table:table table:name=\"A\"><table:table-row>" + celula +
                        R"(<table:table-cell office:value-type="float" office:value="5"/>)"
                        "</table:table-row></table:table>"));
    };
    const struct {
        const char* nome;
        std::vector<Parte> partes;
    } casos[] = {
        {"texto compartilhado",
         PacoteXlsx(Folha("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c>" + depois),
                    Textos({"<t>" + enorme + "</t>"}))},
        {"mil trechos de texto rico",
         PacoteXlsx(Folha("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is>" + trechos + "</is></c>" +
                          depois))},
        {"ods parágrafo", ods("<table:table-cell office:value-type=\"string\"><text:p>" + enorme +
                              "</text:p></table:table-cell>")},
        {"ods atributo string-value",
         ods("<table:table-cell office:value-type=\"string\" office:string-value=\"" + enorme +
             "\"/>")},
        {"ods espaços repetidos",
         ods("<table:table-cell office:value-type=\"string\"><text:p>x<text:s "
             "text:c=\"999999999\"/>"
             "</text:p></table:table-cell>")},
    };
    for (const auto& caso : casos) {
        SCOPED_TRACE(caso.nome);
        const Aba aba = LeAba(Zip("blob.zip", caso.partes));
        const std::string a1 = aba.celulas["A1"];
        EXPECT_EQ(a1.size(), kMaxTextoCelula);
        EXPECT_EQ(a1.substr(0, 1), "x");
        EXPECT_EQ(aba.celulas["B1"], "5");
    }
}

TEST_F(LeitorZip, XlsxEmOutraCodificacaoQueUtf8) {
    // UTF-16 with a byte-order mark, and ISO-8859-1 declared.
    const std::u16string folha16 =
        u"\uFEFF<?xml version=\"1.0\" encoding=\"UTF-16\"?><worksheet><sheetData><row r=\"1\">"
        u"<c r=\"A1\" t=\"inlineStr\"><is><t>Não</t></is></c><c r=\"B1\"><v>2.5</v></c></row>"
        u"</sheetData></worksheet>";
    const std::string bytes16(reinterpret_cast<const char*>(folha16.data()), folha16.size() * 2);
    const Aba utf16 = LeAba(Zip("utf16.xlsx", PacoteXlsx(bytes16)));
    EXPECT_EQ(utf16.celulas.celulas,
              (std::map<std::string, std::string>{{"A1", "N\xE3o"}, {"B1", "2,5"}}));

    const std::string latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><worksheet><sheetData><row r=\"3\">"
        "<c r=\"A3\" t=\"inlineStr\"><is><t>caf\xE9</t></is></c></row></sheetData></worksheet>";
    EXPECT_EQ(LeAba(Zip("latin1.xlsx", PacoteXlsx(latin1))).celulas["A3"], "caf\xE9");
}

// --- Large sheets, read in blocks on worker threads -----------------------------------------

TEST_F(LeitorZip, XlsxGrandeLidaEmBlocosEntregaTodasAsCelulas) {
    const std::string caminho = Arquivo("grande.xlsx");
    constexpr int kLinhas = 40000, kColunas = 8;
    lxw_workbook* wb = workbook_new(caminho.c_str());
    lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
    char texto[32];
    for (int r = 0; r < kLinhas; ++r)
        for (int c = 0; c < kColunas; ++c)
            if (c % 2 == 0) {
                worksheet_write_number(ws, r, static_cast<lxw_col_t>(c), r * 10 + c + 0.25,
                                       nullptr);
            } else {
                std::snprintf(texto, sizeof texto, "t%d", (r * 7 + c) % 1000);
                worksheet_write_string(ws, r, static_cast<lxw_col_t>(c), texto, nullptr);
            }
    ASSERT_EQ(workbook_close(wb), LXW_NO_ERROR);

    const Aba aba = LeAba(caminho);
    ASSERT_EQ(aba.celulas.celulas.size(), size_t{kLinhas} * kColunas);
    int erradas = 0;
    for (int r = 0; r < kLinhas; ++r)
        for (int c = 0; c < kColunas; ++c) {
            std::snprintf(texto, sizeof texto, "t%d", (r * 7 + c) % 1000);
            const std::string esperado = c % 2 == 0 ? NumeroParaTexto(r * 10 + c + 0.25) : texto;
            if (aba.celulas[EnderecoCelula(r + 1, c + 1)] != esperado && ++erradas <= 5)
                ADD_FAILURE() << EnderecoCelula(r + 1, c + 1) << ": '"
                              << aba.celulas[EnderecoCelula(r + 1, c + 1)] << "', esperado '"
                              << esperado << "'";
        }
    EXPECT_EQ(erradas, 0);
    EXPECT_EQ(aba.area.ultimaLinha, kLinhas);
    EXPECT_EQ(aba.area.ultimaColuna, kColunas);
}

// Rows without numbers, with comments, CDATA and processing instructions between and
// inside them that look like row tags: the blocks must be cut only between rows and
// numbered from the rows before them.
TEST_F(LeitorZip, XlsxGrandeSemNumerosDeLinhaEComMarcacaoEnganosa) {
    constexpr int kLinhas = 60000;
    std::string dados;
    for (int i = 1; i <= kLinhas; ++i) {
        if (i % 997 == 0) dados += "<!-- </row></sheetData> <row> --><?pi </row>?>";
        dados += "<row><c><v>" + std::to_string(i) +
                 "</v></c><c t=\"inlineStr\"><is><t><![CDATA[</row><row>]]></t></is></c></row>";
    }
    const Aba aba = LeAba(Zip("enganosa.xlsx", PacoteXlsx(Folha(dados))));
    ASSERT_EQ(aba.celulas.celulas.size(), size_t{2} * kLinhas);
    int erradas = 0;
    for (int i = 1; i <= kLinhas; ++i)
        if ((aba.celulas["A" + std::to_string(i)] != std::to_string(i) ||
             aba.celulas["B" + std::to_string(i)] != "</row><row>") &&
            ++erradas <= 5)
            ADD_FAILURE() << "linha " << i << ": '" << aba.celulas["A" + std::to_string(i)] << "'";
    EXPECT_EQ(erradas, 0);
    EXPECT_EQ(aba.area.ultimaLinha, kLinhas);

    // An error far into the sheet names the cell by its number counted across blocks.
    const std::string comErro = dados + "<row><c t=\"s\"><v>9</v></c></row>";
    const std::string msg = ErroAoLer(Zip("enganosa-erro.xlsx", PacoteXlsx(Folha(comErro))));
    EXPECT_THAT(msg, HasSubstr("enganosa-erro.xlsx"));
    EXPECT_THAT(msg, HasSubstr("célula A" + std::to_string(kLinhas + 1)));
    EXPECT_THAT(msg, HasSubstr("fora da tabela"));
}

// The shared strings load alongside the sheet: a sheet that wants the table's last
// strings first waits for them, and a broken table is the error reported, even when the
// sheet has a fault of its own or never uses the broken part.
TEST_F(LeitorZip, XlsxTextosCompartilhadosCarregadosAoLadoDaAba) {
    constexpr int kTextos = 60000;
    std::vector<std::string> itens;
    for (int i = 0; i < kTextos; ++i) itens.push_back("<t>texto " + std::to_string(i) + "</t>");
    const std::string textos = Textos(itens);
    std::string dados;
    for (int i = 1; i <= kTextos; ++i)
        dados += "<row><c t=\"s\"><v>" + std::to_string(kTextos - i) + "</v></c></row>";

    const Aba aba = LeAba(Zip("invertida.xlsx", PacoteXlsx(Folha(dados), textos)));
    ASSERT_EQ(aba.celulas.celulas.size(), size_t{kTextos});
    int erradas = 0;
    for (int i = 1; i <= kTextos; ++i)
        if (aba.celulas["A" + std::to_string(i)] != "texto " + std::to_string(kTextos - i) &&
            ++erradas <= 5)
            ADD_FAILURE() << "linha " << i << ": '" << aba.celulas["A" + std::to_string(i)] << "'";
    EXPECT_EQ(erradas, 0);

    const std::string quebrada = textos.substr(0, textos.size() - 10) + "<si><t></si></sst>";
    for (const std::string& folha : {dados, "<row><c><v>1,5</v></c></row>" + dados,
                                     std::string("<row><c><v>1</v></c></row>")}) {
        const std::string msg =
            ErroAoLer(Zip("textos-quebrados.xlsx", PacoteXlsx(Folha(folha), quebrada)));
        EXPECT_THAT(msg, HasSubstr("sharedStrings.xml"));
        EXPECT_THAT(msg, HasSubstr("malformado"));
    }
}

// The visitor's own exception leaves the reading as it is, with the workers stopped,
// and the reader can read the sheet again.
TEST_F(LeitorZip, XlsxExcecaoDoVisitanteAtravessaALeitura) {
    std::string dados;
    for (int i = 1; i <= 50000; ++i) dados += "<row><c><v>" + std::to_string(i) + "</v></c></row>";
    auto leitor = AbreLeitor(Zip("visitante.xlsx", PacoteXlsx(Folha(dados))));

    struct Falha : std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    class Interrompe : public VisitanteCelulas {
    public:
        void Celula(int, int, std::string_view) override {
            if (++vistas == 30000) throw Falha("cheia");
        }
        int vistas = 0;
    } interrompe;
    EXPECT_THROW(leitor->LeAba(1, interrompe), Falha);
    EXPECT_EQ(interrompe.vistas, 30000);

    Coleta coleta;
    EXPECT_EQ(leitor->LeAba(1, coleta).ultimaLinha, 50000);
    EXPECT_EQ(coleta.celulas.size(), 50000u);
}

// A single row of more XML than a block may hold is read on the calling thread, and
// so is everything after it; rows before and after keep their numbers.
TEST_F(LeitorZip, XlsxLinhaGiganteLidaSemCortes) {
    std::string dados;
    for (int i = 1; i <= 1000; ++i)
        dados +=
            "<row r=\"" + std::to_string(i) + "\"><c><v>" + std::to_string(i) + "</v></c></row>";
    const std::string celula(4200, 'g');
    dados += "<row>";  // 1001, counted from the rows before
    for (int c = 1; c <= 16384; ++c)
        dados += "<c t=\"inlineStr\"><is><t>" + celula + "</t></is></c>";
    dados += "</row><row><c><v>1002</v></c></row><row><c t=\"s\"><v>0</v></c></row>";
    ASSERT_GT(dados.size(), size_t{64} << 20);
    const std::string caminho =
        Zip("gigante.xlsx", PacoteXlsx(Folha(dados), Textos({"<t>fim</t>"})));
    dados.clear();

    const Aba aba = LeAba(caminho);
    EXPECT_EQ(aba.celulas.celulas.size(), size_t{1000 + 16384 + 2});
    EXPECT_EQ(aba.celulas["A1000"], "1000");
    EXPECT_EQ(aba.celulas["XFD1001"], celula);
    EXPECT_EQ(aba.celulas["A1002"], "1002");
    EXPECT_EQ(aba.celulas["A1003"], "fim");
    EXPECT_EQ(aba.area.ultimaLinha, 1003);
    EXPECT_EQ(aba.area.ultimaColuna, 16384);
}

// --- .ods --------------------------------------------------------------------------------

struct CasoOds {
    const char* nome;
    std::string celula;    // one table:table-cell
    std::string esperado;  // Windows-1252
};

TEST_F(LeitorZip, OdsLeCadaTipoDeValor) {
    const std::vector<CasoOds> casos = {
        {"número",
         R"(<table:table-cell office:value-type="float" office:value="1234.5"><text:p>1.234,50</text:p></table:table-cell>)",
         "1234,5"},
        {"porcentagem",
         R"(<table:table-cell office:value-type="percentage" office:value="0.125"/>)", "0,125"},
        {"moeda",
         R"(<table:table-cell office:value-type="currency" office:currency="BRL" office:value="-10.5"/>)",
         "-10,5"},
        {"data", R"(<table:table-cell office:value-type="date" office:date-value="2010-03-15"/>)",
         "40252"},
        {"data e hora",
         R"(<table:table-cell office:value-type="date" office:date-value="2008-01-01T12:00:00"/>)",
         "39448,5"},
        {"hora", R"(<table:table-cell office:value-type="time" office:time-value="PT12H30M00S"/>)",
         "0,520833333333333"},
        {"duração longa",
         R"(<table:table-cell office:value-type="time" office:time-value="PT36H"/>)", "1,5"},
        {"verdadeiro",
         R"(<table:table-cell office:value-type="boolean" office:boolean-value="true"/>)", "True"},
        {"falso", R"(<table:table-cell office:value-type="boolean" office:boolean-value="false"/>)",
         "False"},
        {"texto composto",
         R"(<table:table-cell office:value-type="string"><text:p>a<text:s text:c="3"/>b<text:tab/>c<text:line-break/>d <text:span>e</text:span></text:p><text:p>segundo</text:p></table:table-cell>)",
         "a   b\tc\nd e\nsegundo"},
        {"brancos colapsados",
         "<table:table-cell office:value-type=\"string\"><text:p>a   \n  "
         "b</text:p></table:table-cell>",
         "a b"},
        {"anotação fora do valor",
         R"(<table:table-cell office:value-type="string"><office:annotation><text:p>nota</text:p></office:annotation><text:p>valor</text:p></table:table-cell>)",
         "valor"},
        {"acentos",
         U8(u8R"(<table:table-cell office:value-type="string"><text:p>Ação € ś</text:p></table:table-cell>)"),
         "Ação € ?"},
        {"erro",
         R"(<table:table-cell office:value-type="string" calcext:value-type="error"><text:p>#N/A</text:p></table:table-cell>)",
         "#N/A"},
        {"sem tipo", R"(<table:table-cell><text:p>solto</text:p></table:table-cell>)", "solto"},
    };
    std::string linhas;
    for (const CasoOds& c : casos) linhas += "<table:table-row>" + c.celula + "</table:table-row>";
    const std::string caminho = Zip(
        "tipos.ods", PacoteOds(ConteudoOds(U8(u8"<table:table table:name=\"Preços\">") + linhas +
                                           "</table:table><table:table table:name=\"B\"/>")));

    EXPECT_EQ(AbreLeitor(caminho)->Abas(), (std::vector<std::string>{"Pre\xE7os", "B"}));
    const Aba aba = LeAba(caminho);
    for (size_t i = 0; i < casos.size(); ++i) {
        SCOPED_TRACE(casos[i].nome);
        EXPECT_EQ(aba.celulas["A" + std::to_string(i + 1)], casos[i].esperado);
    }
    EXPECT_EQ(aba.celulas.celulas.size(), casos.size());
    EXPECT_EQ(aba.area.ultimaLinha, static_cast<int>(casos.size()));
    EXPECT_EQ(aba.area.ultimaColuna, 1);

    const Aba vazia = LeAba(caminho, 2);
    EXPECT_THAT(vazia.celulas.celulas, testing::IsEmpty());
    EXPECT_LE(vazia.area.ultimaLinha, 1);
    EXPECT_THAT(ErroAoLer(caminho, 3), HasSubstr("a aba 3 não existe"));
}

TEST_F(LeitorZip, OdsDataZeroDoDocumento) {
    const std::string conteudo = ConteudoOds(
        R"(<table:table table:name="A"><table:table-row><table:table-cell office:value-type="date" office:date-value="2010-03-15"/></table:table-row></table:table>)",
        R"(<table:calculation-settings><table:null-date table:date-value="1904-01-01"/></table:calculation-settings>)");
    EXPECT_EQ(LeAba(Zip("1904.ods", PacoteOds(conteudo))).celulas["A1"], "38790");
}

TEST_F(LeitorZip, OdsRepeticoesEmitemCadaCelulaMasNaoOFimDaFolha) {
    const std::string tabela = R"(<table:table table:name="Rep">
        <table:table-column table:number-columns-repeated="1024"/>
        <table:table-row table:number-rows-repeated="2">
          <table:table-cell table:number-columns-repeated="3" office:value-type="float" office:value="7"/>
          <table:table-cell table:number-columns-repeated="1021"/>
        </table:table-row>
        <table:table-row>
          <table:table-cell table:number-columns-spanned="2" table:number-rows-spanned="4" office:value-type="string"><text:p>m</text:p></table:table-cell>
          <table:covered-table-cell/>
          <table:table-cell table:number-columns-repeated="1022"/>
        </table:table-row>
        <table:table-row table:number-rows-repeated="1048573" table:style-name="ro1">
          <table:table-cell table:number-columns-repeated="1024" table:style-name="ce1"/>
        </table:table-row>
      </table:table>)";
    const Aba aba = LeAba(Zip("repete.ods", PacoteOds(ConteudoOds(tabela))));
    EXPECT_EQ(aba.celulas.celulas, (std::map<std::string, std::string>{{"A1", "7"},
                                                                       {"B1", "7"},
                                                                       {"C1", "7"},
                                                                       {"A2", "7"},
                                                                       {"B2", "7"},
                                                                       {"C2", "7"},
                                                                       {"A3", "m"}}));
    EXPECT_EQ(aba.area.ultimaLinha, 6);
    EXPECT_EQ(aba.area.ultimaColuna, 3);
}

// --- Damaged and hostile files -------------------------------------------------------------

struct CasoHostil {
    const char* nome;
    std::vector<Parte> partes;
    std::vector<std::string> motivo;  // substrings of the message besides the file name
};

std::string Aninhado(int niveis) {
    std::string x;
    for (int i = 0; i < niveis; ++i) x += "<a>";
    for (int i = 0; i < niveis; ++i) x += "</a>";
    return x;
}

const char* const kBomba =
    "<?xml version=\"1.0\"?><!DOCTYPE lol [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
    "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>";

TEST_F(LeitorZip, ArquivosHostisDaoErroPlanilhaComONomeDoArquivo) {
    const std::string celulaS = "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>3</v></c></row>";
    const std::vector<CasoHostil> casos = {
        {"XML malformado",
         PacoteXlsx(Folha("<row r=\"1\"><c r=\"A1\"><v>1</c></row>")),
         {"aba 'Plan1'", "malformado"}},
        {"XML truncado", PacoteXlsx(Folha("").substr(0, 60)), {"aba 'Plan1'", "incompleto"}},
        {"bomba de entidades na planilha",
         PacoteXlsx(std::string(kBomba) +
                    "<worksheet><sheetData><row><c "
                    "t=\"inlineStr\"><is><t>&c;</t></is></c></row></sheetData></worksheet>"),
         {"DOCTYPE"}},
        {"bomba de entidades nos textos",
         PacoteXlsx(Folha(celulaS), std::string(kBomba) + "<sst><si><t>&c;</t></si></sst>"),
         {"sharedStrings.xml", "DOCTYPE"}},
        {"entidade indefinida",
         PacoteXlsx(Folha("<row><c t=\"inlineStr\"><is><t>&x;</t></is></c></row>")),
         {"malformado"}},
        {"índice de texto fora da tabela",
         PacoteXlsx(Folha(celulaS), Textos({"<t>a</t>"})),
         {"célula A1", "3 está fora da tabela"}},
        {"índice de texto sem tabela", PacoteXlsx(Folha(celulaS)), {"célula A1", "fora da tabela"}},
        {"linha depois da última",
         PacoteXlsx(Folha("<row r=\"1048577\"/>")),
         {"1048577", "fora dos limites"}},
        {"linha negativa", PacoteXlsx(Folha("<row r=\"-5\"/>")), {"número de linha inválido '-5'"}},
        {"linha sem número depois da última",
         PacoteXlsx(Folha("<row r=\"1048576\"/><row><c><v>1</v></c></row>")),
         {"1048577", "fora dos limites"}},
        {"coluna depois da última",
         PacoteXlsx(Folha("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>")),
         {"XFE1", "fora dos limites"}},
        {"número inválido",
         PacoteXlsx(Folha("<row r=\"2\"><c r=\"B2\"><v>1,5</v></c></row>")),
         {"célula B2", "valor numérico inválido '1,5'"}},
        {"aninhamento profundo",
         PacoteXlsx(Folha("<row r=\"1\"><c r=\"A1\">" + Aninhado(5000) + "</c></row>")),
         {"aninhados"}},
        {"marca gigante",
         PacoteXlsx(
             Folha("<row r=\"1\"><c r=\"A1\" s=\"" + std::string(40u << 20, '9') + "\"/></row>")),
         {"tamanho descabido"}},
        {"pacote sem pasta de trabalho",
         {{"word/document.xml", "<document/>"}},
         {"não é uma planilha"}},
        {"pasta de trabalho que não é",
         {{"xl/workbook.xml", "<document/>"}},
         {"não é uma planilha"}},
        {"documento de texto OpenDocument",
         PacoteOds(ConteudoOds(""), "application/vnd.oasis.opendocument.text"),
         {"não é uma planilha"}},
        {"ods sem o conteúdo",
         {{"mimetype", "application/vnd.oasis.opendocument.spreadsheet", true},
          {"styles.xml", "<office:document-styles/>"}},
         {"a parte 'content.xml' não existe no pacote"}},
        {"ods com o conteúdo de um texto",
         PacoteOds(
             "<office:document-content xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:"
             "1.0\"><office:body><office:text/></office:body></office:document-content>"),
         {"parte 'content.xml'", "falta o elemento office:spreadsheet"}},
        {"ods malformado",
         PacoteOds(ConteudoOds("<table:table table:name=\"A\"><table:table-row>")),
         {"malformado"}},
        {"ods com DOCTYPE", PacoteOds(std::string(kBomba) + "<x/>"), {"DOCTYPE"}},
        {"ods que repete células demais",
         PacoteOds(ConteudoOds(
             R"(<table:table table:name="A"><table:table-row table:number-rows-repeated="1048576"><table:table-cell table:number-columns-repeated="16384" office:value-type="float" office:value="1"/></table:table-row></table:table>)")),
         {"aba 'A'", "repete células demais"}},
        {"ods com valor além da última linha",
         PacoteOds(ConteudoOds(
             R"(<table:table table:name="A"><table:table-row table:number-rows-repeated="1048576"/><table:table-row><table:table-cell office:value-type="float" office:value="1"/></table:table-row></table:table>)")),
         {"aba 'A'", "além dos limites"}},
        {"ods com data inválida",
         PacoteOds(ConteudoOds(
             R"(<table:table table:name="A"><table:table-row><table:table-cell/><table:table-cell office:value-type="date" office:date-value="2010-02-30"/></table:table-row></table:table>)")),
         {"célula B1", "data inválida"}},
    };
    for (size_t i = 0; i < casos.size(); ++i) {
        SCOPED_TRACE(casos[i].nome);
        const std::string nome = "hostil" + std::to_string(i) + ".xlsx";
        const std::string msg = ErroAoLer(Zip(nome, casos[i].partes));
        EXPECT_THAT(msg, HasSubstr(nome));
        for (const std::string& m : casos[i].motivo) EXPECT_THAT(msg, HasSubstr(m));
    }
}

// Rewrites, in the zip's local and central headers, the uncompressed size of a part.
void DeclaraTamanho(const std::string& caminho, const std::string& parte, uint32_t tamanho) {
    std::ifstream in(caminho, std::ios::binary);
    std::string z((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u16 = [&](size_t p) {
        return static_cast<size_t>(static_cast<unsigned char>(z[p]) |
                                   static_cast<unsigned char>(z[p + 1]) << 8);
    };
    auto u32 = [&](size_t p) { return u16(p) | u16(p + 2) << 16; };
    auto poe32 = [&](size_t p, uint32_t v) {
        for (int k = 0; k < 4; ++k) z[p + k] = static_cast<char>(v >> (8 * k));
    };
    int achadas = 0;
    for (size_t p = z.find("PK\x01\x02"); p != std::string::npos; p = z.find("PK\x01\x02", p + 4)) {
        if (z.compare(p + 46, u16(p + 28), parte) != 0 || u16(p + 28) != parte.size()) continue;
        poe32(p + 24, tamanho);
        poe32(u32(p + 42) + 22, tamanho);
        ++achadas;
    }
    ASSERT_EQ(achadas, 1);
    std::ofstream(caminho, std::ios::binary | std::ios::trunc) << z;
}

TEST_F(LeitorZip, PacotesDanificados) {
    const std::string dados = "<row r=\"1\"><c r=\"A1\"><v>42</v></c></row>";

    // Cut in half: the central directory is gone.
    const std::string inteiro = Zip("inteiro.xlsx", PacoteXlsx(Folha(dados)));
    std::ifstream in(inteiro, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string truncado = Arquivo("truncado.xlsx");
    std::ofstream(truncado, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::string msg = ErroAoLer(truncado);
    EXPECT_THAT(msg, HasSubstr("truncado.xlsx"));
    EXPECT_THAT(msg, HasSubstr("truncado ou corrompido"));

    // A stored worksheet whose bytes changed after its checksum was taken.
    std::vector<Parte> partes = PacoteXlsx(Folha(dados));
    partes.back().armazenada = true;
    const std::string corrompido = Zip("corrompido.xlsx", partes);
    {
        std::fstream f(corrompido, std::ios::binary | std::ios::in | std::ios::out);
        std::string todo((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
        const size_t p = todo.find("<v>42</v>");
        ASSERT_NE(p, std::string::npos);
        f.seekp(static_cast<std::streamoff>(p + 3));
        f.put('7');
    }
    msg = ErroAoLer(corrompido);
    EXPECT_THAT(msg, HasSubstr("corrompido.xlsx"));
    EXPECT_THAT(msg, HasSubstr("corrompidos"));

    // A deflated part that claims almost 4 GB is read as far as its data goes.
    const std::string exagerado = Zip("exagerado.xlsx", PacoteXlsx(Folha(dados)));
    DeclaraTamanho(exagerado, "xl/worksheets/sheet1.xml", 0xFFFFFFF0u);
    EXPECT_EQ(LeAba(exagerado).celulas["A1"], "42");

    // A stored one cannot be: its claimed length runs past the file.
    std::vector<Parte> armazenadas = PacoteXlsx(Folha(dados));
    armazenadas.back().armazenada = true;
    const std::string exageradoArmazenado = Zip("exagerado2.xlsx", armazenadas);
    DeclaraTamanho(exageradoArmazenado, "xl/worksheets/sheet1.xml", 0xFFFFFFF0u);
    msg = ErroAoLer(exageradoArmazenado);
    EXPECT_THAT(msg, HasSubstr("exagerado2.xlsx"));
    EXPECT_THAT(msg, HasSubstr("aba 'Plan1'"));

    // A worksheet part named by the workbook but missing from the package.
    std::vector<Parte> semFolha = PacoteXlsx(Folha(dados));
    semFolha.pop_back();
    msg = ErroAoLer(Zip("semfolha.xlsx", semFolha));
    EXPECT_THAT(msg, HasSubstr("semfolha.xlsx"));
    EXPECT_THAT(msg, HasSubstr("'xl/worksheets/sheet1.xml' não existe"));
}

// Gives every entry named `de` the name `para`, of the same length, in the zip's local
// and central headers: libzip will not write two entries of one name.
void RenomeiaEntradas(const std::string& caminho, const std::string& de, const std::string& para) {
    ASSERT_EQ(de.size(), para.size());
    std::ifstream in(caminho, std::ios::binary);
    std::string z((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    int trocas = 0;
    for (size_t p = z.find(de); p != std::string::npos; p = z.find(de, p + de.size())) {
        z.replace(p, de.size(), para);
        ++trocas;
    }
    ASSERT_EQ(trocas, 2) << de;
    std::ofstream(caminho, std::ios::binary | std::ios::trunc) << z;
}

// Two entries of one name: libzip finds the first, so a package whose first copy of a
// worksheet is empty would read as an empty sheet. The package is damaged. Names that
// differ only in case are so for the parts the reader looks up without regard to case;
// elsewhere (pictures, say) they are left alone.
TEST_F(LeitorZip, PartesRepetidasSaoPacoteDanificado) {
    const std::string folha = Folha("<row r=\"1\"><c r=\"A1\"><v>42</v></c></row>");
    const std::string conteudo = ConteudoOds(
        R"(<table:table table:name="A"><table:table-row><table:table-cell office:value-type="float" office:value="7"/></table:table-row></table:table>)");
    const auto comOutra = [](std::vector<Parte> partes, const std::string& nome,
                             const std::string& texto) {
        partes.insert(partes.end() - 1, {nome, texto});
        return partes;
    };
    const struct {
        const char* arquivo;
        std::vector<Parte> partes;
        std::string provisorio, nome;  // the second entry's name, before and after
        const char* motivo;
    } casos[] = {
        {"folha-dupla.xlsx", comOutra(PacoteXlsx(folha), "xl/worksheets/sheetX.xml", Folha("")),
         "xl/worksheets/sheetX.xml", "xl/worksheets/sheet1.xml",
         "a parte 'xl/worksheets/sheet1.xml' aparece duas vezes"},
        {"conteudo-duplo.ods", comOutra(PacoteOds(conteudo), "Xontent.xml", ConteudoOds("")),
         "Xontent.xml", "content.xml", "a parte 'content.xml' aparece duas vezes"},
        {"folha-em-outra-caixa.xlsx",
         comOutra(PacoteXlsx(folha), "xl/worksheets/sheetX.xml", Folha("")),
         "xl/worksheets/sheetX.xml", "XL/Worksheets/Sheet1.xml",
         "mais de uma parte 'xl/worksheets/sheet1.xml'"},
    };
    for (const auto& c : casos) {
        SCOPED_TRACE(c.arquivo);
        const std::string caminho = Zip(c.arquivo, c.partes);
        RenomeiaEntradas(caminho, c.provisorio, c.nome);
        EXPECT_THAT(ErroAoLer(caminho),
                    AllOf(HasSubstr(c.arquivo), HasSubstr("danificado"), HasSubstr(c.motivo)));
    }

    // Pictures whose names differ only in case do not stand in the way of the cells.
    std::vector<Parte> imagens = PacoteXlsx(folha);
    imagens.push_back({"xl/media/a.png", "1"});
    imagens.push_back({"xl/media/A.png", "2"});
    EXPECT_EQ(LeAba(Zip("imagens.xlsx", imagens)).celulas["A1"], "42");
}

// --- The number text of the XML formats ----------------------------------------------------

// Numbers as files write them are rewritten without a double when they can be; both
// ways must give what NumeroParaTexto gives for the value.
TEST(NumeroXml, ConcordaComNumeroParaTexto) {
    std::mt19937_64 gerador(20240611);
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> expoente(-12, 20);
    std::vector<std::string> textos = {"0",
                                       "-0",
                                       "0.0",
                                       "00012.500",
                                       "+3",
                                       "1E20",
                                       "1.5E-7",
                                       "0.00001",
                                       "-0.000012",
                                       "0.0000099",
                                       ".5",
                                       "5.",
                                       "99999999999999.9",
                                       "999999999999999",
                                       "1000000000000000",
                                       "123456789012345678",
                                       "4.5999999999999996"};
    char buf[64];
    for (int i = 0; i < 20000; ++i) {
        const double x = mantissa(gerador) * std::pow(10.0, expoente(gerador));
        std::snprintf(buf, sizeof buf, "%.*g", 1 + i % 17, x);
        textos.push_back(buf);
        std::snprintf(buf, sizeof buf, "%.*f", i % 9, x);
        textos.push_back(buf);
    }
    std::string saida;
    int diferentes = 0;
    for (const std::string& t : textos) {
        ASSERT_TRUE(NumeroXmlParaTexto(t, saida)) << t;
        const std::string esperado = NumeroParaTexto(std::strtod(t.c_str(), nullptr));
        if (saida != esperado && ++diferentes <= 5)
            ADD_FAILURE() << "'" << t << "': '" << saida << "', esperado '" << esperado << "'";
    }
    EXPECT_EQ(diferentes, 0);
    for (const char* invalido :
         {"", " ", "1,5", "abc", "1e", "--1", "inf", "NaN", "1e999", "0x10"}) {
        SCOPED_TRACE(invalido);
        EXPECT_FALSE(NumeroXmlParaTexto(invalido, saida));
    }
}

}  // namespace
}  // namespace conversor::intake
