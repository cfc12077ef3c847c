// The arguments of a terminal command, read the same way by every command: options
// first wherever they stand, "--" ends them, and an argument that starts with "-"
// and is no known option is refused rather than taken for a file name (a file really
// named "-x" is reached as "-- -x").
#pragma once

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/linha_comando/catalogo.h"
#include "app/linha_comando/comandos.h"

namespace conversor::app {

// A usage error; the message (Windows-1252) says what is wrong.
class ErroUso : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ArgumentosLidos {
    std::map<std::string, std::string> opcoes;  // the last value of each option given
    std::map<std::string, long long> numeros;   // the options that take a number, read
    std::vector<std::string> arquivos;          // the other arguments, in order
    bool ajuda = false;                         // --help or -h

    bool Tem(const std::string& opcao) const { return opcoes.count(opcao) > 0; }
    // The option's value, or "" when it was not given.
    const std::string& Valor(const std::string& opcao) const;
    std::optional<long long> Numero(const std::string& opcao) const;
};

// The options the command's synopsis names, read. Raises ErroUso for an unknown
// option, an option without its value, and a number option whose value is not one
// of its numbers (unless the help was asked for). A switch given ("--sem-ensaio") is in
// `opcoes` with an empty value.
ArgumentosLidos LeArgumentos(const Argumentos& args, const Comando& comando);

// The first option the synopsis requires that was not given, or nullptr.
const char* OpcaoQueFalta(const ArgumentosLidos& lidos, const Comando& comando);

// What a command does with a usage error: the message and the usage on stderr,
// status 2. The help asked for: the usage on stdout, status 0.
int SaiComErroDeUso(const std::string& mensagem, const Comando& comando);
int MostraUso(const Comando& comando);

}  // namespace conversor::app
