// One sheet's cells held in memory as read: what the workbook driver keeps of the
// current sheet and a staging table loaded from it shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
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

}  // namespace conversor::intake
