// How fast a large sheet becomes Vantora rows, against the database's own limit.
//
//   bench_conversao [--linhas N] [--repeticoes R] [--tipos T1,T2,...] [--pasta DIR]
//                   [--cidades ARQUIVO.DBF] [--sem-escrita-forcada] [--comandos-texto]
//
// Writes with libxlsxwriter, for each record kind, a workbook of N rows (default
// 100,000; carriers and sellers stop at 9,999, their codes have four digits) at the
// kind's width (products 132 columns, clients 130, suppliers 48, sellers 57,
// carriers 27): the columns the kind's mapping reads hold what a real export holds
// there (codes, names with accents and apostrophes, prices, rates, dates, phones,
// a few hundred cities, fiscal classifications and manufacturers), the others
// filler, about 30% of all cells empty, fixed seed. Products are written twice,
// with shared strings (as spreadsheet programs save) and with inline strings; the
// other kinds with shared strings. Then, R times each (default 3), every step in a
// process of its own:
//
//   (a) the staging load alone: the workbook opened through the workbook driver and
//       copied into the staging table (cells per second, peak memory);
//   (b) the full conversion of the kind into a fresh Vantora database, through the
//       same run the window uses: the workbook opened, its last row found, then
//       "Efetuar Conversão" (staging load, the kind's mapping, the commit);
//   (c) the database's own limit for the same rows: the rows that (b) wrote, read
//       back and written into another fresh database with one INSERT per table
//       prepared once and executed with parameters, in one transaction, through
//       the program's access layer.
//
// It prints one table (Markdown) of the medians and the ratio (b) / ((a) + (c)),
// with the date and the machine's load. --pasta keeps the workbooks in DIR and
// reuses them on the next run. --sem-escrita-forcada turns the databases' forced
// writes off, to see what the synchronous page writes cost (a Vantora database is
// created with them on). --comandos-texto sends the statements that carry their
// values in the text as texts, one per row, as the reference way does. Run by hand;
// never a timed test of CI.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xlsxwriter.h>

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
#include "app/execucao.h"
#include "base/regional.h"
#include "convert/mensagens.h"
#include "db/conexao.h"
#include "db/consulta.h"
#include "db/esquema.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

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

struct Tipo {
    const char* nome;
    app::TipoRegistro tipo;
    int colunas;
    int maisLinhas;                    // the codes' width allows no more
    std::vector<const char*> tabelas;  // what a row writes, in the order it writes them
    void (*preenche)(Linha&, Sorteio&, int linha);
};

const Tipo kTipos[] = {
    {"produtos",
     app::TipoRegistro::Produtos,
     132,
     999999,
     {"MVGERAL", "PRODUTO", "PRODUTODETALHE"},
     Produto},
    {"clientes", app::TipoRegistro::Clientes, 130, 99999999, {"CLIENTE", "COMPCLIE"}, Cliente},
    {"fornecedores", app::TipoRegistro::Fornecedores, 48, 999999, {"FORNECE"}, Fornecedor},
    {"vendedores", app::TipoRegistro::Vendedores, 57, 9999, {"VENDEND"}, Vendedor},
    {"transportadoras", app::TipoRegistro::Transportadoras, 27, 9999, {"TRANSPT"}, Transportadora},
};

// The reference tables a run fills on the way, written before its rows in (c).
const char* const kReferencias[] = {"UNIDADES", "CIDADES", "CLASFISC", "CADFABR"};

bool GeraPasta(const Tipo& tipo, const std::string& caminho, int linhas, bool textosNaLinha) {
    const PastaGerada gerada = NovaPasta(caminho, textosNaLinha);
    if (!gerada.pasta) return false;
    lxw_workbook* wb = gerada.pasta;
    lxw_worksheet* ws = gerada.aba;
    lxw_format* data = gerada.data;
    Sorteio s{20240517};
    for (int i = 1; i <= linhas; ++i) {
        Linha l(ws, data, i - 1, tipo.colunas);
        tipo.preenche(l, s, i);
        Enchimento(l, s, tipo.colunas);
    }
    return workbook_close(wb) == LXW_NO_ERROR;
}

// ---------------------------------------------------------------------------------
// The measurements, each in a process of its own.

