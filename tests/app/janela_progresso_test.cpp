// The window's progress during a long run: the gauge and the status bar follow the
// records but reach the screen only a few dozen times a second, while the window's
// pending messages still run once per record.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <deque>
#include <fstream>
#include <functional>
#include <thread>

#include "apoio/banco_teste.h"
#include "apoio/conversao_na_janela.h"
#include "apoio/dialogos_gravados.h"
#include "app/janela/principal.h"
#include "db/conexao.h"
#include "db/consulta.h"

namespace conversor::app {
namespace {

using ::testing::HasSubstr;

// Counts the paintings of a control and keeps the texts it showed.
class Pinturas : public QObject {
public:
    explicit Pinturas(QWidget* alvo) : alvo_(alvo) { alvo->installEventFilter(this); }
    bool eventFilter(QObject* objeto, QEvent* evento) override {
        if (objeto == alvo_ && evento->type() == QEvent::Paint) {
            ++vezes;
            if (auto* barra = qobject_cast<QStatusBar*>(alvo_))
                textos.push_back(barra->currentMessage());
            if (auto* rotulo = qobject_cast<QLabel*>(alvo_)) textos.push_back(rotulo->text());
            if (auto* barra = qobject_cast<QProgressBar*>(alvo_)) valores.push_back(barra->value());
        }
        return false;
    }
    int vezes = 0;
    std::vector<QString> textos;
    std::vector<int> valores;

private:
    QWidget* alvo_;
};

constexpr int kRegistros = 3000;

// Rows of "longa.xlsx": enough that reading them takes a good many milliseconds.
constexpr int kLinhasLongas = 200000;

// The row whose carrier code repeats the first one's, in "repetida.csv".
constexpr int kLinhaRepetida = 2500;

class JanelaProgresso : public teste::BancoTeste {
public:
    static void SetUpTestSuite() {
        BancoTeste::SetUpTestSuite();
        pasta_ = new teste::PastaTemporaria();
        // Carriers in their layout: the code in column 27, the name in 20, the state in 14.
        // The second sheet repeats a code, which the database refuses.
        for (const bool repetida : {false, true}) {
            std::ofstream saida(pasta_->Arquivo(repetida ? "repetida.csv" : "transportadoras.csv"));
            for (int i = 1; i <= kRegistros; ++i) {
                for (int coluna = 1; coluna <= 27; ++coluna) {
                    if (coluna > 1) saida << ';';
                    if (coluna == 14) saida << "MG";
                    if (coluna == 20) saida << "Transportadora " << i;
                    if (coluna == 27) saida << (repetida && i == kLinhaRepetida ? 1 : i);
                }
                saida << '\n';
            }
        }
        // A long workbook of which only the first rows are converted: the whole sheet
        // is still read before its first row is copied.
        lxw_workbook_options opcoes{};
        opcoes.constant_memory = LXW_TRUE;
        lxw_workbook* pasta = workbook_new_opt(pasta_->Arquivo("longa.xlsx").c_str(), &opcoes);
        lxw_worksheet* aba = workbook_add_worksheet(pasta, nullptr);
        for (int i = 0; i < kLinhasLongas; ++i) {
            const std::string nome = "Transportadora " + std::to_string(i + 1);
            worksheet_write_string(aba, static_cast<lxw_row_t>(i), 13, "MG", nullptr);
            worksheet_write_string(aba, static_cast<lxw_row_t>(i), 19, nome.c_str(), nullptr);
            worksheet_write_number(aba, static_cast<lxw_row_t>(i), 26, i + 1, nullptr);
        }
        workbook_close(pasta);
        // A sheet that lists but cannot be read: one row wider than a sheet can be.
        std::ofstream larga(pasta_->Arquivo("larga.csv"));
        larga << "a;b\n" << std::string(20000, ';') << "\n";
    }
    static void TearDownTestSuite() {
        delete pasta_;
        BancoTeste::TearDownTestSuite();
    }

protected:
    template <typename T>
    T* Controle(const char* nome) {
        return janela_->findChild<T*>(nome);
    }
    // The window with the database and `planilha` chosen, ready to convert carriers.
    void Prepara(const std::string& planilha) {
        janela_ = std::make_unique<TFPrincipal>(dialogos_, CONVERSOR_TABELA_CIDADES);
        janela_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(janela_.get()));
        dialogos_.arquivos.push_back(QString::fromStdString(ArquivoBanco()));
        Controle<QPushButton>("btAbrirVantora")->click();
        dialogos_.arquivos.push_back(QString::fromStdString(pasta_->Arquivo(planilha)));
        Controle<QPushButton>("Btabrir")->click();
        Controle<QRadioButton>("rbtTransportadoras")->setChecked(true);
        QApplication::processEvents();
    }

