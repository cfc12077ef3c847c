// `conversor converter` run as a user runs it: a separate process, its exit status
// and what it prints.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "apoio/banco_teste.h"
#include "base/regional.h"
#include "intake/excel.h"

namespace conversor::app {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// What the terminal receives is UTF-8, while plain literals here are Windows-1252.
std::string U8(const char8_t* texto) { return reinterpret_cast<const char*>(texto); }

struct Saida {
    int status;
    std::string out;
    std::string err;
};

class ComandoConverterTeste : public teste::BancoTeste {
protected:
    static std::string Le(const std::string& arquivo) {
        std::ifstream in(arquivo);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    Saida Roda(const std::string& argumentos) { return RodaComando("converter " + argumentos); }
    Saida RodaComando(const std::string& argumentos) {
        const std::string out = pasta_.Arquivo("out.txt"), err = pasta_.Arquivo("err.txt");
        const std::string comando = std::string(CONVERSOR_EXECUTAVEL) + " " + argumentos + " > " +
                                    out + " 2> " + err + " < /dev/null";
        const int r = std::system(comando.c_str());
        return {WIFEXITED(r) ? WEXITSTATUS(r) : -1, Le(out), Le(err)};
    }
    std::string Planilha() {
        const std::string arquivo = pasta_.Arquivo("clientes.csv");
        std::ofstream(arquivo) << "Codigo;Nome\n1;Ana\n2;Bruno\n";
        return arquivo;
    }
    // Two carriers in the carriers' layout: the code in column 27, the name in 20,
    // the state in 14; everything else blank.
    std::string PlanilhaTransportadoras() {
        const std::string arquivo = pasta_.Arquivo("transportadoras.csv");
        std::ofstream saida(arquivo);
        for (const char* nome : {"Rapido Mineiro", "Expresso Paulista"}) {
            for (int coluna = 1; coluna <= 27; ++coluna) {
                if (coluna > 1) saida << ';';
                if (coluna == 14) saida << "MG";
                if (coluna == 20) saida << nome;
                if (coluna == 27) saida << (nome[0] == 'R' ? "1" : "2");
            }
            saida << '\n';
        }
        return arquivo;
    }
    // The connection of the fixture stays out of the way of the command's own.
    void SetUp() override { Banco().Desconecta(); }
    void TearDown() override { Banco().Conecta(); }

    teste::PastaTemporaria pasta_;
};

TEST_F(ComandoConverterTeste, ConversaoConcluidaSaiComZero) {
    const Saida s = Roda("--banco " + ArquivoBanco() + " --planilha " + PlanilhaTransportadoras() +
                         " --tipo transportadoras");
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_THAT(s.out, HasSubstr(U8(u8"Conversão concluída com sucesso!")));
    EXPECT_THAT(s.out, HasSubstr("TRANSPT         2 linhas gravadas"));
    EXPECT_THAT(s.out, HasSubstr("Avisos: 0"));
    EXPECT_THAT(s.err, Not(HasSubstr("\r")));  // no progress line when not on a terminal
}

TEST_F(ComandoConverterTeste, ConversaoQueFalhaSaiComUmEDizOQueSePerdeu) {
    Banco().Conecta();
    Executa("delete from TRANSPT");
    Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')");
    Banco().Desconecta();
    // Three columns where the carriers' layout needs 27; without the rehearsal, which
    // would refuse the sheet before converting. The carriers' purge is committed first.
    const std::string estreita = pasta_.Arquivo("estreita.csv");
    std::ofstream(estreita) << "1;Ana;Centro\n";
    const Saida s = Roda("--banco " + ArquivoBanco() + " --planilha " + estreita +
                         " --tipo transportadoras --sem-ensaio");
    EXPECT_EQ(s.status, 1);
    EXPECT_THAT(s.err, HasSubstr(U8(u8"Houve um erro ao realizar a conversão. Motivo: \n")));
    EXPECT_THAT(s.err, HasSubstr(U8(u8"as linhas que elas tinham não voltam (TRANSPT tinha 1 e "
                                    u8"tem 0)")));
    EXPECT_THAT(s.out, HasSubstr(U8(u8"TRANSPT         0 linhas agora (1 antes da conversão)")));
    EXPECT_THAT(s.out, Not(HasSubstr("linhas gravadas")));
}

// Carriers whose codes 2 and 3 repeat an earlier row's: rows 3 and 5 would stop the run.
TEST_F(ComandoConverterTeste, EnsaioRecusaAPlanilhaENadaMudaNoBanco) {
    const std::string arquivo = pasta_.Arquivo("repetidas.csv");
    {
        std::ofstream saida(arquivo);
        for (const char* codigo : {"1", "2", "2", "3", "3"}) {
            for (int coluna = 1; coluna <= 27; ++coluna) {
                if (coluna > 1) saida << ';';
                if (coluna == 20) saida << "Transportadora " << codigo;
                if (coluna == 27) saida << codigo;
            }
            saida << '\n';
        }
    }
    Banco().Conecta();
    Executa("delete from TRANSPT");
    Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')");
    const std::string antes = teste::RetratoDoBanco(Banco());
    Banco().Desconecta();
    const std::string relatorio = pasta_.Arquivo("relatorio.xlsx");
    const std::string argumentos = "--banco " + ArquivoBanco() + " --planilha " + arquivo +
                                   " --tipo transportadoras --relatorio " + relatorio;

    const Saida s = Roda(argumentos);
    EXPECT_EQ(s.status, 2) << s.err;
    EXPECT_THAT(s.err, HasSubstr("Nada foi alterado no banco."));
    EXPECT_THAT(s.out, HasSubstr("Falhas: 2"));
    EXPECT_THAT(s.out, ::testing::ContainsRegex("\n  3 +- +.*\n  5 +- "));
    EXPECT_THAT(s.out, Not(HasSubstr(U8(u8"Conversão concluída"))));

    // The rehearsal alone says the same, and its workbook holds the same rows.
    const Saida c = RodaComando("conferir " + argumentos);
    EXPECT_EQ(c.status, 1) << c.err;
    EXPECT_THAT(c.out, HasSubstr("Falhas: 2"));
    EXPECT_THAT(c.out, HasSubstr("TRANSPT         3 linhas seriam gravadas"));
    EXPECT_THAT(c.out, HasSubstr(U8(u8"    Códigos repetidos: 2\n")));
    intake::TDMCotrolaExcel excel;
    excel.AbreArquivo(relatorio);
    ASSERT_THAT(excel.ListaPlanilhas(), ::testing::ElementsAre("Falhas", "Avisos"));
    excel.SelecionaPlanilha(1);
    EXPECT_EQ(excel.UltimaLinha(), 3);
    EXPECT_EQ(excel.LeCelula(1, 1), "Linha");
    EXPECT_EQ(excel.LeCelula(5, 1), "Motivo");
    EXPECT_EQ(excel.LeCelula(1, 2), "3");
    EXPECT_EQ(excel.LeCelula(1, 3), "5");
    EXPECT_EQ(excel.LeCelula(5, 2),
              Utf8ParaCp1252(U8(u8"Código repetido: a tabela TRANSPT já tem uma linha com a "
                                u8"mesma chave (\"CODTRANSPT\" = '0002').")));
    excel.SelecionaPlanilha(2);
    EXPECT_EQ(excel.LeCelula(6, 1), "Tipo");
    EXPECT_EQ(excel.LeCelula(6, 2), Utf8ParaCp1252(U8(u8"Códigos repetidos")));

    Banco().Conecta();
    EXPECT_EQ(teste::RetratoDoBanco(Banco()), antes);
    Banco().Desconecta();
}

// A report that cannot be written is found before the run writes anything, and said
// in Portuguese only.
TEST_F(ComandoConverterTeste, RelatorioQueNaoSeGravaNaoDeixaConverter) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "sem /dev/full";
    Banco().Conecta();
    Executa("delete from TRANSPT");
    const std::string antes = teste::RetratoDoBanco(Banco());
    Banco().Desconecta();
    for (const char* comando : {"converter", "conferir"}) {
        SCOPED_TRACE(comando);
        const Saida s = RodaComando(std::string(comando) + " --banco " + ArquivoBanco() +
                                    " --planilha " + PlanilhaTransportadoras() +
                                    " --tipo transportadoras --relatorio /dev/full");
        EXPECT_EQ(s.status, 2) << s.err;
        EXPECT_THAT(s.err, HasSubstr(U8(u8"O relatório '/dev/full' não pode ser gravado: não há "
                                        u8"espaço livre no disco.")));
        EXPECT_THAT(s.err, HasSubstr("Nada foi alterado no banco."));
        EXPECT_THAT(s.err, Not(HasSubstr("ERROR")));
        EXPECT_THAT(s.out, Not(HasSubstr(U8(u8"concluída"))));
    }
    Banco().Conecta();
    EXPECT_EQ(teste::RetratoDoBanco(Banco()), antes);
    Banco().Desconecta();
}

// Sheets whose last row lies far beyond their data, as a review found them: one cell
// at row 1,000,000 of 60 carriers; a row of clients repeated 100,000 times; a sheet
// with no rows whose dimension says 60.
TEST_F(ComandoConverterTeste, LinhasMuitoAlemDosDadosNaoSaoConvertidasUmaAUma) {
    const std::string pastas = CONVERSOR_PLANILHAS_RUINS;
    struct Caso {
        const char* nome;
        const char* planilha;
        const char* tipo;
        int status;
        std::string trecho;
    };
    const Caso casos[] = {
        {"célula na linha 1000000", "transportadoras-celula-na-linha-1000000.xlsx",
         "transportadoras", 0, U8(u8"Linhas em branco, não gravadas: 999940 (61 a 1000000)")},
        {"linha repetida 100000 vezes", "clientes-linha-repetida-100000-vezes.ods", "clientes", 2,
         U8(u8"A conferência parou nesta linha, depois de 10000 falhas: as linhas seguintes não "
            u8"foram conferidas.")},
        {"aba sem linhas", "vendedores-sem-linhas-dimensao-60.xlsx", "vendedores", 2,
         U8(u8"Não há nenhuma linha para gravar: as linhas 1 a 60 estão em branco")},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const Saida s = Roda("--banco " + ArquivoBanco() + " --planilha " + pastas + "/" +
                             c.planilha + " --tipo " + c.tipo);
        EXPECT_EQ(s.status, c.status) << s.err;
        EXPECT_THAT(s.out + s.err, HasSubstr(c.trecho));
    }
}

TEST_F(ComandoConverterTeste, ConferirPlanilhaBoaSaiComZeroSemGravar) {
    Banco().Conecta();
    Executa("delete from TRANSPT");
    const std::string antes = teste::RetratoDoBanco(Banco());
    Banco().Desconecta();
    const Saida s = RodaComando("conferir --banco " + ArquivoBanco() + " --planilha " +
                                PlanilhaTransportadoras() + " --tipo transportadoras");
    EXPECT_EQ(s.status, 0) << s.err;
    EXPECT_THAT(s.out, HasSubstr("TRANSPT         2 linhas seriam gravadas"));
    EXPECT_THAT(s.out, HasSubstr("Falhas: 0"));
    Banco().Conecta();
    EXPECT_EQ(teste::RetratoDoBanco(Banco()), antes);
    Banco().Desconecta();
}

TEST_F(ComandoConverterTeste, EntradasRecusadasSaemComDois) {
    const std::string banco = "--banco " + ArquivoBanco();
    const std::string atalho = pasta_.Arquivo("atalho.xlsx");
    std::filesystem::create_symlink(ArquivoBanco(), atalho);
    const std::string cidades = pasta_.Arquivo("cidades.dbf");
    std::ofstream(cidades) << "DBF";
    const std::string mapa = pasta_.Arquivo("mapa.csv");
    std::ofstream(mapa) << "NOME;B\n";
    struct Caso {
        const char* nome;
        std::string argumentos;
        std::string mensagem;
    };
    const Caso casos[] = {
        {"tipo desconhecido", banco + " --planilha " + Planilha() + " --tipo bichos",
         "Tipo desconhecido: bichos"},
        {"sem tipo", banco + " --planilha " + Planilha(), U8(u8"Falta a opção --tipo")},
        {"planilha inexistente", banco + " --planilha /nao/existe.xlsx --tipo clientes",
         "/nao/existe.xlsx"},
        {"aba depois da última", banco + " --planilha " + Planilha() + " --tipo clientes --aba 2",
         U8(u8"não tem a aba 2")},
        {"banco inexistente",
         "--banco /nao/existe.fdb --planilha " + Planilha() + " --tipo clientes",
         "/nao/existe.fdb"},
        {"opção desconhecida", banco + " --planilha " + Planilha() + " --tipo clientes --x 1",
         U8(u8"Opção desconhecida: --x")},
        // A report that could not be saved would waste the run; one over the workbook
        // would destroy it.
        {"relatório numa pasta que não existe",
         banco + " --planilha " + Planilha() + " --tipo clientes --relatorio /nao/existe/r.xlsx",
         U8(u8"não pode ser gravado: a pasta não existe")},
        {"relatório sem ensaio",
         banco + " --planilha " + Planilha() + " --tipo clientes --sem-ensaio --relatorio " +
             pasta_.Arquivo("r.xlsx"),
         U8(u8"com --sem-ensaio não há ensaio")},
        {"relatório sobre a planilha",
         banco + " --planilha " + Planilha() + " --tipo clientes --relatorio " + Planilha(),
         U8(u8"seria gravado sobre a própria planilha")},
        // Written over the database, it would destroy every table.
        {"relatório sobre o banco",
         banco + " --planilha " + Planilha() + " --tipo clientes --relatorio " + ArquivoBanco(),
         U8(u8"seria gravado sobre o banco")},
        {"relatório sobre o banco por um atalho",
         banco + " --planilha " + Planilha() + " --tipo clientes --relatorio " + atalho,
         U8(u8"seria gravado sobre o banco")},
        {"relatório sobre o banco aberto pelo servidor desta máquina",
         "--banco localhost:" + ArquivoBanco() + " --planilha " + Planilha() +
             " --tipo clientes --relatorio " + ArquivoBanco(),
         U8(u8"seria gravado sobre o banco")},
        {"relatório sobre a tabela de cidades",
         banco + " --planilha " + Planilha() + " --tipo clientes --cidades " + cidades +
             " --relatorio " + cidades,
         U8(u8"seria gravado sobre a tabela de cidades")},
        {"relatório sobre o mapa",
         banco + " --planilha " + Planilha() + " --tipo transportadoras --mapa " + mapa +
             " --relatorio " + mapa,
         U8(u8"seria gravado sobre o mapa")},
        {"tabela de cidades que não se lê",
         banco + " --planilha " + PlanilhaTransportadoras() + " --tipo transportadoras " +
             "--cidades " + pasta_.Arquivo("vazia.dbf"),
         U8(u8"não é uma tabela dBASE válida.\n")},
    };
    std::ofstream(pasta_.Arquivo("vazia.dbf"));
    Banco().Conecta();
    const std::string antes = teste::RetratoDoBanco(Banco());
    Banco().Desconecta();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const Saida s = Roda(c.argumentos);
        EXPECT_EQ(s.status, 2);
        EXPECT_THAT(s.err, HasSubstr(c.mensagem));
    }
    Banco().Conecta();
    EXPECT_EQ(teste::RetratoDoBanco(Banco()), antes);
    Banco().Desconecta();
    // Once, before anything, and in Portuguese only.
    const Saida semCidades = Roda(casos[std::size(casos) - 1].argumentos);
    EXPECT_EQ(semCidades.err.find("tabela dBASE"), semCidades.err.rfind("tabela dBASE"));
    EXPECT_THAT(semCidades.err, Not(HasSubstr("DBF file")));
    std::stringstream tabelaCidades;
    tabelaCidades << std::ifstream(cidades).rdbuf();
    EXPECT_EQ(tabelaCidades.str(), "DBF");
    std::stringstream planilha;
    planilha << std::ifstream(pasta_.Arquivo("clientes.csv")).rdbuf();
    EXPECT_EQ(planilha.str(), "Codigo;Nome\n1;Ana\n2;Bruno\n");
}

}  // namespace
}  // namespace conversor::app
