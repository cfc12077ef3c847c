// A column map: which column of the customer's own sheet feeds which column of the
// kind's layout, for a workbook whose columns have headings, sit in another order and
// start below title rows. The map is a small text file a person can read and finish
// by hand, one line per layout column, "layout column;sheet column": the layout
// column by number (66) or by its map name (DESCRICAO), the sheet column by letter (C)
// or by its heading ("Descrição"). `conversor mapa` proposes one from the headings.
// Texts are Windows-1252.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "convert/leiaute.h"

namespace conversor::convert {

// A map that cannot be used; the message names the map's line.
class ErroMapa : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One line of a map.
struct LigacaoMapa {
    int linha = 0;         // the map file's line, counted from 1
    int coluna = 0;        // the layout column it feeds
    std::string planilha;  // the sheet column as written: letters or a heading
};

struct MapaColunas {
    std::string arquivo;  // the map file as given (a file-system name), for messages
    std::vector<LigacaoMapa> ligacoes;
};

// Reads a map's text for the kind. The text may be UTF-8, with or without its byte
// order mark, or Windows-1252 (what is not UTF-8 is taken as such). Blank lines and
// lines starting with '#' are skipped; a field may be quoted as in any CSV. Raises
// ErroMapa naming the line for a line that is no "layout column;sheet column", a
// layout column the kind does not read, a layout column given twice, and for a map
// that feeds no column at all.
MapaColunas LeMapa(std::string_view conteudo, const LeiauteTipo& leiaute,
                   const std::string& arquivo);

// The same, reading the file; ErroMapa when it cannot be read.
MapaColunas LeArquivoMapa(const std::string& arquivo, const LeiauteTipo& leiaute);

// The sheet's heading row, as far as a map needs it.
struct TitulosPlanilha {
    long long linha = 0;              // the sheet row; 0 when there is none
    std::vector<std::string> textos;  // by sheet column, column A first
};

// A map set against one sheet.
struct MapaResolvido {
    // Per staging column, 1 to the layout's last column (index 0 is column 1): the
    // sheet column that feeds it, 0 when the map leaves it out.
    std::vector<int> origem;
    TitulosPlanilha titulos;

    // A layout column as a person looks for it in both places: "coluna 66 DESCRICAO,
    // da coluna C 'Descrição' da planilha"; "coluna 64 PERC_IVA, que o mapa deixa
    // vazia" for one the map leaves out.
    std::string Descreve(const LeiauteTipo& leiaute, int coluna) const;
};

// Sets the map against a sheet whose last column is `ultimaColuna`: a sheet column is
// the heading of that text (case, accents, blanks and punctuation aside) when the
// heading row has one, otherwise the column of those letters. Raises ErroMapa naming
// the line for a sheet column the sheet does not have, or a heading found in more
// than one column.
MapaResolvido ResolveMapa(const MapaColunas& mapa, const LeiauteTipo& leiaute,
                          TitulosPlanilha titulos, int ultimaColuna);

// A heading as the matching sees it: lower case, without accents, blanks or
// punctuation ("Preço de venda" and "PRECO-DE-VENDA" are both "precodevenda").
std::string ChaveDeTitulo(std::string_view titulo);

// The layout column a heading names: by its map name, its field, or one of the
// usual Portuguese names of that field ("Descrição", "Produto", "Nome do produto");
// nullptr when none.
const ColunaLida* ColunaDoTitulo(const LeiauteTipo& leiaute, std::string_view titulo);

// A map proposed from a sheet's headings.
struct PropostaMapa {
    struct Ligada {
        int coluna;          // the layout's
        int colunaPlanilha;  // the sheet's
    };
    // A heading the proposal could not place.
    struct Sobra {
        int colunaPlanilha;
        std::string titulo;
        int tomadaPor = 0;  // the sheet column that took the field it names; 0: names none
        int coluna = 0;     // that field's layout column
    };
    std::vector<Ligada> ligadas;  // in layout column order
    std::vector<Sobra> semLugar;  // in sheet column order
};

// Matches each heading, left to right, with ColunaDoTitulo; a field already taken by
// a heading to its left leaves the later heading unplaced.
PropostaMapa PropoeMapa(const LeiauteTipo& leiaute, const TitulosPlanilha& titulos);

// The proposal as a map file: comments saying where it came from and which
// --primeira-linha to convert with, one line per column placed (the sheet column by
// its heading, or by letter where headings repeat), then the headings left unplaced
// and the layout columns left out, as comments.
std::string TextoDoMapa(const PropostaMapa& proposta, const LeiauteTipo& leiaute,
                        const TitulosPlanilha& titulos, const std::string& planilha, int aba);

}  // namespace conversor::convert