    static teste::PastaTemporaria* pasta_;
    teste::DialogosGravados dialogos_;
    std::unique_ptr<TFPrincipal> janela_;
};

teste::PastaTemporaria* JanelaProgresso::pasta_ = nullptr;

TEST_F(JanelaProgresso, PintaPoucasVezesEProcessaMensagensACadaRegistro) {
    janela_ = std::make_unique<TFPrincipal>(dialogos_, CONVERSOR_TABELA_CIDADES);
    janela_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(janela_.get()));
    dialogos_.arquivos.push_back(QString::fromStdString(ArquivoBanco()));
    Controle<QPushButton>("btAbrirVantora")->click();
    dialogos_.arquivos.push_back(QString::fromStdString(pasta_->Arquivo("transportadoras.csv")));
    Controle<QPushButton>("Btabrir")->click();
    ASSERT_EQ(Controle<QLineEdit>("edtNumLinha")->text(), QString::number(kRegistros));
    Controle<QRadioButton>("rbtTransportadoras")->setChecked(true);
    QApplication::processEvents();

    Pinturas barra(Controle<QProgressBar>("Barra"));
    Pinturas status(Controle<QStatusBar>("stbStatus"));
    // A timer of no delay fires at every turn of the message pumping.
    int turnos = 0;
    QTimer relogio;
    QObject::connect(&relogio, &QTimer::timeout, [&] { ++turnos; });
    relogio.start(0);
    QElapsedTimer tempo;
    tempo.start();
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    const qint64 ms = tempo.elapsed();
    relogio.stop();

    ASSERT_FALSE(dialogos_.mensagens.empty());
    EXPECT_THAT(dialogos_.mensagens.back().second.toStdString(), HasSubstr("sucesso"));
    EXPECT_EQ(ContaLinhas("TRANSPT"), kRegistros);
    // Messages ran for every record of the staging load and of the conversion.
    EXPECT_GE(turnos, 2 * kRegistros);
    // At most one painting per 40 ms of the run, give or take the phases' changes (the
    // staging load, the rehearsal's check of the sheet, its walk and its counts, the
    // conversion: each painted as it starts, as it ends and as it is cleared).
    EXPECT_LE(barra.vezes, ms / 40 + 20) << ms << " ms";
    EXPECT_LE(status.vezes, ms / 40 + 20) << ms << " ms";
    EXPECT_LT(status.vezes, kRegistros / 10);
    // What was painted was the progress, and it ends cleared.
    EXPECT_TRUE(std::any_of(status.textos.begin(), status.textos.end(), [](const QString& t) {
        return t.startsWith("Processando Registro ");
    }));
    EXPECT_EQ(Controle<QStatusBar>("stbStatus")->currentMessage(), "");
    EXPECT_EQ(Controle<QProgressBar>("Barra")->value(), 0);
}

// A message box never sits beneath a progress that lags behind: the refusal of a
// rehearsal that walked to the failing row finds the display already cleared.
TEST_F(JanelaProgresso, MensagemMostraOProgressoEmDia) {
    Prepara("repetida.csv");
    QString status;
    int barra = -1;
    dialogos_.aoMostrar = [&] {
        status = Controle<QStatusBar>("stbStatus")->currentMessage();
        barra = Controle<QProgressBar>("Barra")->value();
    };
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    // The rehearsal refuses the sheet: its message names the row, and finds the
    // display as the rehearsal left it, cleared, not a row behind.
    ASSERT_EQ(dialogos_.mensagens.size(), 1u);
    EXPECT_THAT(dialogos_.mensagens[0].second.toStdString(),
                HasSubstr("linha " + std::to_string(kLinhaRepetida) + ": "));
    EXPECT_EQ(status, QString());
    EXPECT_EQ(barra, 0);
}

