// The one exception type for database failures.
#pragma once

#include <stdexcept>
#include <string>

namespace conversor::db {

// A failure reported by the database or its client library. The message is the
// database's own text (the status vector as the client library formats it), so the
// run can show it after "Motivo: ".
class ErroBanco : public std::runtime_error {
public:
    explicit ErroBanco(const std::string& mensagem, std::string sqlState = {})
        : std::runtime_error(mensagem), sqlState_(std::move(sqlState)) {}
    const std::string& SqlState() const { return sqlState_; }

private:
    std::string sqlState_;
};

}  // namespace conversor::db
