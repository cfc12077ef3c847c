// The workbook driver: the program's only access to the customer's workbook. It
// opens a workbook file, lists its sheets, keeps one sheet current and reads that
// sheet's used area and cells as text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "intake/leitor.h"

namespace conversor::intake {

namespace detalhe {

// A growing array kept in fixed blocks: growing never copies, so a large sheet
// never needs its memory twice over while it is being read.
template <class T>
class VetorEmBlocos {
public:
    static constexpr unsigned kBits = 14;
    static constexpr size_t kPorBloco = size_t(1) << kBits;

    size_t size() const { return n_; }
    T operator[](size_t i) const { return blocos_[i >> kBits][i & (kPorBloco - 1)]; }
    void push_back(T valor) {
        if ((n_ >> kBits) == blocos_.size())
            blocos_.push_back(std::make_unique_for_overwrite<T[]>(kPorBloco));
        blocos_[n_ >> kBits][n_ & (kPorBloco - 1)] = valor;
        ++n_;
    }

private:
    std::vector<std::unique_ptr<T[]>> blocos_;
    size_t n_ = 0;
};

// Texts one after another in blocks of 1 MB; a text never straddles two blocks.
// A text is known by where it ends and where the one before it ends.
class TextosEmBlocos {
public:
    static constexpr unsigned kBits = 20;
    static constexpr size_t kBloco = size_t(1) << kBits;

    // Where the texts end so far (counting the unused tails of full blocks).
    uint64_t Fim() const { return fim_; }
    // Appends a text of 1 to kBloco bytes; returns where it ends.
    uint64_t Anexa(std::string_view texto);
    // The text that ends at `fim`, the one before it ending at `fimAnterior`.
    std::string_view Texto(uint64_t fimAnterior, uint64_t fim) const {
        const size_t bloco = static_cast<size_t>((fim - 1) >> kBits);
        const uint64_t base = static_cast<uint64_t>(bloco) << kBits;
        const uint64_t inicio = fimAnterior > base ? fimAnterior : base;
        return std::string_view(blocos_[bloco].get() + (inicio - base), fim - inicio);
    }

private:
    std::vector<std::unique_ptr<char[]>> blocos_;
    uint64_t fim_ = 0;
};

}  // namespace detalhe

class GradePlanilha;

// The non-empty cells of one row, in column order. Valid while its grid lives.
class LinhaPlanilha {
public:
    size_t Quantidade() const { return quantidade_; }
    int Coluna(size_t i) const;
    std::string_view Texto(size_t i) const;
    // The text in `coluna`, empty when the row has none there.
    std::string_view Procura(int coluna) const;

private:
    friend class GradePlanilha;
    const GradePlanilha* grade_ = nullptr;
    size_t primeira_ = 0;
    size_t quantidade_ = 0;
};

// One sheet's non-empty cells held compactly: rows in order, each row's cells in
// column order, all texts in one block store (six bytes per cell besides its
// text). Built once, then only read; the driver and a staging table loaded from
// it share it.
class GradePlanilha {
public:
    static constexpr size_t kNenhuma = static_cast<size_t>(-1);

    AreaUsada Area() const { return area_; }
    size_t Celulas() const { return colunas_.size(); }
    // Memory the cells take, texts and their bookkeeping.
    uint64_t Bytes() const { return textos_.Fim() + 6 * Celulas() + 8 * linhas_.size(); }

    // The rows that have cells, by index in row order.
    size_t QuantasLinhas() const { return linhas_.size(); }
    int NumeroDaLinha(size_t r) const { return static_cast<int>(linhas_[r]); }
    // The index of row `linha`, or kNenhuma when it has no cells.
    size_t ProcuraLinha(int linha) const;
    LinhaPlanilha Linha(size_t r) const;

    int Coluna(size_t celula) const { return colunas_[celula]; }
    std::string_view Texto(size_t celula) const {
        return textos_.Texto(celula == 0 ? 0 : fins_[celula - 1], fins_[celula]);
    }

    // Building. Texts are 1 to 32767 bytes and the grid stays under 4 GB (callers
    // check Bytes). Cells may come in any order, at most once each (a repeated
    // cell: the later one counts); Termina sorts them when they did not come row
    // by row and left to right.
    void Anexa(int linha, int coluna, std::string_view texto);
    void Termina(AreaUsada area);

private:
    AreaUsada area_;
    detalhe::TextosEmBlocos textos_;
    detalhe::VetorEmBlocos<uint16_t> colunas_;
    detalhe::VetorEmBlocos<uint32_t> fins_;
    std::vector<uint32_t> linhas_;     // numbers of the rows that have cells
    std::vector<uint32_t> primeiras_;  // each such row's first cell
    // Only once cells came out of order: every cell's row.
    bool emOrdem_ = true;
    std::unique_ptr<detalhe::VetorEmBlocos<uint32_t>> linhaDaCelula_;
};

inline int LinhaPlanilha::Coluna(size_t i) const { return grade_->Coluna(primeira_ + i); }
inline std::string_view LinhaPlanilha::Texto(size_t i) const {
    return grade_->Texto(primeira_ + i);
}

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

    // The column's letters: 1 "A", 26 "Z", 27 "AA", 702 "ZZ", 703 "AAA".
    static std::string LetraColuna(int coluna);

    // The current sheet as read, for the staging load to share instead of asking
    // cell by cell. It stays valid after the driver moves on.
    std::shared_ptr<const GradePlanilha> Planilha();

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
};

}  // namespace conversor::intake
