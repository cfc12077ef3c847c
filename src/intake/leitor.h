// One reader per workbook format behind one small interface; the format is chosen
// in one place (AbreLeitor), by the file's content.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace conversor::intake {

// A workbook that cannot be read. The message is Portuguese and names the file
// (and the sheet or cell where it applies).
class ErroPlanilha : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest row and column (1-based) of anything the file records for a sheet:
// cells with a value or only formatted, the declared dimension, merged ranges.
// An empty sheet may report 0 or 1.
struct AreaUsada {
    int ultimaLinha = 0;
    int ultimaColuna = 0;
};

// Receives the cells of one sheet. Cells may arrive in any order; each cell at most
// once. The text is already the cell's text as the driver's LeCelula returns it
// (Windows-1252; numbers and dates in the number rule; "True"/"False"; "#N/A").
class VisitanteCelulas {
public:
    virtual ~VisitanteCelulas() = default;
    virtual void Celula(int linha, int coluna, std::string_view texto) = 0;
};

// An open workbook file. Readers keep what they need of the file open for their
// life; each call reads the sheet anew.
class LeitorPlanilha {
public:
    virtual ~LeitorPlanilha() = default;

    // The worksheets' names (Windows-1252), position 1 first. Chart sheets and other
    // non-worksheets are not listed. A sheet of a damaged workbook that leads to no
    // worksheet (its part missing or of another kind) is listed: reading it raises.
    virtual std::vector<std::string> Abas() = 0;

    // Streams every non-empty cell of the worksheet at `posicao` (1-based) to the
    // visitor and returns the sheet's used area. Raises ErroPlanilha.
    virtual AreaUsada LeAba(int posicao, VisitanteCelulas& visitante) = 0;

    // The used area that LeAba would return for the worksheet at `posicao`, every cell
    // it would hand over taken in, measured without decoding or keeping any cell's
    // value: what listing many or large sheets needs. nullopt when the reader has no
    // such shortcut, or when the measure failed (reading the sheet gives the error).
    virtual std::optional<AreaUsada> MedeAba(int /*posicao*/) { return std::nullopt; }
};

// Opens the workbook at `caminho` (UTF-8 file name) with the reader its content
// calls for (.xlsx/.xlsm, .xls, .ods, otherwise .csv by extension). Raises
// ErroPlanilha for a missing file or one that is not a workbook.
std::unique_ptr<LeitorPlanilha> AbreLeitor(const std::string& caminho);

// Limits that keep a hostile file from taking unbounded time or memory.
inline constexpr int kMaxLinhas = 1048576;
inline constexpr int kMaxColunas = 16384;

// Longest text of one cell, as in Excel; longer cell texts are cut there.
inline constexpr size_t kMaxTextoCelula = 32767;

// The readers' error: the file, where in it (sheet, cell or part; may be empty) and why.
ErroPlanilha ErroLeitura(std::string_view arquivo, std::string_view onde, std::string_view motivo);

}  // namespace conversor::intake
