// Statement texts with named parameters (":NAME") turned into the positional form the
// database takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace conversor::db {

struct TextoPosicional {
    std::string sql;                 // every ":NAME" replaced by "?"
    std::vector<std::string> nomes;  // the name of each "?", in order, upper-cased
};

// Finds ":NAME" outside string literals, quoted identifiers and comments. A name
// may repeat; names are matched without regard to case.
TextoPosicional TraduzParametros(std::string_view sql);

// "Commit", "COMMIT", "Commit;" or "COMMIT;" in any case, blanks around: the statement
// that commits the connection's transaction.
bool EhComandoCommit(std::string_view sql);

}  // namespace conversor::db
