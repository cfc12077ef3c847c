// What the fuzz targets share: the input written to a file of this process (the readers
// open files by name), and a whole reading of a workbook with checks on what the reader
// hands over.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "intake/leitor.h"

namespace conversor::fuzz {

// A file of this process, in memory when the machine has /dev/shm; removed at exit.
class ArquivoDaEntrada {
public:
    explicit ArquivoDaEntrada(const std::string& extensao) {
        const std::filesystem::path pasta = std::filesystem::is_directory("/dev/shm")
                                                ? "/dev/shm"
                                                : std::filesystem::temp_directory_path();
        caminho_ = (pasta / ("conversor-fuzz-" + std::to_string(getpid()) + extensao)).string();
    }
    ~ArquivoDaEntrada() { std::remove(caminho_.c_str()); }

    const std::string& Grava(const uint8_t* dados, size_t tamanho) {
        std::FILE* f = std::fopen(caminho_.c_str(), "wb");
        if (!f) __builtin_trap();
        if (tamanho && std::fwrite(dados, 1, tamanho, f) != tamanho) __builtin_trap();
        std::fclose(f);
        return caminho_;
    }
    const std::string& Caminho() const { return caminho_; }

private:
    std::string caminho_;
};

// Takes every cell, and traps on what the reader promises never to hand over: an
// address outside the sheet. (A cell the file gives twice may come twice: the driver
// keeps the later one.) Reading every byte of the text lets AddressSanitizer see a
// view into freed or foreign memory.
class VisitanteVerificador final : public intake::VisitanteCelulas {
public:
    void Celula(int linha, int coluna, std::string_view texto) override {
        if (linha < 1 || linha > intake::kMaxLinhas || coluna < 1 || coluna > intake::kMaxColunas)
            __builtin_trap();
        unsigned soma = 0;
        for (char c : texto) soma += static_cast<unsigned char>(c);
        sumidouro_ = sumidouro_ + soma;
    }

private:
    static inline volatile unsigned sumidouro_ = 0;  // keeps the reads from being optimised away
};

// Lists the sheets and reads each one (the first few of a workbook that lists many).
// A file that cannot be read must say so with ErroPlanilha; anything else escaping is
// a fault the fuzzer reports.
inline void LeTudo(intake::LeitorPlanilha& leitor) {
    size_t abas = 0;
    try {
        abas = leitor.Abas().size();
    } catch (const intake::ErroPlanilha&) {
        return;
    }
    for (size_t i = 1; i <= abas && i <= 8; ++i) {
        VisitanteVerificador visitante;
        try {
            const intake::AreaUsada area = leitor.LeAba(static_cast<int>(i), visitante);
            if (area.ultimaLinha < 0 || area.ultimaLinha > intake::kMaxLinhas ||
                area.ultimaColuna < 0 || area.ultimaColuna > intake::kMaxColunas)
                __builtin_trap();
        } catch (const intake::ErroPlanilha&) {
            // One damaged sheet does not keep the others from being read.
        }
    }
}

template <typename Abre>
void AbreELe(Abre abre, const std::string& caminho) {
    std::unique_ptr<intake::LeitorPlanilha> leitor;
    try {
        leitor = abre(caminho);
    } catch (const intake::ErroPlanilha&) {
        return;
    }
    LeTudo(*leitor);
}

}  // namespace conversor::fuzz
