// What the access layer shares internally about Firebird's own C++ interface.
#pragma once

#include <firebird/Interface.h>

#include <string>

#include "db/erro.h"

namespace conversor::db::fb {

Firebird::IMaster* Mestre();

ErroBanco ErroDe(Firebird::IStatus* status);

// Runs `acao` with a throwing status wrapper; a Firebird failure becomes ErroBanco with
// the client library's formatted message.
template <typename Acao>
auto Chama(Acao&& acao) {
    Firebird::ThrowStatusWrapper status(Mestre()->getStatus());
    struct Libera {
        Firebird::ThrowStatusWrapper& s;
        ~Libera() { s.dispose(); }
    } libera{status};
    try {
        return acao(&status);
    } catch (const Firebird::FbException& e) {
        throw ErroDe(e.getStatus());
    }
}

}  // namespace conversor::db::fb
