// Columns and cells of a sheet as the spreadsheet application names them.
#pragma once

#include <string>

namespace conversor {

// The column's letters: 1 "A", 26 "Z", 27 "AA", 702 "ZZ", 703 "AAA", 16384 "XFD";
// empty below 1. A number from a damaged file keeps only its last eight letters, so
// the message that shows it stays short.
inline std::string LetraColuna(long long coluna) {
    std::string letras;
    for (long long n = coluna; n > 0 && letras.size() < 8; n = (n - 1) / 26)
        letras.insert(letras.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letras;
}

// A cell's address for messages: "B5", "XFD1048576".
inline std::string EnderecoCelula(long long linha, long long coluna) {
    return LetraColuna(coluna) + std::to_string(linha);
}

}  // namespace conversor
