// A progress display that keeps what a run showed on it.
#pragma once

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "intake/progresso.h"

namespace conversor::teste {

// What the run showed on the progress display: every call in order, and where the
// display stands.
class ProgressoGravado final : public intake::Progresso {
public:
    void Legenda(std::string_view texto) override {
        legendas.emplace_back(texto);
        Anota("Legenda " + std::string(texto));
    }
    void Maximo(int m) override {
        maximo = m;
        Anota("Maximo " + std::to_string(m));
    }
    void Posicao(int p) override {
        posicao = p;
        Anota("Posicao " + std::to_string(p));
    }
    void Avanca() override {
        ++posicao;
        ++avancos;
        Anota("Avanca");
    }
    void Status(std::string_view texto) override {
        status.emplace_back(texto);
        Anota("Status " + std::string(texto));
    }
    void ProcessaMensagens() override {
        ++mensagensProcessadas;
        Anota(std::string(kMensagens));
        if (aoProcessar) aoProcessar();
    }

    // The calls but the turns given to the window's messages, from the first call equal
    // to `inicio` on (from the first of all when `inicio` is empty).
    std::vector<std::string> SemMensagens(std::string_view inicio = {}) const {
        std::vector<std::string> r;
        auto i =
            inicio.empty() ? chamadas.begin() : std::find(chamadas.begin(), chamadas.end(), inicio);
        std::copy_if(i, chamadas.end(), std::back_inserter(r),
                     [](const std::string& c) { return c != kMensagens; });
        return r;
    }

    // Every call, as "Legenda <text>", "Maximo <n>", "Posicao <n>", "Avanca",
    // "Status <text>" and "Mensagens".
    std::vector<std::string> chamadas;
    std::vector<std::string> legendas, status;
    int maximo = -1, posicao = -1, avancos = 0, mensagensProcessadas = 0;
    // Run at each turn given to the window's messages, as the window would run its events.
    std::function<void()> aoProcessar;

private:
    static constexpr std::string_view kMensagens = "Mensagens";
    void Anota(std::string chamada) { chamadas.push_back(std::move(chamada)); }
};

}  // namespace conversor::teste
