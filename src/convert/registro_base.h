// What the record converters share: the row's values, the column table that describes
// them, and the reset and the INSERT that both come from that table. Each record keeps
// its own table, setters and statement texts; the base only runs them.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "convert/colunas.h"
#include "convert/conversao.h"

namespace conversor::convert {

// How a record's INSERT reaches the database.
enum class FormaGravacao {
    // Built with the values in its text (MontaInsert) and run as ExecutaLinha runs a
    // row: prepared and bound, or as its own text.
    Texto,
    // One fixed statement with a named parameter per column, each value bound.
    Parametros,
};

// The base of a record `R` (which derives from TRegistro<F, R>) whose values `F` holds.
// What a record writes, and how, it makes public with using-declarations: the same
// base serves records that insert as text, with parameters, or write no rows at all.
template <class F, class R>
class TRegistro : public TConversao {
public:
    const F& Campos() const { return campos_; }

    // Every column not kept back to its initial value, through its setter when it
    // has one.
    void Limpa() { Reinicia<F, R>(colunas_, Proprio(), campos_); }

protected:
    using Colunas = std::span<const Coluna<F, R>>;

    // `insert` frames the row's INSERT; a record that writes no rows has none. The
    // table and the frame must outlive the record (they are the record's constants).
    TRegistro(db::Conexao& database, Mensagens& mensagens, Colunas colunas,
              const FormaInsert* insert, FormaGravacao forma, bool comandosPreparados = true)
        : TConversao(database, mensagens, comandosPreparados), colunas_(colunas), insert_(insert) {
        if (insert && forma == FormaGravacao::Parametros) parametros_.emplace(*insert, colunas);
    }

    // The INSERT of the held row, with the values written or as parameters (see
    // MontagemSql); the statement text alone.
    void MontaInsert(MontagemSql& sql) const {
        convert::MontaInsert<F, R>(sql, *insert_, colunas_, campos_);
    }
    std::string TextoInsert() const {
        MontagemSql sql(false);
        MontaInsert(sql);
        return sql.sql;
    }

    // Writes the held row in the connection's transaction, then resets it with the
    // record's own Limpa; true when it returns. A database error is raised and leaves
    // the values as they were.
    bool Inserir() {
        if (parametros_) {
            parametros_->Prepara(Query(), campos_);
            Query().Executa();
        } else {
            ExecutaLinha([this](MontagemSql& sql) { MontaInsert(sql); });
        }
        Proprio().Limpa();
        return true;
    }

    F campos_;

private:
    R& Proprio() { return static_cast<R&>(*this); }

    Colunas colunas_;
    const FormaInsert* insert_;
    std::optional<InsertComParametros<F, R>> parametros_;
};

}  // namespace conversor::convert
