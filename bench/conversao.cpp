// How fast a large sheet becomes Vantora rows, with the run's rehearsal, against the
// database's own limit; how much memory it takes; how fast the sheet is read; and
// whether the window stays alive meanwhile.
//
//   bench_conversao [--linhas N] [--repeticoes R] [--tipos T1,T2,...] [--pasta DIR]
//                   [--cidades ARQUIVO.DBF] [--grandes] [--so-gerar] [--so-janela]
//                   [--sem-janela] [--sem-leitura] [--sem-escrita-forcada]
//                   [--comandos-texto]
//
// Writes with libxlsxwriter, for each record kind, a workbook of N rows (default
// 100,000; carriers and sellers stop at 9,999, their codes have four digits) at the
// kind's width (products 132 columns, clients 130, suppliers 48, sellers 57,
// carriers 27): the columns the kind's mapping reads hold what a real export holds
// there (codes, names with accents and apostrophes, prices, rates, dates, phones,
// a few hundred cities, fiscal classifications and manufacturers), the others
// filler, about 30% of all cells empty, fixed seed. Every workbook is written with
// shared strings (as spreadsheet programs save); products also with inline strings.
// --grandes adds the largest: 999,999 products (their codes' limit) and 1,048,575
// clients (a sheet's rows but one), each in both forms. The workbooks are kept in
// DIR (default /work/cache/bench) and reused on the next run; --so-gerar stops once
// they are there. Then, R times each (default 3; the largest once), every step in a
// process of its own, so that each peak of memory (VmHWM) is that step's alone:
//
//   (a) the staging load alone: the workbook opened through the workbook driver and
//       copied into the staging table (cells per second, peak memory), and then,
//       with the reader gone, the staging table's memory per non-empty cell;
//   (b) the run as the window starts it, into a fresh Vantora database: the workbook
//       opened, its last row found, then "Efetuar Conversão" with its rehearsal; the
//       load, the rehearsal and the conversion timed apart by the captions the run
//       shows, and the peak memory of the whole;
//   (c) the database's own limit for the same rows (100,000-row shared-strings
//       workbooks only): the rows that (b) wrote, read back and written into another
//       fresh database with one INSERT per table prepared once and executed with
//       parameters, in one transaction, through the program's access layer.
//
// Then, for the 100,000-row products workbooks, `conversor mostrar` against inflating
// every part of the package (unless --sem-leitura), and the run in the main window,
// offscreen, with a timer on its message loop: the longest wait between two turns of
// the loop and between two moves of the gauge, and where the longest waits were
// (unless --sem-janela; --so-janela measures only that). With --grandes,
// the growth from 100,000 rows to the largest, in the same run.
//
// It prints Markdown tables of the medians, with the date and the machine's load.
// --sem-escrita-forcada turns the databases' forced writes off, to see what the
// synchronous page writes cost (a Vantora database is created with them on).
// --comandos-texto sends the statements that carry their values in the text as
// texts, one per row, as the reference way does. Run by hand; never by CI.
#include <fcntl.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <zip.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "apoio.h"
#include "apoio/conversao_na_janela.h"
#include "apoio/dialogos_gravados.h"
#include "app/execucao.h"
#include "app/janela/principal.h"
#include "base/regional.h"
#include "convert/mensagens.h"
#include "convert/percurso.h"
#include "db/conexao.h"
#include "db/consulta.h"
#include "db/esquema.h"
#include "intake/excel.h"
#include "intake/pacote_zip.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"
#include "textos_compartilhados.h"

namespace {

using namespace conversor;
using namespace conversor::bench;

// UTF-8 literals, as libxlsxwriter takes them.
const char* U(const char8_t* texto) { return reinterpret_cast<const char*>(texto); }

std::string Carga() {
    std::ifstream f("/proc/loadavg");
    double a = 0, b = 0, c = 0;
    f >> a >> b >> c;
    char texto[64];
    std::snprintf(texto, sizeof texto, "%.2f %.2f %.2f", a, b, c);
    return texto;
}

// ---------------------------------------------------------------------------------
// The workbooks.

// One row being written: the cells the kind's mapping reads, marked so the filler
// leaves them alone.
class Linha {
public:
    Linha(lxw_worksheet* aba, lxw_format* data, int linha, int colunas)
        : aba_(aba), data_(data), linha_(static_cast<lxw_row_t>(linha)), usada_(colunas + 1) {}

