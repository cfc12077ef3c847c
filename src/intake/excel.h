// The workbook driver: the program's only access to the customer's workbook. It
// opens a workbook file, lists its sheets, keeps one sheet current and reads that
// sheet's used area and cells as text.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "intake/grade.h"
#include "intake/leitor.h"

namespace conversor::intake {

// Opens a workbook file with the right reader; AbreLeitor unless a test injects
// its own.
using FabricaLeitor = std::function<std::unique_ptr<LeitorPlanilha>(const std::string& caminho)>;

// One per program, owned by the main window. State: no workbook until the first
// AbreArquivo; a later AbreArquivo makes the new file the open one (the earlier one
// is simply let go). The current sheet is set by ListaPlanilhas (the last sheet
// listed) or SelecionaPlanilha. The current sheet's cells are read from the file
// once, the first time a cell or the whole sheet is asked for, and kept in memory
// until the sheet or file changes; like a workbook open in the spreadsheet
// application, later changes to the file are not seen, and a cell keeps at most 32767
// characters. Its used area alone is measured without keeping the cells where the
// reader can (.xlsx, .ods), so listing sheets costs no memory for their contents.
// Paths are file-system names (UTF-8); every other text is Windows-1252. Errors
// are ErroPlanilha with a Portuguese message naming the file, running out of memory
// included.
class TDMCotrolaExcel {
public:
    TDMCotrolaExcel();
    explicit TDMCotrolaExcel(FabricaLeitor fabrica);
    ~TDMCotrolaExcel();
    TDMCotrolaExcel(const TDMCotrolaExcel&) = delete;
    TDMCotrolaExcel& operator=(const TDMCotrolaExcel&) = delete;

    // Makes the workbook at `caminho` the open one; no sheet is current until the
    // next listing or selection. If the file cannot be opened, the workbook open
    // before stays open and unchanged.
    void AbreArquivo(const std::string& caminho);

    // The worksheets' names, position 1 first. The list belongs to the driver and
    // stays until LiberaLista or the next listing or AbreArquivo (the reference
    // itself stays valid for the driver's life). The last sheet listed becomes
    // the current one.
    const std::vector<std::string>& ListaPlanilhas();
    void LiberaLista();

    // Makes the worksheet at `posicao` (1-based) the current one.
    void SelecionaPlanilha(int posicao);

    // Row / column of the last used cell of the current sheet: the largest of what
    // the file records as used and of the non-empty cells.
    int UltimaLinha();
    int UltimaColuna();

    // The cell's text (empty for an empty cell or one outside the used area).
    std::string LeCelula(int coluna, int linha);

    // The column's letters: 1 "A", 26 "Z", 27 "AA", 702 "ZZ", 703 "AAA"; raises
    // ErroPlanilha below 1.
    static std::string LetraColuna(int coluna);

    // The current sheet as read, for the staging load to share instead of asking
    // cell by cell. It stays valid after the driver moves on.
    std::shared_ptr<const GradePlanilha> Planilha();

    // How far the reading of the current sheet has got: the last row handed over so far
    // and the sheet's last row as measured before the reading (0 when it was not). The
    // one call that may come from another thread while Planilha reads the sheet.
    struct Andamento {
        int linha = 0;
        int ultimaLinha = 0;
    };
    Andamento AndamentoLeitura() const;

private:
    class Coletor;

    const GradePlanilha& GradeAtual();
    AreaUsada AreaAtual();
    void ExigePlanilha() const;
    void ExigeArquivo() const;
    std::string NomeArquivo() const;
    std::string NomeAba() const;

    FabricaLeitor fabrica_;
    std::unique_ptr<LeitorPlanilha> leitor_;
    std::string caminho_;
    std::vector<std::string> abas_;       // the workbook's worksheets
    std::vector<std::string> listaAbas_;  // the list handed out by ListaPlanilhas
    int atual_ = 0;                       // current sheet's position; 0 = none
    std::shared_ptr<const GradePlanilha> grade_;
    std::optional<AreaUsada> area_;  // the current sheet's, measured without its cells
    std::atomic<int> linhaLida_{0};
    std::atomic<int> linhasPrevistas_{0};
};

}  // namespace conversor::intake
