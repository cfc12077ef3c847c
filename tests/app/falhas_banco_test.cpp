// `conversor converter` against databases that fail it: a file that is no database,
// a database another program holds, one shut down or read-only, a full disk, a table
// or column missing, the process killed or stopped by Ctrl+C in the middle of a run,
// and two runs at once. Each case checks what the user is told and what the database
// holds afterwards. Every wait has a deadline; cases that need to mount a file system
// skip themselves where that is not permitted.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

#include "apoio/banco_teste.h"
#include "apoio/mensagens_gravadas.h"
#include "apoio/processo.h"
#include "app/execucao.h"
#include "db/conexao.h"
#include "db/consulta.h"
#include "db/esquema.h"

namespace conversor::app {
namespace {

using namespace std::chrono_literals;
using teste::Processo;
using teste::Resultado;
using ::testing::HasSubstr;
using ::testing::Not;

// What the terminal receives is UTF-8, while plain literals here are Windows-1252.
std::string U8(const char8_t* texto) { return reinterpret_cast<const char*>(texto); }

// A tmpfs mounted on a folder for the life of the object.
class Tmpfs {
public:
    Tmpfs(const std::string& pasta, const std::string& opcoes) : pasta_(pasta) {
        std::filesystem::create_directories(pasta_);
        montado_ = mount("tmpfs", pasta_.c_str(), "tmpfs", 0, opcoes.c_str()) == 0;
        if (!montado_) erro_ = std::strerror(errno);
    }
    ~Tmpfs() {
        if (montado_) umount2(pasta_.c_str(), MNT_DETACH);
    }
    bool Montado() const { return montado_; }
    const std::string& Erro() const { return erro_; }
    bool Remonta(unsigned long flags, const std::string& opcoes) {
        return mount("tmpfs", pasta_.c_str(), "tmpfs", MS_REMOUNT | flags, opcoes.c_str()) == 0;
    }

private:
    std::string pasta_;
    bool montado_ = false;
    std::string erro_;
};

class FalhasBanco : public ::testing::Test {
protected:
    void SetUp() override {
        if (!teste::ProgramaExiste("gfix")) GTEST_SKIP() << "gfix (firebird3.0-utils) ausente";
    }

    std::string NovoBanco(const std::string& nome) {
        const std::string arquivo = pasta_.Arquivo(nome);
        db::CriaBancoVantora(arquivo);
        return arquivo;
    }

    // Each statement in a transaction of its own; the connection closes at the end,
    // so that the program under test can open the file.
    static void Executa(const std::string& banco, const std::vector<std::string>& comandos) {
        db::Conexao conexao;
        conexao.DefineNomeBanco(banco);
        conexao.Conecta();
        for (const std::string& sql : comandos) {
            db::Consulta q(conexao);
            q.DefineSql(sql);
            q.Executa();
            conexao.DBTransaction().Confirma();
        }
    }
    static std::string Valor(const std::string& banco, const std::string& sql) {
        db::Conexao conexao;
        conexao.DefineNomeBanco(banco);
        conexao.Conecta();
        db::Consulta q(conexao);
        q.DefineSql(sql);
        q.Abre();
        return q.Eof() ? "" : q.CampoTexto(q.NomeCampo(0));
    }
    static long long Conta(const std::string& banco, const std::string& tabela) {
        return std::stoll(Valor(banco, "select count(*) from " + tabela));
    }

    static std::vector<std::string> Argumentos(const std::string& banco,
                                               const std::string& planilha, const char* tipo) {
        // The faults of the run that writes: the rehearsal before it would meet them
        // first and refuse the sheet with nothing written.
        return {CONVERSOR_EXECUTAVEL, "converter", "--banco", banco,
                "--planilha",         planilha,    "--tipo",  tipo,
                "--sem-ensaio"};
    }
    static Resultado Converte(const std::string& banco, const std::string& planilha,
                              const char* tipo) {
        return teste::Roda(Argumentos(banco, planilha, tipo), 120s);
    }
    static Resultado Gfix(std::vector<std::string> opcoes, const std::string& banco) {
        std::vector<std::string> argumentos = {"gfix"};
        argumentos.insert(argumentos.end(), opcoes.begin(), opcoes.end());
        for (const char* a : {"-user", db::kUsuarioSysdba, "-password", db::kSenhaSysdba})
            argumentos.push_back(a);
        argumentos.push_back(banco);
        return teste::Roda(argumentos, 120s);
    }
    // `gfix -v -full`: the structure checked page by page. Warnings (orphan pages that
    // a killed process leaves) are not errors; any error count fails the test.
    static void ValidaSemErros(const std::string& banco, bool semAvisos = false) {
        const Resultado r = Gfix({"-v", "-full"}, banco);
        EXPECT_EQ(r.status, 0) << r.saida;
        EXPECT_FALSE(std::regex_search(r.saida, std::regex("Number of [^\\n]* errors"))) << r.saida;
        if (semAvisos) {
            EXPECT_THAT(r.saida, Not(HasSubstr("warnings"))) << r.saida;
        }
    }

