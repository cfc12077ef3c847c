// A progress display that keeps what a run showed on it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "intake/progresso.h"

namespace conversor::teste {

// What the run showed on the progress display.
class ProgressoGravado final : public intake::Progresso {
public:
    void Legenda(std::string_view texto) override { legendas.emplace_back(texto); }
    void Maximo(int m) override { maximo = m; }
    void Posicao(int p) override { posicao = p; }
    void Avanca() override {
        ++posicao;
        ++avancos;
    }
    void Status(std::string_view texto) override { status.emplace_back(texto); }
    void ProcessaMensagens() override { ++mensagensProcessadas; }

    std::vector<std::string> legendas, status;
    int maximo = -1, posicao = -1, avancos = 0, mensagensProcessadas = 0;
};

}  // namespace conversor::teste