    void Texto(int coluna, const std::string& texto) {
        usada_[coluna] = true;
        if (!texto.empty())
            worksheet_write_string(aba_, linha_, static_cast<lxw_col_t>(coluna - 1), texto.c_str(),
                                   nullptr);
    }
    void Numero(int coluna, double numero) {
        usada_[coluna] = true;
        worksheet_write_number(aba_, linha_, static_cast<lxw_col_t>(coluna - 1), numero, nullptr);
    }
    void Logico(int coluna, bool valor) {
        usada_[coluna] = true;
        worksheet_write_boolean(aba_, linha_, static_cast<lxw_col_t>(coluna - 1), valor, nullptr);
    }
    void Data(int coluna, double serial) {
        usada_[coluna] = true;
        worksheet_write_number(aba_, linha_, static_cast<lxw_col_t>(coluna - 1), serial, data_);
    }
    void Vazia(int coluna) { usada_[coluna] = true; }
    bool Usada(int coluna) const { return usada_[coluna]; }
    lxw_worksheet* Aba() const { return aba_; }
    lxw_row_t Indice() const { return linha_; }
    lxw_format* FormatoData() const { return data_; }

private:
    lxw_worksheet* aba_;
    lxw_format* data_;
    lxw_row_t linha_;
    std::vector<bool> usada_;
};

std::string Formata(const char* formato, ...) {
    char texto[512];
    va_list args;
    va_start(args, formato);
    std::vsnprintf(texto, sizeof texto, formato, args);
    va_end(args);
    return texto;
}

const char* const kNomes[] = {U(u8"José"),    U(u8"Maria"),  U(u8"João"),  "Ana",
                              U(u8"Antônio"), "Francisca",   "Carlos",     U(u8"Márcia"),
                              "Paulo",        "Adriana",     U(u8"Lúcia"), "Pedro",
                              "Juliana",      U(u8"Sérgio"), "Fernanda",   U(u8"Conceição")};
const char* const kSobrenomes[] = {"Silva",     "Santos",      "Oliveira",       "Souza",
                                   "Pereira",   "Lima",        "Carvalho",       "Ferreira",
                                   "Rodrigues", "Almeida",     U(u8"Gonçalves"), "Ribeiro",
                                   "D'Avila",   U(u8"Araújo"), "Barbosa",        U(u8"D'Ávila")};
const char* const kRamos[] = {
    "Supermercado",  "Padaria",     "Drogaria", "Comercial",
    "Distribuidora", "Restaurante", "Loja",     U(u8"Materiais de Construção"),
    "Auto Center",   "Papelaria"};
const char* const kRuas[] = {"Rua", "Avenida", "Travessa", "Alameda", U(u8"Praça")};
const char* const kLogradouros[] = {
    U(u8"Afonso Pena"), U(u8"Espírito Santo"), "XV de Novembro",   U(u8"Barão de Jaguara"),
    "Paulista",         U(u8"São João"),       "Sete de Setembro", U(u8"Conceição do Mato Dentro"),
    "das Flores",       U(u8"Padre Eustáquio")};
const char* const kBairros[] = {
    "Centro",  "Savassi",    "Bela Vista",         "Eldorado", U(u8"Funcionários"),
    "Lourdes", "Boa Viagem", U(u8"Jardim América")};

// Cities: real ones with their area codes in the city table, and made-up districts
// of them, a few hundred names in all.
struct Cidade {
    const char* nome;
    const char* uf;
};
const Cidade kCidades[] = {
    {"Belo Horizonte", "MG"}, {U(u8"São Paulo"), "SP"},
    {"Rio de Janeiro", "RJ"}, {"Curitiba", "PR"},
    {"Porto Alegre", "RS"},   {"Salvador", "BA"},
    {"Recife", "PE"},         {"Fortaleza", "CE"},
    {U(u8"Goiânia"), "GO"},   {"Campinas", "SP"},
    {"Contagem", "MG"},       {U(u8"Florianópolis"), "SC"},
    {"BHTE", "MG"},           {"Manaus", "AM"},
    {U(u8"Belém"), "PA"},     {U(u8"Uberlândia"), "MG"},
};

void CidadeSorteada(Sorteio& s, std::string& nome, std::string& uf) {
    const Cidade& c = kCidades[s.Ate(std::size(kCidades))];
    uf = c.uf;
    // Half the rows in the big cities, the rest spread over 40 made-up towns of each.
    if (s.Chance(50))
        nome = c.nome;
    else
        nome = Formata("%s %s %d", c.nome, U(u8"Distrito"), static_cast<int>(s.Ate(40)) + 1);
}

std::string Documento(Sorteio& s, bool cnpj) {
    if (cnpj)
        return Formata("%02d.%03d.%03d/0001-%02d", static_cast<int>(s.Ate(100)),
                       static_cast<int>(s.Ate(1000)), static_cast<int>(s.Ate(1000)),
                       static_cast<int>(s.Ate(100)));
    return Formata("%03d.%03d.%03d-%02d", static_cast<int>(s.Ate(1000)),
                   static_cast<int>(s.Ate(1000)), static_cast<int>(s.Ate(1000)),
                   static_cast<int>(s.Ate(100)));
}

std::string Telefone(Sorteio& s) {
    switch (s.Ate(5)) {
        case 0:
            return Formata("(%02d) 3%03d-%04d", 11 + static_cast<int>(s.Ate(80)),
                           static_cast<int>(s.Ate(1000)), static_cast<int>(s.Ate(10000)));
        case 1:
            return Formata("3%03d-%04d", static_cast<int>(s.Ate(1000)),
                           static_cast<int>(s.Ate(10000)));
        case 2:
            return Formata("%02d 9%04d-%04d", 11 + static_cast<int>(s.Ate(80)),
                           static_cast<int>(s.Ate(10000)), static_cast<int>(s.Ate(10000)));
        case 3:
            return ".";
        default:
            return "";
    }
}

std::string Cep(Sorteio& s) {
    return Formata("%05d-%03d", static_cast<int>(s.Ate(100000)), static_cast<int>(s.Ate(1000)));
}

std::string Pessoa(Sorteio& s) {
    return std::string(s.De(kNomes)) + " " + s.De(kSobrenomes) + " " + s.De(kSobrenomes);
}

std::string Empresa(Sorteio& s) {
    return std::string(s.De(kRamos)) + " " + s.De(kSobrenomes) + (s.Chance(50) ? " Ltda" : " ME");
}

std::string Endereco(Sorteio& s) { return std::string(s.De(kRuas)) + " " + s.De(kLogradouros); }

// Products: a large store's catalogue. The classification and the manufacturer come
// from some hundreds each; the margin (column 64) is always a number, as the
// mapping reads it as one.
void Produto(Linha& l, Sorteio& s, int) {
    const char* const setores[] = {"Mercearia",     "Bebidas", "Ferragens", U(u8"Construção"),
                                   U(u8"Elétrica"), "Limpeza", "Higiene",   "Papelaria"};
    const char* const itens[] = {"Arroz Branco Tipo 1",
                                 U(u8"Feijão Carioca"),
                                 U(u8"Óleo de Soja"),
                                 U(u8"Café Torrado e Moído"),
                                 U(u8"Açúcar Cristal"),
                                 "Cerveja Pilsen Lata",
                                 "Refrigerante Garrafa",
                                 U(u8"Água Mineral sem Gás"),
                                 "Martelo de Unha",
                                 "Chave de Fenda 1/4\" x 6\"",
                                 "Parafuso Sextavado 3/8",
                                 "Cimento CP II-E-32",
                                 U(u8"Tubo PVC Soldável 25mm"),
                                 U(u8"Tinta Acrílica Fosca"),
                                 U(u8"Lâmpada LED Bulbo 9W"),
                                 U(u8"Cabo Flexível 2,5mm²"),
                                 U(u8"Sabão em Pó"),
                                 U(u8"Papel Higiênico Folha Dupla"),
                                 U(u8"Caixa d'água 500L"),
                                 U(u8"Caderno Universitário")};
    const char* const unidades[] = {"UN", "PC", "CX", "KG", "LT", "MT", "FD", "pc", "un", "cx"};
    const double ncmBase[] = {10063021, 7133319,  15079011, 9012100,  17019900, 22030000,
                              82052000, 73181500, 25232910, 39172300, 85395000, 34022000};
    l.Texto(3, s.De(setores));
    l.Logico(5, s.Chance(92));
    if (s.Chance(85))
        l.Texto(15, Formata("%08d", static_cast<int>(ncmBase[s.Ate(std::size(ncmBase))]) +
                                        static_cast<int>(s.Ate(80)) * 10));
    else
        l.Vazia(15);
    l.Texto(20, Formata("Corredor %d", static_cast<int>(s.Ate(30)) + 1));
    const double cstsPisCofins[] = {1, 4, 6, 49};
    if (s.Chance(90))
        l.Numero(27, cstsPisCofins[s.Ate(4)]);
    else
        l.Vazia(27);
    if (s.Chance(90))
        l.Numero(30, static_cast<double>(s.Ate(2) ? 1 : 4));
    else
        l.Vazia(30);
    l.Texto(44, Formata("%02d", static_cast<int>(s.Ate(99)) + 1));
    if (s.Chance(75))
        l.Texto(55, Formata("%s %s", s.De(kSobrenomes),
                            s.Chance(50) ? "Industrial" : U(u8"Indústria e Comércio")) +
                        Formata(" %d", static_cast<int>(s.Ate(20))));
    else
        l.Vazia(55);
    l.Numero(64, static_cast<double>(s.Ate(8000)) / 100);
    l.Texto(66, Formata("%s %s %d", s.De(itens), s.De(kSobrenomes), static_cast<int>(s.Ate(1000))));
    l.Numero(81, s.Chance(70) ? 7.6 : 0);
    l.Texto(85, s.De(setores));
    if (s.Chance(60))
        l.Numero(86, static_cast<double>(s.Ate(15)));
    else
        l.Vazia(86);
    l.Vazia(87);
    l.Numero(88, s.Chance(70) ? 1.65 : 0);
    l.Numero(91, static_cast<double>(s.Ate(50000)) / 1000);
    const double custo = static_cast<double>(s.Ate(500000)) / 100 + 0.05;
    l.Numero(96, custo);
    l.Numero(102, std::round(custo * (1.2 + static_cast<double>(s.Ate(80)) / 100) * 100) / 100);
    l.Texto(103, Formata("REF-%05d", static_cast<int>(s.Ate(100000))));
    // Stock: sometimes nothing, sometimes negative (sold before it was entered).
    if (s.Chance(80))
        l.Numero(111,
                 s.Chance(3) ? -static_cast<double>(s.Ate(10)) : static_cast<double>(s.Ate(600)));
    else
        l.Vazia(111);
    l.Texto(126, Formata("789%010llu", static_cast<unsigned long long>(s.Ate(10000000000ull))));
    const double cstsIcms[] = {0, 20, 60};
    l.Numero(129, cstsIcms[s.Ate(3)]);
    l.Texto(130, s.De(unidades));
    l.Texto(132, s.Chance(90) ? "S" : "");
}

void Cliente(Linha& l, Sorteio& s, int linha) {
    const bool juridica = s.Chance(60);
    std::string cidade, uf;
    CidadeSorteada(s, cidade, uf);
    l.Texto(6, s.De(kBairros));
    l.Texto(9, Cep(s));
    l.Texto(10, s.Chance(90) ? Documento(s, juridica) : "");
    l.Texto(28, Documento(s, false));
    l.Texto(15, cidade);
    l.Texto(51, uf);
    l.Numero(18, linha);
    l.Texto(21, s.Chance(30) ? Formata("Sala %d", static_cast<int>(s.Ate(900)) + 1) : "");
    l.Texto(25, s.Chance(60) ? Pessoa(s) : "");
    if (s.Chance(85))
        l.Data(30, 36526 + static_cast<double>(s.Ate(9000)));
    else
        l.Vazia(30);
    // A delivery address for one client in five.
    if (s.Chance(20)) {
        std::string cidadeEnt, ufEnt;
        CidadeSorteada(s, cidadeEnt, ufEnt);
        l.Texto(43, Endereco(s));
        l.Texto(49, Formata("%d", static_cast<int>(s.Ate(3000))));
        l.Texto(39, s.De(kBairros));
        l.Texto(40, Cep(s));
        l.Texto(41, cidadeEnt);
        l.Texto(44, ufEnt);
    } else {
        for (int c : {43, 49, 39, 40, 41, 44}) l.Vazia(c);
    }
    l.Texto(47, Formata("contato%d@cliente%d.com.br", linha, static_cast<int>(s.Ate(1000))));
    l.Texto(48, Endereco(s));
    l.Texto(50, s.Chance(30) ? U(u8"Entregar pela manhã; cliente \"especial\"") : "");
    l.Texto(54, Telefone(s));
    l.Texto(65, juridica ? (s.Chance(20) ? "ISENTO"
                                         : Formata("%09d", static_cast<int>(s.Ate(1000000000))))
                         : "");
    l.Texto(66, "");
    l.Texto(76, juridica ? std::string(s.De(kRamos)) + " " + s.De(kSobrenomes) : "");
    l.Numero(79, static_cast<double>(s.Ate(5000)));
    l.Texto(108, juridica ? Empresa(s) : Pessoa(s));
    l.Texto(123, Telefone(s));
    l.Numero(130, static_cast<double>(s.Ate(30)) + 1);
}

void Fornecedor(Linha& l, Sorteio& s, int linha) {
    std::string cidade, uf;
    CidadeSorteada(s, cidade, uf);
    l.Texto(4, s.De(kBairros));
    l.Texto(5, Cep(s));
    l.Texto(6, s.Chance(90) ? Documento(s, true) : "");
    l.Texto(8, cidade);
    l.Texto(12, s.Chance(30) ? Formata(U(u8"Galpão %d  "), static_cast<int>(s.Ate(20)) + 1) : "");
    l.Texto(16, Pessoa(s));
    l.Texto(18, Documento(s, false));
    l.Texto(26, Formata("vendas@fornecedor%d.com.br", linha));
    l.Texto(27, s.Chance(40) ? "Bloco B" : "");
    l.Texto(28, uf);
    l.Texto(29, Telefone(s));
    l.Numero(30, linha);
    l.Texto(33, Formata("%03d.%03d.%03d.%04d", static_cast<int>(s.Ate(1000)),
                        static_cast<int>(s.Ate(1000)), static_cast<int>(s.Ate(1000)),
                        static_cast<int>(s.Ate(10000))));
    l.Texto(36, Endereco(s));
    l.Texto(38, Empresa(s));
    l.Texto(39, std::string(s.De(kRamos)) + " " + s.De(kSobrenomes));
    l.Numero(40, static_cast<double>(s.Ate(5000)));
    l.Texto(48, Telefone(s));
}

void Transportadora(Linha& l, Sorteio& s, int linha) {
    std::string cidade, uf;
    CidadeSorteada(s, cidade, uf);
    l.Texto(3, s.De(kBairros));
    l.Texto(4, Cep(s));
    l.Texto(5, Documento(s, true));
    l.Texto(6, cidade);
    l.Texto(10, Formata("%d", static_cast<int>(s.Ate(99999))));
    l.Texto(13, Formata("%d", static_cast<int>(s.Ate(3000))));
    l.Texto(14, uf);
    l.Texto(16, Telefone(s));
    l.Texto(18, Formata("%09d", static_cast<int>(s.Ate(1000000000))));
    l.Texto(19, Endereco(s));
    l.Texto(20, std::string("Transportes ") + s.De(kSobrenomes));
    l.Texto(21, s.Chance(30) ? "Sala 2" : "");
    l.Texto(26, Telefone(s));
    l.Numero(27, linha);
}

void Vendedor(Linha& l, Sorteio& s, int linha) {
    std::string cidade, uf;
    CidadeSorteada(s, cidade, uf);
    l.Texto(7, Cep(s));
    l.Texto(9, Formata("MG-%02d.%03d.%03d", static_cast<int>(s.Ate(100)),
                       static_cast<int>(s.Ate(1000)), static_cast<int>(s.Ate(1000))));
    l.Texto(10, cidade);
    if (s.Chance(80))
        l.Numero(12, static_cast<double>(s.Ate(1000)) / 100);
    else
        l.Vazia(12);
    l.Texto(20, Documento(s, false));
    l.Texto(26, Endereco(s));
    l.Texto(27, uf);
    l.Texto(40, Pessoa(s));
    l.Texto(54, Telefone(s));
    l.Numero(57, linha);
}

// What fills the columns no mapping reads, as in any wide export (the same mix as
// bench_carga_planilha writes): codes, amounts, dates, a few cities, many names and
// long free texts.
void Enchimento(Linha& l, Sorteio& s, int colunas) {
    // The first ten cities, as the filler takes them.
    static const char* const cidades[10] = {
        kCidades[0].nome, kCidades[1].nome, kCidades[2].nome, kCidades[3].nome, kCidades[4].nome,
        kCidades[5].nome, kCidades[6].nome, kCidades[7].nome, kCidades[8].nome, kCidades[9].nome};
    for (int c = 1; c <= colunas; ++c) {
        if (l.Usada(c)) continue;
        if (s.Ate(10) < 3) continue;  // about 30% empty
        CelulaDeEnchimento(l.Aba(), l.Indice(), static_cast<lxw_col_t>(c - 1), l.FormatoData(), s,
                           cidades);
    }
}

// A kind as the benchmark makes its sheets; the rest is the kind's own description.
struct Tipo {
    app::TipoRegistro tipo;
    int maisLinhas;  // the codes' width allows no more
    void (*preenche)(Linha&, Sorteio&, int linha);

