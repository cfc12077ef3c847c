#include <cstdio>

#include "app/linha_comando/argumentos.h"
#include "app/linha_comando/comandos.h"
#include "app/linha_comando/terminal.h"
#include "base/regional.h"
#include "db/erro.h"
#include "db/esquema.h"

namespace conversor::app {

int ComandoCriarBanco(const Argumentos& args) {
    const Comando& comando = ComandoChamado("criar-banco");
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, comando);
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), comando);
    }
    if (lidos.ajuda) return MostraUso(comando);
    if (lidos.arquivos.size() != 1)
        return SaiComErroDeUso("Informe um só arquivo para o banco.", comando);
    const std::string& arquivo = lidos.arquivos[0];
    try {
        db::CriaBancoVantora(arquivo);
    } catch (const db::ErroBanco& e) {
        std::fprintf(stderr, "%s\n", ParaTerminal(e.what()).c_str());
        return 1;
    }
    std::printf("%s\n", ParaTerminal("Banco criado: " + CaminhoParaMensagem(arquivo)).c_str());
    return 0;
}

}  // namespace conversor::app
