#include "app/relatorio_ensaio.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "base/regional.h"

namespace conversor::app {

namespace {

// Warnings carry their kind in a last column, to filter by it.
void EscreveAba(lxw_workbook* pasta, const char* nome,
                const std::vector<convert::Problema>& problemas, long long total, bool comGenero) {
    lxw_worksheet* aba = workbook_add_worksheet(pasta, nome);
    lxw_format* negrito = workbook_add_format(pasta);
    format_set_bold(negrito);
    const char* const titulos[] = {"Linha", "Coluna", "Letra", "Texto", "Motivo", "Tipo"};
    const lxw_col_t colunas = comGenero ? 6 : 5;
    for (lxw_col_t k = 0; k < colunas; ++k) worksheet_write_string(aba, 0, k, titulos[k], negrito);
    worksheet_set_column(aba, 0, 2, 8, nullptr);
    worksheet_set_column(aba, 3, 3, 30, nullptr);
    worksheet_set_column(aba, 4, 4, 80, nullptr);
    worksheet_set_column(aba, 5, 5, 28, nullptr);
    lxw_row_t linha = 0;
    for (const convert::Problema& p : problemas) {
        ++linha;
        // A problem of the sheet as a whole, or of a column not known, leaves its cell blank.
        if (p.linha > 0)
            worksheet_write_number(aba, linha, 0, static_cast<double>(p.linha), nullptr);
        // Through a column map the layout's column number means nothing in the
        // person's sheet: the column names both places, the letter is the sheet's.
        if (!p.origem.empty())
            worksheet_write_string(aba, linha, 1, Cp1252ParaUtf8(p.origem).c_str(), nullptr);
        else if (p.coluna > 0)
            worksheet_write_number(aba, linha, 1, p.coluna, nullptr);
        if (!p.letra.empty()) worksheet_write_string(aba, linha, 2, p.letra.c_str(), nullptr);
        if (!p.texto.empty())
            worksheet_write_string(aba, linha, 3, Cp1252ParaUtf8(p.texto).c_str(), nullptr);
        std::string motivo = MensagemParaUtf8(p.motivo);
        for (char& c : motivo)
            if (c == '\r') c = '\n';
        worksheet_write_string(aba, linha, 4, motivo.c_str(), nullptr);
        if (comGenero)
            worksheet_write_string(
                aba, linha, 5, MensagemParaUtf8(convert::NomeDoGenero(p.genero)).c_str(), nullptr);
    }
    worksheet_autofilter(aba, 0, 0, linha, colunas - 1);
    worksheet_freeze_panes(aba, 1, 0);
    // Below the filtered rows: how many the list left out.
    if (const long long fora = total - static_cast<long long>(problemas.size()); fora > 0) {
        const std::string texto = "E mais " + std::to_string(fora) +
                                  " problema(s) não listados: a lista traz só os "
                                  "primeiros " +
                                  std::to_string(convert::Ensaio::kMaxPorGenero) + " de cada tipo.";
        worksheet_write_string(aba, linha + 2, 4, MensagemParaUtf8(texto).c_str(), nullptr);
    }
}

}  // namespace

void ConfereDestinoDoRelatorio(const std::string& arquivo, const std::vector<ArquivoLido>& lidos) {
    namespace fs = std::filesystem;
    const std::string nome = "O relatório '" + CaminhoParaMensagem(arquivo) + "'";
    RecusaSobreArquivoLido(arquivo, nome, lidos);
    std::error_code erro;
    if (fs::is_directory(arquivo, erro)) throw ErroGravacao(nome + " é uma pasta.");
    const bool existia = fs::exists(arquivo, erro);
    std::FILE* f = std::fopen(arquivo.c_str(), "ab");
    if (!f) throw ErroGravacao(nome + " não pode ser gravado: " + PorQueNaoGrava(errno) + ".");
    std::fclose(f);
    if (!existia) fs::remove(arquivo, erro);
}

void GravaRelatorioEnsaio(const std::string& arquivo, const ResultadoEnsaio& ensaio) {
    GravaPastaXlsx(arquivo, "O relatório '" + CaminhoParaMensagem(arquivo) + "'",
                   [&ensaio](lxw_workbook* pasta) {
                       EscreveAba(pasta, "Falhas", ensaio.falhas, ensaio.totalFalhas, false);
                       EscreveAba(pasta, "Avisos", ensaio.avisos, ensaio.avisosPorGenero.Total(),
                                  true);
                   });
}

std::string DescreveProblema(const convert::Problema& p) {
    std::string r = p.linha > 0 ? "linha " + std::to_string(p.linha) : std::string("planilha");
    if (!p.origem.empty())
        r += ", " + p.origem;
    else if (p.coluna > 0)
        r += ", coluna " + p.letra + " (" + std::to_string(p.coluna) + ")";
    if (!p.texto.empty()) r += ", '" + p.texto + "'";
    return r + ": " + p.motivo;
}

}  // namespace conversor::app