    // A sheet of suppliers in their layout: the code in column 30, the name in 38, the
    // state in 28; with `cidadeACada` > 0, a new city in column 8 every that many rows,
    // whose creation commits everything written before it.
    std::string PlanilhaFornecedores(int linhas, int cidadeACada) {
        const std::string arquivo = pasta_.Arquivo("fornecedores.csv");
        std::ofstream saida(arquivo);
        for (int i = 1; i <= linhas; ++i) {
            for (int coluna = 1; coluna <= 48; ++coluna) {
                if (coluna > 1) saida << ';';
                if (coluna == 8 && cidadeACada > 0) saida << "Cidade " << (i - 1) / cidadeACada + 1;
                if (coluna == 28) saida << "MG";
                if (coluna == 30) saida << i;
                if (coluna == 38) saida << "Fornecedor " << i;
            }
            saida << '\n';
        }
        return arquivo;
    }
    // Rows of a kind's layout: only the code column and the name column are filled.
    std::string Planilha(const char* nome, int colunas, int colunaCodigo, int colunaNome,
                         int linhas) {
        const std::string arquivo = pasta_.Arquivo(nome);
        std::ofstream saida(arquivo);
        for (int i = 1; i <= linhas; ++i) {
            for (int coluna = 1; coluna <= colunas; ++coluna) {
                if (coluna > 1) saida << ';';
                if (coluna == colunaCodigo) saida << i;
                if (coluna == colunaNome) saida << "Nome " << i;
            }
            saida << '\n';
        }
        return arquivo;
    }
    std::string PlanilhaTransportadoras() { return Planilha("transportadoras.csv", 27, 27, 20, 3); }
    std::string PlanilhaVendedores() { return Planilha("vendedores.csv", 57, 57, 40, 3); }

    // What a run of the cities sheet has committed, whatever moment it stopped at:
    // each new city commits the suppliers before it, so with c cities the suppliers
    // are exactly the first (c - 1) * k rows of the sheet.
    static void ConfirmadoAteAUltimaCidade(const std::string& banco, int cidadeACada) {
        const long long cidades = Conta(banco, "CIDADES");
        const long long esperados = std::max(0LL, cidades - 1) * cidadeACada;
        EXPECT_EQ(Conta(banco, "FORNECE"), esperados) << cidades << " cidades";
        if (esperados > 0) {
            EXPECT_EQ(Valor(banco, "select min(cast(CODFORNEC as integer)) from FORNECE"), "1");
            EXPECT_EQ(Valor(banco, "select max(cast(CODFORNEC as integer)) from FORNECE"),
                      std::to_string(esperados));
        }
    }

