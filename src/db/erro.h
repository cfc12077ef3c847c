// The one exception type for database failures.
#pragma once

#include <stdexcept>
#include <string>

namespace conversor::db {

// A failure reported by the database or its client library. The message is the
// database's own text (the status vector as the client library formats it), after a
// line in Portuguese where the failure is one the user can act on, so the run can
// show it after "Motivo: ". A grave failure is one of the database as a
// whole (unreachable, read-only, out of space, a table missing...) rather than of one
// row: the operations that report a failure and let the run go on raise these instead.
// A busy database (another connection holds rows the run must change, past the wait
// the transaction allows) is grave too: no row of the sheet is at fault, and every
// later row could wait as long again.
class ErroBanco : public std::runtime_error {
public:
    explicit ErroBanco(const std::string& mensagem, std::string sqlState = {}, bool grave = false,
                       bool ocupado = false)
        : std::runtime_error(mensagem),
          sqlState_(std::move(sqlState)),
          grave_(grave || ocupado),
          ocupado_(ocupado) {}
    const std::string& SqlState() const { return sqlState_; }
    bool Grave() const { return grave_; }
    bool Ocupado() const { return ocupado_; }

private:
    std::string sqlState_;
    bool grave_;
    bool ocupado_;
};

// The one rule for a failure met while converting a row: the row's own failure is
// absorbed by the caller (noted, warned about) and the run goes on; a grave one ends
// the run, so that no run reports success over a database that refused it. Called
// inside a catch block, it raises the exception being handled again when it is grave.
inline void RelancaSeGrave() {
    try {
        throw;
    } catch (const ErroBanco& e) {
        if (e.Grave()) throw;
    } catch (...) {
    }
}

}  // namespace conversor::db
