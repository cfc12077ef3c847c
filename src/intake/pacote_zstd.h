// Blocks of bytes kept packed with zstd: what the grid of a sheet and the shared
// strings of a workbook hold in memory while the sheet is read.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct ZSTD_CCtx_s;
struct ZSTD_DCtx_s;

namespace conversor::intake {

// A packed block, kept at its exact size.
struct BlocoZstd {
    std::unique_ptr<char[]> dados;  // null while it is being packed
    uint32_t tamanho = 0;           // packed
    uint32_t bruto = 0;             // unpacked
};

// Packs blocks at one level, with one zstd context kept from one block to the next.
// One thread at a time; the context is made on the first block.
class EmpacotadorZstd {
public:
    explicit EmpacotadorZstd(int nivel) : nivel_(nivel) {}

    // Raises std::bad_alloc when memory runs out, the only way the packing fails.
    BlocoZstd Empacota(std::string_view bruto);

private:
    struct Libera {
        void operator()(ZSTD_CCtx_s* c) const;
    };
    std::unique_ptr<ZSTD_CCtx_s, Libera> contexto_;
    int nivel_;
};

// Unpacks blocks, with one zstd context kept from one block to the next. One thread
// at a time; the context is made on the first block.
class DesempacotadorZstd {
public:
    // The block's bytes into `destino`, whose storage is reused. Raises
    // std::bad_alloc when memory runs out or the block does not unpack to its size.
    void Desempacota(const BlocoZstd& bloco, std::string& destino);

private:
    struct Libera {
        void operator()(ZSTD_DCtx_s* c) const;
    };
    std::unique_ptr<ZSTD_DCtx_s, Libera> contexto_;
};

}  // namespace conversor::intake
