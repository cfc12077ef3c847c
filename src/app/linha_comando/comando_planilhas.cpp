// `conversor planilhas`, `conversor mostrar` and `conversor mapa`: a look at a
// workbook through the same driver and staging load the conversion uses, before
// converting anything.
#include <sys/stat.h>
#include <unistd.h>

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
#include "convert/leiaute.h"
#include "convert/mapa_colunas.h"
#include "convert/percurso.h"
#include "convert/tipos.h"
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

// Output sent into the workbook being read (`>> pasta.xlsx`) would spoil it.
void RecusaSaidaSobre(const std::string& planilha) {
    struct stat saida {};
    struct stat lida {};
    if (fstat(STDOUT_FILENO, &saida) == 0 && S_ISREG(saida.st_mode) &&
        stat(planilha.c_str(), &lida) == 0 && saida.st_dev == lida.st_dev &&
        saida.st_ino == lida.st_ino)
        throw std::runtime_error("A saída seria gravada sobre a própria planilha '" +
                                 CaminhoParaMensagem(planilha) + "'.");
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
    const Comando& uso = ComandoChamado("planilhas");
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, uso);
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), uso);
    }
    if (lidos.ajuda) return MostraUso(uso);
    if (lidos.arquivos.size() != 1) return SaiComErroDeUso("Informe um arquivo de planilha.", uso);
    TDMCotrolaExcel excel;
    return Executa([&] {
        RecusaSaidaSobre(lidos.arquivos[0]);
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
    const Comando& uso = ComandoChamado("mostrar");
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, uso);
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), uso);
    }
    if (lidos.ajuda) return MostraUso(uso);
    const long long aba = lidos.Numero("--aba").value_or(1);
    const std::optional<long long> ultimaLinha = lidos.Numero("--ultima-linha");
    intake::RecorteCarga recorte;
    recorte.primeiraLinha = lidos.Numero("--primeira-linha").value_or(recorte.primeiraLinha);
    if (lidos.arquivos.empty()) return SaiComErroDeUso("Informe um arquivo de planilha.", uso);
    if (lidos.arquivos.size() > 1)
        return SaiComErroDeUso("Informe um só arquivo de planilha.", uso);

    TDMCotrolaExcel excel;
    return Executa([&] {
        RecusaSaidaSobre(lidos.arquivos[0]);
        excel.AbreArquivo(lidos.arquivos[0]);
        excel.SelecionaPlanilha(static_cast<int>(aba));
        // Read once: the sheet's last row then comes from its cells in memory, not from a
        // measuring pass over the whole sheet of its own.
        excel.Planilha();
        intake::TTabelaTemp tabela;
        intake::ProgressoMudo progresso;
        intake::CarregaTabelaTemp(excel, tabela, ultimaLinha ? *ultimaLinha : excel.UltimaLinha(),
                                  progresso, recorte);
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

int ComandoMapa(const Argumentos& args) {
    const Comando& uso = ComandoChamado("mapa");
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, uso);
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), uso);
    }
    if (lidos.ajuda) return MostraUso(uso);
    if (!lidos.arquivos.empty())
        return SaiComErroDeUso("Argumento inesperado: " + CaminhoParaMensagem(lidos.arquivos[0]),
                               uso);
    if (const char* falta = OpcaoQueFalta(lidos, uso))
        return SaiComErroDeUso(std::string("Falta a opção ") + falta, uso);
    const convert::DescricaoTipo* tipo = convert::ProcuraTipo(lidos.opcoes["--tipo"]);
    if (!tipo)
        return SaiComErroDeUso("Tipo desconhecido: " + CaminhoParaMensagem(lidos.opcoes["--tipo"]),
                               uso);
    const convert::LeiauteTipo& leiaute = tipo->Leiaute();
    const long long aba = lidos.Numero("--aba").value_or(1);
    const std::optional<long long> linhaTitulos = lidos.Numero("--linha-titulos");

    TDMCotrolaExcel excel;
    const std::string& arquivo = lidos.opcoes["--planilha"];
    return Executa([&] {
        RecusaSaidaSobre(arquivo);
        excel.AbreArquivo(arquivo);
        excel.SelecionaPlanilha(static_cast<int>(aba));
        const int ultimaColuna = excel.UltimaColuna();
        const int ultimaLinha = excel.UltimaLinha();
        const auto Titulos = [&](long long linha) {
            convert::TitulosPlanilha t{linha, {}};
            for (int coluna = 1; coluna <= ultimaColuna; ++coluna)
                t.textos.push_back(excel.LeCelula(coluna, static_cast<int>(linha)));
            return t;
        };
        const auto Preenchidas = [](const convert::TitulosPlanilha& t) {
            int n = 0;
            for (const std::string& texto : t.textos) n += !convert::EmBranco(texto);
            return n;
        };
        convert::TitulosPlanilha titulos;
        if (linhaTitulos) {
            if (*linhaTitulos <= ultimaLinha) titulos = Titulos(*linhaTitulos);
            if (titulos.linha == 0 || Preenchidas(titulos) == 0)
                throw std::runtime_error("A linha " + std::to_string(*linhaTitulos) + " da aba " +
                                         std::to_string(aba) + " está vazia: não há títulos nela.");
        } else {
            // A title row above the headings holds one cell ("Cadastro de produtos");
            // the headings hold one per column.
            long long primeiraPreenchida = 0;
            for (long long linha = 1; linha <= ultimaLinha && titulos.linha == 0; ++linha) {
                convert::TitulosPlanilha t = Titulos(linha);
                const int n = Preenchidas(t);
                if (n > 1) titulos = std::move(t);
                if (n > 0 && primeiraPreenchida == 0) primeiraPreenchida = linha;
            }
            // A sheet of one column: its first row that holds anything.
            if (titulos.linha == 0 && primeiraPreenchida) titulos = Titulos(primeiraPreenchida);
            if (titulos.linha == 0)
                throw std::runtime_error("A aba " + std::to_string(aba) +
                                         " está vazia: não há títulos para propor um mapa.");
        }
        const convert::PropostaMapa proposta = convert::PropoeMapa(leiaute, titulos);
        Escreve(Cp1252ParaUtf8(
            convert::TextoDoMapa(proposta, leiaute, titulos, arquivo, static_cast<int>(aba))));
        if (std::fflush(stdout) != 0) throw ErroSaida();
        Erro(std::to_string(proposta.ligadas.size()) + " coluna(s) do leiaute ligada(s), " +
             std::to_string(proposta.semLugar.size()) +
             " título(s) sem lugar (comentados no fim do mapa). Títulos na linha " +
             std::to_string(titulos.linha) + ": converta com --primeira-linha " +
             std::to_string(titulos.linha + 1) + " e --mapa.");
    });
}

}  // namespace conversor::app
