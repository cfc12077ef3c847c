// A sheet of the customer's own, with title rows and headings in another order, taken
// through `conversor mapa`, `--mapa` and `--primeira-linha` as a user takes it: it
// writes exactly what the same data in the layout writes, its problems name the
// sheet's rows and both columns, and what cannot be converted is refused before the
// database is touched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "apoio/banco_teste.h"
#include "base/regional.h"
#include "intake/excel.h"

namespace conversor::app {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// What the terminal and the files receive is UTF-8; plain literals here are
// Windows-1252.
std::string U8(const std::string& cp1252) { return Cp1252ParaUtf8(cp1252); }

struct Saida {
    int status;
    std::string out;
    std::string err;
};

std::string Le(const std::string& arquivo) {
    std::ifstream in(arquivo, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// One column of the customer's sheet: its heading, the layout column it feeds (0:
// none) and its cell in each record.
struct ColunaPropria {
    const char* titulo;
    int coluna;
    std::vector<const char*> celulas;
};

struct Caso {
    const char* nome;
    const char* tipo;
    int colunasLeiaute;
    std::vector<ColunaPropria> colunas;  // in the sheet's own order
    const char* marca;                   // a text the records leave in the database
    bool comMapa = true;                 // without: the sheet is in the layout, below titles
};

std::vector<Caso> Casos() {
    const std::vector<ColunaPropria> produtos = {
        {"Código", 0, {"10", "11", "12"}},
        {"Descrição", 66, {"Martelo unha 27mm", "Chave de fenda 1/4", "Trena 5 m"}},
        {"Unidade", 130, {"UN", "cx", "pc"}},
        {"Preço de venda", 102, {"39,90", "12,5", "24"}},
        {"", 0, {"", "", ""}},
        {"Custo", 96, {"21,3", "6", "11,75"}},
        {"Estoque", 111, {"15", "200", "0"}},
        {"NCM", 15, {"82052000", "82054000", "90178010"}},
        {"CST", 129, {"0", "60", "20"}},
        {"Margem", 64, {"30", "45,5", "38"}},
        {"Fabricante", 55, {"TRAMONTINA", "GEDORE", "STARRETT"}},
        {"Setor", 3, {"Ferramentas", "Ferramentas", "Medição"}},
        {"Ativo", 5, {"True", "True", "False"}},
        {"Observação interna", 0, {"conferir", "", "saiu de linha"}},
    };
    std::vector<ColunaPropria> produtosNoLeiaute;
    for (const ColunaPropria& c : produtos)
        if (c.coluna) produtosNoLeiaute.push_back(c);
    return {
        {"produtos", "produtos", 132, produtos, "Trena 5 m"},
        {"clientes",
         "clientes",
         130,
         {
             {"Cód.", 18, {"1", "2", "3"}},
             {"Razão social",
              108,
              {"Padaria Pão Quente Ltda", "Maria das Graças", "Auto Peças Silva"}},
             {"CPF/CNPJ", 10, {"11.222.333/0001-81", "123.456.789-09", "45.997.418/0001-53"}},
             {"Endereço", 48, {"Rua da Bahia", "Av. Amazonas", "Rua Itapecerica"}},
             {"Nº", 79, {"1200", "45", "7"}},
             {"Bairro", 6, {"Centro", "Barro Preto", "Lagoinha"}},
             {"Cidade", 15, {"Belo Horizonte", "Belo Horizonte", "Contagem"}},
             {"UF", 51, {"MG", "MG", "MG"}},
             {"CEP", 9, {"30160-011", "30180-001", "31210-120"}},
             {"Telefone", 123, {"3222-1100", "(31) 99876-5432", "3333-4444"}},
             {"E-mail", 47, {"contato@paoquente.com.br", "", "pecas@silva.com"}},
             {"Data de cadastro", 30, {"15/03/2019", "02/08/2021", "30/11/2022"}},
             {"Limite de crédito", 0, {"5000", "800", "12000"}},
         },
         "Auto Peças Silva"},
        {"produtos no leiaute, abaixo de títulos", "produtos", 132, produtosNoLeiaute, "Trena 5 m",
         false},
    };
}

class MapaTeste : public teste::BancoTeste {
protected:
    // The connection of the fixture stays out of the way of the commands' own.
    void SetUp() override { Banco().Desconecta(); }
    void TearDown() override { Banco().Conecta(); }

    Saida Roda(const std::string& argumentos) {
        const std::string out = pasta_.Arquivo("out.txt"), err = pasta_.Arquivo("err.txt");
        const std::string comando = std::string(CONVERSOR_EXECUTAVEL) + " " + argumentos + " > " +
                                    out + " 2> " + err + " < /dev/null";
        const int r = std::system(comando.c_str());
        return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, Le(out), Le(err)};
    }

    // A fresh copy of the fixture's database.
    std::string Copia(const std::string& nome) {
        const std::string copia = pasta_.Arquivo(nome);
        std::filesystem::copy_file(ArquivoBanco(), copia,
                                   std::filesystem::copy_options::overwrite_existing);
        return copia;
    }

    // Without `geradores`, as a rehearsal leaves the database: the generators it
    // advanced stay advanced.
    static std::string Retrato(const std::string& banco, bool geradores = true) {
        db::Conexao conexao;
        conexao.DefineNomeBanco(banco);
        conexao.Conecta();
        return teste::RetratoDoBanco(conexao, geradores);
    }

    // The records in the layout: one row each, nothing above them.
    std::string PlanilhaNoLeiaute(const Caso& c) {
        const std::string arquivo = pasta_.Arquivo("leiaute.csv");
        std::ofstream saida(arquivo);
        for (size_t r = 0; r < c.colunas[0].celulas.size(); ++r) {
            std::map<int, std::string> linha;
            for (const ColunaPropria& p : c.colunas)
                if (p.coluna) linha[p.coluna] = p.celulas[r];
            // A unit given says so in column 132.
            if (std::string(c.tipo) == "produtos") linha[132] = linha[130];
            for (int k = 1; k <= c.colunasLeiaute; ++k) saida << (k > 1 ? ";" : "") << U8(linha[k]);
            saida << '\n';
        }
        return arquivo;
    }

    // The customer's workbook: a title row, a row with the date it was printed, the
    // headings, the records.
    std::string PlanilhaPropria(const Caso& c, const std::string& nome = "propria.xlsx") {
        const std::string arquivo = pasta_.Arquivo(nome);
        lxw_workbook* pasta = workbook_new(arquivo.c_str());
        lxw_worksheet* aba = workbook_add_worksheet(pasta, "Cadastro");
        worksheet_write_string(aba, 0, 0, U8("Loja Exemplo Ltda - Cadastro").c_str(), nullptr);
        worksheet_write_string(aba, 1, 0, U8("Emitido em 03/02/2025").c_str(), nullptr);
        if (c.comMapa) {
            for (size_t k = 0; k < c.colunas.size(); ++k) {
                const ColunaPropria& p = c.colunas[k];
                if (*p.titulo)
                    worksheet_write_string(aba, 2, static_cast<lxw_col_t>(k), U8(p.titulo).c_str(),
                                           nullptr);
                for (size_t r = 0; r < p.celulas.size(); ++r)
                    if (*p.celulas[r])
                        worksheet_write_string(aba, static_cast<lxw_row_t>(3 + r),
                                               static_cast<lxw_col_t>(k), U8(p.celulas[r]).c_str(),
                                               nullptr);
            }
        } else {
            for (const ColunaPropria& p : c.colunas) {
                worksheet_write_string(aba, 2, static_cast<lxw_col_t>(p.coluna - 1),
                                       U8(p.titulo).c_str(), nullptr);
                for (size_t r = 0; r < p.celulas.size(); ++r) {
                    worksheet_write_string(aba, static_cast<lxw_row_t>(3 + r),
                                           static_cast<lxw_col_t>(p.coluna - 1),
                                           U8(p.celulas[r]).c_str(), nullptr);
                    if (p.coluna == 130)
                        worksheet_write_string(aba, static_cast<lxw_row_t>(3 + r), 131,
                                               U8(p.celulas[r]).c_str(), nullptr);
                }
            }
        }
        EXPECT_EQ(workbook_close(pasta), LXW_NO_ERROR);
        return arquivo;
    }

    // `conversor mapa` into a file; its stdout is the map.
    std::string Mapa(const Caso& c, const std::string& planilha) {
        const Saida s = Roda(std::string("mapa --tipo ") + c.tipo + " --planilha " + planilha);
        EXPECT_EQ(s.status, 0) << s.err;
        EXPECT_THAT(s.err, HasSubstr("--primeira-linha 4"));
        const std::string mapa = pasta_.Arquivo("mapa.csv");
        std::ofstream(mapa, std::ios::binary) << s.out;
        return mapa;
    }

    teste::PastaTemporaria pasta_;
};

TEST_F(MapaTeste, PlanilhaPropriaConverteComoAMesmaPlanilhaNoLeiaute) {
    for (const Caso& c : Casos()) {
        SCOPED_TRACE(c.nome);
        const std::string noLeiaute = Copia("leiaute.fdb");
        const Saida a = Roda("converter --banco " + noLeiaute + " --planilha " +
                             PlanilhaNoLeiaute(c) + " --tipo " + c.tipo);
        ASSERT_EQ(a.status, 0) << a.out << a.err;

        const std::string propria = PlanilhaPropria(c);
        std::string opcoes = " --primeira-linha 4";
        if (c.comMapa) {
            const std::string mapa = Mapa(c, propria);
            // Every heading that has a place got it; the others are comments.
            const std::string texto = Le(mapa);
            for (const ColunaPropria& p : c.colunas) {
                if (p.coluna == 0 && *p.titulo) {
                    EXPECT_THAT(texto, HasSubstr(U8(std::string("'") + p.titulo + "'")));
                }
            }
            opcoes += " --mapa " + mapa;
        }
        const std::string mapeado = Copia("mapeado.fdb");
        const Saida b = Roda("converter --banco " + mapeado + " --planilha " + propria +
                             " --tipo " + c.tipo + opcoes);
        ASSERT_EQ(b.status, 0) << b.out << b.err;
        EXPECT_THAT(b.out, HasSubstr(" 3 linhas gravadas"));

        const std::string retrato = Retrato(mapeado);
        EXPECT_EQ(retrato, Retrato(noLeiaute));
        EXPECT_THAT(retrato, HasSubstr(c.marca));
    }
}

TEST_F(MapaTeste, ProblemasNomeiamALinhaDaPlanilhaEAsDuasColunas) {
    Caso c = Casos()[0];
    c.colunas[3].celulas[1] = "12,5 reais";  // sheet row 5, column D
    const std::string propria = PlanilhaPropria(c);
    const std::string mapa = Mapa(c, propria);
    const std::string banco = Copia("banco.fdb");
    const std::string antes = Retrato(banco, false);
    const std::string relatorio = pasta_.Arquivo("relatorio.xlsx");
    const Saida s =
        Roda("conferir --banco " + banco + " --planilha " + propria +
             " --tipo produtos --primeira-linha 4 --mapa " + mapa + " --relatorio " + relatorio);
    EXPECT_EQ(s.status, 1) << s.out << s.err;
    EXPECT_THAT(s.out, HasSubstr(U8("  5       coluna 102 PRECO, da coluna D 'Preço de venda' da "
                                    "planilha 12,5 reais")));
    // The new references are announced on the rows that bring them.
    EXPECT_THAT(s.out, HasSubstr(U8("  4       -            82052000")));
    EXPECT_EQ(Retrato(banco, false), antes);

    intake::TDMCotrolaExcel excel;
    excel.AbreArquivo(relatorio);
    excel.SelecionaPlanilha(1);  // Falhas
    EXPECT_EQ(excel.LeCelula(1, 2), "5");
    EXPECT_EQ(excel.LeCelula(2, 2), "coluna 102 PRECO, da coluna D 'Preço de venda' da planilha");
    EXPECT_EQ(excel.LeCelula(3, 2), "D");
    EXPECT_EQ(excel.LeCelula(4, 2), "12,5 reais");
}

TEST_F(MapaTeste, PrimeiraLinhaDepoisDaUltimaERecusadaSemTocarNoBanco) {
    const Caso c = Casos()[0];
    const std::string propria = PlanilhaPropria(c);  // rows 1 to 6
    const std::string mapa = Mapa(c, propria);
    const std::string banco = Copia("banco.fdb");
    const std::string antes = Retrato(banco);
    const std::string mensagem =
        "A primeira linha informada (7) passa da última linha a converter (6): nenhuma linha "
        "seria convertida.";
    for (const char* comando : {"converter", "conferir"}) {
        SCOPED_TRACE(comando);
        const Saida s = Roda(std::string(comando) + " --banco " + banco + " --planilha " + propria +
                             " --tipo produtos --primeira-linha 7 --mapa " + mapa);
        EXPECT_EQ(s.status, 2);
        EXPECT_THAT(s.err, HasSubstr(U8(mensagem)));
        EXPECT_THAT(s.out, Not(HasSubstr("gravad")));
    }
    EXPECT_EQ(Retrato(banco), antes);

    // --ultima-linha below the first row is the same mistake.
    Saida s = Roda("converter --banco " + banco + " --planilha " + propria +
                   " --tipo produtos --primeira-linha 4 --ultima-linha 3 --mapa " + mapa);
    EXPECT_EQ(s.status, 2);
    EXPECT_THAT(s.err, HasSubstr(U8("passa da última linha a converter (3)")));
    EXPECT_EQ(Retrato(banco), antes);

    s = Roda("mostrar " + propria + " --primeira-linha 7");
    EXPECT_EQ(s.status, 2);
    EXPECT_THAT(s.err, HasSubstr(U8(mensagem)));
    s = Roda("mostrar " + propria + " --primeira-linha 6");
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_EQ(s.out.substr(0, 3), "12\t");
    EXPECT_EQ(std::count(s.out.begin(), s.out.end(), '\n'), 1);
    s = Roda("converter --banco " + banco + " --planilha " + propria +
             " --tipo produtos --primeira-linha 0");
    EXPECT_EQ(s.status, 2);
    EXPECT_THAT(s.err, HasSubstr(U8("--primeira-linha deve ser um número de 1 em diante")));
}

TEST_F(MapaTeste, MapaRecusadoAntesDeTocarNoBanco) {
    const Caso c = Casos()[0];
    const std::string propria = PlanilhaPropria(c);
    const std::string banco = Copia("banco.fdb");
    const std::string antes = Retrato(banco);
    const auto Mapa = [&](const std::string& conteudo) {
        const std::string arquivo = pasta_.Arquivo("recusado.csv");
        std::ofstream(arquivo, std::ios::binary) << conteudo;
        return arquivo;
    };
    // Refused as read: before the database is even opened (this one does not exist).
    Saida s = Roda("converter --banco " + pasta_.Arquivo("nenhum.fdb") + " --planilha " + propria +
                   " --tipo produtos --primeira-linha 4 --mapa " +
                   Mapa(U8("DESCRICAO;Descrição\nPRECO;Preço de venda\n66;B\n")));
    EXPECT_EQ(s.status, 2);
    EXPECT_THAT(s.err, HasSubstr(U8("linha 3: a coluna 66 DESCRICAO do leiaute já foi ligada na "
                                    "linha 1.")));
    EXPECT_THAT(s.err, Not(HasSubstr("nenhum.fdb")));
    // Refused against the sheet: before anything is converted or rehearsed.
    for (const char* comando : {"converter", "conferir"}) {
        SCOPED_TRACE(comando);
        s = Roda(std::string(comando) + " --banco " + banco + " --planilha " + propria +
                 " --tipo produtos --primeira-linha 4 --mapa " +
                 Mapa("DESCRICAO;Descri\xE7\xE3o\nPRECO;Pre\xE7o de custo\n"));
        EXPECT_EQ(s.status, 2);
        EXPECT_THAT(s.err, HasSubstr(U8("linha 2: a planilha não tem a coluna 'Preço de custo': "
                                        "nenhum título da linha 3 tem esse texto.")));
        EXPECT_THAT(s.out, Not(HasSubstr("Falhas")));
    }
    EXPECT_EQ(Retrato(banco), antes);
}

}  // namespace
}  // namespace conversor::app
