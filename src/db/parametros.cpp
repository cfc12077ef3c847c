#include "db/parametros.h"

#include "base/regional.h"

namespace conversor::db {

namespace {

bool InicioDeNome(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool ParteDeNome(char c) { return InicioDeNome(c) || (c >= '0' && c <= '9') || c == '$'; }

}  // namespace

TextoPosicional TraduzParametros(std::string_view sql) {
    TextoPosicional r;
    r.sql.reserve(sql.size());
    size_t i = 0;
    const size_t n = sql.size();
    while (i < n) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            // A literal or quoted identifier runs to the next lone quote; a doubled
            // quote stays inside it.
            size_t fim = i + 1;
            while (fim < n) {
                if (sql[fim] == c) {
                    if (fim + 1 < n && sql[fim + 1] == c)
                        fim += 2;
                    else
                        break;
                } else {
                    ++fim;
                }
            }
            fim = fim < n ? fim + 1 : n;
            r.sql.append(sql.substr(i, fim - i));
            i = fim;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            const size_t fim = sql.find('\n', i);
            const size_t ate = fim == std::string_view::npos ? n : fim;
            r.sql.append(sql.substr(i, ate - i));
            i = ate;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const size_t fim = sql.find("*/", i + 2);
            const size_t ate = fim == std::string_view::npos ? n : fim + 2;
            r.sql.append(sql.substr(i, ate - i));
            i = ate;
        } else if (c == ':' && i + 1 < n && InicioDeNome(sql[i + 1])) {
            size_t fim = i + 1;
            while (fim < n && ParteDeNome(sql[fim])) ++fim;
            r.nomes.push_back(Maiusculas(sql.substr(i + 1, fim - i - 1)));
            r.sql += '?';
            i = fim;
        } else {
            r.sql += c;
            ++i;
        }
    }
    return r;
}

bool EhComandoCommit(std::string_view sql) {
    std::string t = Maiusculas(Apara(sql));
    if (!t.empty() && t.back() == ';') t = Apara(t.substr(0, t.size() - 1));
    return t == "COMMIT";
}

}  // namespace conversor::db
