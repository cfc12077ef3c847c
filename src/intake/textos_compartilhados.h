// The shared-string table of an Excel 2007+ workbook, kept packed while its sheet is
// read.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "intake/pacote_zstd.h"

namespace conversor::intake {

// Bounds of the table, far above what Excel itself writes.
inline constexpr size_t kMaxTextosCompartilhados = size_t{1} << 26;
inline constexpr size_t kMaxBytesCompartilhados = size_t{1} << 30;

// Filled on a thread of its own while the worksheet is read: the strings are published
// a block at a time, and a reader that needs one not yet there waits for it.
//
// A sheet of a million rows can hold most of its text here, so the strings go in
// blocks of 128, each block compressed (zstd) once full: the table then takes about
// a third of its text. Files number their strings in order of first use, so a
// sheet reads mostly the newest blocks, which the reader keeps unpacked for a while,
// and strings it repeats (the same city, the same supplier...), which the reader
// keeps apart once it had to unpack one of them again.
class TextosCompartilhados {
public:
    TextosCompartilhados();
    ~TextosCompartilhados();
    TextosCompartilhados(const TextosCompartilhados&) = delete;
    TextosCompartilhados& operator=(const TextosCompartilhados&) = delete;

    // --- The loading thread.

    // False when the table would pass its bounds. A string is cut to the longest
    // cell text.
    bool Acrescenta(std::string_view t);

    // The load ended, with the reason when it failed.
    void Termina(std::exception_ptr erro);

    // --- The reader: one thread.

    // Strings published so far.
    size_t Quantos() const { return publicados_.load(std::memory_order_acquire); }

    // Only below Quantos(). Valid until the next call.
    std::string_view operator[](size_t i);

    // Waits until string i is published or the load ends. False when the whole table
    // has fewer strings; raises the load's failure.
    bool Espera(uint64_t i);

    // Waits for the end of the load; raises its failure.
    void EsperaFim() { Espera(UINT64_MAX); }

private:
    static constexpr size_t kPorBloco = 128;
    static constexpr size_t kMaxBlocos = kMaxTextosCompartilhados / kPorBloco;
    static constexpr size_t kPorSegmento = 4096;
    // Unpacked blocks kept by the reader: their number, and the bytes they may take
    // (a block of very long strings may take megabytes).
    static constexpr size_t kAbertos = 1024;
    static constexpr size_t kBytesAbertos = size_t{64} << 20;
    // The bytes the strings read again from blocks given up may take.
    static constexpr size_t kBytesRepetidos = size_t{64} << 20;

    // A block, packed: its texts one after another, then the end of each, as four
    // bytes.
    using Bloco = BlocoZstd;
    struct Aberto {
        size_t bloco = kMaxBlocos;  // none
        bool usado = false;
        std::string bytes;
    };

    void FechaBloco();
    void Publica(bool fim, std::exception_ptr erro);
    Aberto& Abre(size_t bloco);
    std::string_view TextoNoBloco(Aberto& aberto, size_t i);
    void Repete(size_t i, std::string_view texto);
    void Libera(Aberto& aberto);

    // Written by the loading thread before it publishes them; fixed, so readers never
    // see them move.
    std::array<std::unique_ptr<Bloco[]>, kMaxBlocos / kPorSegmento> blocos_;
    // The loading thread's own.
    EmpacotadorZstd compressor_;
    // The open block's texts and the end of each.
    std::string textos_;
    std::vector<uint32_t> fins_;
    size_t bytes_ = 0;
    size_t escritos_ = 0;

    // The reader's own.
    DesempacotadorZstd descompressor_;
    std::vector<Aberto> abertos_;
    std::unique_ptr<uint16_t[]> ondeAberto_;  // per block: its place in abertos_ + 1
    size_t ponteiro_ = 0;                     // the next unpacked block to give up
    size_t bytesAbertos_ = 0;
    size_t novos_ = 0;  // blocks from here on were never unpacked
    // Strings read again: their place and length in textosRepetidos_.
    std::unordered_map<uint32_t, std::pair<uint32_t, uint32_t>> repetidos_;
    std::string textosRepetidos_;

    std::atomic<size_t> publicados_{0};
    std::mutex mutex_;
    std::condition_variable mudou_;
    bool terminou_ = false;
    std::exception_ptr erro_;
};

}  // namespace conversor::intake
