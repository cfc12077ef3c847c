// What the benchmark programs share: terminal output, clocks, peak memory and the
// fixed random generator their workbooks are written with.
#pragma once

#include <stdlib.h>
#include <sys/resource.h>

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
