// Test support: a message display that records what it was asked to show.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "convert/mensagens.h"

namespace conversor::teste {

class MensagensGravadas : public convert::Mensagens {
public:
    enum class Tipo { Aviso, Erro, Informacao };
    struct Mensagem {
        Tipo tipo;
        std::string texto;  // Windows-1252, carriage returns kept
    };

    void Aviso(std::string_view texto) override {
        lista.push_back({Tipo::Aviso, std::string(texto)});
    }
    void Erro(std::string_view texto) override {
        lista.push_back({Tipo::Erro, std::string(texto)});
    }
    void Informacao(std::string_view texto) override {
        lista.push_back({Tipo::Informacao, std::string(texto)});
    }

    // The texts of one kind, in the order shown.
    std::vector<std::string> Textos(Tipo tipo) const {
        std::vector<std::string> r;
        for (const Mensagem& m : lista)
            if (m.tipo == tipo) r.push_back(m.texto);
        return r;
    }
    std::vector<std::string> Avisos() const { return Textos(Tipo::Aviso); }
    std::vector<std::string> Erros() const { return Textos(Tipo::Erro); }
    std::vector<std::string> Informacoes() const { return Textos(Tipo::Informacao); }

    void Limpa() { lista.clear(); }

    std::vector<Mensagem> lista;
};

}  // namespace conversor::teste