// The staging load and the conversion each end with their last row seen on screen,
// whatever the moment of the last painting: what follows a phase (the purges) may
// run a while without painting.
TEST_F(JanelaProgresso, UltimaLinhaVistaAoFimDeCadaEtapa) {
    Prepara("transportadoras.csv");
    Pinturas barra(Controle<QProgressBar>("Barra"));
    Pinturas status(Controle<QStatusBar>("stbStatus"));
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    ASSERT_FALSE(dialogos_.mensagens.empty());
    EXPECT_THAT(dialogos_.mensagens.back().second.toStdString(), HasSubstr("sucesso"));
    const QString ultima = QString("Processando Registro %1 de %1").arg(kRegistros);
    EXPECT_GE(std::count(status.textos.begin(), status.textos.end(), ultima), 2);
    EXPECT_GE(std::count(barra.valores.begin(), barra.valores.end(), kRegistros), 2);
}

// The wait is announced, on screen, and the controls disabled before the sheet is
// read: here the reading fails, and its message finds them so.
TEST_F(JanelaProgresso, AvisoDeCargaAntesDeLerAPlanilha) {
    Prepara("larga.csv");
    ASSERT_EQ(dialogos_.mensagens.size(), 1u);  // the last row could not be proposed
    Controle<QLineEdit>("edtNumLinha")->setText("2");
    const long long transportadoras = ContaLinhas("TRANSPT");
    Pinturas legenda(Controle<QLabel>("lblAguarde"));
    QString legendaNaMensagem;
    bool habilitado = true;
    dialogos_.aoMostrar = [&] {
        legendaNaMensagem = Controle<QLabel>("lblAguarde")->text();
        habilitado = Controle<QPushButton>("btOK")->isEnabled();
    };
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    ASSERT_EQ(dialogos_.mensagens.size(), 2u);
    EXPECT_THAT(dialogos_.mensagens[1].second.toStdString(), HasSubstr("colunas"));
    EXPECT_EQ(legendaNaMensagem, "Carregando dados do Excel, aguarde!");
    EXPECT_THAT(legenda.textos,
                ::testing::Contains(QString("Carregando dados do Excel, aguarde!")));
    EXPECT_FALSE(habilitado);
    // Afterwards the display is cleared and the controls come back.
    EXPECT_EQ(Controle<QLabel>("lblAguarde")->text(), "");
    EXPECT_TRUE(Controle<QPushButton>("btOK")->isEnabled());
    EXPECT_EQ(ContaLinhas("TRANSPT"), transportadoras);
}

// The window's messages keep running while the sheet is read, before its first row
// is copied into the staging table: a large sheet takes seconds to read.
TEST_F(JanelaProgresso, MensagensCorremEnquantoAPlanilhaELida) {
    Prepara("longa.xlsx");
    ASSERT_EQ(Controle<QLineEdit>("edtNumLinha")->text(), QString::number(kLinhasLongas));
    Controle<QLineEdit>("edtNumLinha")->setText("2");
    const auto* legenda = Controle<QLabel>("lblAguarde");
    const auto* status = Controle<QStatusBar>("stbStatus");
    // Turns of the message loop once the load is announced and before its first row,
    // and how long that lasted.
    int turnosNaLeitura = 0;
    // The gauge's positions meanwhile, against its maximum.
    std::vector<std::pair<int, int>> barraNaLeitura;
    const auto* barra = Controle<QProgressBar>("Barra");
    QElapsedTimer tempo;
    qint64 inicioLeitura = -1, fimLeitura = -1;
    QTimer relogio;
    QObject::connect(&relogio, &QTimer::timeout, [&] {
        if (legenda->text() == "Carregando dados do Excel, aguarde!" &&
            !status->currentMessage().startsWith("Processando Registro")) {
            ++turnosNaLeitura;
            barraNaLeitura.emplace_back(barra->value(), barra->maximum());
            if (inicioLeitura < 0) inicioLeitura = tempo.elapsed();
            fimLeitura = tempo.elapsed();
        }
    });
    tempo.start();
    relogio.start(0);
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    relogio.stop();
    ASSERT_FALSE(dialogos_.mensagens.empty());
    EXPECT_THAT(dialogos_.mensagens.back().second.toStdString(), HasSubstr("sucesso"));
    EXPECT_EQ(ContaLinhas("TRANSPT"), 2);
    // Not only the turn that announces the load: while the sheet was being read, one
    // turn at least every 100 ms (a loaded machine included).
    const qint64 ms = fimLeitura - inicioLeitura;
    EXPECT_GE(turnosNaLeitura, 1 + ms / 100) << ms << " ms";
    // The gauge followed the rows read, against the sheet's last row: somewhere between
    // empty and full while the reading went on.
    EXPECT_TRUE(std::any_of(barraNaLeitura.begin(), barraNaLeitura.end(),
                            [](const auto& b) {
                                return b.second == kLinhasLongas && b.first > 0 &&
                                       b.first < kLinhasLongas;
                            }))
        << barraNaLeitura.size() << " turns";
}

