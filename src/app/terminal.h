// The run's displays on a terminal: messages as lines (warnings and errors on
// stderr), progress as one redrawn line when stderr is a terminal.
#pragma once

#include <chrono>
#include <string>

#include "convert/mensagens.h"
#include "intake/progresso.h"

namespace conversor::app {

// Windows-1252 text to a UTF-8 line for the terminal; the carriage returns that
// separate a message's parts become line breaks.
std::string ParaTerminal(std::string_view texto);

class ProgressoTerminal;

class MensagensTerminal final : public convert::Mensagens {
public:
    // A progress line being drawn is cleared before a message is printed.
    explicit MensagensTerminal(ProgressoTerminal* progresso = nullptr) : progresso_(progresso) {}
    void Aviso(std::string_view texto) override;
    void Erro(std::string_view texto) override;
    void Informacao(std::string_view texto) override;
    int Avisos() const { return avisos_; }

private:
    ProgressoTerminal* progresso_;
    int avisos_ = 0;
};

class ProgressoTerminal final : public intake::Progresso {
public:
    ProgressoTerminal();
    ~ProgressoTerminal() override;
    void Legenda(std::string_view texto) override;
    void Maximo(int maximo) override;
    void Posicao(int posicao) override;
    void Avanca() override;
    void Status(std::string_view texto) override;
    void ProcessaMensagens() override {}
    // Ends the progress line so that what follows starts on a line of its own.
    void Encerra();
    // Clears the progress line for a message; the next update draws it again.
    void Limpa();

private:
    void Desenha(bool agora);

    bool ativo_;
    std::string legenda_;
    std::string status_;
    int maximo_ = 0;
    int posicao_ = 0;
    bool desenhado_ = false;
    std::chrono::steady_clock::time_point ultimoDesenho_{};
};

}  // namespace conversor::app
