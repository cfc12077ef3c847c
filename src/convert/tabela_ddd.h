// The city table DCETCIDA.DBF (dBASE, Windows-1252): the telephone area code (DDD) of
// each city by city name and state. Read once into memory, then looked up by key.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>

namespace conversor::convert {

// The city table is missing or cannot be read; the message names the file.
class ErroTabelaCidades : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TabelaDDD {
public:
    // Reads every row of the file (a file system path). Raises ErroTabelaCidades.
    explicit TabelaDDD(const std::string& arquivo);

    // The DDD column of the first row with that city and state, or empty. Letter
    // case, accents and trailing blanks play no part; leading blanks do.
    std::string Procura(std::string_view cidade, std::string_view estado) const;

    // DCETCIDA.DBF in the folder of the running executable.
    static std::string ArquivoPadrao();

    // The text as the lookup compares it: trailing blanks dropped, letters without
    // accents and upper-cased (Windows-1252).
    static std::string Chave(std::string_view texto);

    size_t Tamanho() const { return ddd_.size(); }

private:
    struct HashChave {
        size_t operator()(const std::pair<std::string, std::string>& k) const noexcept;
    };
    // (city, state) keys -> DDD as stored.
    std::unordered_map<std::pair<std::string, std::string>, std::string, HashChave> ddd_;
};

}  // namespace conversor::convert
