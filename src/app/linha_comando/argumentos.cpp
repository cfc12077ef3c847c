#include "app/linha_comando/argumentos.h"

#include <cstdio>

#include "app/linha_comando/terminal.h"
#include "base/regional.h"

namespace conversor::app {

ArgumentosLidos LeArgumentos(const Argumentos& args, const std::vector<OpcaoComValor>& opcoes,
                             const std::vector<const char*>& sinais) {
    ArgumentosLidos lidos;
    bool fimDasOpcoes = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // A lone "-" is no option: it is left to be a file name.
        if (fimDasOpcoes || arg.size() < 2 || arg[0] != '-') {
            lidos.arquivos.push_back(arg);
            continue;
        }
        if (arg == "--") {
            fimDasOpcoes = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            lidos.ajuda = true;
            continue;
        }
        bool sinal = false;
        for (const char* s : sinais) sinal = sinal || arg == s;
        if (sinal) {
            lidos.opcoes[arg].clear();
            continue;
        }
        const OpcaoComValor* opcao = nullptr;
        for (const OpcaoComValor& o : opcoes)
            if (arg == o.nome) opcao = &o;
        if (!opcao) throw ErroUso("Opção desconhecida: " + CaminhoParaMensagem(arg) + ".");
        if (i + 1 >= args.size())
            throw ErroUso(std::string("Falta ") + opcao->oQueFalta + " depois de " + arg + ".");
        lidos.opcoes[arg] = args[++i];
    }
    return lidos;
}

int SaiComErroDeUso(const std::string& mensagem, const char* uso) {
    std::fprintf(stderr, "%s\n%s", ParaTerminal(mensagem).c_str(), ParaTerminal(uso).c_str());
    return 2;
}

int MostraUso(const char* uso) {
    std::fputs(ParaTerminal(uso).c_str(), stdout);
    return 0;
}

}  // namespace conversor::app
