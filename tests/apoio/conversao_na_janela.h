// Test support: "&Efetuar Conversão" clicked in the main window, and the window's events
// handled until the run it started is over (the run works on a thread of its own).
#pragma once

#include <QEventLoop>
#include <QPushButton>
#include <QTimer>

#include "app/janela/principal.h"

namespace conversor::teste {

// True once the run is over (or none started); false when it was still under way after
// `limiteMs`, or when the program was asked to end meanwhile, which ends every loop.
inline bool EfetuaConversao(app::TFPrincipal& janela, int limiteMs = 600000) {
    QEventLoop espera;
    QObject::connect(&janela, &app::TFPrincipal::ConversaoTerminada, &espera, &QEventLoop::quit);
    QTimer::singleShot(limiteMs, &espera, &QEventLoop::quit);
    janela.findChild<QPushButton*>("btOK")->click();
    if (janela.EmConversao()) espera.exec();
    return !janela.EmConversao();
}

}  // namespace conversor::teste
