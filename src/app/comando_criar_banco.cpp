#include <cstdio>

#include "app/comandos.h"
#include "base/regional.h"
#include "db/erro.h"
#include "db/esquema.h"

namespace conversor::app {

int ComandoCriarBanco(const Argumentos& args) {
    if (args.size() != 1) {
        std::fputs("Uso: conversor criar-banco ARQUIVO\n", stderr);
        return 2;
    }
    try {
        db::CriaBancoVantora(args[0]);
    } catch (const db::ErroBanco& e) {
        std::fprintf(stderr, "%s\n", Cp1252ParaUtf8(e.what()).c_str());
        return 1;
    }
    std::printf("Banco criado: %s\n", args[0].c_str());
    return 0;
}

}  // namespace conversor::app