    const char* Nome() const { return convert::Descricao(tipo).nome; }
    int Colunas() const { return convert::Descricao(tipo).Leiaute().UltimaColuna(); }
    // What a row writes, in the order it writes them.
    const std::vector<const char*>& Tabelas() const { return convert::Descricao(tipo).tabelas; }
};

const Tipo kTipos[] = {
    {app::TipoRegistro::Produtos, 999999, Produto},
    {app::TipoRegistro::Clientes, 99999999, Cliente},
    {app::TipoRegistro::Fornecedores, 999999, Fornecedor},
    {app::TipoRegistro::Vendedores, 9999, Vendedor},
    {app::TipoRegistro::Transportadoras, 9999, Transportadora},
};

// The reference tables a run fills on the way, written before its rows in (c).
const std::vector<const char*>& kReferencias = convert::kTabelasDeReferencia;

// Every workbook is written with inline strings (libxlsxwriter's constant-memory mode,
// row by row, whatever the size); the shared-strings one is derived from it.
bool GeraPasta(const Tipo& tipo, const std::string& caminho, int linhas) {
    const PastaGerada gerada = NovaPasta(caminho, true);
    if (!gerada.pasta) return false;
    Sorteio s{20240517};
    for (int i = 1; i <= linhas; ++i) {
        Linha l(gerada.aba, gerada.data, i - 1, tipo.Colunas());
        tipo.preenche(l, s, i);
        Enchimento(l, s, tipo.Colunas());
    }
    return workbook_close(gerada.pasta) == LXW_NO_ERROR;
}

// ---------------------------------------------------------------------------------
// The measurements, each in a process of its own, so that each peak of memory is its
// own.

struct Medida {
    double segundos = 0;
    double celulas = 0;         // cells of the sheet's rectangle, (a)
    double picoMb = 0;          // VmHWM
    double bytesPorCelula = 0;  // the staging table's, per non-empty cell, (a)
    double naoVazias = 0;       // non-empty cells, (a)
    // The run with its rehearsal, (b): its phases.
    double carga = 0, ensaio = 0, conversao = 0;
    long long linhas = 0;       // rows written, (b) and (c)
    long long referencias = 0;  // reference rows created, (b)
    int avisos = 0;             // (b)
    int falhasEnsaio = 0;       // (b)
    int avisosEnsaio = 0;       // (b)
    // The window, (d): the longest wait between two turns of its message loop, the
    // longest between two moves of its gauge, and how many of each there were.
    double maiorIntervaloEventosMs = 0, maiorIntervaloBarraMs = 0;
    double etapaIntervaloEventos = 0;  // 1 load, 2 rehearsal, 3 conversion
    long long turnos = 0, movimentos = 0;
    char legendaMaiorIntervalo[96] = {};
    // The waits of the message loop longer than its goal (100 ms), the first of them;
    // and the gauge's longer than its own (250 ms).
    static constexpr int kLongas = 12;
    int longas = 0;
    double longaMs[kLongas] = {};
    char longaOnde[kLongas][120] = {};
    int longasBarra = 0;
    double longaBarraMs[kLongas] = {};
    double longaBarraFimS[kLongas] = {};  // when it ended, from the click
    char longaBarraOnde[kLongas][120] = {};
    bool certo = false;
};

// Runs `trabalho` in a child process and brings its Medida back.
Medida EmProcessoProprio(const std::function<Medida()>& trabalho) {
    int canos[2];
    if (pipe(canos) != 0) return {};
    std::fflush(stdout);
    const pid_t filho = fork();
    if (filho < 0) return {};
    if (filho == 0) {
        close(canos[0]);
        Medida m;
        try {
            m = trabalho();
        } catch (const std::exception& e) {
            Mostra("  erro: %s\n", e.what());
            m.certo = false;
        }
        const ssize_t escrito = write(canos[1], &m, sizeof m);
        std::fflush(stdout);
        _exit(escrito == sizeof m ? 0 : 1);
    }
    close(canos[1]);
    Medida m;
    const ssize_t lido = read(canos[0], &m, sizeof m);
    close(canos[0]);
    int status = 0;
    waitpid(filho, &status, 0);
    if (lido != sizeof m || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return m;
}

// A line of /proc/self/status, in megabytes ("VmHWM", "VmRSS").
double MemoriaMb(const char* campo) {
    std::ifstream f("/proc/self/status");
    std::string linha;
    const std::string chave = std::string(campo) + ":";
    while (std::getline(f, linha))
        if (linha.compare(0, chave.size(), chave) == 0)
            return std::atof(linha.c_str() + chave.size()) / 1024.0;  // kB
    return 0;
}

bool escritaForcada = true;
// --comandos-texto: the conversion sends each row's statement as its own text.
bool comandosPreparados = true;

void CriaBanco(const std::string& arquivo) {
    std::error_code erro;
    std::filesystem::remove(arquivo, erro);
    db::CriaBancoVantora(arquivo);
    if (!escritaForcada) {
        const std::string comando = std::string("gfix -write async -user ") + db::kUsuarioSysdba +
                                    " -password " + db::kSenhaSysdba + " '" + arquivo +
                                    "' >/dev/null 2>&1";
        if (std::system(comando.c_str()) != 0)
            throw std::runtime_error("gfix -write async falhou em " + arquivo);
    }
}

// (a) The staging load alone; then, with the reader gone, what the staging table
// holds in memory per non-empty cell.
Medida MedeCarga(const std::string& pasta, int linhas) {
    malloc_trim(0);
    const double antes = MemoriaMb("VmRSS");
    intake::TTabelaTemp tabela;
    Medida m;
    {
        const auto inicio = Relogio::now();
        intake::TDMCotrolaExcel excel;
        excel.AbreArquivo(pasta);
        excel.ListaPlanilhas();
        excel.SelecionaPlanilha(1);
        const int colunas = excel.UltimaColuna();
        intake::ProgressoMudo progresso;
        intake::CarregaTabelaTemp(excel, tabela, linhas, progresso);
        m.segundos = Segundos(inicio);
        m.celulas = static_cast<double>(linhas) * colunas;
        m.picoMb = MemoriaMb("VmHWM");
    }
    malloc_trim(0);
    const double depois = MemoriaMb("VmRSS");
    long long naoVazias = 0;
    const int colunas = tabela.Colunas();
    for (tabela.First(); !tabela.Eof(); tabela.Next())
        for (int c = 1; c <= colunas; ++c)
            if (!tabela.TextoVista(c).empty()) ++naoVazias;
    m.naoVazias = static_cast<double>(naoVazias);
    m.bytesPorCelula = naoVazias ? (depois - antes) * 1048576.0 / naoVazias : 0;
    m.linhas = tabela.RecordCount();
    m.certo = m.linhas == linhas;
    return m;
}

class MensagensContadas final : public convert::Mensagens {
public:
    int avisos = 0;
    int erros = 0;
    std::string ultima;
    void Aviso(std::string_view texto) override {
        ++avisos;
        ultima = texto;
    }
    void Erro(std::string_view texto) override {
        ++erros;
        ultima = texto;
    }
    void Informacao(std::string_view) override {}
};

long long Conta(db::Conexao& conexao, const char* tabela) {
    db::Consulta q(conexao);
    q.DefineSql(std::string("select count(*) as N from ") + tabela);
    q.Abre();
    return q.CampoInteiro("N");
}

// The run's phases, told apart by the captions it shows: the staging load, the
// rehearsal ("Conferindo a planilha"), then the conversion, whose purges come before
// its own caption. The rehearsal ends at its last cleared caption.
class Etapas {
public:
    enum Etapa { Antes, Carga, Ensaio, Conversao };
    void Legenda(std::string_view texto) {
        const auto agora = Relogio::now();
        if (etapa_ == Antes && !texto.empty()) {
            etapa_ = Carga;
        } else if (etapa_ == Carga && texto == convert::kLegendaEnsaio) {
            fimCarga = agora;
            etapa_ = Ensaio;
        } else if (etapa_ == Ensaio) {
            if (texto.empty()) {
                fimEnsaio = agora;
            } else if (texto != convert::kLegendaEnsaio) {
                etapa_ = Conversao;
            }
        }
    }
    Etapa Atual() const { return etapa_; }
    Relogio::time_point fimCarga{}, fimEnsaio{};

private:
    Etapa etapa_ = Antes;
};

class ProgressoCronometrado final : public intake::Progresso {
public:
    void Legenda(std::string_view texto) override { etapas.Legenda(texto); }
    void Maximo(int) override {}
    void Posicao(int) override {}
    void Avanca() override {}
    void Status(std::string_view) override {}
    void ProcessaMensagens() override {}
    Etapas etapas;
};

// (b) The run as the window starts it, with its rehearsal: the workbook opened, its
// last row found, then "Efetuar Conversão" (staging load, rehearsal, the kind's
// mapping, the commit), into a fresh Vantora database.
Medida MedeConversao(const Tipo& tipo, const std::string& pasta, int linhas,
                     const std::string& banco, const std::string& cidades) {
    CriaBanco(banco);
    db::Conexao conexao;
    conexao.DefineNomeBanco(banco);
    MensagensContadas mensagens;
    ProgressoCronometrado progresso;

    const auto inicio = Relogio::now();
    conexao.Conecta();
    intake::TDMCotrolaExcel excel;
    intake::TTabelaTemp tabela;
    excel.AbreArquivo(pasta);
    excel.ListaPlanilhas();
    const int ultima = excel.UltimaLinha();
    app::ExecucaoConversao execucao(conexao, excel, tabela, progresso, mensagens, cidades);
    execucao.ComandosPreparados(comandosPreparados);
    app::PedidoConversao pedido;
    pedido.ultimaLinha = std::min(ultima, linhas);
    pedido.arquivo = pasta;
    pedido.aba = 1;
    pedido.tipo = tipo.tipo;
    pedido.ensaiar = true;
    const app::ResultadoConversao resultado = execucao.Converte(pedido);
    const auto fim = Relogio::now();
    Medida m;
    m.segundos = std::chrono::duration<double>(fim - inicio).count();
    m.picoMb = MemoriaMb("VmHWM");
    const Etapas& e = progresso.etapas;
    m.certo =
        resultado.desfecho == app::DesfechoConversao::Concluida && e.Atual() == Etapas::Conversao;
    m.falhasEnsaio = static_cast<int>(resultado.ensaio.falhas.size());
    m.avisosEnsaio = static_cast<int>(resultado.ensaio.avisos.size());
    if (!m.certo) {
        Mostra("  a conversão falhou: %s\n", mensagens.ultima.c_str());
        if (!resultado.ensaio.falhas.empty())
            Mostra("  primeira falha do ensaio: linha %lld: %s\n", resultado.ensaio.falhas[0].linha,
                   resultado.ensaio.falhas[0].motivo.c_str());
        return m;
    }
    m.carga = std::chrono::duration<double>(e.fimCarga - inicio).count();
    m.ensaio = std::chrono::duration<double>(e.fimEnsaio - e.fimCarga).count();
    m.conversao = std::chrono::duration<double>(fim - e.fimEnsaio).count();
    m.avisos = mensagens.avisos;
    for (const char* t : tipo.Tabelas()) m.linhas += Conta(conexao, t);
    for (const char* t : kReferencias) m.referencias += Conta(conexao, t);
    return m;
}

// One table's rows as the conversion left them, to be written again.
struct Tabela {
    std::string nome;
    std::vector<std::string> colunas;
    std::vector<short> tipos;  // RDB$FIELD_TYPE
    // Per row, per column: null, or the value (text, number or date as double).
    struct Celula {
        bool nula;
        std::string texto;
        double numero;
    };
    std::vector<std::vector<Celula>> linhas;
};

constexpr short kInteiro = 8, kDouble = 27, kData = 35, kBlob = 261;

Tabela Le(db::Conexao& conexao, const std::string& nome) {
    Tabela t;
    t.nome = nome;
    db::Consulta c(conexao);
    c.DefineSql(
        "select trim(rf.RDB$FIELD_NAME) as NOME, f.RDB$FIELD_TYPE as TIPO "
        "from RDB$RELATION_FIELDS rf join RDB$FIELDS f on f.RDB$FIELD_NAME = rf.RDB$FIELD_SOURCE "
        "where rf.RDB$RELATION_NAME = :T order by rf.RDB$FIELD_POSITION");
    c.ParamTexto("T", nome);
    for (c.Abre(); !c.Eof(); c.Proximo()) {
        t.colunas.push_back(c.CampoTexto("NOME"));
        t.tipos.push_back(static_cast<short>(c.CampoInteiro("TIPO")));
    }
    db::Consulta q(conexao);
    // The order the run wrote them in: the movement's identity, the others' codes.
    q.DefineSql("select * from " + nome + " order by 1");
    for (q.Abre(); !q.Eof(); q.Proximo()) {
        std::vector<Tabela::Celula> linha;
        for (size_t i = 0; i < t.colunas.size(); ++i) {
            const std::string& col = t.colunas[i];
            Tabela::Celula cel{q.CampoNulo(col), {}, 0};
            if (!cel.nula) {
                if (t.tipos[i] == kInteiro || t.tipos[i] == kDouble || t.tipos[i] == kData)
                    cel.numero = q.CampoNumero(col);
                else
                    cel.texto = q.CampoTexto(col);
            }
            linha.push_back(std::move(cel));
        }
        t.linhas.push_back(std::move(linha));
    }
    return t;
}

void Insere(db::Consulta& q, const Tabela& t, size_t linha) {
    for (size_t i = 0; i < t.colunas.size(); ++i) {
        const Tabela::Celula& c = t.linhas[linha][i];
        const int p = static_cast<int>(i);
        if (c.nula) {
            q.ParamNulo(p);
            continue;
        }
        switch (t.tipos[i]) {
            case kInteiro:
                q.ParamInteiro(p, static_cast<std::int32_t>(c.numero));
                break;
            case kDouble:
                q.ParamDouble(p, c.numero);
                break;
            case kData:
                q.ParamDataHora(p, c.numero);
                break;
            case kBlob:
                q.ParamBlobTexto(p, c.texto);
                break;
            default:
                q.ParamTexto(p, c.texto);
                break;
        }
    }
}

std::string TextoInsert(const Tabela& t) {
    std::string colunas, valores;
    for (size_t i = 0; i < t.colunas.size(); ++i) {
        colunas += (i ? ", " : "") + t.colunas[i];
        valores += (i ? ", :P" : ":P") + std::to_string(i + 1);
    }
    return "insert into " + t.nome + " (" + colunas + ") values (" + valores + ")";
}

Medida MedeMotor(const Tipo& tipo, const std::string& convertido, const std::string& banco) {
    std::vector<Tabela> referencias, tabelas;
    {
        db::Conexao origem;
        origem.DefineNomeBanco(convertido);
        origem.Conecta();
        for (const char* t : kReferencias) referencias.push_back(Le(origem, t));
        for (const char* t : tipo.Tabelas()) tabelas.push_back(Le(origem, t));
    }
    CriaBanco(banco);
    db::Conexao conexao;
    conexao.DefineNomeBanco(banco);

    const auto inicio = Relogio::now();
    conexao.Conecta();
    conexao.DBTransaction().Inicia();
    Medida m;
    for (const Tabela& t : referencias) {
        db::Consulta q(conexao);
        q.DefineSql(TextoInsert(t));
        for (size_t i = 0; i < t.linhas.size(); ++i) {
            Insere(q, t, i);
            q.Executa();
        }
    }
    std::vector<std::unique_ptr<db::Consulta>> consultas;
    for (const Tabela& t : tabelas) {
        consultas.push_back(std::make_unique<db::Consulta>(conexao));
        consultas.back()->DefineSql(TextoInsert(t));
    }
    // Row by row across the tables, as the conversion writes them.
    size_t maisLinhas = 0;
    for (const Tabela& t : tabelas) maisLinhas = std::max(maisLinhas, t.linhas.size());
    for (size_t i = 0; i < maisLinhas; ++i)
        for (size_t k = 0; k < tabelas.size(); ++k) {
            if (i >= tabelas[k].linhas.size()) continue;
            // Blobs (the client complement's references) are made anew for each row,
            // as the conversion makes them.
            Insere(*consultas[k], tabelas[k], i);
            consultas[k]->Executa();
            ++m.linhas;
        }
    conexao.DBTransaction().Confirma();
    m.segundos = Segundos(inicio);
    m.certo = true;
    return m;
}

// `conversor mostrar` of the workbook, its output thrown away, in seconds; its peak
// memory in `picoMb`.
Medida MedeMostrar(const std::string& pasta) {
    Medida m;
    const auto inicio = Relogio::now();
    const pid_t filho = fork();
    if (filho < 0) return m;
    if (filho == 0) {
        const int nulo = open("/dev/null", O_WRONLY);
        if (nulo >= 0) dup2(nulo, STDOUT_FILENO);
        execl(CONVERSOR_EXECUTAVEL, CONVERSOR_EXECUTAVEL, "mostrar", pasta.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage uso{};
    wait4(filho, &status, 0, &uso);
    m.segundos = Segundos(inicio);
    m.picoMb = static_cast<double>(uso.ru_maxrss) / 1024.0;
    m.certo = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return m;
}

// Every part of the workbook's package inflated, one after another, the bytes thrown
// away: the floor under any reading of it.
Medida MedeInflar(const std::string& pasta) {
    Medida m;
    const auto inicio = Relogio::now();
    int erro = 0;
    zip_t* z = zip_open(pasta.c_str(), ZIP_RDONLY, &erro);
    if (!z) return m;
    std::vector<char> bloco(intake::PacoteZip::kBloco);
    const zip_int64_t partes = zip_get_num_entries(z, 0);
    m.certo = true;
    for (zip_int64_t i = 0; i < partes; ++i) {
        zip_file_t* parte = zip_fopen_index(z, static_cast<zip_uint64_t>(i), 0);
        if (!parte) {
            m.certo = false;
            break;
        }
        zip_int64_t lidos;
        while ((lidos = zip_fread(parte, bloco.data(), bloco.size())) > 0) m.celulas += lidos;
        if (lidos < 0) m.certo = false;
        zip_fclose(parte);
    }
    zip_discard(z);
    m.segundos = Segundos(inicio);
    return m;
}

// (d) The run of the workbook in the main window, offscreen, with a precise 1 ms timer
// on the window's message loop: the longest wait between two of its firings is the
// longest the window went without handling its messages, give or take a millisecond.
// (The run works on a thread of its own: a timer of no delay would keep the window's
// thread turning and take a core from the run.) The gauge's moves are its value's
// changes.
Medida MedeJanela(const std::string& pasta, const std::string& banco, const std::string& cidades) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    char nome[] = "bench_conversao";
    char* argv[] = {nome, nullptr};
    QApplication aplicacao(argc, argv);
    CriaBanco(banco);
    teste::DialogosGravados dialogos;
    app::TFPrincipal janela(dialogos, cidades);
    janela.show();
    QCoreApplication::processEvents();
    dialogos.arquivos.push_back(QString::fromStdString(banco));
    janela.findChild<QPushButton*>("btAbrirVantora")->click();
    dialogos.arquivos.push_back(QString::fromStdString(pasta));
    janela.findChild<QPushButton*>("Btabrir")->click();
    janela.findChild<QRadioButton*>("rbtProdutos")->setChecked(true);
    QCoreApplication::processEvents();
    const auto* legenda = janela.findChild<QLabel*>("lblAguarde");
    const auto* status = janela.findChild<QStatusBar*>("stbStatus");
    auto* barra = janela.findChild<QProgressBar*>("Barra");

    Medida m;
    QElapsedTimer relogio;
    qint64 ultimoTurno = 0, ultimoMovimento = 0;
    std::string onde = "início";
    auto Onde = [&] {
        return (legenda->text() + " | " + status->currentMessage()).toLatin1().toStdString();
    };
    auto Etapa = [&] {
        const QString texto = legenda->text();
        return texto.startsWith("Carregando") ? 1 : texto.startsWith("Conferindo") ? 2 : 3;
    };
    int etapaTurno = 1;
    QTimer turnos;
    QObject::connect(&turnos, &QTimer::timeout, [&] {
        const qint64 agora = relogio.elapsed();
        if (agora - ultimoTurno > m.maiorIntervaloEventosMs) {
            m.maiorIntervaloEventosMs = static_cast<double>(agora - ultimoTurno);
            m.etapaIntervaloEventos = etapaTurno;
            std::snprintf(m.legendaMaiorIntervalo, sizeof m.legendaMaiorIntervalo, "%s -> %s",
                          onde.c_str(), Onde().c_str());
        }
        if (agora - ultimoTurno > 100 && m.longas < Medida::kLongas) {
            m.longaMs[m.longas] = static_cast<double>(agora - ultimoTurno);
            std::snprintf(m.longaOnde[m.longas], sizeof m.longaOnde[0], "%s -> %s", onde.c_str(),
                          Onde().c_str());
            ++m.longas;
        }
        ultimoTurno = agora;
        onde = Onde();
        etapaTurno = Etapa();
        ++m.turnos;
    });
    std::string ondeMovimento = "início";
    auto Movimento = [&] {
        const qint64 agora = relogio.elapsed();
        m.maiorIntervaloBarraMs =
            std::max(m.maiorIntervaloBarraMs, static_cast<double>(agora - ultimoMovimento));
        if (agora - ultimoMovimento > 250 && m.longasBarra < Medida::kLongas) {
            m.longaBarraMs[m.longasBarra] = static_cast<double>(agora - ultimoMovimento);
            m.longaBarraFimS[m.longasBarra] = static_cast<double>(agora) / 1000.0;
            std::snprintf(m.longaBarraOnde[m.longasBarra], sizeof m.longaBarraOnde[0], "%s -> %s",
                          ondeMovimento.c_str(), Onde().c_str());
            ++m.longasBarra;
        }
        ultimoMovimento = agora;
        ondeMovimento = Onde();
    };
    QObject::connect(barra, &QProgressBar::valueChanged, [&] {
        Movimento();
        ++m.movimentos;
    });
    turnos.setTimerType(Qt::PreciseTimer);
    turnos.start(1);
    relogio.start();
    teste::EfetuaConversao(janela);
    const qint64 fim = relogio.elapsed();
    turnos.stop();
    // The wait from the gauge's last move to the run's end counts too.
    Movimento();
    m.segundos = static_cast<double>(fim) / 1000.0;
    m.picoMb = MemoriaMb("VmHWM");
    m.certo = !dialogos.mensagens.empty() &&
              dialogos.mensagens.back().second.contains(QStringLiteral("sucesso"));
    if (!m.certo && !dialogos.mensagens.empty())
        Mostra("  a janela disse: %s\n",
               dialogos.mensagens.back().second.toLatin1().toStdString().c_str());
    return m;
}

double Mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// The workbook of a case, generated the first time and kept in the cache folder: the
// inline one written directly, the shared one derived from it. Written under another
// name and renamed, so that an interrupted run leaves no half workbook to be reused.
bool GaranteArquivo(const Tipo& tipo, const std::filesystem::path& pasta, int n, bool textosNaLinha,
                    std::string& arquivo) {
    const std::string base = std::string(tipo.Nome()) + "-" + std::to_string(n);
    const std::string naCelula = (pasta / (base + "-textos-na-celula.xlsx")).string();
    const std::string compartilhado = (pasta / (base + ".xlsx")).string();
    arquivo = textosNaLinha ? naCelula : compartilhado;
    if (std::filesystem::exists(arquivo)) return true;
    if (!std::filesystem::exists(naCelula)) {
        const auto inicio = Relogio::now();
        const std::string parcial = naCelula + ".parcial";
        const Medida g = EmProcessoProprio([&] {
            Medida r;
            r.certo = GeraPasta(tipo, parcial, n);
            return r;
        });
        if (!g.certo) {
            Mostra("Falha ao gerar %s\n", naCelula.c_str());
            return false;
        }
        std::filesystem::rename(parcial, naCelula);
        Mostra("%s gerado em %.1f s (%.1f MB)\n", naCelula.c_str(), Segundos(inicio),
               std::filesystem::file_size(naCelula) / 1048576.0);
    }
    if (textosNaLinha) return true;
    const auto inicio = Relogio::now();
    const std::string parcial = compartilhado + ".parcial";
    const Medida g = EmProcessoProprio([&] {
        Medida r;
        r.certo = CompartilhaTextos(naCelula, parcial, pasta.string());
        return r;
    });
    if (!g.certo) {
        Mostra("Falha ao gerar %s\n", compartilhado.c_str());
        return false;
    }
    std::filesystem::rename(parcial, compartilhado);
    Mostra("%s gerado em %.1f s (%.1f MB)\n", compartilhado.c_str(), Segundos(inicio),
           std::filesystem::file_size(compartilhado) / 1048576.0);
    return true;
}

// A workbook measured: the kind, its rows, the string form; the largest only on
// request.
struct Caso {
    const Tipo* tipo;
    int linhas;
    bool textosNaLinha;
    bool grande;
    std::string arquivo;
    std::string Rotulo() const {
        const bool formas = tipo->tipo == app::TipoRegistro::Produtos || grande ||
                            (tipo->tipo == app::TipoRegistro::Clientes && textosNaLinha);
        return std::string(tipo->Nome()) +
               (formas ? (textosNaLinha ? " (textos na célula)" : " (textos compartilhados)") : "");
    }
};

struct Resultado {
    Caso caso;
    int colunas = 0;
    // (a)
    double a = 0, celulasPorSegundo = 0, picoCarga = 0, bytesPorCelula = 0, naoVazias = 0;
    // (b)
    double carga = 0, ensaio = 0, conversao = 0, total = 0, pico = 0;
    bool convertido = false;
    // (c)
    double c = -1;
    long long linhasGravadas = 0, referencias = 0;
    int avisosEnsaio = 0;
};

}  // namespace

int main(int argc, char** argv) {
    int linhas = 100000;
    int repeticoes = 3;
    std::string pastaDada = "/work/cache/bench";
    std::string tiposDados;
    std::string cidades = CONVERSOR_TABELA_CIDADES;
    bool grandes = false, soGerar = false, janela = true, leitura = true, soJanela = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--linhas" && i + 1 < argc) {
            linhas = std::atoi(argv[++i]);
        } else if (arg == "--repeticoes" && i + 1 < argc) {
            repeticoes = std::atoi(argv[++i]);
        } else if (arg == "--pasta" && i + 1 < argc) {
            pastaDada = argv[++i];
        } else if (arg == "--tipos" && i + 1 < argc) {
            tiposDados = argv[++i];
        } else if (arg == "--cidades" && i + 1 < argc) {
            cidades = argv[++i];
        } else if (arg == "--sem-escrita-forcada") {
            escritaForcada = false;
        } else if (arg == "--comandos-texto") {
            comandosPreparados = false;
        } else if (arg == "--grandes") {
            grandes = true;
        } else if (arg == "--so-gerar") {
            soGerar = true;
        } else if (arg == "--so-janela") {
            soJanela = true;
        } else if (arg == "--sem-janela") {
            janela = false;
        } else if (arg == "--sem-leitura") {
            leitura = false;
        } else {
            std::fputs(
                "Uso: bench_conversao [--linhas N] [--repeticoes R] [--tipos T1,T2,...]\n"
                "                     [--pasta DIR] [--cidades ARQUIVO.DBF] [--grandes]\n"
                "                     [--so-gerar] [--so-janela] [--sem-janela] [--sem-leitura]\n"
                "                     [--sem-escrita-forcada] [--comandos-texto]\n"
                "Tipos: produtos, clientes, fornecedores, vendedores, transportadoras.\n",
                stderr);
            return 2;
        }
    }
    if (linhas < 1 || linhas > 1000000 || repeticoes < 1) {
        std::fputs("--linhas vai de 1 a 1000000 e --repeticoes de 1 em diante.\n", stderr);
        return 2;
    }

