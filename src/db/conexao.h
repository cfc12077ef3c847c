// The connection to a Vantora database (the window's `dbVantora`) and its one
// transaction (`DBTransaction`).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "db/erro.h"
#include "db/posse_fb.h"

namespace Firebird {
class IAttachment;
class ITransaction;
}  // namespace Firebird

namespace conversor::db {

class Conexao;

// How long a statement waits for a row another connection holds (the Vantora, another
// conversion) before the database is reported busy: long enough for the ERP's own
// short transactions to end, short enough that a run never hangs unnoticed.
inline constexpr int kEsperaPorTravaSegundos = 5;

// The connection's only transaction: the database's default behaviour (concurrency,
// read-write, waiting on locks), except that a lock is waited for at most
// kEsperaPorTravaSegundos; nothing ends it automatically. A statement executed or a
// query opened while none is active starts one, which stays active.
class Transacao {
public:
    void Inicia();
    // Does nothing while the connection rehearses (the transaction stays active).
    void Confirma();
    void Desfaz();
    bool Ativa() const { return static_cast<bool>(atual_); }

private:
    friend class Conexao;
    friend class Consulta;
    explicit Transacao(Conexao& conexao);
    Firebird::ITransaction* Corrente();  // the active one, started if none is
    void Abandona();                     // forgets it without a word to the database

    Conexao& conexao_;
    fb::Posse<Firebird::ITransaction> atual_;
};

// The Vantora installation's administrator, whom every connection logs in as; the
// tests and tools hand the same to Firebird's own command-line tools, and
// scripts/servidor_firebird.sh reads the password from here.
inline constexpr const char* kUsuarioSysdba = "SYSDBA";
inline constexpr const char* kSenhaSysdba = "lunarpike";

// A Firebird connection with the fixed parameters of the Vantora installation:
// user SYSDBA, SQL dialect 1, no connection character set (texts travel as the
// program's Windows-1252 bytes). A local path opens the file with the embedded
// engine; "host:path" or "host/port:path" goes to a Firebird server.
// Query objects (Consulta) refer to their connection and must not outlive it.
class Conexao {
public:
    Conexao();
    ~Conexao();
    Conexao(const Conexao&) = delete;
    Conexao& operator=(const Conexao&) = delete;

    void DefineNomeBanco(const std::string& nome) { nomeBanco_ = nome; }
    const std::string& NomeBanco() const { return nomeBanco_; }

    // Raises ErroBanco naming the database when it cannot be opened.
    void Conecta();
    // Rolls back an active transaction and closes the connection.
    void Desconecta();
    bool Conectado() const { return static_cast<bool>(anexo_); }
    // Raises a grave ErroBanco when not connected: the run asks before its first
    // statement, so that no part of it goes on warning row after row.
    void ExigeConexao() const;

    // A file that this computer's Firebird server holds open (as a Vantora
    // installation's server does) is refused by the embedded engine; the connection
    // then goes through that server, with "localhost:" and the file's full path,
    // which this returns. Empty for any other connection.
    const std::string& NomeServidorLocal() const { return nomeServidorLocal_; }
    // What the window's status line and the command line's summary say of a
    // connection through this computer's server; empty for any other.
    std::string AvisoServidorLocal() const;

    Transacao& DBTransaction() { return transacao_; }

    // The rehearsal of a run: while on, committing does nothing (neither
    // Transacao::Confirma nor a "Commit" statement), so everything the run writes stays
    // in the one transaction that the rehearsal then rolls back.
    void DefineEnsaio(bool ensaio) { ensaio_ = ensaio; }
    bool Ensaio() const { return ensaio_; }

    // Creates an empty database file (dialect 1, default character set WIN1252) and
    // runs the given script in it, statement by statement. Refuses an existing file.
    static void CriaBanco(const std::string& nome, const std::string& script);

    // Raised when the connection changes, so that queries drop what they prepared.
    std::uint64_t Geracao() const { return geracao_; }
    Firebird::IAttachment* Anexo();  // raises ErroBanco when not connected

private:
    fb::Posse<Firebird::IAttachment> AnexaPeloServidorLocal(std::string& recusa);

    std::string nomeBanco_;
    std::string nomeServidorLocal_;
    fb::Posse<Firebird::IAttachment> anexo_;
    Transacao transacao_{*this};
    std::uint64_t geracao_ = 0;
    bool ensaio_ = false;
};

// The file of this computer that a database name opens: the name itself for a file,
// the path for "host:path" when the host is this computer ("localhost", a loopback
// address or its own name); empty for a database on another computer.
std::string ArquivoDoBancoNestaMaquina(const std::string& nome);

// What a statement sent without a connection is told.
extern const char* const kNaoConectado;

// The connection's transaction held for a stretch of work (the one active, or the one
// its first statement starts): committed only by Confirma(), rolled back on every other
// way out (an error, a stop asked, an early return), so that no path forgets its
// rollback. A rollback that fails because the connection is gone is no error: the
// database undid the work itself.
class GuardaTransacao {
public:
    explicit GuardaTransacao(Conexao& conexao) : conexao_(conexao) {}
    ~GuardaTransacao();
    GuardaTransacao(const GuardaTransacao&) = delete;
    GuardaTransacao& operator=(const GuardaTransacao&) = delete;

    // Commits what is active (while the connection rehearses, Transacao::Confirma
    // keeps it open, and the guard then rolls it back at its end).
    void Confirma();

private:
    Conexao& conexao_;
};

// Rehearsal mode on the connection for the object's life.
class EnsaioNaConexao {
public:
    explicit EnsaioNaConexao(Conexao& conexao) : conexao_(conexao) { conexao_.DefineEnsaio(true); }
    ~EnsaioNaConexao() { conexao_.DefineEnsaio(false); }
    EnsaioNaConexao(const EnsaioNaConexao&) = delete;
    EnsaioNaConexao& operator=(const EnsaioNaConexao&) = delete;

private:
    Conexao& conexao_;
};

}  // namespace conversor::db