    teste::PastaTemporaria pasta_;
};

// ---------------------------------------------------------------------------------
// Databases that cannot be opened: the run stops before anything, with the reason.

TEST_F(FalhasBanco, BancoQueNaoAbreParaAntesDeConverter) {
    const std::string planilha = PlanilhaTransportadoras();
    const std::string texto = pasta_.Arquivo("texto.fdb");
    std::ofstream(texto) << "Isto é um texto, não um banco.\n";
    const std::string lixo = pasta_.Arquivo("lixo.fdb");
    {
        std::ofstream saida(lixo, std::ios::binary);
        for (int i = 0; i < 64 * 1024; ++i) saida.put(static_cast<char>(i * 7919 % 251));
    }
    struct Caso {
        const char* nome;
        std::string banco;
        std::string motivo;
    };
    const Caso casos[] = {
        {"arquivo inexistente", pasta_.Arquivo("nao-existe.fdb"),
         U8(u8"O arquivo do banco não existe.")},
        {"arquivo de texto", texto, U8(u8"O arquivo não é um banco de dados Firebird")},
        {"arquivo de lixo", lixo, U8(u8"O arquivo não é um banco de dados Firebird")},
        {"pasta", pasta_.Caminho(), U8(u8"O caminho do banco é uma pasta")},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const Resultado r = Converte(c.banco, planilha, "transportadoras");
        EXPECT_EQ(r.status, 2) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr(U8(u8"Não foi possível conectar ao banco '") + c.banco));
        EXPECT_THAT(r.saida, HasSubstr(c.motivo));
    }
    EXPECT_FALSE(std::filesystem::exists(pasta_.Arquivo("nao-existe.fdb")));
}

TEST_F(FalhasBanco, BancoFechadoOuEmUsoNaoPerdeNada) {
    const std::string planilha = PlanilhaTransportadoras();
    const std::string banco = NovoBanco("vantora.fdb");
    Executa(banco, {"insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')",
                    "insert into VENDEND (CODVENDEDOR, NOME) values ('0099', 'Antigo')"});

    {
        SCOPED_TRACE("fechado para manutenção (gfix -shut full)");
        ASSERT_EQ(Gfix({"-shut", "full", "-force", "0"}, banco).status, 0);
        const Resultado r = Converte(banco, planilha, "transportadoras");
        EXPECT_EQ(r.status, 2) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr(U8(u8"O banco está fechado para manutenção (shutdown)")));
        ASSERT_EQ(Gfix({"-online"}, banco).status, 0);
    }
    {
        SCOPED_TRACE("aberto por outro processo");
        Processo outro({SEGURA_BANCO, banco});
        ASSERT_TRUE(outro.Espera(std::regex("conectado"), 30s)) << outro.Saida();
        const Resultado r = Converte(banco, planilha, "transportadoras");
        EXPECT_EQ(r.status, 2) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr(U8(u8"O banco está aberto por outro programa")));
        // Neither the embedded engine nor a server of this computer could open it: what
        // is left is a server of another computer, reached as servidor:caminho.
        EXPECT_THAT(r.saida, HasSubstr("--banco servidor:/caminho/do/banco.fdb"));
        outro.FechaEntrada();
        EXPECT_EQ(outro.Termina(30s), 0);
    }
    {
        SCOPED_TRACE("somente leitura (gfix -mode read_only)");
        ASSERT_EQ(Gfix({"-mode", "read_only"}, banco).status, 0);
        // Sellers: the purge only warns and each seller's insert is caught, so the
        // database's refusal must end the run rather than pass for a success. (Firebird
        // lets the purge's DELETE through without a word and keeps nothing of it.)
        const Resultado r = Converte(banco, PlanilhaVendedores(), "vendedores");
        EXPECT_EQ(r.status, 1) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr(U8(u8"Houve um erro ao realizar a conversão. Motivo: ")));
        EXPECT_THAT(r.saida, HasSubstr(U8(u8"O banco está em modo somente leitura")));
        EXPECT_THAT(r.saida, HasSubstr("(linha 1 da planilha)"));
        EXPECT_THAT(r.saida, Not(HasSubstr(U8(u8"concluída com sucesso"))));
        EXPECT_THAT(r.saida, HasSubstr("Avisos: 0"));
        ASSERT_EQ(Gfix({"-mode", "read_write"}, banco).status, 0);
    }
    EXPECT_EQ(Valor(banco, "select NOME from TRANSPT where CODTRANSPT = '0099'"), "Antiga");
    EXPECT_EQ(Valor(banco, "select NOME from VENDEND where CODVENDEDOR = '0099'"), "Antigo");
    EXPECT_EQ(Conta(banco, "TRANSPT"), 1);
    EXPECT_EQ(Conta(banco, "VENDEND"), 1);
    ValidaSemErros(banco, true);
}

