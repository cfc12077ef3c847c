// Converting into a database that this computer's Firebird server holds open, as the
// server of a Vantora installation does: given the file's plain path (all the window's
// file dialog gives), the embedded engine is refused the file, and the connection goes
// through that server instead. Each test keeps an attachment of its own through the
// server for its whole length. They need a server on 127.0.0.1:3050 that takes
// SYSDBA's password, as scripts/test.sh starts one; without it they say skipped. The
// server also lets a second connection work on the database while a run lasts: taking
// generator values during the rehearsal, holding rows the run must change.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "apoio/banco_teste.h"
#include "apoio/conversao_na_janela.h"
#include "apoio/dialogos_gravados.h"
#include "apoio/mensagens_gravadas.h"
#include "apoio/processo.h"
#include "app/execucao.h"
#include "app/janela/principal.h"
#include "base/regional.h"
#include "convert/percurso.h"
#include "db/diagnostico.h"
#include "db/esquema.h"

namespace conversor::app {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;

// What the terminal receives is UTF-8, while plain literals here are Windows-1252.
std::string U8(const char8_t* texto) { return reinterpret_cast<const char*>(texto); }
QString Q(std::string_view texto) { return QString::fromUtf8(Cp1252ParaUtf8(texto)); }

class ServidorLocal : public ::testing::Test {
protected:
    void SetUp() override {
        banco_ = pasta_.Arquivo("vantora.fdb");
        db::CriaBancoVantora(banco_);
        servidor_.DefineNomeBanco("localhost:" + banco_);
        try {
            servidor_.Conecta();
        } catch (const db::ErroBanco& e) {
            if (std::getenv("CONVERSOR_SERVIDOR_FIREBIRD"))
                FAIL() << "O servidor Firebird iniciado para os testes recusou a conexão: "
                       << e.what();
            const char* motivo = std::getenv("CONVERSOR_SERVIDOR_AUSENTE");
            GTEST_SKIP() << "Nenhum servidor Firebird em localhost aceita SYSDBA ("
                         << (motivo ? motivo : e.what()) << ")";
        }
        Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')");
        planilha_ = pasta_.Arquivo("transportadoras.csv");
        teste::EscreveTresTransportadoras(planilha_);
    }

    // Through the test's own attachment, which the server keeps open.
    void Executa(const std::string& sql) {
        db::Consulta q(servidor_);
        q.DefineSql(sql);
        q.Executa();
        servidor_.DBTransaction().Confirma();
    }
    std::string Valor(const std::string& sql) {
        db::Consulta q(servidor_);
        q.DefineSql(sql);
        q.Abre();
        std::string valor = q.Eof() ? "" : q.CampoTexto(q.NomeCampo(0));
        q.Fecha();
        servidor_.DBTransaction().Confirma();
        return valor;
    }
    std::string Aviso() const {
        return "Conectado pelo servidor Firebird deste computador (localhost:" + banco_ + ").";
    }