    const std::filesystem::path pasta = PastaDeTrabalho(pastaDada, "bench-conversao");
    if (pasta.empty()) return 1;

    const std::time_t agora = std::time(nullptr);
    char data[32];
    std::strftime(data, sizeof data, "%d/%m/%Y %H:%M", std::localtime(&agora));
    const std::string cargaAntes = Carga();

    auto Escolhido = [&](const Tipo& tipo) {
        return tiposDados.empty() ||
               ("," + tiposDados + ",").find("," + std::string(tipo.Nome()) + ",") !=
                   std::string::npos;
    };
    std::vector<Caso> casos;
    for (const Tipo& tipo : kTipos) {
        if (!Escolhido(tipo)) continue;
        const int n = std::min(linhas, tipo.maisLinhas);
        const bool produtos = tipo.tipo == app::TipoRegistro::Produtos;
        casos.push_back({&tipo, n, false, false, {}});
        if (produtos) casos.push_back({&tipo, n, true, false, {}});
    }
    // The largest: products up to their codes' limit, clients up to a sheet's (its
    // 1,048,576 rows but the one a header would take).
    if (grandes) {
        for (const Tipo& tipo : kTipos) {
            if (!Escolhido(tipo)) continue;
            int n = 0;
            if (tipo.tipo == app::TipoRegistro::Produtos) n = 999999;
            if (tipo.tipo == app::TipoRegistro::Clientes) n = 1048575;
            if (n == 0) continue;
            casos.push_back({&tipo, n, false, true, {}});
            casos.push_back({&tipo, n, true, true, {}});
        }
    }
    for (Caso& caso : casos)
        if (!GaranteArquivo(*caso.tipo, pasta, caso.linhas, caso.textosNaLinha, caso.arquivo))
            return 1;
    if (soGerar) return 0;