TEST_F(FalhasBanco, DiscoSomenteLeituraRecusaAConexao) {
    const std::string original = NovoBanco("vantora.fdb");
    Executa(original, {"insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')"});
    Tmpfs disco(pasta_.Arquivo("disco"), "size=16m");
    if (!disco.Montado()) GTEST_SKIP() << "não foi possível montar um tmpfs: " << disco.Erro();
    const std::string banco = pasta_.Arquivo("disco/vantora.fdb");
    std::filesystem::copy_file(original, banco);
    // As root, file permissions stop nothing; a read-only mount does.
    ASSERT_TRUE(disco.Remonta(MS_RDONLY, "")) << std::strerror(errno);

    const Resultado r = Converte(banco, PlanilhaTransportadoras(), "transportadoras");
    EXPECT_EQ(r.status, 2) << r.saida;
    EXPECT_THAT(r.saida, HasSubstr(U8(u8"O banco não pode ser aberto para gravação")));
    ASSERT_TRUE(disco.Remonta(0, "")) << std::strerror(errno);
    EXPECT_EQ(Valor(banco, "select NOME from TRANSPT where CODTRANSPT = '0099'"), "Antiga");
}

TEST_F(FalhasBanco, DiscoCheioDesfazAteOUltimoCommit) {
    Tmpfs disco(pasta_.Arquivo("disco"), "size=3m");
    if (!disco.Montado()) GTEST_SKIP() << "não foi possível montar um tmpfs: " << disco.Erro();
    const std::string banco = pasta_.Arquivo("disco/vantora.fdb");
    db::CriaBancoVantora(banco);  // about 2 MB of the 3
    constexpr int kCidadeACada = 500;

    const Resultado r = Converte(banco, PlanilhaFornecedores(20000, kCidadeACada), "fornecedores");
    EXPECT_EQ(r.status, 1) << r.saida;
    EXPECT_THAT(r.saida, HasSubstr(U8(u8"Houve um erro ao realizar a conversão. Motivo: ")));
    EXPECT_THAT(r.saida, HasSubstr(U8(u8"Não há espaço livre no disco do banco.")));

    ASSERT_TRUE(disco.Remonta(0, "size=64m")) << std::strerror(errno);
    ValidaSemErros(banco);
    ConfirmadoAteAUltimaCidade(banco, kCidadeACada);
    EXPECT_GT(Conta(banco, "FORNECE"), 0);
}

TEST_F(FalhasBanco, TabelaOuColunaAusenteFalhaComOMotivo) {
    struct Caso {
        const char* nome;
        const char* tipo;
        std::string planilha;
        const char* quebra;
        std::string motivo;
    };
    const Caso casos[] = {
        // The purge only warns and each seller's insert is caught: without the table
        // the run must still fail instead of warning per row and reporting success.
        {"vendedores sem VENDEND", "vendedores", PlanilhaVendedores(), "drop table VENDEND",
         U8(u8"Uma tabela que a conversão usa não existe no banco")},
        // Parameterised insert.
        {"transportadoras sem TRANSPT.FAX", "transportadoras", PlanilhaTransportadoras(),
         "alter table TRANSPT drop FAX", U8(u8"Uma coluna que a conversão usa não existe")},
        // Insert built as text.
        {"fornecedores sem FORNECE.CONTATO", "fornecedores", PlanilhaFornecedores(3, 0),
         "alter table FORNECE drop CONTATO", U8(u8"Uma coluna que a conversão usa não existe")},
        // The city lookup warns about a failure of its own and goes on; a table missing
        // is no failure of the row.
        {"fornecedores sem CIDADES", "fornecedores", PlanilhaFornecedores(3, 1),
         "drop table CIDADES", U8(u8"Uma tabela que a conversão usa não existe no banco")},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const std::string banco = NovoBanco(std::string(c.nome) + ".fdb");
        Executa(banco, {c.quebra});
        const Resultado r = Converte(banco, c.planilha, c.tipo);
        EXPECT_EQ(r.status, 1) << r.saida;
        EXPECT_THAT(r.saida, HasSubstr(U8(u8"Houve um erro ao realizar a conversão. Motivo: ")));
        EXPECT_THAT(r.saida, HasSubstr(c.motivo));
        EXPECT_THAT(r.saida, HasSubstr("(linha 1 da planilha)"));
        EXPECT_THAT(r.saida, Not(HasSubstr(U8(u8"concluída com sucesso"))));
        EXPECT_THAT(r.saida, HasSubstr("Avisos: 0"));

        // The rehearsal meets it too, and changes nothing.
        std::vector<std::string> comEnsaio = Argumentos(banco, c.planilha, c.tipo);
        comEnsaio.pop_back();
        const Resultado e = teste::Roda(comEnsaio, 120s);
        EXPECT_EQ(e.status, 2) << e.saida;
        EXPECT_THAT(e.saida, HasSubstr(c.motivo));
        EXPECT_THAT(e.saida, Not(HasSubstr(U8(u8"concluída com sucesso"))));
    }
}