    teste::PastaTemporaria pasta_;
    std::string banco_;
    std::string planilha_;
    db::Conexao servidor_;
};

TEST_F(ServidorLocal, CaminhoDoArquivoConectaPeloServidor) {
    // The server opens files by their full path, whatever the program's folder is.
    const std::string pasta = std::filesystem::path(pasta_.Caminho()).filename().string();
    const std::string nomes[] = {banco_, "vantora.fdb", "./vantora.fdb",
                                 "../" + pasta + "/./vantora.fdb"};
    const std::filesystem::path antes = std::filesystem::current_path();
    std::filesystem::current_path(pasta_.Caminho());
    for (const std::string& nome : nomes) {
        SCOPED_TRACE(nome);
        db::Conexao conexao;
        conexao.DefineNomeBanco(nome);
        ASSERT_NO_THROW(conexao.Conecta());
        EXPECT_EQ(conexao.NomeBanco(), nome);
        EXPECT_EQ(conexao.NomeServidorLocal(), "localhost:" + banco_);
        EXPECT_EQ(conexao.AvisoServidorLocal(), Aviso());
        db::Consulta q(conexao);
        q.DefineSql("select NOME from TRANSPT where CODTRANSPT = '0099'");
        q.Abre();
        EXPECT_EQ(q.CampoTexto("NOME"), "Antiga");
        q.Fecha();
        conexao.Desconecta();
        EXPECT_EQ(conexao.AvisoServidorLocal(), "");
    }
    std::filesystem::current_path(antes);

    // A file nobody holds is opened directly, as before.
    const std::string livre = pasta_.Arquivo("livre.fdb");
    db::CriaBancoVantora(livre);
    db::Conexao direta;
    direta.DefineNomeBanco(livre);
    direta.Conecta();
    EXPECT_EQ(direta.NomeServidorLocal(), "");
    EXPECT_EQ(direta.AvisoServidorLocal(), "");
}

TEST_F(ServidorLocal, ConverterPeloCaminhoDoArquivo) {
    const teste::Resultado r = teste::Roda({CONVERSOR_EXECUTAVEL, "converter", "--banco", banco_,
                                            "--planilha", planilha_, "--tipo", "transportadoras"});
    EXPECT_EQ(r.status, 0) << r.saida;
    EXPECT_THAT(r.saida, HasSubstr("Resumo:\n  " + Aviso() + "\n")) << r.saida;
    EXPECT_THAT(r.saida, HasSubstr(U8(u8"Conversão concluída com sucesso!")));
    EXPECT_THAT(r.saida, HasSubstr("TRANSPT         3 linhas gravadas"));
    EXPECT_EQ(Valor("select count(*) from TRANSPT"), "3");
    EXPECT_EQ(Valor("select count(*) from TRANSPT where NOME = 'Trans Cerrado'"), "1");
}

TEST_F(ServidorLocal, JanelaConvertePeloCaminhoDoArquivo) {
    teste::DialogosGravados dialogos;
    TFPrincipal janela(dialogos, CONVERSOR_TABELA_CIDADES);
    janela.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&janela));
    auto* abreBanco = janela.findChild<QPushButton*>("btAbrirVantora");
    auto* status = janela.findChild<QStatusBar*>("stbStatus");
    auto escolheBanco = [&](const std::string& arquivo) {
        dialogos.arquivos.push_back(QString::fromStdString(arquivo));
        abreBanco->click();
    };

    escolheBanco(banco_);
    ASSERT_TRUE(dialogos.mensagens.empty()) << dialogos.mensagens[0].second.toStdString();
    ASSERT_TRUE(janela.dbVantora().Conectado());
    EXPECT_EQ(janela.dbVantora().NomeServidorLocal(), "localhost:" + banco_);
    EXPECT_EQ(janela.findChild<QLineEdit*>("edtCaminhoVantora")->text().toStdString(), banco_);
    EXPECT_EQ(status->currentMessage(), Q(Aviso()));

    // Another database, which nobody holds, is opened directly and the notice goes;
    // choosing the held one again brings it back.
    const std::string livre = pasta_.Arquivo("livre.fdb");
    db::CriaBancoVantora(livre);
    escolheBanco(livre);
    EXPECT_EQ(janela.dbVantora().NomeServidorLocal(), "");
    EXPECT_EQ(status->currentMessage(), "");
    escolheBanco(banco_);
    EXPECT_EQ(status->currentMessage(), Q(Aviso()));

    dialogos.arquivos.push_back(QString::fromStdString(planilha_));
    janela.findChild<QPushButton*>("Btabrir")->click();
    janela.findChild<QRadioButton*>("rbtTransportadoras")->setChecked(true);
    ASSERT_TRUE(teste::EfetuaConversao(janela));
    ASSERT_FALSE(dialogos.mensagens.empty());
    EXPECT_EQ(dialogos.mensagens.back().first, Dialogos::Tipo::Informacao)
        << dialogos.mensagens.back().second.toStdString();
    EXPECT_EQ(Valor("select count(*) from TRANSPT"), "3");
    EXPECT_EQ(Valor("select count(*) from TRANSPT where NOME = 'Rapido Mineiro'"), "1");
}

// A progress display that, once the rehearsal walks the rows, has another connection
// take a value of a generator at every row, as the Vantora does while it sells.
class ProgressoComOutraConexao final : public intake::Progresso {
public:
    explicit ProgressoComOutraConexao(db::Conexao& outra) : outra_(outra) {}
    void Legenda(std::string_view texto) override { ensaiando_ = texto == convert::kLegendaEnsaio; }
    void Maximo(int) override {}
    void Posicao(int) override {}
    void Avanca() override {}
    void Status(std::string_view) override {
        if (!ensaiando_) return;
        db::Consulta q(outra_);
        q.DefineSql("select gen_id(G_VANTORA, 1) as V from RDB$DATABASE");
        q.Abre();
        tomados.push_back(q.CampoInteiro("V"));
        q.Fecha();
        outra_.DBTransaction().Confirma();
    }
    void ProcessaMensagens() override {}

    std::vector<long long> tomados;

private:
    db::Conexao& outra_;
    bool ensaiando_ = false;
};

// The run connected through the server, the sheet already open.
struct Rodada {
    explicit Rodada(const std::string& banco, const std::string& planilha,
                    intake::Progresso& progresso) {
        conexao.DefineNomeBanco(banco);
        conexao.Conecta();
        excel.AbreArquivo(planilha);
        pedido.arquivo = planilha;
        pedido.aba = 1;
        pedido.ateUltimaLinhaDaAba = true;
        pedido.tipo = TipoRegistro::Transportadoras;
        execucao.emplace(conexao, excel, tabela, progresso, mensagens, CONVERSOR_TABELA_CIDADES);
    }
    db::Conexao conexao;
    intake::TDMCotrolaExcel excel;
    intake::TTabelaTemp tabela;
    teste::MensagensGravadas mensagens;
    PedidoConversao pedido;
    std::optional<ExecucaoConversao> execucao;
};

