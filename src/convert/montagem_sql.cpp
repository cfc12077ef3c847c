#include "convert/montagem_sql.h"

#include <charconv>
#include <cmath>

#include "base/regional.h"

namespace conversor::convert {

namespace {

// The longest text a parameter takes (the database's limit for one value).
constexpr size_t kMaiorTexto = 32765;

// Powers of ten that a double holds exactly.
constexpr double kPotencias[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// A statement may hold no more distinct texts than this (a products row varies in
// three optional columns, a client row in four).
constexpr size_t kMaisConsultas = 16;

}  // namespace

bool MontagemSql::DoubleDoTexto(double valor, double& lido) {
    if (!std::isfinite(valor)) return false;
    // The text writes -0 as 0.
    if (valor == 0) {
        lido = 0.0;
        return true;
    }
    const double absoluto = std::fabs(valor);
    // The usual amounts (prices, rates, quantities) are a whole number of at most 15
    // digits over a power of ten, and the double nearest to it: the text then
    // writes exactly that decimal, and the database, dividing the digits by the
    // power of ten, comes back to the same double.
    if (absoluto >= 1e-4 && absoluto < 1e14) {
        for (const double potencia : kPotencias) {
            const double inteiro = std::round(valor * potencia);
            if (std::fabs(inteiro) >= 1e15) break;
            if (inteiro / potencia == valor) {
                lido = valor;
                return true;
            }
        }
    }
    // Any other double: what its 15-digit text reads as, unless the text needs
    // an exponent.
    const std::string texto = NumeroParaSql(valor);
    if (texto.find_first_not_of("-.0123456789") != std::string::npos) return false;
    const auto r = std::from_chars(texto.data(), texto.data() + texto.size(), lido);
    return r.ec == std::errc() && r.ptr == texto.data() + texto.size();
}

MontagemSql::Valor& MontagemSql::Acrescenta(Valor::Tipo tipo) {
    if (usados_ == valores_.size()) valores_.emplace_back();
    Valor& v = valores_[usados_++];
    v.tipo = tipo;
    char marca[16] = ":P";
    const auto r = std::to_chars(marca + 2, marca + sizeof marca, usados_ - 1);
    sql.append(marca, r.ptr);
    return v;
}

MontagemSql& MontagemSql::Texto(std::string_view valor) {
    if (!parametros_) {
        sql += Aspas(valor);
        return *this;
    }
    if (valor.size() > kMaiorTexto) fiel_ = false;
    Acrescenta(Valor::Tipo::Texto).texto.assign(valor);
    return *this;
}

MontagemSql& MontagemSql::Numero(double valor) {
    if (!parametros_) {
        sql += NumeroParaSql(valor);
        return *this;
    }
    if (!DoubleDoTexto(valor, Acrescenta(Valor::Tipo::Numero).numero)) fiel_ = false;
    return *this;
}

MontagemSql& MontagemSql::Inteiro(std::int32_t valor) {
    if (!parametros_) {
        sql += std::to_string(valor);
        return *this;
    }
    Acrescenta(Valor::Tipo::Inteiro).inteiro = valor;
    return *this;
}

MontagemSql& MontagemSql::Constante(std::string_view valor) {
    if (!parametros_) {
        sql += '"';
        sql += valor;
        sql += '"';
        return *this;
    }
    Acrescenta(Valor::Tipo::Texto).texto.assign(valor);
    return *this;
}

MontagemSql& MontagemSql::Nulo() {
    if (!parametros_) {
        sql += "NULL";
        return *this;
    }
    Acrescenta(Valor::Tipo::Nulo);
    return *this;
}

void PreparadosPorTexto::Executa(const MontagemSql& montagem) {
    db::Consulta* q = nullptr;
    for (const auto& c : consultas_)
        if (c->Sql() == montagem.sql) q = c.get();
    if (!q) {
        if (consultas_.size() >= kMaisConsultas) consultas_.erase(consultas_.begin());
        consultas_.push_back(std::make_unique<db::Consulta>(conexao_));
        q = consultas_.back().get();
    }
    q->DefineSql(montagem.sql);
    const std::span<const MontagemSql::Valor> valores = montagem.Valores();
    for (size_t i = 0; i < valores.size(); ++i) {
        const int p = static_cast<int>(i);
        const MontagemSql::Valor& v = valores[i];
        switch (v.tipo) {
            case MontagemSql::Valor::Tipo::Texto:
                q->ParamTexto(p, v.texto);
                break;
            case MontagemSql::Valor::Tipo::Numero:
                q->ParamDouble(p, v.numero);
                break;
            case MontagemSql::Valor::Tipo::Inteiro:
                q->ParamInteiro(p, v.inteiro);
                break;
            case MontagemSql::Valor::Tipo::Nulo:
                q->ParamNulo(p);
                break;
        }
    }
    q->Executa();
}

}  // namespace conversor::convert
