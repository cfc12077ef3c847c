// How long-running work shows its progress: the window's caption label, gauge and status
// bar, or the terminal, or a test. The work only talks to this interface, so it
// runs the same with or without a window.
#pragma once

#include <string_view>

namespace conversor::intake {

// The progress display of one run. Texts are Windows-1252. The owner (the main
// window, the command line, a test) outlives every call made through it.
class Progresso {
public:
    virtual ~Progresso() = default;

    // The phase in progress (the label `lblAguarde`).
    virtual void Legenda(std::string_view texto) = 0;

    // The gauge (`Barra`): its maximum, its position, and one step forward.
    virtual void Maximo(int maximo) = 0;
    virtual void Posicao(int posicao) = 0;
    virtual void Avanca() = 0;

    // The per-record text of the status bar (`stbStatus`).
    virtual void Status(std::string_view texto) = 0;

    // Lets the window's pending messages run, so it repaints during long work.
    virtual void ProcessaMensagens() = 0;
};

// For work done where nobody watches (command line output, tests that don't care).
class ProgressoMudo final : public Progresso {
public:
    void Legenda(std::string_view) override {}
    void Maximo(int) override {}
    void Posicao(int) override {}
    void Avanca() override {}
    void Status(std::string_view) override {}
    void ProcessaMensagens() override {}
};

}  // namespace conversor::intake
