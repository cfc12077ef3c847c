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

const char* const kUso =
    "Uso: conversor colunas --tipo TIPO\n"
    "TIPO: produtos, clientes, fornecedores, vendedores ou transportadoras.\n";

// Pads a Windows-1252 text, one byte a character, to `largura` characters.
std::string Esquerda(const std::string& texto, size_t largura) {
    return texto.size() >= largura ? texto : texto + std::string(largura - texto.size(), ' ');
}
std::string Direita(const std::string& texto, size_t largura) {
    return texto.size() >= largura ? texto : std::string(largura - texto.size(), ' ') + texto;
}

}  // namespace

int ComandoColunas(const Argumentos& args) {
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, {{"--tipo", "o tipo"}});
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), kUso);
    }
    if (lidos.ajuda) return MostraUso(kUso);
    if (!lidos.arquivos.empty())
        return SaiComErroDeUso("Argumento inesperado: " + CaminhoParaMensagem(lidos.arquivos[0]),
                               kUso);
    if (!lidos.opcoes.count("--tipo")) return SaiComErroDeUso("Falta a opção --tipo", kUso);
    const convert::DescricaoTipo* tipo = convert::ProcuraTipo(lidos.opcoes["--tipo"]);
    const convert::LeiauteTipo* leiaute = tipo ? &tipo->Leiaute() : nullptr;
    if (!leiaute)
        return SaiComErroDeUso("Tipo desconhecido: " + CaminhoParaMensagem(lidos.opcoes["--tipo"]),
                               kUso);

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