// ---------------------------------------------------------------------------------
// Runs stopped in the middle.

// The suppliers' progress line, drawn on a terminal, once the run is past row 1000.
// The gauge must not be full: the first line drawn with the phase's caption still
// shows the last row of the staging load.
const std::regex kPassouDaLinha1000(
    "Convertendo Fornecedor, Aguarde! \\[#*\\.+\\] Processando Registro [1-9][0-9]{3,} de");

TEST_F(FalhasBanco, ProcessoMortoDeixaOQueFoiConfirmado) {
    const std::string banco = NovoBanco("vantora.fdb");
    constexpr int kCidadeACada = 200;
    // Far more rows than the run can convert before the test reacts.
    Processo conversao(
        Argumentos(banco, PlanilhaFornecedores(100000, kCidadeACada), "fornecedores"), true);
    ASSERT_TRUE(conversao.Espera(kPassouDaLinha1000, 60s)) << conversao.Saida();
    conversao.Sinal(SIGKILL);
    EXPECT_EQ(conversao.Termina(30s), 128 + SIGKILL);
    ASSERT_THAT(conversao.Saida(), Not(HasSubstr(U8(u8"concluída"))));

    ValidaSemErros(banco);
    ConfirmadoAteAUltimaCidade(banco, kCidadeACada);
    EXPECT_GE(Conta(banco, "FORNECE"), 800);
}

// Ctrl+C, SIGTERM (timeout, a service manager) and SIGHUP (the terminal closed) all
// stop the run the same way, each with the shells' status for it.
TEST_F(FalhasBanco, SinalDeParadaDesfazATransacaoESaiComOStatusDoSinal) {
    struct CasoSinal {
        int sinal;
        const char8_t* causa;
    };
    for (const CasoSinal& c :
         {CasoSinal{SIGINT, u8"Ctrl+C"}, CasoSinal{SIGTERM, u8"pedido de término"},
          CasoSinal{SIGHUP, u8"terminal fechado"}}) {
        SCOPED_TRACE(c.sinal);
        const std::string banco = NovoBanco("vantora-" + std::to_string(c.sinal) + ".fdb");
        constexpr int kCidadeACada = 200;
        Processo conversao(
            Argumentos(banco, PlanilhaFornecedores(100000, kCidadeACada), "fornecedores"), true);
        ASSERT_TRUE(conversao.Espera(kPassouDaLinha1000, 60s)) << conversao.Saida();
        conversao.Sinal(c.sinal);
        EXPECT_EQ(conversao.Termina(60s), 128 + c.sinal) << conversao.Saida();
        EXPECT_THAT(conversao.Saida(), HasSubstr(U8(u8"Conversão interrompida (") + U8(c.causa) +
                                                 U8(u8"): a transação em andamento foi desfeita")));
        EXPECT_THAT(conversao.Saida(), Not(HasSubstr(U8(u8"concluída"))));

        // Stopped cleanly: not even the orphan pages a killed process leaves.
        ValidaSemErros(banco, true);
        ConfirmadoAteAUltimaCidade(banco, kCidadeACada);
        EXPECT_GE(Conta(banco, "FORNECE"), 800);
    }
}

// During the rehearsal nothing has been written: a stop leaves the database as it was.
TEST_F(FalhasBanco, SinalDuranteOEnsaioNaoMudaNada) {
    const std::string banco = NovoBanco("vantora.fdb");
    std::vector<std::string> argumentos =
        Argumentos(banco, PlanilhaFornecedores(100000, 200), "fornecedores");
    argumentos.pop_back();  // with the rehearsal
    const long long cidades = Conta(banco, "CIDADES");
    Processo conversao(argumentos, true);
    ASSERT_TRUE(conversao.Espera(
        std::regex("Conferindo a planilha, aguarde! \\[#*\\.+\\] Processando Registro "
                   "[1-9][0-9]{3,} de"),
        60s))
        << conversao.Saida();
    conversao.Sinal(SIGTERM);
    EXPECT_EQ(conversao.Termina(60s), 128 + SIGTERM) << conversao.Saida();
    EXPECT_THAT(conversao.Saida(),
                HasSubstr(U8(u8"Conferência interrompida (pedido de término). Nada foi alterado")));
    EXPECT_EQ(Conta(banco, "FORNECE"), 0);
    EXPECT_EQ(Conta(banco, "CIDADES"), cidades);
    ValidaSemErros(banco, true);
}

