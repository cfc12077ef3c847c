// The statements whose values the converters write into the text (products, product
// detail, stock movement, clients, suppliers), built once for two ways of sending
// them: as the text with the values written in, which the database compiles anew
// for every row, or as the same text with a parameter in each value's place,
// prepared once and run with the row's values bound. Both store the same bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::convert {

class MontagemSql {
public:
    // `parametros`: a parameter (":P1", ":P2", ...) in each value's place.
    explicit MontagemSql(bool parametros) : parametros_(parametros) {}

    // Empties it for the next row, keeping the memory its texts have grown to.
    void Reinicia() {
        sql.clear();
        usados_ = 0;
        fiel_ = true;
    }

    // The statement so far; fixed pieces are appended here directly.
    std::string sql;

    MontagemSql& operator<<(std::string_view trecho) {
        sql += trecho;
        return *this;
    }

    // A text in single quotes, inner single quotes doubled ('' when empty).
    MontagemSql& Texto(std::string_view valor);
    // A number in the number rule, with "." as decimal separator.
    MontagemSql& Numero(double valor);
    MontagemSql& Inteiro(std::int32_t valor);
    // A text constant in double quotes, which SQL dialect 1 reads as a string.
    MontagemSql& Constante(std::string_view valor);
    MontagemSql& Nulo();

    bool Parametros() const { return parametros_; }

    // False when some value would not reach the database exactly as its written
    // form does (a number that the text writes in exponent notation, a text longer
    // than a parameter takes): such a row goes as text.
    bool Fiel() const { return fiel_; }

    struct Valor {
        enum class Tipo { Texto, Numero, Inteiro, Nulo };
        Tipo tipo;
        std::string texto;
        double numero = 0;
        std::int32_t inteiro = 0;
    };
    std::span<const Valor> Valores() const { return {valores_.data(), usados_}; }

    // The double that the database reads from the number as a statement text writes
    // it (15 significant digits): false when that text is in exponent notation or
    // not a number at all, whose reading is left to the database.
    static bool DoubleDoTexto(double valor, double& lido);

private:
    // The next value's place, with a parameter for it in the text.
    Valor& Acrescenta(Valor::Tipo tipo);

    bool parametros_;
    bool fiel_ = true;
    // The first usados_ are this row's; the rest are kept from longer rows.
    std::vector<Valor> valores_;
    size_t usados_ = 0;
};

// The prepared statements of one converter, one per distinct text, each prepared at
// its first row and reused for the rows after it.
class PreparadosPorTexto {
public:
    explicit PreparadosPorTexto(db::Conexao& conexao) : conexao_(conexao) {}

    // Runs a statement built with parameters, binding its values.
    void Executa(const MontagemSql& montagem);

private:
    db::Conexao& conexao_;
    std::vector<std::unique_ptr<db::Consulta>> consultas_;
};

}  // namespace conversor::convert