// The run works beside the window: while a statement of the run waits on the database
// (here the purge, on a carrier another connection holds changed for a second), the
// window keeps handling its events.
TEST_F(JanelaProgresso, JanelaAtendeEnquantoOBancoTrabalha) {
    Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('9999', 'Antiga')");
    Prepara("transportadoras.csv");
    db::Conexao outra;
    outra.DefineNomeBanco(ArquivoBanco());
    outra.Conecta();
    db::Consulta altera(outra);
    altera.DefineSql("update TRANSPT set NOME = 'Alterada' where CODTRANSPT = '9999'");
    altera.Executa();
    constexpr auto kEspera = std::chrono::milliseconds(1000);
    std::thread libera([&] {
        std::this_thread::sleep_for(kEspera);
        outra.DBTransaction().Desfaz();
    });
    // The longest wait between two firings of a 10 ms timer while the run was under way.
    QElapsedTimer tempo;
    qint64 ultimo = -1, maior = 0;
    QTimer relogio;
    QObject::connect(&relogio, &QTimer::timeout, [&] {
        if (!janela_->EmConversao()) return;
        const qint64 agora = tempo.elapsed();
        if (ultimo >= 0) maior = std::max(maior, agora - ultimo);
        ultimo = agora;
    });
    relogio.start(10);
    tempo.start();
    const bool terminou = teste::EfetuaConversao(*janela_);
    const qint64 ms = tempo.elapsed();
    relogio.stop();
    libera.join();
    ASSERT_TRUE(terminou);
    ASSERT_FALSE(dialogos_.mensagens.empty());
    EXPECT_THAT(dialogos_.mensagens.back().second.toStdString(), HasSubstr("sucesso"));
    EXPECT_EQ(ContaLinhas("TRANSPT"), kRegistros);
    // The run did wait on the other connection, and the window did not.
    EXPECT_GE(ms, kEspera.count());
    EXPECT_LT(maior, 250) << ms << " ms";
}

// The program asked to end (SIGTERM) or the window let go while the run rehearses: the
// run stops at its next record, undoes what it did and shows no message; nothing is
// left in the database and nothing crashes.
TEST_F(JanelaProgresso, FimDoProgramaDuranteAConversaoParaSemGravarNada) {
    for (const bool sinal : {true, false}) {
        SCOPED_TRACE(sinal ? "SIGTERM" : "janela destruída");
        Prepara("transportadoras.csv");
        dialogos_.mensagens.clear();
        const std::string antes = teste::RetratoDoBanco(Banco());
        bool pedido = false;
        QTimer observa;
        QObject::connect(&observa, &QTimer::timeout, [&] {
            if (pedido || !janela_->EmConversao() ||
                !Controle<QLabel>("lblAguarde")->text().startsWith("Conferindo") ||
                !Controle<QStatusBar>("stbStatus")->currentMessage().startsWith("Processando"))
                return;
            pedido = true;
            if (sinal)
                std::raise(SIGTERM);
            else
                janela_.reset();
        });
        observa.start(1);
        Controle<QPushButton>("btOK")->click();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !janela_ || !janela_->EmConversao(); }, 60000));
        observa.stop();
        EXPECT_TRUE(pedido);
        janela_.reset();
        EXPECT_TRUE(dialogos_.mensagens.empty())
            << dialogos_.mensagens.front().second.toStdString();
        EXPECT_EQ(teste::RetratoDoBanco(Banco()), antes);
    }
}

}  // namespace
}  // namespace conversor::app