TEST_F(FalhasBanco, DuasConversoesAoMesmoTempoASegundaERecusada) {
    const std::string banco = NovoBanco("vantora.fdb");
    const std::string planilha = PlanilhaFornecedores(20000, 0);
    Processo primeira(Argumentos(banco, planilha, "fornecedores"));
    Processo segunda(Argumentos(banco, planilha, "fornecedores"));
    primeira.FechaEntrada();
    segunda.FechaEntrada();
    const int status[] = {primeira.Termina(120s), segunda.Termina(120s)};
    const std::string* saidas[] = {&primeira.Saida(), &segunda.Saida()};

    // The embedded engine opens the file for one process only: whichever came
    // second is refused at the connection, before reading or writing anything.
    ASSERT_THAT(std::vector<int>(std::begin(status), std::end(status)),
                ::testing::UnorderedElementsAre(0, 2))
        << *saidas[0] << *saidas[1];
    const int recusada = status[0] == 2 ? 0 : 1;
    EXPECT_THAT(*saidas[recusada], HasSubstr(U8(u8"O banco está aberto por outro programa")));
    EXPECT_THAT(*saidas[1 - recusada], HasSubstr(U8(u8"Conversão concluída com sucesso!")));

    ValidaSemErros(banco, true);
    EXPECT_EQ(Conta(banco, "FORNECE"), 20000);
    EXPECT_EQ(Valor(banco, "select max(cast(CODFORNEC as integer)) from FORNECE"), "20000");
}

// Through a Firebird server two runs do share the file. The database's default
// transaction (concurrency, wait) makes the second run's purge wait for the first
// one's uncommitted purge and then refuse it as an update conflict: the second run
// stops before writing anything, with the reason.
TEST_F(FalhasBanco, PurgaDeOutraConexaoFazEsperarEFalhar) {
    const std::string banco = NovoBanco("vantora.fdb");
    Executa(banco, {"insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')"});
    db::Conexao primeira;
    primeira.DefineNomeBanco(banco);
    primeira.Conecta();
    {
        db::Consulta purga(primeira);
        purga.DefineSql("DELETE FROM TRANSPT");
        purga.Executa();
    }

    db::Conexao segunda;
    segunda.DefineNomeBanco(banco);
    segunda.Conecta();
    intake::TDMCotrolaExcel excel;
    intake::TTabelaTemp tabela;
    tabela.Recria(27);
    tabela.NovoRegistro();
    tabela.DefineCampo(27, "1");
    tabela.Grava();
    intake::ProgressoMudo progresso;
    teste::MensagensGravadas mensagens;
    ExecucaoConversao execucao(segunda, excel, tabela, progresso, mensagens);

    const auto inicio = std::chrono::steady_clock::now();
    std::thread confirma([&] {
        std::this_thread::sleep_for(500ms);
        primeira.DBTransaction().Confirma();
    });
    const bool concluida = execucao.ExecutaConversao(TipoRegistro::Transportadoras);
    confirma.join();
    EXPECT_FALSE(concluida);
    EXPECT_GE(std::chrono::steady_clock::now() - inicio, 400ms);  // it waited
    ASSERT_THAT(mensagens.Erros(), ::testing::SizeIs(1));
    EXPECT_THAT(mensagens.Erros()[0],
                HasSubstr("Os mesmos dados estão sendo alterados por outra conexão ao banco"));
    EXPECT_THAT(mensagens.Erros()[0], HasSubstr("update conflicts with concurrent update"));
    primeira.Desconecta();
    segunda.Desconecta();
    EXPECT_EQ(Conta(banco, "TRANSPT"), 0);  // the first one's purge, nothing of the second
}

}  // namespace
}  // namespace conversor::app
