// `conversor planilhas` and `conversor mostrar`: a look at a workbook through the
// same driver and staging load the conversion uses, before converting anything.
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/comandos.h"
#include "base/regional.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::app {

namespace {

using intake::TDMCotrolaExcel;

// Messages are Windows-1252 inside the program; the terminal speaks UTF-8.
void Erro(std::string_view mensagem) {
    const std::string utf8 = Cp1252ParaUtf8(mensagem);
    std::fprintf(stderr, "%s\n", utf8.c_str());
}

int ErroDeUso(std::string_view mensagem, std::string_view uso) {
    Erro(mensagem);
    Erro(uso);
    return 2;
}

// One cell or name on one output line: the separators and the escape itself are
// written as escapes, so every line stays one row.
void AnexaEscapado(std::string& saida, std::string_view texto) {
    for (const char c : texto) {
        switch (c) {
            case '\\':
                saida += "\\\\";
                break;
            case '\t':
                saida += "\\t";
                break;
            case '\n':
                saida += "\\n";
                break;
            case '\r':
                saida += "\\r";
                break;
            default:
                saida += c;
        }
    }
}

bool Escreve(const std::string& cp1252) {
    const std::string utf8 = Cp1252ParaUtf8(cp1252);
    return std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size();
}

// Decimal digits only, no sign or blanks; nullopt when it is not one or passes `maximo`.
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

bool AbreArquivo(TDMCotrolaExcel& excel, const std::string& arquivo) {
    try {
        excel.AbreArquivo(arquivo);
        return true;
    } catch (const std::exception& e) {
        Erro(e.what());
        return false;
    }
}

}  // namespace

int ComandoPlanilhas(const Argumentos& args) {
    const char* const uso = "Uso: conversor planilhas ARQUIVO";
    if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-'))
        return ErroDeUso("Informe um arquivo de planilha.", uso);
    TDMCotrolaExcel excel;
    if (!AbreArquivo(excel, args[0])) return 2;
    try {
        const std::vector<std::string> abas = excel.ListaPlanilhas();
        excel.LiberaLista();
        for (size_t i = 0; i < abas.size(); ++i) {
            excel.SelecionaPlanilha(static_cast<int>(i + 1));
            std::string linha = std::to_string(i + 1) + "\t";
            AnexaEscapado(linha, abas[i]);
            linha += "\t" + std::to_string(excel.UltimaLinha()) + "\t" +
                     std::to_string(excel.UltimaColuna()) + "\n";
            if (!Escreve(linha)) throw std::runtime_error("Falha ao escrever a saída.");
        }
        if (std::fflush(stdout) != 0) throw std::runtime_error("Falha ao escrever a saída.");
    } catch (const std::exception& e) {
        std::fflush(stdout);
        Erro(e.what());
        return 1;
    }
    return 0;
}

int ComandoMostrar(const Argumentos& args) {
    const char* const uso = "Uso: conversor mostrar ARQUIVO [--aba N] [--ultima-linha N]";
    std::optional<std::string> arquivo;
    long long aba = 1;
    std::optional<long long> ultimaLinha;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--aba" || arg == "--ultima-linha") {
            if (i + 1 >= args.size())
                return ErroDeUso("Falta o número depois de " + arg + ".", uso);
            const std::string& valor = args[++i];
            if (arg == "--aba") {
                const auto n = Natural(valor, 1000000);
                if (!n)
                    return ErroDeUso("Número de aba inválido: '" + Utf8ParaCp1252(valor) + "'.",
                                     uso);
                aba = *n;
            } else {
                ultimaLinha = Natural(valor, intake::kMaxLinhas);
                if (!ultimaLinha)
                    return ErroDeUso("Última linha inválida: '" + Utf8ParaCp1252(valor) +
                                         "' (use um número de 0 a " +
                                         std::to_string(intake::kMaxLinhas) + ").",
                                     uso);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return ErroDeUso("Opção desconhecida: " + Utf8ParaCp1252(arg) + ".", uso);
        } else if (arquivo) {
            return ErroDeUso("Informe um só arquivo de planilha.", uso);
        } else {
            arquivo = arg;
        }
    }
    if (!arquivo) return ErroDeUso("Informe um arquivo de planilha.", uso);

    TDMCotrolaExcel excel;
    if (!AbreArquivo(excel, *arquivo)) return 2;
    try {
        excel.SelecionaPlanilha(static_cast<int>(aba));
    } catch (const std::exception& e) {
        Erro(e.what());
        return 2;
    }
    try {
        intake::TTabelaTemp tabela;
        intake::ProgressoMudo progresso;
        intake::CarregaTabelaTemp(excel, tabela, ultimaLinha ? *ultimaLinha : excel.UltimaLinha(),
                                  progresso);
        std::string saida;
        for (tabela.First(); !tabela.Eof(); tabela.Next()) {
            for (int k = 1; k <= tabela.Colunas(); ++k) {
                if (k > 1) saida += '\t';
                AnexaEscapado(saida, tabela.TextoVista(k));
            }
            saida += '\n';
            if (saida.size() >= 1 << 16) {
                if (!Escreve(saida)) throw std::runtime_error("Falha ao escrever a saída.");
                saida.clear();
            }
        }
        if (!Escreve(saida) || std::fflush(stdout) != 0)
            throw std::runtime_error("Falha ao escrever a saída.");
    } catch (const std::exception& e) {
        std::fflush(stdout);
        Erro(e.what());
        return 1;
    }
    return 0;
}

}  // namespace conversor::app
