#include "app/linha_comando/terminal.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "app/execucao.h"
#include "base/regional.h"

namespace conversor::app {

void MensagensTerminal::Aviso(std::string_view texto) {
    if (progresso_) progresso_->Limpa();
    std::fprintf(stderr, "Aviso: %s\n", ParaTerminal(texto).c_str());
}

void MensagensTerminal::Erro(std::string_view texto) {
    if (progresso_) progresso_->Limpa();
    std::fprintf(stderr, "Erro: %s\n", ParaTerminal(texto).c_str());
}

void MensagensTerminal::Informacao(std::string_view texto) {
    if (progresso_) progresso_->Limpa();
    std::printf("%s\n", ParaTerminal(texto).c_str());
    std::fflush(stdout);
}

ProgressoTerminal::ProgressoTerminal() : ativo_(isatty(STDERR_FILENO) == 1) {}

ProgressoTerminal::~ProgressoTerminal() { Encerra(); }

void ProgressoTerminal::Legenda(std::string_view texto) {
    legenda_ = ParaTerminal(texto);
    Desenha(true);
}

void ProgressoTerminal::Maximo(int maximo) { maximo_ = maximo; }

void ProgressoTerminal::Posicao(int posicao) {
    posicao_ = posicao;
    Desenha(false);
}

void ProgressoTerminal::Avanca() {
    ++posicao_;
    Desenha(posicao_ == maximo_);
}

void ProgressoTerminal::Status(std::string_view texto) {
    status_ = ParaTerminal(texto);
    Desenha(false);
}

void ProgressoTerminal::Desenha(bool agora) {
    if (!ativo_) return;
    const auto instante = std::chrono::steady_clock::now();
    // A few redraws a second keep the terminal readable and cost the run nothing.
    if (!agora && instante - ultimoDesenho_ < std::chrono::milliseconds(200)) return;
    ultimoDesenho_ = instante;
    constexpr int kLargura = 30;
    const int cheio =
        maximo_ > 0 ? static_cast<int>(static_cast<long long>(posicao_) * kLargura / maximo_) : 0;
    std::string barra(static_cast<size_t>(std::clamp(cheio, 0, kLargura)), '#');
    barra.resize(kLargura, '.');
    std::fprintf(stderr, "\r\033[K%s [%s] %s", legenda_.c_str(), barra.c_str(), status_.c_str());
    std::fflush(stderr);
    desenhado_ = true;
}

void ProgressoTerminal::Encerra() {
    if (!desenhado_) return;
    Desenha(true);
    std::fputc('\n', stderr);
    desenhado_ = false;
}

}  // namespace conversor::app

namespace conversor::app {

void ProgressoTerminal::Limpa() {
    if (!desenhado_) return;
    std::fputs("\r\033[K", stderr);
    desenhado_ = false;
    ultimoDesenho_ = {};
}

namespace {

// Only lock-free atomics may be touched from a signal handler.
static_assert(std::atomic<int>::is_always_lock_free);
std::atomic<int> convertendo{0};
std::atomic<int> sinalRecebido{0};

// The signals that ask the program to stop: Ctrl+C, the system or a service manager
// ending it (timeout, systemd), the terminal closed.
constexpr int kSinaisDeParada[] = {SIGINT, SIGTERM, SIGHUP};

// The terminal wants UTF-8, while the program's own literals are Windows-1252.
const char8_t kAntesCtrlC[] =
    u8"\nConversão interrompida (Ctrl+C) antes de começar: nada foi "
    u8"gravado.\n";
const char8_t kAntesTermino[] =
    u8"\nConversão interrompida (pedido de término) antes de começar: nada foi gravado.\n";
const char8_t kAntesTerminal[] =
    u8"\nConversão interrompida (terminal fechado) antes de começar: nada foi gravado.\n";

// Async-signal-safe: atomics, write and _exit only.
void AoInterromper(int sinal) {
    if (!convertendo.load()) {
        const char8_t* texto = sinal == SIGINT    ? kAntesCtrlC
                               : sinal == SIGTERM ? kAntesTermino
                                                  : kAntesTerminal;
        size_t tamanho = 0;
        while (texto[tamanho]) ++tamanho;
        const ssize_t escrito = write(STDERR_FILENO, texto, tamanho);
        (void)escrito;
        _exit(128 + sinal);
    }
    sinalRecebido.store(sinal);
}

sigset_t SinaisDeParada() {
    sigset_t sinais;
    sigemptyset(&sinais);
    for (const int sinal : kSinaisDeParada) sigaddset(&sinais, sinal);
    return sinais;
}

}  // namespace

void SeguraInterrupcao() {
    // The threads the database engine starts meanwhile keep these signals blocked for
    // good, so the handler always runs on a thread of the program's own.
    const sigset_t sinais = SinaisDeParada();
    pthread_sigmask(SIG_BLOCK, &sinais, nullptr);
}

void CapturaInterrupcao() {
    struct sigaction acao {};
    acao.sa_handler = AoInterromper;
    sigemptyset(&acao.sa_mask);
    // SA_RESTART: the database's reads and writes carry on undisturbed; SA_RESETHAND:
    // a second signal finds the default action and ends the program.
    acao.sa_flags = SA_RESTART | SA_RESETHAND;
    for (const int sinal : kSinaisDeParada) sigaction(sinal, &acao, nullptr);
    const sigset_t sinais = SinaisDeParada();
    pthread_sigmask(SIG_UNBLOCK, &sinais, nullptr);
}

void IniciaConversaoInterrompivel() { convertendo.store(1); }

bool InterrupcaoPedida() { return sinalRecebido.load() != 0; }

int SaidaDaInterrupcao() { return 128 + sinalRecebido.load(); }

std::string CausaDaInterrupcao() {
    switch (sinalRecebido.load()) {
        case SIGTERM:
            return "pedido de término";
        case SIGHUP:
            return "terminal fechado";
        default:
            return "Ctrl+C";
    }
}

void ProgressoTerminal::ProcessaMensagens() {
    if (InterrupcaoPedida())
        throw ErroInterrupcao("Conversão interrompida (" + CausaDaInterrupcao() + ").");
}

}  // namespace conversor::app
