// The run's displays on a terminal: messages as lines (warnings and errors on
// stderr), progress as one redrawn line when stderr is a terminal.
#pragma once

#include <chrono>
#include <string>

#include "base/texto_terminal.h"
#include "convert/mensagens.h"
#include "intake/progresso.h"

namespace conversor::app {

class ProgressoTerminal;

class MensagensTerminal final : public convert::Mensagens {
public:
    // A progress line being drawn is cleared before a message is printed.
    explicit MensagensTerminal(ProgressoTerminal* progresso = nullptr) : progresso_(progresso) {}
    void Aviso(std::string_view texto) override;
    void Erro(std::string_view texto) override;
    void Informacao(std::string_view texto) override;

private:
    ProgressoTerminal* progresso_;
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
    // Where a Ctrl+C is honoured: once per row, between the row's statements.
    void ProcessaMensagens() override;
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

// Ctrl+C on the command line, and the other requests to stop: SIGTERM (timeout, a
// service manager) and SIGHUP (the terminal closed). Until the conversion starts
// nothing has been written, so such a signal ends the program at once (status 128 +
// the signal). Once it has started, the first signal only asks it to stop: the next
// row raises ErroInterrupcao, which the run turns into the rollback of its current
// transaction; a second one ends the program at once (the database is left as a
// killed process leaves it: what was committed stays, the rest is undone by Firebird).
//
// The Firebird client installs its own handlers on the first connection, ones that
// close every connection under the run's feet. So these signals are held back while
// the connection is made (SeguraInterrupcao, before it) and taken over once it exists
// (CapturaInterrupcao, after it), which also lets a held signal through.
void SeguraInterrupcao();
void CapturaInterrupcao();
// From here on a signal asks the run to stop instead of ending the program.
void IniciaConversaoInterrompivel();
// True once a signal has asked the conversion to stop.
bool InterrupcaoPedida();
// The shells' status for the signal received: 130 Ctrl+C, 143 SIGTERM, 129 SIGHUP.
int SaidaDaInterrupcao();
// The signal received in the user's words: "Ctrl+C", "pedido de término".
std::string CausaDaInterrupcao();

}  // namespace conversor::app
