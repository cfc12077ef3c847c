// Test support: a program run as a user runs it, in a process of its own, with a
// deadline for everything the test waits for. Whatever is still running when the
// object goes is killed and reaped, so a failing test leaves no process behind.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <regex>
#include <string>
#include <vector>

namespace conversor::teste {

class Processo {
public:
    // `argumentos[0]` is looked up in PATH when it has no "/". On a terminal (a
    // pseudo-terminal the test reads) the program draws its progress line as it
    // would for a user; otherwise its stdout and stderr go to one pipe. Its stdin is
    // a pipe the test can close (FechaEntrada) to tell it to go on.
    explicit Processo(const std::vector<std::string>& argumentos, bool terminal = false);
    ~Processo();
    Processo(const Processo&) = delete;
    Processo& operator=(const Processo&) = delete;

    pid_t Pid() const { return pid_; }
    void Sinal(int sinal);
    void FechaEntrada();

    // Reads what the program writes until `padrao` matches it (true) or until the
    // program ends or the deadline passes (false). The match is left in `achado`.
    bool Espera(const std::regex& padrao, std::chrono::milliseconds prazo,
                std::smatch* achado = nullptr);

    // Waits for the program to end, reading what it writes: its exit status, 128 plus
    // the signal that ended it, or -1 when the deadline passed (it is killed then).
    int Termina(std::chrono::milliseconds prazo);

    // Everything the program wrote so far (stdout and stderr together).
    const std::string& Saida() const { return saida_; }

private:
    // Reads what is available within `ate`; false once nothing more will come.
    bool Le(std::chrono::steady_clock::time_point ate);

    pid_t pid_ = -1;
    int leitura_ = -1;  // the pipe or the terminal's master side
    int entrada_ = -1;
    int status_ = -1;
    bool terminou_ = false;
    std::string saida_;
};

struct Resultado {
    int status;
    std::string saida;
};

// Runs a program to its end within the deadline.
Resultado Roda(const std::vector<std::string>& argumentos,
               std::chrono::milliseconds prazo = std::chrono::seconds(120));

// True when the program can be found (a tool of firebird3.0-utils, for instance).
bool ProgramaExiste(const std::string& nome);

}  // namespace conversor::teste
