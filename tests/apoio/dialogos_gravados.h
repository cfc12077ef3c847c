// Test support: stands in for the window's file dialogs and message boxes, handing out
// queued file names and recording every message.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "app/janela/dialogos.h"

namespace conversor::teste {

class DialogosGravados final : public app::Dialogos {
public:
    QString AbreArquivo(QWidget*, const QString& filtro) override {
        filtros.push_back(filtro);
        if (arquivos.empty()) return {};
        QString r = arquivos.front();
        arquivos.pop_front();
        return r;
    }
    void Mensagem(QWidget*, Tipo tipo, const QString& texto) override {
        mensagens.emplace_back(tipo, texto);
        if (aoMostrar) aoMostrar();
    }
    // Recorded as an error message; the answer is `salvarRelatorio`.
    bool ErroComRelatorio(QWidget* dono, const QString& texto) override {
        Mensagem(dono, Tipo::Erro, texto);
        ++ofertasDeRelatorio;
        return salvarRelatorio;
    }
    // Hands out the queued file names, as AbreArquivo does.
    QString SalvaArquivo(QWidget* dono, const QString& filtro) override {
        return AbreArquivo(dono, filtro);
    }
    std::deque<QString> arquivos;
    std::vector<QString> filtros;
    bool salvarRelatorio = false;
    int ofertasDeRelatorio = 0;
    std::vector<std::pair<Tipo, QString>> mensagens;
    std::function<void()> aoMostrar;  // runs while a message is "open"
};

}  // namespace conversor::teste