    std::vector<Resultado> resultado;
    bool tudoCerto = true;
    if (soJanela) leitura = false;
    for (const Caso& caso : casos) {
        if (soJanela) break;
        const Tipo& tipo = *caso.tipo;
        Resultado rs;
        rs.caso = caso;
        rs.colunas = tipo.Colunas();
        const std::string rotulo = caso.Rotulo() + " " + std::to_string(caso.linhas);
        std::vector<double> a, cps, picoA, bpc, carga, ensaio, conversao, total, pico, c;
        // The largest take minutes each: once is enough to see where they stand.
        const int vezes = caso.grande ? 1 : repeticoes;
        for (int r = 0; r < vezes; ++r) {
            // The load alone, and the staging table's bytes per cell, which do not
            // change with the rows: not worth minutes for the largest.
            const Medida ma = caso.grande ? Medida{.certo = true} : EmProcessoProprio([&] {
                return MedeCarga(caso.arquivo, caso.linhas);
            });
            if (!ma.certo) {
                Mostra("  %s: a carga falhou\n", rotulo.c_str());
                tudoCerto = false;
                break;
            }
            Mostra("  %s, rodada %d:", rotulo.c_str(), r + 1);
            if (!caso.grande) {
                a.push_back(ma.segundos);
                cps.push_back(ma.celulas / ma.segundos);
                picoA.push_back(ma.picoMb);
                bpc.push_back(ma.bytesPorCelula);
                rs.naoVazias = ma.naoVazias;
                Mostra(" (a) %.2f s, %.0f MB, %.1f bytes por célula,", ma.segundos, ma.picoMb,
                       ma.bytesPorCelula);
            }
            const std::string convertido = (pasta / "convertido.fdb").string();
            const std::string motor = (pasta / "motor.fdb").string();
            const Medida mb = EmProcessoProprio([&] {
                return MedeConversao(tipo, caso.arquivo, caso.linhas, convertido, cidades);
            });
            if (!mb.certo) {
                Mostra("\n  %s: a conversão falhou\n", rotulo.c_str());
                tudoCerto = false;
                break;
            }
            carga.push_back(mb.carga);
            ensaio.push_back(mb.ensaio);
            conversao.push_back(mb.conversao);
            total.push_back(mb.segundos);
            pico.push_back(mb.picoMb);
            rs.linhasGravadas = mb.linhas;
            rs.referencias = mb.referencias;
            rs.avisosEnsaio = mb.avisosEnsaio;
            Mostra(
                " (b) carga %.2f s, ensaio %.2f s, conversão %.2f s, total %.2f s, pico %.0f MB; "
                "%lld linhas, %lld de referência, %d avisos do ensaio",
                mb.carga, mb.ensaio, mb.conversao, mb.segundos, mb.picoMb, mb.linhas,
                mb.referencias, mb.avisosEnsaio);
            // The engine's limit for the same rows, where there is room to hold them.
            if (!caso.grande && !caso.textosNaLinha) {
                const Medida mc =
                    EmProcessoProprio([&] { return MedeMotor(tipo, convertido, motor); });
                if (!mc.certo || mc.linhas != mb.linhas) {
                    Mostra("\n  %s: a gravação direta falhou\n", rotulo.c_str());
                    tudoCerto = false;
                } else {
                    c.push_back(mc.segundos);
                    Mostra(", (c) %.2f s", mc.segundos);
                }
            }
            Mostra("\n");
            std::error_code erro;
            std::filesystem::remove(convertido, erro);
            std::filesystem::remove(motor, erro);
        }
        rs.a = Mediana(a);
        rs.celulasPorSegundo = Mediana(cps);
        rs.picoCarga = Mediana(picoA);
        rs.bytesPorCelula = Mediana(bpc);
        rs.convertido = !total.empty();
        rs.carga = Mediana(carga);
        rs.ensaio = Mediana(ensaio);
        rs.conversao = Mediana(conversao);
        rs.total = Mediana(total);
        rs.pico = Mediana(pico);
        if (!c.empty()) rs.c = Mediana(c);
        resultado.push_back(rs);
    }

