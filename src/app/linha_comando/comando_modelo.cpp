// `conversor modelo --tipo TIPO ARQUIVO.xlsx`: a workbook ready to be filled for a
// kind. Its first sheet takes the rows: no titles, since row 1 is already a record,
// each column read wide enough to type in and formatted for what it holds, the
// columns not read narrow and grey. A second sheet, "Colunas", says what each
// column feeds.
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/gravacao.h"
#include "app/linha_comando/argumentos.h"
#include "app/linha_comando/comandos.h"
#include "app/linha_comando/terminal.h"
#include "base/colunas.h"
#include "base/regional.h"
#include "convert/leiaute.h"
#include "convert/tipos.h"

namespace conversor::app {

namespace {

using convert::ColunaLida;
using convert::Conteudo;
using convert::LeiauteTipo;

// libxlsxwriter takes UTF-8; the texts here are Windows-1252.
std::string U8(const std::string& cp1252) { return Cp1252ParaUtf8(cp1252); }

const ColunaLida* Lida(const LeiauteTipo& leiaute, int coluna) {
    for (const ColunaLida& c : leiaute.colunas)
        if (c.coluna == coluna) return &c;
    return nullptr;
}

// Room to type what the column holds, in characters.
double LarguraParaDigitar(const ColunaLida& c) {
    switch (c.conteudo) {
        case Conteudo::Texto:
            return c.largura ? std::clamp(c.largura, 10, 40) : 20;
        case Conteudo::Digitos:
            return std::clamp(c.largura + 4, 12, 22);
        case Conteudo::Codigo:
            return std::max(c.largura + 4, 8);
        case Conteudo::Sigla:
            return 6;
        case Conteudo::Numero:
        case Conteudo::Data:
        case Conteudo::Logico:
            break;
    }
    return 12;
}

// Codes, tax numbers and postal codes are kept as typed, leading zeros and all;
// numbers and dates are left to the spreadsheet.
const char* FormatoNumerico(Conteudo conteudo) {
    switch (conteudo) {
        case Conteudo::Texto:
        case Conteudo::Digitos:
        case Conteudo::Codigo:
        case Conteudo::Sigla:
            return "@";
        case Conteudo::Data:
            return "dd/mm/yyyy";
        case Conteudo::Numero:
        case Conteudo::Logico:
            break;
    }
    return nullptr;
}

// The sheet the rows go in. The cell of row 1 in the last column read carries a
// format (a border marking the sheet's edge), so that the sheet reaches that column
// however few columns a person fills, and keeps reaching it once saved by any
// spreadsheet program: a sheet narrower than its kind's layout is refused.
void EscreveAbaDosRegistros(lxw_workbook* pasta, const LeiauteTipo& leiaute) {
    lxw_worksheet* aba = workbook_add_worksheet(pasta, leiaute.aba);
    lxw_format* naoLida = workbook_add_format(pasta);
    format_set_bg_color(naoLida, 0xD9D9D9);
    const int ultima = leiaute.UltimaColuna();
    for (int coluna = 1; coluna <= ultima; ++coluna) {
        const lxw_col_t indice = static_cast<lxw_col_t>(coluna - 1);
        const ColunaLida* c = Lida(leiaute, coluna);
        if (!c) {
            worksheet_set_column(aba, indice, indice, 4, naoLida);
            continue;
        }
        lxw_format* formato = nullptr;
        if (const char* numerico = FormatoNumerico(c->conteudo)) {
            formato = workbook_add_format(pasta);
            format_set_num_format(formato, numerico);
        }
        worksheet_set_column(aba, indice, indice, LarguraParaDigitar(*c), formato);
        if (coluna == ultima) {
            lxw_format* borda = workbook_add_format(pasta);
            if (const char* numerico = FormatoNumerico(c->conteudo))
                format_set_num_format(borda, numerico);
            format_set_right(borda, LXW_BORDER_MEDIUM);
            worksheet_write_blank(aba, 0, indice, borda);
        }
    }
}

// The layout, for reading: a note on how the sheet is filled, then one row per
// column read, with its letters as the spreadsheet shows them.
void EscreveAbaColunas(lxw_workbook* pasta, const LeiauteTipo& leiaute) {
    lxw_worksheet* aba = workbook_add_worksheet(pasta, "Colunas");
    lxw_format* negrito = workbook_add_format(pasta);
    format_set_bold(negrito);
    lxw_format* titulo = workbook_add_format(pasta);
    format_set_bold(titulo);
    format_set_bottom(titulo, LXW_BORDER_THIN);
    lxw_format* topo = workbook_add_format(pasta);
    format_set_align(topo, LXW_ALIGN_VERTICAL_TOP);
    lxw_format* centro = workbook_add_format(pasta);
    format_set_align(centro, LXW_ALIGN_VERTICAL_TOP);
    format_set_align(centro, LXW_ALIGN_CENTER);
    lxw_format* regra = workbook_add_format(pasta);
    format_set_align(regra, LXW_ALIGN_VERTICAL_TOP);
    format_set_text_wrap(regra);

    const std::string aba1 = leiaute.aba;
    const std::string ultima =
        LetraColuna(leiaute.UltimaColuna()) + " (" + std::to_string(leiaute.UltimaColuna()) + ")";
    worksheet_write_string(
        aba, 0, 0,
        U8("Colunas que a conversão de " + std::string(leiaute.tipo) + " lê da aba " + aba1 + ".")
            .c_str(),
        negrito);
    worksheet_write_string(aba, 1, 0,
                           U8("Preencha a aba " + aba1 +
                              " a partir da linha 1, sem linha de títulos: a linha 1 já é um "
                              "registro. As colunas cinzentas não são lidas.")
                               .c_str(),
                           nullptr);
    worksheet_write_string(aba, 2, 0,
                           U8("A aba vai até a coluna " + ultima + "; a célula " +
                              LetraColuna(leiaute.UltimaColuna()) +
                              "1, com uma borda, garante essa largura: não a apague.")
                               .c_str(),
                           nullptr);
    const char* const cabecalho[] = {"Coluna", "Letra", "Campo", "Largura", "Regra"};
    for (lxw_col_t k = 0; k < 5; ++k)
        worksheet_write_string(aba, 4, k, U8(cabecalho[k]).c_str(), titulo);
    lxw_row_t linha = 5;
    for (const ColunaLida& c : leiaute.colunas) {
        worksheet_write_number(aba, linha, 0, c.coluna, centro);
        worksheet_write_string(aba, linha, 1, LetraColuna(c.coluna).c_str(), centro);
        worksheet_write_string(aba, linha, 2, *c.campo ? c.campo : "-", topo);
        if (c.largura)
            worksheet_write_number(aba, linha, 3, c.largura, centro);
        else
            worksheet_write_string(aba, linha, 3, "-", centro);
        worksheet_write_string(aba, linha, 4, U8(convert::RegraCompleta(c)).c_str(), regra);
        ++linha;
    }
    worksheet_set_column(aba, 0, 0, 8, nullptr);
    worksheet_set_column(aba, 1, 1, 7, nullptr);
    worksheet_set_column(aba, 2, 2, 28, nullptr);
    worksheet_set_column(aba, 3, 3, 9, nullptr);
    worksheet_set_column(aba, 4, 4, 80, nullptr);
    worksheet_freeze_panes(aba, 5, 0);
    // Printed on paper as wide as the table.
    worksheet_set_landscape(aba);
    worksheet_fit_to_pages(aba, 1, 0);
}

int Falha(const std::string& mensagem) {
    std::fprintf(stderr, "%s\n", ParaTerminal(mensagem).c_str());
    return 1;
}

}  // namespace

int ComandoModelo(const Argumentos& args) {
    const Comando& comando = ComandoChamado("modelo");
    ArgumentosLidos lidos;
    try {
        lidos = LeArgumentos(args, comando);
    } catch (const ErroUso& e) {
        return SaiComErroDeUso(e.what(), comando);
    }
    if (lidos.ajuda) return MostraUso(comando);
    if (const char* falta = OpcaoQueFalta(lidos, comando))
        return SaiComErroDeUso(std::string("Falta a opção ") + falta, comando);
    const convert::DescricaoTipo* tipo = convert::ProcuraTipo(lidos.opcoes["--tipo"]);
    const LeiauteTipo* leiaute = tipo ? &tipo->Leiaute() : nullptr;
    if (!leiaute)
        return SaiComErroDeUso("Tipo desconhecido: " + CaminhoParaMensagem(lidos.opcoes["--tipo"]),
                               comando);
    if (lidos.arquivos.empty()) return SaiComErroDeUso("Informe o arquivo do modelo.", comando);
    if (lidos.arquivos.size() > 1)
        return SaiComErroDeUso("Informe um só arquivo para o modelo.", comando);
    const std::string& arquivo = lidos.arquivos[0];
    const std::string nome = CaminhoParaMensagem(arquivo);

    // A workbook someone filled is never written over.
    std::error_code erro;
    if (std::filesystem::symlink_status(arquivo, erro).type() !=
        std::filesystem::file_type::not_found)
        return Falha("O arquivo '" + nome + "' já existe; escolha outro nome.");

    try {
        GravaPastaXlsx(arquivo, "O modelo '" + nome + "'", [leiaute](lxw_workbook* pasta) {
            EscreveAbaDosRegistros(pasta, *leiaute);
            EscreveAbaColunas(pasta, *leiaute);
        });
    } catch (const ErroGravacao& e) {
        return Falha(e.what());
    }
    std::printf(
        "%s\n",
        ParaTerminal("Modelo de " + std::string(leiaute->tipo) + " criado: " + nome).c_str());
    return 0;
}

}  // namespace conversor::app
