// How fast a large sheet gets into the staging table, and how much memory it takes.
//
//   bench_carga_planilha [ARQUIVO] [--linhas N] [--colunas N] [--por-celula]
//                        [--so-leitor] [--pasta DIR]
//
// Without ARQUIVO it writes, into a temporary folder (or into DIR, where they stay
// and are reused on the next run), two workbooks of 100,000 rows
// by 132 columns (fixed seed; numbers, dates and texts, about 30% of the cells
// empty): one with shared strings, as spreadsheet programs save, and one with
// inline strings. Each file is then opened through the workbook driver and loaded
// into the staging table up to its last row, in a process of its own so that its
// peak memory (ru_maxrss) is the load's alone. --por-celula also times reading the
// same cells one LeCelula call each, for comparison; --so-leitor times the file's
// reader alone, handing its cells to nobody.
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <chrono>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "apoio.h"
#include "base/regional.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

namespace {

using namespace conversor;
using namespace conversor::intake;
using namespace conversor::bench;

// UTF-8, as libxlsxwriter takes them.
const char* const kCidades[] = {"S\xC3\xA3o Paulo",
                                "Rio de Janeiro",
                                "Belo Horizonte",
                                "Bras\xC3\xAD"
                                "lia",
                                "Curitiba",
                                "Porto Alegre",
                                "Florian\xC3\xB3polis",
                                "Goi\xC3\xA2nia",
                                "Recife",
                                "Salvador"};

bool GeraPasta(const std::string& caminho, int linhas, int colunas, bool textosNaLinha) {
    const PastaGerada gerada = NovaPasta(caminho, textosNaLinha);
    if (!gerada.pasta) return false;
    lxw_workbook* wb = gerada.pasta;
    lxw_worksheet* ws = gerada.aba;
    lxw_format* data = gerada.data;
    Sorteio s{20240517};
    char texto[96];
    for (int c = 0; c < colunas; ++c) {
        std::snprintf(texto, sizeof texto, "Coluna %d", c + 1);
        worksheet_write_string(ws, 0, static_cast<lxw_col_t>(c), texto, nullptr);
    }
    for (int l = 1; l < linhas; ++l) {
        for (int c = 0; c < colunas; ++c) {
            if (s.Ate(10) < 3) continue;  // about 30% empty
            CelulaDeEnchimento(ws, static_cast<lxw_row_t>(l), static_cast<lxw_col_t>(c), data, s,
                               kCidades);
        }
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

// Runs `trabalho` in a child process; true if it ended with status 0.
template <class F>
bool EmProcessoProprio(F&& trabalho) {
    std::fflush(stdout);
    const pid_t filho = fork();
    if (filho < 0) return false;
    if (filho == 0) _exit(trabalho());
    int status = 0;
    waitpid(filho, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class Contador final : public VisitanteCelulas {
public:
    size_t celulas = 0;
    size_t bytes = 0;
    void Celula(int, int, std::string_view texto) override {
        ++celulas;
        bytes += texto.size();
    }
};

int SoLeitor(const std::string& caminho) {
    try {
        const auto inicio = Relogio::now();
        auto leitor = AbreLeitor(caminho);
        Contador contador;
        const AreaUsada area = leitor->LeAba(1, contador);
        const double s = Segundos(inicio);
        Mostra(
            "  só o leitor: %d x %d, %zu células, %zu bytes em %.2f s (%.2f milhões de células/s); "
            "pico de memória: %.0f MB\n",
            area.ultimaLinha, area.ultimaColuna, contador.celulas, contador.bytes, s,
            static_cast<double>(area.ultimaLinha) * area.ultimaColuna / s / 1e6, PicoMemoriaMb());
        return 0;
    } catch (const std::exception& e) {
        Mostra("  erro: %s\n", e.what());
        return 1;
    }
}

int Carrega(const std::string& caminho, bool porCelula) {
    try {
        const auto inicio = Relogio::now();
        TDMCotrolaExcel excel;
        excel.AbreArquivo(caminho);
        excel.ListaPlanilhas();
        excel.SelecionaPlanilha(1);
        const int l = excel.UltimaLinha();  // reads the sheet
        const int n = excel.UltimaColuna();
        const double leitura = Segundos(inicio);
        const size_t naoVazias = excel.Planilha()->Celulas();

        const auto inicioCarga = Relogio::now();
        TTabelaTemp tabela;
        ProgressoMudo progresso;
        CarregaTabelaTemp(excel, tabela, l, progresso);
        const double carga = Segundos(inicioCarga);
        const double total = leitura + carga;
        const double celulas = static_cast<double>(l) * n;

        Mostra("  %d linhas x %d colunas = %.0f células (%zu não vazias)\n", l, n, celulas,
               naoVazias);
        Mostra("  leitura do arquivo: %.2f s; carga da tabela: %.2f s; total: %.2f s\n", leitura,
               carga, total);
        Mostra("  %.2f milhões de células/s (%.2f milhões não vazias/s)\n", celulas / total / 1e6,
               static_cast<double>(naoVazias) / total / 1e6);
        Mostra("  pico de memória: %.0f MB\n", PicoMemoriaMb());

        if (porCelula) {
            const auto inicioCelulas = Relogio::now();
            size_t bytes = 0;
            for (int i = 1; i <= l; ++i)
                for (int k = 1; k <= n; ++k) bytes += excel.LeCelula(k, i).size();
            const double s = Segundos(inicioCelulas);
            Mostra(
                "  uma chamada LeCelula por célula: %.2f s (%.2f milhões de células/s, %zu "
                "bytes)\n",
                s, celulas / s / 1e6, bytes);
        }
        return 0;
    } catch (const std::exception& e) {
        Mostra("  erro: %s\n", e.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string arquivo;
    int linhas = 100000;
    int colunas = 132;
    bool porCelula = false;
    bool soLeitor = false;
    std::string pastaDada;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--linhas" && i + 1 < argc) {
            linhas = std::atoi(argv[++i]);
        } else if (arg == "--colunas" && i + 1 < argc) {
            colunas = std::atoi(argv[++i]);
        } else if (arg == "--por-celula") {
            porCelula = true;
        } else if (arg == "--so-leitor") {
            soLeitor = true;
        } else if (arg == "--pasta" && i + 1 < argc) {
            pastaDada = argv[++i];
        } else if (!arg.empty() && arg[0] != '-') {
            arquivo = arg;
        } else {
            std::fputs(
                "Uso: bench_carga_planilha [ARQUIVO] [--linhas N] [--colunas N] [--por-celula]\n"
                "                            [--so-leitor] [--pasta DIR]\n",
                stderr);
            return 2;
        }
    }
    if (linhas < 1 || linhas > kMaxLinhas || colunas < 1 || colunas > kMaxColunas) {
        std::fputs("Linhas ou colunas fora dos limites de uma planilha.\n", stderr);
        return 2;
    }

    const auto mede = [&](const std::string& caminho) {
        const bool leitorCerto = !soLeitor || EmProcessoProprio([&] { return SoLeitor(caminho); });
        return EmProcessoProprio([&] { return Carrega(caminho, porCelula); }) && leitorCerto;
    };
    if (!arquivo.empty()) {
        Mostra("%s\n", Utf8ParaCp1252(arquivo).c_str());
        return mede(arquivo) ? 0 : 1;
    }

    const std::filesystem::path pasta = PastaDeTrabalho(pastaDada, "bench-planilha");
    if (pasta.empty()) return 1;
    bool tudoCerto = true;
    for (const bool textosNaLinha : {false, true}) {
        const std::string caminho =
            (pasta / (textosNaLinha ? "textos-na-celula.xlsx" : "textos-compartilhados.xlsx"))
                .string();
        const auto inicio = Relogio::now();
        if ((pastaDada.empty() || !std::filesystem::exists(caminho)) && !EmProcessoProprio([&] {
                return GeraPasta(caminho, linhas, colunas, textosNaLinha) ? 0 : 1;
            })) {
            Mostra("Falha ao gerar %s\n", caminho.c_str());
            tudoCerto = false;
            continue;
        }
        Mostra("%s (%s, %.1f MB, pronto em %.1f s)\n", caminho.c_str(),
               textosNaLinha ? "textos na célula" : "textos compartilhados",
               std::filesystem::file_size(caminho) / 1048576.0, Segundos(inicio));
        tudoCerto = mede(caminho) && tudoCerto;
    }
    std::error_code erro;
    if (pastaDada.empty()) std::filesystem::remove_all(pasta, erro);
    return tudoCerto ? 0 : 1;
}
