// What a failure reported by Firebird means for the user and for the run: the
// database's own text is English and names the symptom ("I/O error during "lock"
// operation"), while the user needs to know what to do about it.
#pragma once

#include <cstdint>
#include <string>

namespace conversor::db {

struct Diagnostico {
    // A Portuguese sentence saying what is wrong and, where it helps, what to do;
    // empty when the database's own text is all there is to say.
    std::string explicacao;
    // The database as a whole refuses the work (missing, not a database, read-only,
    // in use elsewhere, shut down, out of disk space, connection lost, a table or
    // column missing): every later statement of the run would fail the same way.
    bool grave = false;
    // Another connection holds what the work must change (a lock it did not release
    // within the transaction's wait, or a change it made meanwhile).
    bool ocupado = false;
};

// What a busy database is told as.
extern const char* const kDadosEmUsoPorOutraConexao;

// From a Firebird status vector (the client library's error list).
Diagnostico DiagnosticaFalha(const std::intptr_t* erros);

// A refused connection whose file another process's engine holds open: another
// conversion, the Vantora, or a Firebird server.
bool ArquivoEmUso(const std::intptr_t* erros);

// A key refused (repeated, or missing where it is referred to): what the engine also
// reports once its wait for another connection's uncommitted key runs out.
bool ChaveRecusada(const std::intptr_t* erros);

// A refused connection to a server that did not answer (none listening on the host).
bool ServidorNaoResponde(const std::intptr_t* erros);

}  // namespace conversor::db
