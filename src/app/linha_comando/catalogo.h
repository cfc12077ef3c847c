// The commands of `conversor` and their options in one table: the general help, each
// command's usage and the reading of its arguments all come from it, so that what
// the help promises is what the command takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/linha_comando/comandos.h"

namespace conversor::app {

struct Opcao {
    const char* nome;       // "--aba"
    const char* valor;      // as the usage shows it, "N"; nullptr for a switch ("--sem-ensaio")
    const char* oQueFalta;  // "o número": "Falta o número depois de --aba."
    // A number: its name in messages ("Aba", "Última linha") and the values taken.
    // nullptr for any other value.
    const char* numero = nullptr;
    long long minimo = 0;
    long long maximo = 0;
};

// One element of a command's synopsis: an option, or what is given by position
// ("ARQUIVO", "> mapa.csv").
struct Elemento {
    const Opcao* opcao;
    const char* posicional;
    bool opcional;
};

struct Comando {
    const char* nome;  // "" and "--help": entries of the help that run nothing
    std::vector<Elemento> sinopse;
    const char* ajuda;  // the help's explanation, one paragraph line per line
    const char* uso;    // what the command's usage says below its synopsis
    int (*executa)(const Argumentos&);
};

// Every command, in the help's order.
const std::vector<Comando>& Comandos();

// The command named so; the table holds every name a command asks for.
const Comando& ComandoChamado(std::string_view nome);

// "Uso: conversor NOME ..." and the command's notes, as `conversor NOME --help` shows it.
std::string UsoDoComando(const Comando& comando);

// What `conversor --help` shows.
std::string AjudaGeral();

}  // namespace conversor::app