// The values another connection took from a generator while the rehearsal ran are
// never handed out again: the generator is at least where that connection left it.
TEST_F(ServidorLocal, GeradorAvancadoPorOutraConexaoDuranteOEnsaioFicaAvancado) {
    Executa("create generator G_VANTORA");
    for (const bool soConferir : {true, false}) {
        SCOPED_TRACE(soConferir ? "conferir" : "converter");
        ProgressoComOutraConexao progresso(servidor_);
        Rodada rodada(banco_, planilha_, progresso);
        ASSERT_EQ(rodada.conexao.NomeServidorLocal(), "localhost:" + banco_);
        const ResultadoConversao r = soConferir ? rodada.execucao->Confere(rodada.pedido)
                                                : rodada.execucao->Converte(rodada.pedido);
        EXPECT_EQ(r.desfecho,
                  soConferir ? DesfechoConversao::Conferida : DesfechoConversao::Concluida)
            << ::testing::PrintToString(rodada.mensagens.Erros());
        ASSERT_FALSE(progresso.tomados.empty());
        const long long depois = std::stoll(Valor("select gen_id(G_VANTORA, 0) from RDB$DATABASE"));
        EXPECT_GE(depois, progresso.tomados.back());
    }
}

// Another connection holds, uncommitted, a row the run must change: a code of the
// sheet it inserted, or an old row the run's purge deletes. The run waits at most the
// transaction's lock wait, says the database is busy, and changes nothing.
TEST_F(ServidorLocal, LinhaPresaPorOutraConexaoDeixaOBancoOcupado) {
    struct Caso {
        const char* nome;
        const char* comando;
    };
    const Caso casos[] = {
        {"código da planilha incluído",
         "insert into TRANSPT (CODTRANSPT, NOME) values ('0002', 'Outro programa')"},
        {"linha antiga alterada", "update TRANSPT set NOME = 'Outro programa'"},
    };
    const auto limite = std::chrono::seconds(db::kEsperaPorTravaSegundos) + 15s;
    const std::string ocupado = U8(u8"O banco está ocupado");
    const std::string dados = Cp1252ParaUtf8(db::kDadosEmUsoPorOutraConexao);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const std::string antes = teste::RetratoDoBanco(servidor_);
        db::Conexao outra;
        outra.DefineNomeBanco("localhost:" + banco_);
        outra.Conecta();
        db::Consulta presa(outra);
        presa.DefineSql(c.comando);
        presa.Executa();

        struct Comando {
            const char* nome;
            int saida;
        };
        for (const Comando& comando : {Comando{"conferir", 1}, Comando{"converter", 2}}) {
            SCOPED_TRACE(comando.nome);
            const auto inicio = std::chrono::steady_clock::now();
            const teste::Resultado r =
                teste::Roda({CONVERSOR_EXECUTAVEL, comando.nome, "--banco", banco_, "--planilha",
                             planilha_, "--tipo", "transportadoras"},
                            limite);
            ASSERT_NE(r.status, -1) << "ainda esperando depois do prazo";
            EXPECT_EQ(r.status, comando.saida) << r.saida;
            EXPECT_LE(std::chrono::steady_clock::now() - inicio, limite);
            EXPECT_THAT(r.saida, HasSubstr(ocupado)) << r.saida;
            EXPECT_THAT(r.saida, HasSubstr(dados)) << r.saida;
            EXPECT_THAT(r.saida, HasSubstr("Nada foi alterado no banco")) << r.saida;
            EXPECT_THAT(r.saida, Not(HasSubstr(U8(u8"Código repetido")))) << r.saida;
        }

        // The run itself, as the window drives it: the same message, shown as an error.
        intake::ProgressoMudo progresso;
        Rodada rodada(banco_, planilha_, progresso);
        const ResultadoConversao r = rodada.execucao->Converte(rodada.pedido);
        EXPECT_EQ(r.desfecho, DesfechoConversao::Ocupado);
        ASSERT_EQ(rodada.mensagens.Erros().size(), 1u);
        EXPECT_THAT(rodada.mensagens.Erros()[0], HasSubstr("O banco está ocupado"));
        EXPECT_THAT(rodada.mensagens.Erros()[0], HasSubstr(db::kDadosEmUsoPorOutraConexao));
        rodada.conexao.Desconecta();

        outra.DBTransaction().Desfaz();
        outra.Desconecta();
        EXPECT_EQ(teste::RetratoDoBanco(servidor_), antes);
    }
}

}  // namespace
}  // namespace conversor::app
