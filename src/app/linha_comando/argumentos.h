// The arguments of a terminal command, read the same way by every command: options
// first wherever they stand, "--" ends them, and an argument that starts with "-"
// and is no known option is refused rather than taken for a file name (a file really
// named "-x" is reached as "-- -x").
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/linha_comando/comandos.h"

namespace conversor::app {

// A usage error; the message (Windows-1252) says what is wrong.
class ErroUso : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OpcaoComValor {
    const char* nome;       // "--aba"
    const char* oQueFalta;  // "o número": "Falta o número depois de --aba."
};

struct ArgumentosLidos {
    std::map<std::string, std::string> opcoes;  // the last value of each option given
    std::vector<std::string> arquivos;          // the other arguments, in order
    bool ajuda = false;                         // --help or -h
};

// Raises ErroUso for an unknown option or an option without its value. `sinais`: the
// options that take no value ("--sem-ensaio"); one given is in `opcoes` with an empty
// value.
ArgumentosLidos LeArgumentos(const Argumentos& args, const std::vector<OpcaoComValor>& opcoes,
                             const std::vector<const char*>& sinais = {});

// What a command does with a usage error: the message and the usage on stderr,
// status 2. The help asked for: the usage on stdout, status 0.
int SaiComErroDeUso(const std::string& mensagem, const char* uso);
int MostraUso(const char* uso);

}  // namespace conversor::app
