// `conversor planilhas` and `conversor mostrar`: a look at a workbook through the
// same driver and staging load the conversion uses, before converting anything.
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "app/linha_comando/argumentos.h"
#include "app/linha_comando/comandos.h"
#include "app/linha_comando/terminal.h"
#include "base/regional.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace conversor::app {

namespace {

using intake::TDMCotrolaExcel;

void Erro(std::string_view mensagem) {
    std::fprintf(stderr, "%s\n", ParaTerminal(mensagem).c_str());
}

// The output could not be written (a closed pipe, a full disk): the work failed,
// status 1, while whatever the workbook does wrong is a refused input, status 2.
class ErroSaida : public std::runtime_error {
public:
    ErroSaida() : std::runtime_error("Falha ao escrever a saída.") {}
};

// One cell or name on one output line: UTF-8, with the separators, the escape itself
// and every control character written as escapes, so every line stays one row and
// nothing in the workbook drives the terminal.
void AnexaEscapado(std::string& saida, std::string_view cp1252) {
    saida += EscapaParaTerminal(Cp1252ParaUtf8(cp1252), true);
}

void Escreve(const std::string& utf8) {
    if (std::fwrite(utf8.data(), 1, utf8.size(), stdout) != utf8.size()) throw ErroSaida();
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

// Runs the reading and writing of a command: a write failure is status 1, any fault
// of the workbook, in whatever format or part it lies, is status 2.
template <typename Trabalho>
int Executa(Trabalho&& trabalho) {
    try {
        trabalho();
        if (std::fflush(stdout) != 0) throw ErroSaida();
        return 0;
    } catch (const ErroSaida& e) {
        Erro(e.what());
        return 1;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        Erro(e.what());
        return 2;
    }
}

}  // namespace

int ComandoPlanilhas(const Argumentos& args) {
    const char* const uso = "Uso: conversor planilhas ARQUIVO\n";
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, {});
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), uso);
    }
    if (lidos.ajuda) return MostraUso(uso);
    if (lidos.arquivos.size() != 1) return SaiComErroDeUso("Informe um arquivo de planilha.", uso);
    TDMCotrolaExcel excel;
    return Executa([&] {
        excel.AbreArquivo(lidos.arquivos[0]);
        const std::vector<std::string> abas = excel.ListaPlanilhas();
        excel.LiberaLista();
        for (size_t i = 0; i < abas.size(); ++i) {
            excel.SelecionaPlanilha(static_cast<int>(i + 1));
            std::string linha = std::to_string(i + 1) + "\t";
            AnexaEscapado(linha, abas[i]);
            linha += "\t" + std::to_string(excel.UltimaLinha()) + "\t" +
                     std::to_string(excel.UltimaColuna()) + "\n";
            Escreve(linha);
        }
    });
}

int ComandoMostrar(const Argumentos& args) {
    const char* const uso = "Uso: conversor mostrar ARQUIVO [--aba N] [--ultima-linha N]\n";
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, {{"--aba", "o número"}, {"--ultima-linha", "o número"}});
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), uso);
    }
    if (lidos.ajuda) return MostraUso(uso);
    long long aba = 1;
    std::optional<long long> ultimaLinha;
    if (lidos.opcoes.count("--aba")) {
        const std::string& valor = lidos.opcoes["--aba"];
        const auto n = Natural(valor, 1000000);
        if (!n)
            return SaiComErroDeUso("Número de aba inválido: '" + CaminhoParaMensagem(valor) + "'.",
                                   uso);
        aba = *n;
    }
    if (lidos.opcoes.count("--ultima-linha")) {
        const std::string& valor = lidos.opcoes["--ultima-linha"];
        ultimaLinha = Natural(valor, intake::kMaxLinhas);
        if (!ultimaLinha)
            return SaiComErroDeUso("Última linha inválida: '" + CaminhoParaMensagem(valor) +
                                       "' (use um número de 0 a " +
                                       std::to_string(intake::kMaxLinhas) + ").",
                                   uso);
    }
    if (lidos.arquivos.empty()) return SaiComErroDeUso("Informe um arquivo de planilha.", uso);
    if (lidos.arquivos.size() > 1)
        return SaiComErroDeUso("Informe um só arquivo de planilha.", uso);

    TDMCotrolaExcel excel;
    return Executa([&] {
        excel.AbreArquivo(lidos.arquivos[0]);
        excel.SelecionaPlanilha(static_cast<int>(aba));
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
                Escreve(saida);
                saida.clear();
            }
        }
        Escreve(saida);
    });
}

}  // namespace conversor::app
