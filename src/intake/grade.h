// One sheet's cells held in memory as read: what the workbook driver keeps of the
// current sheet and a staging table loaded from it shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "intake/leitor.h"
#include "intake/pacote_zstd.h"

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
    T& Ultimo() { return blocos_[(n_ - 1) >> kBits][(n_ - 1) & (kPorBloco - 1)]; }
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

class Compressor;

}  // namespace detalhe

class GradePlanilha;

// The non-empty cells of one row, in column order. Valid until its grid reads
// another row.
class LinhaPlanilha {
public:
    size_t Quantidade() const { return quantidade_; }
    int Coluna(size_t i) const { return colunas_[i]; }
    std::string_view Texto(size_t i) const { return textos_[i]; }
    // The text in `coluna`, empty when the row has none there.
    std::string_view Procura(int coluna) const;

private:
    friend class GradePlanilha;
    const int* colunas_ = nullptr;
    const std::string_view* textos_ = nullptr;
    size_t quantidade_ = 0;
};

// One sheet's non-empty cells held compactly: rows in order, each row's cells in
// column order, each cell its column's distance from the cell before, its length
// and its text, one after another. The rows go in groups of about 128 KB, each
// group compressed (zstd) on a thread of its own while the sheet is still being
// read: a sheet of a million rows by 132 columns then fits in well under a
// gigabyte. Reading a row unpacks its group; the last two groups read stay
// unpacked, so reading row after row, or a few rows back and forth, costs one
// unpacking per group. Built once, then read, on one thread at a time (reading
// changes those unpacked groups); the driver and a staging table loaded from it
// share it.
class GradePlanilha {
public:
    static constexpr size_t kNenhuma = static_cast<size_t>(-1);

    GradePlanilha();
    GradePlanilha(GradePlanilha&&) noexcept;
    GradePlanilha& operator=(GradePlanilha&&) noexcept;
    ~GradePlanilha();

    AreaUsada Area() const { return area_; }
    size_t Celulas() const { return celulas_; }
    // Memory the cells take, packed groups, the group being filled and the rows'
    // bookkeeping.
    uint64_t Bytes() const {
        return bytesGuardados_ + bruto_.size() + sizeof(LinhaIndice) * linhas_.size() +
               (soltas_ ? textosSoltos_.size() + sizeof(Solta) * soltas_->size() : 0);
    }

    // The rows that have cells, by index in row order.
    size_t QuantasLinhas() const { return linhas_.size(); }
    int NumeroDaLinha(size_t r) const { return static_cast<int>(linhas_[r].numero); }
    // The index of row `linha`, or kNenhuma when it has no cells.
    size_t ProcuraLinha(int linha) const;
    // Its texts stay valid until two other groups of rows were read.
    LinhaPlanilha Linha(size_t r) const;

    // Building. Texts are 1 to 32767 bytes. Cells may come in any order, at most
    // once each (a repeated cell: the later one counts); Termina sorts them when
    // they did not come row by row and left to right. Rows may be read between
    // additions.
    void Anexa(int linha, int coluna, std::string_view texto);
    void Termina(AreaUsada area);

private:
    struct LinhaIndice {
        uint32_t numero;  // the sheet row
        uint32_t grupo;   // the group of rows it is in
        uint32_t inicio;  // where it begins in its group, unpacked
        uint32_t celulas;
    };
    using Grupo = BlocoZstd;
    struct Desempacotado {
        size_t grupo = kNenhuma;
        std::string bytes;
    };
    struct Solta {
        uint32_t linha;
        uint32_t coluna;
        uint64_t inicio;  // in the loose texts
        uint32_t tamanho;
    };

    void FechaGrupo();
    void Recolhe(bool espera) const;
    std::string_view BytesDoGrupo(size_t g) const;
    void Desordena();

    AreaUsada area_;
    size_t celulas_ = 0;
    detalhe::VetorEmBlocos<LinhaIndice> linhas_;
    int ultimaColuna_ = 0;  // of the last cell added in order
    std::string bruto_;     // the group being filled, unpacked
    // Mutable: packing finishes, and groups are unpacked, as rows are read.
    mutable std::vector<Grupo> grupos_;
    mutable uint64_t bytesGuardados_ = 0;  // packed groups, and groups being packed
    mutable std::unique_ptr<detalhe::Compressor> compressor_;
    mutable Desempacotado cache_[2];
    mutable size_t proximoCache_ = 0;
    mutable size_t linhaLida_ = kNenhuma;
    mutable std::vector<int> colunasLidas_;
    mutable std::vector<std::string_view> textosLidos_;
    // Only once cells came out of order: every cell since the first.
    std::unique_ptr<std::vector<Solta>> soltas_;
    std::string textosSoltos_;
};

}  // namespace conversor::intake