    // Reading near the floor: `conversor mostrar` against inflating the package.
    struct Leitura {
        std::string rotulo;
        double mostrar, inflar, picoMostrar;
    };
    std::vector<Leitura> leituras;
    if (leitura)
        for (const Caso& caso : casos) {
            if (caso.grande || caso.tipo->tipo != app::TipoRegistro::Produtos) continue;
            std::vector<double> mostrar, inflar, picoMostrar;
            for (int r = 0; r < repeticoes; ++r) {
                const Medida mm = MedeMostrar(caso.arquivo);
                const Medida mi = EmProcessoProprio([&] { return MedeInflar(caso.arquivo); });
                if (!mm.certo || !mi.certo) {
                    Mostra("  %s: a leitura falhou\n", caso.Rotulo().c_str());
                    tudoCerto = false;
                    break;
                }
                mostrar.push_back(mm.segundos);
                inflar.push_back(mi.segundos);
                picoMostrar.push_back(mm.picoMb);
                Mostra("  %s, rodada %d: mostrar %.2f s (%.0f MB), inflar %.2f s (%.0f MB)\n",
                       caso.Rotulo().c_str(), r + 1, mm.segundos, mm.picoMb, mi.segundos,
                       mi.celulas / 1048576.0);
            }
            if (!mostrar.empty())
                leituras.push_back(
                    {caso.Rotulo(), Mediana(mostrar), Mediana(inflar), Mediana(picoMostrar)});
        }

