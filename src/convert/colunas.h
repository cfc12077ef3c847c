// How a record describes its columns, once: the target column as the statement names
// it, the width its rule keeps, the kind of value, where the record holds it and the
// setter that cleans it. The record's INSERT text, the values it binds and its reset
// all come from that one table.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "base/regional.h"
#include "convert/montagem_sql.h"
#include "db/consulta.h"

namespace conversor::convert {

enum class TipoColuna {
    Texto,
    Numero,      // a double
    Inteiro,     // a 32-bit integer
    Opcional,    // a text the statement names only when it is filled
    Constante,   // a fixed text (`inicial`) the record does not hold, in double quotes
    Blob,        // a text bound to a blob parameter
    Data,        // a date text in the short date format, bound as a date
    DataNumero,  // a day number (from 30/12/1899), bound as a date
};

// One column of a record whose values `Campos` holds and whose setters `Registro` has.
template <class Campos, class Registro>
struct Coluna {
    using Setter = void (Registro::*)(std::string_view);
    // A cleaning applied when the row is written rather than when the value is set,
    // with the column's width.
    using Regra = std::string (*)(std::string_view texto, int largura);

    const char* nome;  // as the statement names it
    int largura;       // the characters the column's rule keeps; 0: not cut (and numbers)
    TipoColuna tipo;
    std::string Campos::*texto = nullptr;
    double Campos::*numero = nullptr;
    std::int32_t Campos::*inteiro = nullptr;
    Setter define = nullptr;          // the setter with the column's cleaning, or none
    const char* inicial = "";         // what a reset sets (through `define` when there is one)
    bool mantem = false;              // a reset leaves the value
    const char* parametro = nullptr;  // the bound parameter's name (bound statements)
    Regra regra = nullptr;
    // What follows the column in the column list and its value in the value list,
    // where it differs from the statement's separators.
    const char* aposNome = nullptr;
    const char* aposValor = nullptr;

    static constexpr Coluna Texto(const char* nome, int largura, std::string Campos::*campo,
                                  Setter define = nullptr, const char* inicial = "") {
        return {nome, largura, TipoColuna::Texto, campo, nullptr, nullptr, define, inicial};
    }
    static constexpr Coluna Numero(const char* nome, double Campos::*campo) {
        return {nome, 0, TipoColuna::Numero, nullptr, campo};
    }
    static constexpr Coluna Inteiro(const char* nome, std::int32_t Campos::*campo) {
        return {nome, 0, TipoColuna::Inteiro, nullptr, nullptr, campo};
    }
    static constexpr Coluna Opcional(const char* nome, int largura, std::string Campos::*campo,
                                     Setter define = nullptr) {
        return {nome, largura, TipoColuna::Opcional, campo, nullptr, nullptr, define};
    }
    static constexpr Coluna Constante(const char* nome, const char* valor) {
        return {nome, 0, TipoColuna::Constante, nullptr, nullptr, nullptr, nullptr, valor};
    }

