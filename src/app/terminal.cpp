#include "app/terminal.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "base/regional.h"

namespace conversor::app {

std::string ParaTerminal(std::string_view texto) {
    std::string r = Cp1252ParaUtf8(texto);
    for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] == '\r') {
            if (i + 1 < r.size() && r[i + 1] == '\n') r.erase(i, 1);
            else r[i] = '\n';
        }
    }
    return r;
}

void MensagensTerminal::Aviso(std::string_view texto) {
    ++avisos_;
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
    const int cheio = maximo_ > 0 ? static_cast<int>(static_cast<long long>(posicao_) * kLargura /
                                                     maximo_)
                                  : 0;
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

}  // namespace conversor::app