struct Medida {
    double segundos = 0;
    double celulas = 0;         // (a)
    double picoMb = 0;          // (a)
    long long linhas = 0;       // rows written, (b) and (c)
    long long referencias = 0;  // reference rows created, (b)
    int avisos = 0;             // (b)
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

bool escritaForcada = true;
// --comandos-texto: the conversion sends each row's statement as its own text.
bool comandosPreparados = true;

void CriaBanco(const std::string& arquivo) {
    std::error_code erro;
    std::filesystem::remove(arquivo, erro);
    db::CriaBancoVantora(arquivo);
    if (!escritaForcada) {
        const std::string comando =
            "gfix -write async -user SYSDBA -password lunarpike '" + arquivo + "' >/dev/null 2>&1";
        if (std::system(comando.c_str()) != 0)
            throw std::runtime_error("gfix -write async falhou em " + arquivo);
    }
}

Medida MedeCarga(const std::string& pasta, int linhas) {
    const auto inicio = Relogio::now();
    intake::TDMCotrolaExcel excel;
    excel.AbreArquivo(pasta);
    excel.ListaPlanilhas();
    excel.SelecionaPlanilha(1);
    const int colunas = excel.UltimaColuna();
    intake::TTabelaTemp tabela;
    intake::ProgressoMudo progresso;
    intake::CarregaTabelaTemp(excel, tabela, linhas, progresso);
    Medida m;
    m.segundos = Segundos(inicio);
    m.celulas = static_cast<double>(linhas) * colunas;
    m.picoMb = PicoMemoriaMb();
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

Medida MedeConversao(const Tipo& tipo, const std::string& pasta, int linhas,
                     const std::string& banco, const std::string& cidades) {
    CriaBanco(banco);
    db::Conexao conexao;
    conexao.DefineNomeBanco(banco);
    MensagensContadas mensagens;
    intake::ProgressoMudo progresso;

    const auto inicio = Relogio::now();
    conexao.Conecta();
    intake::TDMCotrolaExcel excel;
    intake::TTabelaTemp tabela;
    // Choosing the workbook in the window: opened, its sheets listed, its last row
    // proposed.
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
    const app::DesfechoConversao desfecho = execucao.Converte(pedido).desfecho;
    Medida m;
    m.segundos = Segundos(inicio);
    m.certo = desfecho == app::DesfechoConversao::Concluida;
    if (!m.certo) Mostra("  a conversão falhou: %s\n", mensagens.ultima.c_str());
    m.avisos = mensagens.avisos;
    for (const char* t : tipo.tabelas) m.linhas += Conta(conexao, t);
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
        for (const char* t : tipo.tabelas) tabelas.push_back(Le(origem, t));
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

double Mediana(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    int linhas = 100000;
    int repeticoes = 3;
    std::string pastaDada;
    std::string tiposDados;
    std::string cidades = CONVERSOR_TABELA_CIDADES;
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
        } else {
            std::fputs(
                "Uso: bench_conversao [--linhas N] [--repeticoes R] [--tipos T1,T2,...]\n"
                "                     [--pasta DIR] [--cidades ARQUIVO.DBF] "
                "[--sem-escrita-forcada]\n"
                "                     [--comandos-texto]\n"
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

    struct LinhaTabela {
        std::string rotulo;
        int linhas, colunas;
        double a, celulasPorSegundo, pico, b = -1, c = -1;
        long long referencias = 0;
        int avisos = 0;
    };
    std::vector<LinhaTabela> resultado;
    bool tudoCerto = true;

    for (const Tipo& tipo : kTipos) {
        if (!tiposDados.empty() &&
            ("," + tiposDados + ",").find("," + std::string(tipo.nome) + ",") == std::string::npos)
            continue;
        const int n = std::min(linhas, tipo.maisLinhas);
        const bool produtos = tipo.tipo == app::TipoRegistro::Produtos;
        for (const bool textosNaLinha :
             produtos ? std::vector<bool>{false, true} : std::vector<bool>{false}) {
            const std::string arquivo =
                (pasta / (std::string(tipo.nome) + "-" + std::to_string(n) +
                          (textosNaLinha ? "-textos-na-celula" : "") + ".xlsx"))
                    .string();
            if (!std::filesystem::exists(arquivo)) {
                const auto inicio = Relogio::now();
                Medida g = EmProcessoProprio([&] {
                    Medida r;
                    r.certo = GeraPasta(tipo, arquivo, n, textosNaLinha);
                    return r;
                });
                if (!g.certo) {
                    Mostra("Falha ao gerar %s\n", arquivo.c_str());
                    tudoCerto = false;
                    continue;
                }
                Mostra("%s gerado em %.1f s (%.1f MB)\n", arquivo.c_str(), Segundos(inicio),
                       std::filesystem::file_size(arquivo) / 1048576.0);
            }
            LinhaTabela lt;
            lt.rotulo =
                std::string(tipo.nome) +
                (produtos ? (textosNaLinha ? " (textos na célula)" : " (textos compartilhados)")
                          : "");
            lt.linhas = n;
            lt.colunas = tipo.colunas;
            std::vector<double> a, cps, pico, b, c;
            for (int r = 0; r < repeticoes; ++r) {
                const Medida ma = EmProcessoProprio([&] { return MedeCarga(arquivo, n); });
                if (!ma.certo) {
                    Mostra("  %s: a carga falhou\n", lt.rotulo.c_str());
                    tudoCerto = false;
                    break;
                }
                a.push_back(ma.segundos);
                cps.push_back(ma.celulas / ma.segundos);
                pico.push_back(ma.picoMb);
                Mostra("  %s, rodada %d: (a) %.2f s, %.0f MB", lt.rotulo.c_str(), r + 1,
                       ma.segundos, ma.picoMb);
                // The inline-strings workbook measures the reader; the conversion is
                // the same as from the other.
                if (textosNaLinha) {
                    Mostra("\n");
                    continue;
                }
                const std::string convertido = (pasta / "convertido.fdb").string();
                const std::string motor = (pasta / "motor.fdb").string();
                const Medida mb = EmProcessoProprio(
                    [&] { return MedeConversao(tipo, arquivo, n, convertido, cidades); });
                if (!mb.certo) {
                    Mostra("\n  %s: a conversão falhou\n", lt.rotulo.c_str());
                    tudoCerto = false;
                    break;
                }
                const Medida mc =
                    EmProcessoProprio([&] { return MedeMotor(tipo, convertido, motor); });
                std::error_code erro;
                std::filesystem::remove(convertido, erro);
                std::filesystem::remove(motor, erro);
                if (!mc.certo || mc.linhas != mb.linhas) {
                    Mostra("\n  %s: a gravação direta falhou\n", lt.rotulo.c_str());
                    tudoCerto = false;
                    break;
                }
                b.push_back(mb.segundos);
                c.push_back(mc.segundos);
                lt.referencias = mb.referencias;
                lt.avisos = mb.avisos;
                Mostra(", (b) %.2f s, (c) %.2f s; %lld linhas, %lld de referência, %d avisos\n",
                       mb.segundos, mc.segundos, mb.linhas, mb.referencias, mb.avisos);
            }
            lt.a = Mediana(a);
            lt.celulasPorSegundo = Mediana(cps);
            lt.pico = Mediana(pico);
            if (!b.empty()) {
                lt.b = Mediana(b);
                lt.c = Mediana(c);
            }
            resultado.push_back(lt);
        }
    }

    Mostra(
        "\nMedianas de %d rodadas, %s; carga da máquina (1, 5, 15 min) antes: %s, depois: "
        "%s%s%s\n\n",
        repeticoes, data, cargaAntes.c_str(), Carga().c_str(),
        escritaForcada ? "" : "; escrita forçada desligada",
        comandosPreparados ? "" : "; comandos como texto");
    Mostra(
        "| Tipo | Linhas × colunas | (a) carga | Milhões de células/s | Pico de memória | "
        "(b) conversão | (c) motor | (b) / ((a) + (c)) |\n");
    Mostra("|---|---|---|---|---|---|---|---|\n");
    for (const LinhaTabela& lt : resultado) {
        if (lt.b < 0)
            Mostra("| %s | %d × %d | %.2f s | %.2f | %.0f MB | | | |\n", lt.rotulo.c_str(),
                   lt.linhas, lt.colunas, lt.a, lt.celulasPorSegundo / 1e6, lt.pico);
        else
            Mostra("| %s | %d × %d | %.2f s | %.2f | %.0f MB | %.2f s | %.2f s | %.2f |\n",
                   lt.rotulo.c_str(), lt.linhas, lt.colunas, lt.a, lt.celulasPorSegundo / 1e6,
                   lt.pico, lt.b, lt.c, lt.b / (lt.a + lt.c));
    }

    std::error_code erro;
    if (pastaDada.empty()) std::filesystem::remove_all(pasta, erro);
    return tudoCerto ? 0 : 1;
}
