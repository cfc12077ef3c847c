// Entry point: `conversor COMANDO ...` for the terminal.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/comandos.h"

namespace {

const char* const kAjuda =
    "Conversor Quarel Tervalo: leva cadastros de uma planilha para o banco do Vantora.\n"
    "\n"
    "Uso:\n"
    "  conversor criar-banco ARQUIVO\n"
    "      Cria um banco Vantora vazio (Firebird, dialeto 1) em ARQUIVO.\n"
    "      Recusa sobrescrever um arquivo existente.\n"
    "  conversor --help\n"
    "      Mostra esta ajuda.\n";

struct Comando {
    const char* nome;
    int (*executa)(const conversor::app::Argumentos&);
};

const Comando kComandos[] = {
    {"criar-banco", conversor::app::ComandoCriarBanco},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "ajuda") == 0) {
        std::fputs(kAjuda, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Comando& comando : kComandos) {
        if (std::strcmp(argv[1], comando.nome) == 0)
            return comando.executa(conversor::app::Argumentos(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "Comando desconhecido: %s\nUse 'conversor --help' para ver os comandos.\n",
                 argv[1]);
    return 2;
}