    // The same column kept by a reset, bound as `parametro`, with its own separators.
    constexpr Coluna Mantida() const {
        Coluna c = *this;
        c.mantem = true;
        return c;
    }
    constexpr Coluna Como(TipoColuna outro) const {
        Coluna c = *this;
        c.tipo = outro;
        return c;
    }
    constexpr Coluna Parametro(const char* nomeParametro, Regra regraNaGravacao = nullptr) const {
        Coluna c = *this;
        c.parametro = nomeParametro;
        c.regra = regraNaGravacao;
        return c;
    }
    constexpr Coluna Separadores(const char* depoisDoNome, const char* depoisDoValor) const {
        Coluna c = *this;
        c.aposNome = depoisDoNome;
        c.aposValor = depoisDoValor;
        return c;
    }
};

// The frame of an INSERT: inicio, the columns, meio, the values, fim; the columns and
// the values separated as given unless a column says otherwise.
struct FormaInsert {
    const char* inicio;
    const char* meio;
    const char* fim;
    const char* entreNomes = ", ";
    const char* entreValores = ", ";
};

// Every column not kept back to its initial value.
template <class Campos, class Registro>
void Reinicia(std::span<const Coluna<Campos, Registro>> colunas, Registro& registro,
              Campos& campos) {
    for (const auto& c : colunas) {
        if (c.mantem) continue;
        if (c.define)
            (registro.*c.define)(c.inicial);
        else if (c.texto)
            campos.*c.texto = c.inicial;
        else if (c.numero)
            campos.*c.numero = 0;
        else if (c.inteiro)
            campos.*c.inteiro = 0;
    }
}

// A text column's value as it goes to the database.
template <class Campos, class Registro>
std::string ValorTexto(const Coluna<Campos, Registro>& c, const Campos& campos) {
    const std::string& v = campos.*c.texto;
    return c.regra ? c.regra(v, c.largura) : v;
}

template <class Campos, class Registro>
bool Escrita(const Coluna<Campos, Registro>& c, const Campos& campos) {
    return c.tipo != TipoColuna::Opcional || !(campos.*c.texto).empty();
}

// The INSERT with the values in the text (or as parameters, see MontagemSql).
template <class Campos, class Registro>
void MontaInsert(MontagemSql& sql, const FormaInsert& forma,
                 std::span<const Coluna<Campos, Registro>> colunas, const Campos& campos) {
    const size_t inicio = sql.sql.size();
    std::string nomes = forma.inicio;
    const Coluna<Campos, Registro>* anterior = nullptr;
    for (const auto& c : colunas) {
        if (!Escrita(c, campos)) continue;
        if (anterior) {
            nomes += anterior->aposNome ? anterior->aposNome : forma.entreNomes;
            sql << (anterior->aposValor ? anterior->aposValor : forma.entreValores);
        }
        anterior = &c;
        nomes += c.nome;
        switch (c.tipo) {
            case TipoColuna::Numero:
                sql.Numero(campos.*c.numero);
                break;
            case TipoColuna::Inteiro:
                sql.Inteiro(campos.*c.inteiro);
                break;
            case TipoColuna::Constante:
                sql.Constante(c.inicial);
                break;
            default:
                if (c.regra)
                    sql.Texto(c.regra(campos.*c.texto, c.largura));
                else
                    sql.Texto(campos.*c.texto);
                break;
        }
    }
    nomes += forma.meio;
    sql.sql.insert(inicio, nomes);
    sql << forma.fim;
}

// The INSERT with a named parameter in each value's place.
template <class Campos, class Registro>
std::string TextoInsertParametros(const FormaInsert& forma,
                                  std::span<const Coluna<Campos, Registro>> colunas) {
    std::string nomes = forma.inicio, valores;
    bool primeira = true;
    for (const auto& c : colunas) {
        if (!primeira) {
            nomes += forma.entreNomes;
            valores += forma.entreValores;
        }
        primeira = false;
        nomes += c.nome;
        valores += ':';
        valores += c.parametro;
    }
    return nomes + forma.meio + valores + forma.fim;
}

// Binds each column's value to its parameter.
template <class Campos, class Registro>
void Vincula(db::Consulta& q, std::span<const Coluna<Campos, Registro>> colunas,
             const Campos& campos) {
    for (const auto& c : colunas) {
        switch (c.tipo) {
            case TipoColuna::Numero:
                q.ParamDouble(c.parametro, campos.*c.numero);
                break;
            case TipoColuna::Inteiro:
                q.ParamInteiro(c.parametro, campos.*c.inteiro);
                break;
            case TipoColuna::Blob:
                q.ParamBlobTexto(c.parametro, ValorTexto(c, campos));
                break;
            case TipoColuna::Data:
                q.ParamDataHora(c.parametro, TextoParaData(ValorTexto(c, campos)));
                break;
            case TipoColuna::DataNumero:
                q.ParamDataHora(c.parametro, campos.*c.numero);
                break;
            default:
                q.ParamTexto(c.parametro, ValorTexto(c, campos));
                break;
        }
    }
}

// A record's INSERT with a named parameter in each value's place: its text built once,
// set on a query with a row's values bound before each run.
template <class Campos, class Registro>
class InsertComParametros {
public:
    InsertComParametros(const FormaInsert& forma, std::span<const Coluna<Campos, Registro>> colunas)
        : colunas_(colunas), texto_(TextoInsertParametros<Campos, Registro>(forma, colunas)) {}

    // Ready to run on `q`; running it is the caller's, who decides what a refusal means.
    void Prepara(db::Consulta& q, const Campos& campos) const {
        q.DefineSql(texto_);
        Vincula<Campos, Registro>(q, colunas_, campos);
    }

private:
    std::span<const Coluna<Campos, Registro>> colunas_;
    std::string texto_;
};

}  // namespace conversor::convert
