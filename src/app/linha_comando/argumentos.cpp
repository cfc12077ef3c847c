#include "app/linha_comando/argumentos.h"

#include <cstdio>

#include "app/linha_comando/terminal.h"
#include "base/regional.h"

namespace conversor::app {

namespace {

// Decimal digits only: no sign, blank or decimal point, which a sheet or row number
// never has and which would otherwise be read one way here and another there.
std::optional<long long> Natural(std::string_view texto, long long maximo) {
    if (texto.empty()) return std::nullopt;
    long long valor = 0;
    for (const char c : texto) {
        if (c < '0' || c > '9') return std::nullopt;
        valor = valor * 10 + (c - '0');
        if (valor > maximo) return std::nullopt;
    }
    return valor;
}

long long LeNumero(const Opcao& opcao, const std::string& valor) {
    const std::optional<long long> n = Natural(valor, opcao.maximo);
    if (n && *n >= opcao.minimo) return *n;
    const std::string minimo = std::to_string(opcao.minimo);
    throw ErroUso(std::string(opcao.numero) + " inválida: '" + CaminhoParaMensagem(valor) + "'. " +
                  opcao.nome + " deve ser um número de " + minimo +
                  " em diante (só algarismos, de " + minimo + " a " + std::to_string(opcao.maximo) +
                  ").");
}

}  // namespace

const std::string& ArgumentosLidos::Valor(const std::string& opcao) const {
    static const std::string kNada;
    const auto i = opcoes.find(opcao);
    return i == opcoes.end() ? kNada : i->second;
}

std::optional<long long> ArgumentosLidos::Numero(const std::string& opcao) const {
    const auto i = numeros.find(opcao);
    if (i == numeros.end()) return std::nullopt;
    return i->second;
}

ArgumentosLidos LeArgumentos(const Argumentos& args, const Comando& comando) {
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
        const Opcao* opcao = nullptr;
        for (const Elemento& e : comando.sinopse)
            if (e.opcao && arg == e.opcao->nome) opcao = e.opcao;
        if (!opcao) throw ErroUso("Opção desconhecida: " + CaminhoParaMensagem(arg) + ".");
        if (!opcao->valor) {
            lidos.opcoes[arg].clear();
            continue;
        }
        if (i + 1 >= args.size())
            throw ErroUso(std::string("Falta ") + opcao->oQueFalta + " depois de " + arg + ".");
        lidos.opcoes[arg] = args[++i];
    }
    if (lidos.ajuda) return lidos;
    for (const Elemento& e : comando.sinopse)
        if (e.opcao && e.opcao->numero && lidos.Tem(e.opcao->nome))
            lidos.numeros[e.opcao->nome] = LeNumero(*e.opcao, lidos.Valor(e.opcao->nome));
    return lidos;
}

const char* OpcaoQueFalta(const ArgumentosLidos& lidos, const Comando& comando) {
    for (const Elemento& e : comando.sinopse)
        if (e.opcao && !e.opcional && !lidos.Tem(e.opcao->nome)) return e.opcao->nome;
    return nullptr;
}

int SaiComErroDeUso(const std::string& mensagem, const Comando& comando) {
    std::fprintf(stderr, "%s\n%s", ParaTerminal(mensagem).c_str(),
                 ParaTerminal(UsoDoComando(comando)).c_str());
    return 2;
}

int MostraUso(const Comando& comando) {
    std::fputs(ParaTerminal(UsoDoComando(comando)).c_str(), stdout);
    return 0;
}

}  // namespace conversor::app
