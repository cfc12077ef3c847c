#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <xlsxwriter.h>

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <deque>
#include <fstream>
#include <functional>
#include <map>

#include "apoio/banco_teste.h"
#include "apoio/conversao_na_janela.h"
#include "apoio/dialogos_gravados.h"
#include "app/janela/principal.h"
#include "base/regional.h"
#include "intake/excel.h"

QT_BEGIN_NAMESPACE
// Readable failures.
inline void PrintTo(const QString& texto, std::ostream* saida) { *saida << texto.toStdString(); }
QT_END_NAMESPACE

namespace conversor::app {
namespace {

using ::testing::HasSubstr;

QString Q(std::string_view texto) { return QString::fromUtf8(Cp1252ParaUtf8(texto)); }

class JanelaTeste : public teste::BancoTeste {
public:
    static void SetUpTestSuite() {
        BancoTeste::SetUpTestSuite();
        pasta_ = new teste::PastaTemporaria();
        teste::EscreveTresTransportadoras(pasta_->Arquivo("transportadoras.csv"));
    }
    static void TearDownTestSuite() {
        delete pasta_;
        BancoTeste::TearDownTestSuite();
    }

protected:
    void SetUp() override {
        janela_ = std::make_unique<TFPrincipal>(dialogos_, CONVERSOR_TABELA_CIDADES);
        janela_->show();
        QApplication::setActiveWindow(janela_.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(janela_.get()));
    }
    void TearDown() override {
        janela_.reset();
        BancoTeste::TearDown();
    }

    template <typename T>
    T* Controle(const char* nome) {
        T* c = janela_->findChild<T*>(nome);
        EXPECT_NE(c, nullptr) << nome;
        return c;
    }
    // Geometry in the window's client area, whatever the control's parent.
    QRect Posicao(QWidget* w) { return QRect(w->mapTo(janela_.get(), QPoint(0, 0)), w->size()); }
    void EscolhePlanilha() {
        dialogos_.arquivos.push_back(
            QString::fromStdString(pasta_->Arquivo("transportadoras.csv")));
        Controle<QPushButton>("Btabrir")->click();
    }
    void EscolheBanco() {
        dialogos_.arquivos.push_back(QString::fromStdString(ArquivoBanco()));
        Controle<QPushButton>("btAbrirVantora")->click();
    }
    std::vector<QWidget*> Entradas() {
        std::vector<QWidget*> r;
        for (const char* nome :
             {"Btabrir", "btAbrirVantora", "btOK", "btSair", "rbtProdutos", "rbtCliente",
              "rbtFornece", "rbtVendedores", "rbtTransportadoras", "MostraPlanilha", "edtNumLinha"})
            r.push_back(Controle<QWidget>(nome));
        return r;
    }