    // The window alive: the shared-strings products workbook, as a user would pick it.
    Medida mj;
    bool janelaMedida = false;
    if (janela)
        for (const Caso& caso : casos) {
            if (caso.grande || caso.textosNaLinha || caso.tipo->tipo != app::TipoRegistro::Produtos)
                continue;
            const std::string banco = (pasta / "janela.fdb").string();
            mj = EmProcessoProprio([&] { return MedeJanela(caso.arquivo, banco, cidades); });
            std::error_code erro;
            std::filesystem::remove(banco, erro);
            janelaMedida = mj.certo;
            if (!mj.certo) {
                Mostra("  a conversão na janela falhou\n");
                tudoCerto = false;
            }
            break;
        }

    Mostra(
        "\nMedianas de %d rodadas (as maiores pastas: uma), %s; carga da máquina (1, 5, 15 min) "
        "antes: %s, depois: %s%s%s\n\n",
        repeticoes, data, cargaAntes.c_str(), Carga().c_str(),
        escritaForcada ? "" : "; escrita forçada desligada",
        comandosPreparados ? "" : "; comandos como texto");

    Mostra(
        "| Tipo | Linhas × colunas | Carga | Ensaio | Conversão | Ensaio / conversão | "
        "Com ensaio | Sem ensaio | Com / sem | Pico de memória (com ensaio) | Bytes por célula "
        "|\n");
    Mostra("|---|---|---|---|---|---|---|---|---|---|---|\n");
    for (const Resultado& r : resultado) {
        if (!r.convertido) continue;
        const double sem = r.carga + r.conversao;
        Mostra(
            "| %s | %d × %d | %.2f s | %.2f s | %.2f s | %.2f | %.2f s | %.2f s | %.2f | %.0f MB | "
            "%s |\n",
            r.caso.Rotulo().c_str(), r.caso.linhas, r.colunas, r.carga, r.ensaio, r.conversao,
            r.ensaio / r.conversao, r.total, sem, r.total / sem, r.pico,
            r.caso.grande ? "" : Formata("%.1f", r.bytesPorCelula).c_str());
    }

