// What the benchmark programs share: terminal output, clocks, peak memory and the
// fixed random generator their workbooks are written with.
#pragma once

#include <stdlib.h>
#include <sys/resource.h>
#include <xlsxwriter.h>

#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "base/regional.h"

namespace conversor::bench {

using Relogio = std::chrono::steady_clock;

// Texts of the program are Windows-1252; the terminal wants UTF-8.
inline void Mostra(const char* formato, ...) {
    char texto[2048];
    va_list args;
    va_start(args, formato);
    std::vsnprintf(texto, sizeof texto, formato, args);
    va_end(args);
    std::fputs(Cp1252ParaUtf8(texto).c_str(), stdout);
    std::fflush(stdout);
}

inline double Segundos(Relogio::time_point desde) {
    return std::chrono::duration<double>(Relogio::now() - desde).count();
}

inline double PicoMemoriaMb() {
    rusage uso{};
    getrusage(RUSAGE_SELF, &uso);
    return static_cast<double>(uso.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// A small fixed generator (splitmix64): the same workbooks on every machine.
struct Sorteio {
    uint64_t estado;
    uint64_t Proximo() {
        uint64_t z = (estado += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t Ate(uint64_t n) { return Proximo() % n; }
    bool Chance(int porcento) { return Ate(100) < static_cast<uint64_t>(porcento); }
    template <size_t N>
    const char* De(const char* const (&lista)[N]) {
        return lista[Ate(N)];
    }
};

// A filler cell, as the columns no mapping reads hold them in any wide export. The
// column's place in a cycle of six picks the kind: codes, amounts, dates, one of ten
// cities, many distinct names, long free texts (some past the 100 characters kept).
inline void CelulaDeEnchimento(lxw_worksheet* aba, lxw_row_t linha, lxw_col_t coluna,
                               lxw_format* data, Sorteio& s, const char* const (&cidades)[10]) {
    char texto[128];
    switch (coluna % 6) {
        case 0:
            worksheet_write_number(aba, linha, coluna, static_cast<double>(s.Ate(1000000)),
                                   nullptr);
            break;
        case 1:
            worksheet_write_number(aba, linha, coluna, static_cast<double>(s.Ate(10000000)) / 100,
                                   nullptr);
            break;
        case 2:  // between 1990 and 2025
            worksheet_write_number(aba, linha, coluna, 32874.0 + static_cast<double>(s.Ate(12784)),
                                   data);
            break;
        case 3:
            worksheet_write_string(aba, linha, coluna, cidades[s.Ate(10)], nullptr);
            break;
        case 4:
            std::snprintf(texto, sizeof texto, "Cliente %llu da Silva",
                          static_cast<unsigned long long>(s.Ate(50000)));
            worksheet_write_string(aba, linha, coluna, texto, nullptr);
            break;
        default:
            std::snprintf(texto, sizeof texto,
                          "Rua %llu, n\xC2\xBA %llu - complemento %llu - bloco %llu - "
                          "apartamento %llu",
                          static_cast<unsigned long long>(s.Ate(5000)),
                          static_cast<unsigned long long>(s.Ate(3000)),
                          static_cast<unsigned long long>(s.Proximo() % 1000000000000ull),
                          static_cast<unsigned long long>(s.Ate(100)),
                          static_cast<unsigned long long>(s.Ate(1000)));
            worksheet_write_string(aba, linha, coluna, texto, nullptr);
    }
}

// A workbook being generated: its one sheet, "Cadastro", and a dd/mm/yyyy format for
// the dates written into it.
struct PastaGerada {
    lxw_workbook* pasta = nullptr;  // null when the file cannot be created
    lxw_worksheet* aba = nullptr;
    lxw_format* data = nullptr;
};

// Texts go inline into their cells when `textosNaLinha`, as shared strings otherwise.
inline PastaGerada NovaPasta(const std::string& caminho, bool textosNaLinha) {
    lxw_workbook_options opcoes{};
    opcoes.constant_memory = textosNaLinha ? LXW_TRUE : LXW_FALSE;
    PastaGerada r;
    r.pasta = workbook_new_opt(caminho.c_str(), &opcoes);
    if (!r.pasta) return r;
    r.aba = workbook_add_worksheet(r.pasta, "Cadastro");
    r.data = workbook_add_format(r.pasta);
    format_set_num_format(r.data, "dd/mm/yyyy");
    return r;
}

// The folder the workbooks go to: `dada` (created if needed), where they stay and are
// reused on the next run, or a new temporary folder named after `prefixo`. Empty
// when the temporary folder cannot be made.
inline std::filesystem::path PastaDeTrabalho(const std::string& dada, const char* prefixo) {
    if (!dada.empty()) {
        std::filesystem::create_directories(dada);
        return dada;
    }
    std::string modelo =
        (std::filesystem::temp_directory_path() / (std::string(prefixo) + "-XXXXXX")).string();
    if (!mkdtemp(modelo.data())) {
        std::perror("mkdtemp");
        return {};
    }
    return modelo;
}

}  // namespace conversor::bench