    static teste::PastaTemporaria* pasta_;
    teste::DialogosGravados dialogos_;
    std::unique_ptr<TFPrincipal> janela_;
};

teste::PastaTemporaria* JanelaTeste::pasta_ = nullptr;

TEST_F(JanelaTeste, ControlesNaAbertura) {
    EXPECT_EQ(janela_->windowTitle(), "Conversor Quarel Tervalo");
    EXPECT_EQ(janela_->size(), QSize(584, 332));
    EXPECT_EQ(janela_->minimumSize(), janela_->maximumSize());
    EXPECT_FALSE(janela_->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(janela_->windowFlags() & Qt::WindowMinimizeButtonHint);

    struct Caso {
        const char* nome;
        QRect posicao;
        const char* texto;
    };
    const Caso casos[] = {
        {"edtCaminhoVantora", {5, 96, 516, 19}, ""},
        {"btAbrirVantora", {525, 93, 52, 25}, "A&brir"},
        {"edtCaminhoOrigem", {5, 136, 405, 19}, ""},
        {"MostraPlanilha", {415, 136, 105, 21}, ""},
        {"Btabrir", {525, 133, 52, 25}, "&Abrir"},
        {"edtNumLinha", {266, 160, 75, 19}, ""},
        {"GroupBox2", {8, 184, 332, 61}, "| Converter |"},
        {"btOK", {351, 191, 142, 30}, "&Efetuar Convers\xE3o"},
        {"btSair", {504, 191, 78, 30}, "&Sair"},
        {"Barra", {0, 283, 583, 17}, ""},
        {"stbStatus", {0, 313, 584, 19}, ""},
        {"Image", {5, 3, 179, 68}, ""},
        {"Label1", {225, 13, 310, 16}, "Converter planilha de Excel (Microsoft Excel)"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        QWidget* w = Controle<QWidget>(c.nome);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(Posicao(w), c.posicao);
        QString texto;
        if (auto* b = qobject_cast<QPushButton*>(w)) texto = b->text();
        if (auto* e = qobject_cast<QLineEdit*>(w)) texto = e->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) texto = g->title();
        if (auto* l = qobject_cast<QLabel*>(w)) texto = l->text();
        EXPECT_EQ(texto, Q(c.texto));
    }
    const std::pair<const char*, QPoint> radios[] = {{"rbtCliente", {24, 200}},
                                                     {"rbtFornece", {120, 200}},
                                                     {"rbtProdutos", {237, 200}},
                                                     {"rbtVendedores", {24, 220}},
                                                     {"rbtTransportadoras", {120, 221}}};
    for (const auto& [nome, ponto] : radios)
        EXPECT_EQ(Posicao(Controle<QWidget>(nome)).topLeft(), ponto) << nome;
    for (const char* rotulo : {"Label2", "Label3", "Label4", "Label5", "lblAguarde"})
        EXPECT_NE(Controle<QLabel>(rotulo), nullptr);
    EXPECT_EQ(Controle<QLabel>("lblAguarde")->text(), "...");
    EXPECT_TRUE(Controle<QRadioButton>("rbtProdutos")->isChecked());
    EXPECT_EQ(Controle<QProgressBar>("Barra")->value(), 0);
    EXPECT_EQ(Controle<QStatusBar>("stbStatus")->currentMessage(), "");
    for (QWidget* w : Entradas()) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(Controle<QLineEdit>("edtCaminhoVantora")->isEnabled());
    EXPECT_FALSE(Controle<QLineEdit>("edtCaminhoOrigem")->isEnabled());
    EXPECT_FALSE(janela_->dbVantora().Conectado());
}

TEST_F(JanelaTeste, TeclasDoNumeroDaLinhaEDaListaDePlanilhas) {
    auto* linha = Controle<QLineEdit>("edtNumLinha");
    QTest::keyClicks(linha, "1a2-3 b");
    EXPECT_EQ(linha->text(), "123");
    QTest::keyClick(linha, Qt::Key_Backspace);
    EXPECT_EQ(linha->text(), "12");
    QTest::keyClicks(linha, "34567890");
    EXPECT_EQ(linha->text(), "123456789");  // a tenth digit is refused

    EscolhePlanilha();
    auto* lista = Controle<QComboBox>("MostraPlanilha");
    ASSERT_EQ(lista->count(), 1);
    EXPECT_EQ(lista->currentText(), "transportadoras");
    QTest::keyClicks(lista, "xyz");
    EXPECT_EQ(lista->currentIndex(), 0);
    EXPECT_EQ(lista->count(), 1);
}

TEST_F(JanelaTeste, DialogosUsamOsFiltrosDoPrograma) {
    EscolheBanco();
    EscolhePlanilha();
    ASSERT_EQ(dialogos_.filtros.size(), 2u);
    EXPECT_EQ(dialogos_.filtros[0], "Banco Firebird (*.FB;*.FDB;*.GDB) (*.FB *.FDB *.GDB)");
    EXPECT_EQ(dialogos_.filtros[1],
              "Planilha do MS Excel (*.xlsx;*.xls;*.csv) (*.xlsx *.xls *.csv)");
    EXPECT_TRUE(janela_->dbVantora().Conectado());
    EXPECT_EQ(Controle<QLineEdit>("edtNumLinha")->text(), "3");  // proposed last row

    // Cancelling the workbook dialog empties the path and keeps the listed sheets.
    Controle<QPushButton>("Btabrir")->click();
    EXPECT_EQ(Controle<QLineEdit>("edtCaminhoOrigem")->text(), "");
    EXPECT_EQ(Controle<QComboBox>("MostraPlanilha")->count(), 1);
}

// Each button of the window answers to its own Alt+letter.
TEST_F(JanelaTeste, AtalhosDosBotoes) {
    struct Caso {
        Qt::Key tecla;
        const char* filtro;  // the dialog the button opens
    };
    const Caso casos[] = {
        {Qt::Key_B, "Banco Firebird (*.FB;*.FDB;*.GDB) (*.FB *.FDB *.GDB)"},
        {Qt::Key_A, "Planilha do MS Excel (*.xlsx;*.xls;*.csv) (*.xlsx *.xls *.csv)"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.filtro);
        dialogos_.filtros.clear();
        QTest::keyClick(janela_.get(), c.tecla, Qt::AltModifier);
        // A button answers its shortcut with an animated click.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialogos_.filtros.empty(); }, 2000));
        EXPECT_THAT(dialogos_.filtros, ::testing::ElementsAre(QString(c.filtro)));
    }
    QTest::keyClick(janela_.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !janela_->isVisible(); }, 2000));
}

// Cancelling the database dialog empties the path box, and the database goes with
// it: the next run must not write into a database the window no longer names.
TEST_F(JanelaTeste, CancelarOBancoDesconectaOAnterior) {
    Executa("delete from TRANSPT");
    Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')");
    EscolheBanco();
    ASSERT_TRUE(janela_->dbVantora().Conectado());
    Controle<QPushButton>("btAbrirVantora")->click();  // cancelled
    EXPECT_EQ(Controle<QLineEdit>("edtCaminhoVantora")->text(), "");
    EXPECT_FALSE(janela_->dbVantora().Conectado());

    EscolhePlanilha();
    Controle<QRadioButton>("rbtTransportadoras")->setChecked(true);
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    ASSERT_EQ(dialogos_.mensagens.size(), 1u);
    EXPECT_EQ(dialogos_.mensagens[0].first, Dialogos::Tipo::Erro);
    EXPECT_TRUE(dialogos_.mensagens[0].second.startsWith(
        Q("Houve um erro ao realizar a convers\xE3o. Motivo: \r")));
    EXPECT_EQ(ContaLinhas("TRANSPT"), 1);
    EXPECT_EQ(Valor("select NOME from TRANSPT"), "Antiga");
}

// A workbook whose first sheet holds 40 suppliers and whose last holds one row:
// the last row proposed is the shown sheet's, and follows the user's pick.
TEST_F(JanelaTeste, UltimaLinhaPropostaEDaPlanilhaEscolhida) {
    const std::string arquivo = pasta_->Arquivo("duas_abas.xlsx");
    {
        lxw_workbook* livro = workbook_new(arquivo.c_str());
        lxw_worksheet* fornecedores = workbook_add_worksheet(livro, "Fornecedores");
        // The suppliers' layout: the code in column 30, the name in 38, the state in
        // 28, the sheet as wide as column 48.
        for (int i = 1; i <= 40; ++i) {
            const auto linha = static_cast<lxw_row_t>(i - 1);
            worksheet_write_number(fornecedores, linha, 29, i, nullptr);
            worksheet_write_string(fornecedores, linha, 37,
                                   ("Fornecedor " + std::to_string(i)).c_str(), nullptr);
            worksheet_write_string(fornecedores, linha, 27, "MG", nullptr);
            worksheet_write_string(fornecedores, linha, 47, "-", nullptr);
        }
        lxw_worksheet* resumo = workbook_add_worksheet(livro, "Resumo");
        worksheet_write_string(resumo, 0, 0, "Total: 40 fornecedores", nullptr);
        ASSERT_EQ(workbook_close(livro), LXW_NO_ERROR);
    }
    EscolheBanco();
    dialogos_.arquivos.push_back(QString::fromStdString(arquivo));
    Controle<QPushButton>("Btabrir")->click();
    ASSERT_THAT(dialogos_.mensagens, ::testing::IsEmpty());

    auto* lista = Controle<QComboBox>("MostraPlanilha");
    auto* linha = Controle<QLineEdit>("edtNumLinha");
    ASSERT_EQ(lista->count(), 2);
    EXPECT_EQ(lista->currentText(), "Fornecedores");
    EXPECT_EQ(linha->text(), "40");
    struct Passo {
        int planilha;
        const char* digitado;  // typed after the pick, "" for none
        const char* linha;
    };
    const Passo passos[] = {
        {1, "", "1"}, {0, "", "40"}, {1, "", "1"}, {0, "", "40"}, {0, "7", "407"},
    };
    for (const Passo& p : passos) {
        SCOPED_TRACE(p.planilha);
        lista->setCurrentIndex(p.planilha);
        QTest::keyClicks(linha, p.digitado);
        EXPECT_EQ(linha->text(), p.linha);
    }
    linha->setText("40");

    Controle<QRadioButton>("rbtFornece")->setChecked(true);
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    ASSERT_FALSE(dialogos_.mensagens.empty());
    EXPECT_EQ(dialogos_.mensagens.back().first, Dialogos::Tipo::Informacao)
        << dialogos_.mensagens.back().second.toStdString();
    EXPECT_EQ(ContaLinhas("FORNECE"), 40);
}

// Qt's own dialogs speak Portuguese like the rest of the program, whatever the
// machine's language.
TEST_F(JanelaTeste, DialogoDeArquivoEmPortugues) {
    DialogosQt dialogosQt;
    std::map<std::string, QString> textos;
    QTimer procura;
    QObject::connect(&procura, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialogo = qobject_cast<QFileDialog*>(w);
            if (!dialogo || !dialogo->isVisible()) continue;
            textos["titulo"] = dialogo->windowTitle();
            for (const char* rotulo : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
                if (auto* l = dialogo->findChild<QLabel*>(rotulo)) textos[rotulo] = l->text();
            if (auto* botoes = dialogo->findChild<QDialogButtonBox*>()) {
                if (auto* b = botoes->button(QDialogButtonBox::Open)) textos["abrir"] = b->text();
                if (auto* b = botoes->button(QDialogButtonBox::Cancel))
                    textos["cancelar"] = b->text();
            }
            dialogo->reject();
        }
    });
    procura.start(20);
    // Whatever happens, the dialog does not stay open.
    QTimer::singleShot(10000, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    EXPECT_EQ(dialogosQt.AbreArquivo(janela_.get(),
                                     "Banco Firebird (*.FB;*.FDB;*.GDB) (*.FB *.FDB *.GDB)"),
              "");
    procura.stop();
    const std::map<std::string, QString> esperados = {
        {"titulo", "Abrir"},
        {"lookInLabel", "Procurar em:"},
        {"fileNameLabel", "&Nome do arquivo:"},
        {"fileTypeLabel", "Arquivos do tipo:"},
        {"abrir", "Abrir"},
        {"cancelar", "Cancelar"},
    };
    for (const auto& [nome, texto] : esperados) EXPECT_EQ(textos[nome], texto) << nome;
}

TEST_F(JanelaTeste, EscFechaAJanelaOciosa) {
    QTest::keyClick(janela_.get(), Qt::Key_Escape);
    EXPECT_FALSE(janela_->isVisible());
}

TEST_F(JanelaTeste, ValidacoesAvisamEFocam) {
    struct Caso {
        std::function<void()> prepara;
        const char* aviso;
        const char* foco;
    };
    const Caso casos[] = {
        {[] {},
         "Favor informar o numero da linha onde o \xFAltimo registro se encontra na planilha",
         "edtNumLinha"},
        {[this] { Controle<QLineEdit>("edtNumLinha")->setText("3"); },
         "Favor informar o caminho do arquivo a ser convertido!", "Btabrir"},
        {[this] {
             EscolhePlanilha();
             Controle<QComboBox>("MostraPlanilha")->setCurrentIndex(-1);
         },
         "Favor selecionar uma planilha para ser convertida!", "MostraPlanilha"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.foco);
        c.prepara();
        dialogos_.mensagens.clear();
        Controle<QLineEdit>("edtNumLinha")->setFocus();
        ASSERT_TRUE(teste::EfetuaConversao(*janela_));
        ASSERT_EQ(dialogos_.mensagens.size(), 1u);
        EXPECT_EQ(dialogos_.mensagens[0].first, Dialogos::Tipo::Aviso);
        EXPECT_EQ(dialogos_.mensagens[0].second, Q(c.aviso));
        EXPECT_EQ(QApplication::focusWidget(), Controle<QWidget>(c.foco));
    }
}

TEST_F(JanelaTeste, ConversaoSemBancoCarregaAPlanilhaEMostraOErro) {
    EscolhePlanilha();
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    ASSERT_EQ(dialogos_.mensagens.size(), 1u);
    EXPECT_EQ(dialogos_.mensagens[0].first, Dialogos::Tipo::Erro);
    EXPECT_TRUE(dialogos_.mensagens[0].second.startsWith(
        Q("Houve um erro ao realizar a convers\xE3o. Motivo: \r")));
    EXPECT_EQ(Controle<QLabel>("lblAguarde")->text(), "");
    EXPECT_EQ(Controle<QStatusBar>("stbStatus")->currentMessage(), "");
    EXPECT_EQ(Controle<QProgressBar>("Barra")->value(), 0);
    for (QWidget* w : Entradas()) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(ContaLinhas("PRODUTO"), 0);
}

// Last row 0 would only empty the kind's tables: refused, nothing changed, and the
// field to correct is the last row.
TEST_F(JanelaTeste, SemLinhaParaGravarERecusadaSemMudarNada) {
    EscolheBanco();
    EscolhePlanilha();
    const std::string antes = teste::RetratoDoBanco(janela_->dbVantora());
    Controle<QLineEdit>("edtNumLinha")->setText("0");
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    ASSERT_EQ(dialogos_.mensagens.size(), 1u);
    EXPECT_EQ(dialogos_.mensagens[0].first, Dialogos::Tipo::Erro);
    EXPECT_TRUE(dialogos_.mensagens[0].second.startsWith(
        Q("N\xE3o h\xE1 nenhuma linha para gravar: a \xFAltima linha informada (0)")))
        << dialogos_.mensagens[0].second.toStdString();
    EXPECT_EQ(QApplication::focusWidget(), Controle<QWidget>("edtNumLinha"));
    EXPECT_FALSE(janela_->dbVantora().DBTransaction().Ativa());
    EXPECT_EQ(teste::RetratoDoBanco(janela_->dbVantora()), antes);
}

TEST_F(JanelaTeste, DuranteAConversaoOsCamposFicamDesabilitadosEAJanelaNaoFecha) {
    EscolheBanco();
    EscolhePlanilha();
    Controle<QRadioButton>("rbtTransportadoras")->setChecked(true);
    bool verificado = false;
    // Runs from the window's event loop while the run works.
    QTimer::singleShot(0, janela_.get(), [&] {
        verificado = true;
        for (QWidget* w : Entradas()) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
        EXPECT_TRUE(janela_->EmConversao());
        QTest::keyClick(janela_.get(), Qt::Key_Escape);
        janela_->close();
        EXPECT_TRUE(janela_->isVisible());
    });
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    EXPECT_TRUE(verificado);
    EXPECT_TRUE(janela_->isVisible());
    ASSERT_GE(dialogos_.mensagens.size(), 2u);
    EXPECT_EQ(dialogos_.mensagens[0].second, Q("Aguarde o t\xE9rmino da convers\xE3o."));
    EXPECT_EQ(dialogos_.mensagens.back().first, Dialogos::Tipo::Informacao);
    for (QWidget* w : Entradas()) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(ContaLinhas("TRANSPT"), 3);
}

// Eleven carriers, each code repeating the row before's: rows 2 to 12 would stop the
// run. The message lists ten and counts the rest; the report saved holds them all.
TEST_F(JanelaTeste, EnsaioReprovadoListaOsProblemasEOfereceORelatorio) {
    const std::string planilha = pasta_->Arquivo("repetidas.csv");
    {
        std::ofstream saida(planilha);
        for (int linha = 1; linha <= 12; ++linha) {
            for (int coluna = 1; coluna <= 27; ++coluna) {
                if (coluna > 1) saida << ';';
                if (coluna == 20) saida << "Transportadora " << linha;
                if (coluna == 27) saida << "7";
            }
            saida << '\n';
        }
    }
    Executa("delete from TRANSPT");
    Executa("insert into TRANSPT (CODTRANSPT, NOME) values ('0099', 'Antiga')");
    const std::string antes = teste::RetratoDoBanco(Banco());
    EscolheBanco();
    dialogos_.arquivos.push_back(QString::fromStdString(planilha));
    Controle<QPushButton>("Btabrir")->click();
    Controle<QRadioButton>("rbtTransportadoras")->setChecked(true);
    std::vector<QString> legendas;
    QLabel* aguarde = Controle<QLabel>("lblAguarde");
    // What the label shows at each row's message pumping.
    QTimer relogio;
    QObject::connect(&relogio, &QTimer::timeout, [&] { legendas.push_back(aguarde->text()); });
    relogio.start(0);
    const std::string relatorio = pasta_->Arquivo("relatorio");
    dialogos_.arquivos.push_back(QString::fromStdString(relatorio));
    dialogos_.salvarRelatorio = true;
    ASSERT_TRUE(teste::EfetuaConversao(*janela_));
    relogio.stop();

    EXPECT_THAT(legendas, ::testing::Contains(Q("Conferindo a planilha, aguarde!")));
    ASSERT_EQ(dialogos_.mensagens.size(), 1u);
    EXPECT_EQ(dialogos_.ofertasDeRelatorio, 1);
    EXPECT_EQ(dialogos_.mensagens[0].first, Dialogos::Tipo::Erro);
    const QString texto = dialogos_.mensagens[0].second;
    EXPECT_TRUE(texto.contains(Q("Nada foi alterado no banco."))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(Q("linha 11: "))) << texto.toStdString();
    EXPECT_FALSE(texto.contains(Q("linha 12: "))) << texto.toStdString();
    EXPECT_TRUE(texto.contains(Q("e mais 1 problema(s)."))) << texto.toStdString();
    for (QWidget* w : Entradas()) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_EQ(teste::RetratoDoBanco(Banco()), antes);

    intake::TDMCotrolaExcel excel;
    excel.AbreArquivo(relatorio + ".xlsx");
    excel.SelecionaPlanilha(1);
    EXPECT_EQ(excel.UltimaLinha(), 12);
    EXPECT_EQ(excel.LeCelula(1, 2), "2");
    EXPECT_EQ(excel.LeCelula(1, 12), "12");
}

}  // namespace
}  // namespace conversor::app
