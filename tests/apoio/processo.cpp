#include "apoio/processo.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace conversor::teste {

namespace {

using Relogio = std::chrono::steady_clock;

// In the child between fork and exec: only async-signal-safe calls, since the test
// process has other threads (the database engine's) that may hold locks.
[[noreturn]] void Executa(char* const* argv) {
    // Nothing of the test (its database files above all) stays open in the program.
    close_range(3, ~0U, 0);
    // A test process may ignore or block signals; the program starts as from a shell.
    sigset_t nenhum;
    sigemptyset(&nenhum);
    sigprocmask(SIG_SETMASK, &nenhum, nullptr);
    signal(SIGINT, SIG_DFL);
    signal(SIGPIPE, SIG_DFL);
    execvp(argv[0], argv);
    _exit(127);
}

}  // namespace

Processo::Processo(const std::vector<std::string>& argumentos, bool terminal) {
    if (argumentos.empty()) throw std::invalid_argument("Processo sem programa");
    std::vector<char*> argv;
    for (const std::string& a : argumentos) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int entrada[2];
    if (pipe2(entrada, O_CLOEXEC) != 0) throw std::runtime_error("pipe falhou");
    if (terminal) {
        winsize tamanho{};
        tamanho.ws_row = 24;
        tamanho.ws_col = 200;
        int mestre = -1;
        pid_ = forkpty(&mestre, nullptr, nullptr, &tamanho);
        if (pid_ == 0) {
            dup2(entrada[0], STDIN_FILENO);
            Executa(argv.data());
        }
        leitura_ = mestre;
    } else {
        int saida[2];
        if (pipe2(saida, O_CLOEXEC) != 0) throw std::runtime_error("pipe falhou");
        pid_ = fork();
        if (pid_ == 0) {
            dup2(entrada[0], STDIN_FILENO);
            dup2(saida[1], STDOUT_FILENO);
            dup2(saida[1], STDERR_FILENO);
            Executa(argv.data());
        }
        close(saida[1]);
        leitura_ = saida[0];
    }
    close(entrada[0]);
    entrada_ = entrada[1];
    if (pid_ < 0) throw std::runtime_error("fork falhou");
    fcntl(leitura_, F_SETFL, fcntl(leitura_, F_GETFL) | O_NONBLOCK);
}

Processo::~Processo() {
    if (!terminou_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (leitura_ >= 0) close(leitura_);
    FechaEntrada();
}

void Processo::Sinal(int sinal) {
    if (!terminou_) kill(pid_, sinal);
}

void Processo::FechaEntrada() {
    if (entrada_ >= 0) close(entrada_);
    entrada_ = -1;
}

bool Processo::Le(Relogio::time_point ate) {
    const auto falta = std::chrono::duration_cast<std::chrono::milliseconds>(ate - Relogio::now());
    pollfd p{leitura_, POLLIN, 0};
    const int n = poll(&p, 1, static_cast<int>(std::max<long long>(0, falta.count())));
    if (n <= 0) return n == 0 || errno == EINTR;
    char buffer[4096];
    for (;;) {
        const ssize_t lidos = read(leitura_, buffer, sizeof buffer);
        if (lidos > 0) {
            saida_.append(buffer, static_cast<size_t>(lidos));
            continue;
        }
        if (lidos < 0 && (errno == EAGAIN || errno == EINTR)) return true;
        // End of the pipe, or EIO once the terminal's last writer has gone.
        return false;
    }
}

bool Processo::Espera(const std::regex& padrao, std::chrono::milliseconds prazo,
                      std::smatch* achado) {
    const auto ate = Relogio::now() + prazo;
    std::smatch m;
    for (;;) {
        if (std::regex_search(saida_, m, padrao)) {
            if (achado) *achado = m;
            return true;
        }
        if (Relogio::now() >= ate || !Le(ate)) return std::regex_search(saida_, m, padrao);
    }
}

int Processo::Termina(std::chrono::milliseconds prazo) {
    if (terminou_) return status_;
    const auto ate = Relogio::now() + prazo;
    bool aberto = true;
    for (;;) {
        int status = 0;
        const pid_t r = waitpid(pid_, &status, WNOHANG);
        if (r == pid_) {
            while (aberto && Le(Relogio::now() + std::chrono::milliseconds(50))) {
            }
            terminou_ = true;
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return status_;
        }
        if (Relogio::now() >= ate) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            terminou_ = true;
            return -1;
        }
        if (aberto) {
            aberto = Le(std::min(ate, Relogio::now() + std::chrono::milliseconds(100)));
        } else {
            usleep(20000);
        }
    }
}

Resultado Roda(const std::vector<std::string>& argumentos, std::chrono::milliseconds prazo) {
    Processo p(argumentos);
    p.FechaEntrada();
    const int status = p.Termina(prazo);
    return {status, p.Saida()};
}

bool ProgramaExiste(const std::string& nome) {
    const char* caminho = std::getenv("PATH");
    std::string pastas = caminho ? caminho : "/usr/bin:/bin";
    size_t inicio = 0;
    while (inicio <= pastas.size()) {
        size_t fim = pastas.find(':', inicio);
        if (fim == std::string::npos) fim = pastas.size();
        const std::string arquivo = pastas.substr(inicio, fim - inicio) + "/" + nome;
        if (access(arquivo.c_str(), X_OK) == 0) return true;
        inicio = fim + 1;
    }
    return false;
}

}  // namespace conversor::teste
