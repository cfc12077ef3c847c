// The sheet layout of each record kind as a person preparing a workbook needs it:
// which sheet column feeds which field, how much of the cell is kept and what is
// done to it. The sheet mappings read the columns by number; this table says the
// same in words, for `conversor colunas` and the template of `conversor modelo`.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace conversor::convert {

// What a column should hold, so the template can format it and a cell can be
// chosen that the column's rule lets through.
enum class Conteudo {
    Texto,    // any text
    Digitos,  // only the digits are kept: postal code, tax numbers, telephones
    Codigo,   // a number code, zeros put in front
    Sigla,    // two letters: a state, a unit
    Numero,   // a number with the decimal comma
    Data,     // a date
    Logico,   // VERDADEIRO or FALSO
};

// One sheet column that a kind reads.
struct ColunaLida {
    int coluna;         // the sheet column's number, A = 1
    const char* campo;  // "TABELA.COLUNA" the value lands in; "" when it only decides
    int largura;        // characters of the cell kept; 0 when not cut (numbers, dates)
    Conteudo conteudo;
    std::string regra;   // what is done to the cell, in a few words (Windows-1252)
    const char* tambem;  // a second field fed with the same cell, or nullptr
    int soSeVazia;       // read only when this other column is blank; 0 always read
    // The column's name in a column map, one of its own within the kind: the field's
    // column ("DESCRICAO"), or a name of its own where two columns feed one field or
    // the column feeds none ("CPF", "FABRICANTE").
    std::string nome = {};
};

struct LeiauteTipo {
    const char* tipo;                 // as --tipo names the kind: "produtos"
    const char* aba;                  // the template's sheet: "Produtos"
    std::vector<ColunaLida> colunas;  // in column order

    // The last column read: a sheet of the kind must reach it.
    int UltimaColuna() const { return colunas.empty() ? 0 : colunas.back().coluna; }
};

// The five kinds, in the order the window offers them.
const std::vector<LeiauteTipo>& Leiautes();

// The kind's layout, or nullptr for a name that is no kind.
const LeiauteTipo* LeiauteDoTipo(std::string_view tipo);

// The kind's column of that number or map name (case ignored; "PRODUTO.DESCRICAO" too
// when only one column feeds that field), or nullptr.
const ColunaLida* ColunaDoLeiaute(const LeiauteTipo& leiaute, int coluna);
const ColunaLida* ColunaDoLeiaute(const LeiauteTipo& leiaute, std::string_view nome);

// The rule as shown to a person: the rule's words, the second field and the column
// it depends on, with that column's letters.
std::string RegraCompleta(const ColunaLida& coluna);

}  // namespace conversor::convert
