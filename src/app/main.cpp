// Entry point: the main window without arguments, `conversor COMANDO ...` for the terminal.
#include <cstdio>
#include <cstring>
#include <string>

#include "app/janela/principal.h"
#include "app/linha_comando/catalogo.h"
#include "base/regional.h"
#include "base/texto_terminal.h"

int main(int argc, char** argv) {
    if (argc < 2) return conversor::app::AbreJanela(argc, argv);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "ajuda") == 0) {
        std::fputs(conversor::ParaTerminal(conversor::app::AjudaGeral()).c_str(), stdout);
        return 0;
    }
    for (const conversor::app::Comando& comando : conversor::app::Comandos()) {
        if (comando.executa && std::strcmp(argv[1], comando.nome) == 0)
            return comando.executa(conversor::app::Argumentos(argv + 2, argv + argc));
    }
    const std::string mensagem = "Comando desconhecido: " + conversor::CaminhoParaMensagem(argv[1]);
    std::fprintf(stderr, "%s\nUse 'conversor --help' para ver os comandos.\n",
                 conversor::ParaTerminal(mensagem).c_str());
    return 2;
}
