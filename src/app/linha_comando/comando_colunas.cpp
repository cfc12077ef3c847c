// `conversor colunas --tipo TIPO`: which sheet column feeds which field, for a person
// preparing a workbook, one line per column the kind reads.
#include <algorithm>
#include <cstdio>
#include <string>

#include "app/linha_comando/argumentos.h"
#include "app/linha_comando/comandos.h"
#include "app/linha_comando/terminal.h"
#include "base/colunas.h"
#include "base/regional.h"
#include "convert/leiaute.h"
#include "convert/tipos.h"

namespace conversor::app {

namespace {

// Pads a Windows-1252 text, one byte a character, to `largura` characters.
std::string Esquerda(const std::string& texto, size_t largura) {
    return texto.size() >= largura ? texto : texto + std::string(largura - texto.size(), ' ');
}
std::string Direita(const std::string& texto, size_t largura) {
    return texto.size() >= largura ? texto : std::string(largura - texto.size(), ' ') + texto;
}

}  // namespace

int ComandoColunas(const Argumentos& args) {
    const Comando& comando = ComandoChamado("colunas");
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, comando);
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), comando);
    }
    if (lidos.ajuda) return MostraUso(comando);
    if (!lidos.arquivos.empty())
        return SaiComErroDeUso("Argumento inesperado: " + CaminhoParaMensagem(lidos.arquivos[0]),
                               comando);
    if (const char* falta = OpcaoQueFalta(lidos, comando))
        return SaiComErroDeUso(std::string("Falta a opção ") + falta, comando);
    const convert::DescricaoTipo* tipo = convert::ProcuraTipo(lidos.opcoes["--tipo"]);
    const convert::LeiauteTipo* leiaute = tipo ? &tipo->Leiaute() : nullptr;
    if (!leiaute)
        return SaiComErroDeUso("Tipo desconhecido: " + CaminhoParaMensagem(lidos.opcoes["--tipo"]),
                               comando);

    size_t larguraCampo = 5;
    for (const convert::ColunaLida& c : leiaute->colunas)
        larguraCampo = std::max(larguraCampo, std::string(c.campo).size());
    std::string saida = "Aba de " + std::string(leiaute->tipo) + ": até a coluna " +
                        LetraColuna(leiaute->UltimaColuna()) + " (" +
                        std::to_string(leiaute->UltimaColuna()) +
                        "), sem linha de títulos (a linha 1 já é um registro).\n";
    saida += "Coluna  Letra  " + Esquerda("Campo", larguraCampo) + "  Largura  Regra\n";
    for (const convert::ColunaLida& c : leiaute->colunas) {
        saida += Direita(std::to_string(c.coluna), 6) + "  " + Esquerda(LetraColuna(c.coluna), 5) +
                 "  " + Esquerda(*c.campo ? c.campo : "-", larguraCampo) + "  " +
                 Direita(c.largura ? std::to_string(c.largura) : "-", 7) + "  " +
                 convert::RegraCompleta(c) + "\n";
    }
    const std::string utf8 = ParaTerminal(saida);
    if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size() ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "%s\n", ParaTerminal("Falha ao escrever a saída.").c_str());
        return 1;
    }
    return 0;
}

}  // namespace conversor::app
