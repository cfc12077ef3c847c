#include "intake/pacote_zstd.h"

#include <zstd.h>

#include <cstring>
#include <new>

namespace conversor::intake {

void EmpacotadorZstd::Libera::operator()(ZSTD_CCtx_s* c) const { ZSTD_freeCCtx(c); }
void DesempacotadorZstd::Libera::operator()(ZSTD_DCtx_s* c) const { ZSTD_freeDCtx(c); }

BlocoZstd EmpacotadorZstd::Empacota(std::string_view bruto) {
    if (!contexto_) contexto_.reset(ZSTD_createCCtx());
    if (!contexto_) throw std::bad_alloc();
    // Into room for the worst case, then kept at its exact size: with that room the
    // packing fails only for want of memory.
    const size_t limite = ZSTD_compressBound(bruto.size());
    auto area = std::make_unique_for_overwrite<char[]>(limite);
    const size_t n =
        ZSTD_compressCCtx(contexto_.get(), area.get(), limite, bruto.data(), bruto.size(), nivel_);
    if (ZSTD_isError(n)) throw std::bad_alloc();
    BlocoZstd bloco;
    bloco.dados = std::make_unique_for_overwrite<char[]>(n);
    std::memcpy(bloco.dados.get(), area.get(), n);
    bloco.tamanho = static_cast<uint32_t>(n);
    bloco.bruto = static_cast<uint32_t>(bruto.size());
    return bloco;
}

void DesempacotadorZstd::Desempacota(const BlocoZstd& bloco, std::string& destino) {
    if (!contexto_) contexto_.reset(ZSTD_createDCtx());
    if (!contexto_) throw std::bad_alloc();
    destino.resize(bloco.bruto);
    const size_t n = ZSTD_decompressDCtx(contexto_.get(), destino.data(), destino.size(),
                                         bloco.dados.get(), bloco.tamanho);
    if (ZSTD_isError(n) || n != bloco.bruto) throw std::bad_alloc();
}

}  // namespace conversor::intake