    Mostra(
        "\n| Tipo | Linhas × colunas | (a) carga sozinha | Milhões de células/s | Pico da carga | "
        "(c) motor | conversão / ((a) + (c)) |\n");
    Mostra("|---|---|---|---|---|---|---|\n");
    for (const Resultado& r : resultado) {
        if (r.caso.grande) continue;
        if (r.c < 0)
            Mostra("| %s | %d × %d | %.2f s | %.2f | %.0f MB | | |\n", r.caso.Rotulo().c_str(),
                   r.caso.linhas, r.colunas, r.a, r.celulasPorSegundo / 1e6, r.picoCarga);
        else
            Mostra("| %s | %d × %d | %.2f s | %.2f | %.0f MB | %.2f s | %.2f |\n",
                   r.caso.Rotulo().c_str(), r.caso.linhas, r.colunas, r.a,
                   r.celulasPorSegundo / 1e6, r.picoCarga, r.c, r.conversao / (r.a + r.c));
    }

    // Growth from the 100,000-row workbook to the largest of the same kind and form.
    bool cabecalho = false;
    for (const Resultado& g : resultado) {
        if (!g.caso.grande || !g.convertido) continue;
        for (const Resultado& p : resultado) {
            if (p.caso.grande || !p.convertido || p.caso.tipo != g.caso.tipo ||
                p.caso.textosNaLinha != g.caso.textosNaLinha)
                continue;
            if (!cabecalho) {
                Mostra(
                    "\n| Tipo | Linhas | Carga | Ensaio | Conversão | (ensaio + conversão) / "
                    "conversão |\n|---|---|---|---|---|---|\n");
                cabecalho = true;
            }
            Mostra("| %s | %d / %d = %.2f | %.2f | %.2f | %.2f | %.2f |\n", g.caso.Rotulo().c_str(),
                   g.caso.linhas, p.caso.linhas, static_cast<double>(g.caso.linhas) / p.caso.linhas,
                   g.carga / p.carga, g.ensaio / p.ensaio, g.conversao / p.conversao,
                   (g.ensaio + g.conversao) / g.conversao);
        }
    }

    if (!leituras.empty()) {
        Mostra(
            "\n| Pasta | `conversor mostrar` | Pico de memória | Inflar todas as partes | "
            "Mostrar / inflar |\n|---|---|---|---|---|\n");
        for (const Leitura& l : leituras)
            Mostra("| %s | %.2f s | %.0f MB | %.2f s | %.2f |\n", l.rotulo.c_str(), l.mostrar,
                   l.picoMostrar, l.inflar, l.mostrar / l.inflar);
    }

    if (janelaMedida) {
        static const char* const kEtapas[] = {"", "carga", "ensaio", "conversão"};
        Mostra(
            "\nJanela (produtos, textos compartilhados, %d linhas): %.2f s, %lld disparos do "
            "temporizador "
            "de 1 ms, maior intervalo entre dois %.0f ms (na %s: %s); %lld movimentos da "
            "barra, maior intervalo entre dois %.0f ms; pico %.0f MB\n",
            std::min(linhas, kTipos[0].maisLinhas), mj.segundos, mj.turnos,
            mj.maiorIntervaloEventosMs, kEtapas[static_cast<int>(mj.etapaIntervaloEventos)],
            mj.legendaMaiorIntervalo, mj.movimentos, mj.maiorIntervaloBarraMs, mj.picoMb);
        for (int i = 0; i < mj.longas; ++i)
            Mostra("  espera de %.0f ms: %s\n", mj.longaMs[i], mj.longaOnde[i]);
        for (int i = 0; i < mj.longasBarra; ++i)
            Mostra("  barra parada %.0f ms (até %.2f s): %s\n", mj.longaBarraMs[i],
                   mj.longaBarraFimS[i], mj.longaBarraOnde[i]);
    }
    return tudoCerto ? 0 : 1;
}
