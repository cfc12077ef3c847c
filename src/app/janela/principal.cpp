#include "app/janela/principal.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QStyle>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <mutex>

#include "app/relatorio_ensaio.h"
#include "base/regional.h"
#include "base/texto_terminal.h"

namespace conversor::app {

namespace {

// The program's texts are Windows-1252, file names in them marked as typed; Qt takes
// UTF-8.
QString Q(std::string_view texto) { return QString::fromUtf8(MensagemParaUtf8(texto)); }

// A file name as the file system spells it, whatever the locale says.
std::string Caminho(const QString& nome) { return QFile::encodeName(nome).toStdString(); }

// The Delphi-style filters of the original as Qt writes them: the same description
// text, the patterns separated by blanks.
const char* const kFiltroBanco = "Banco Firebird (*.FB;*.FDB;*.GDB) (*.FB *.FDB *.GDB)";
const char* const kFiltroPlanilha =
    "Planilha do MS Excel (*.xlsx;*.xls;*.csv) (*.xlsx *.xls *.csv)";

QPixmap Logotipo() {
    QPixmap logo(179, 68);
    logo.fill(Qt::transparent);
    QPainter p(&logo);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fundo(0, 0, 179, 68);
    fundo.setColorAt(0, QColor(0x1F, 0x4E, 0x79));
    fundo.setColorAt(1, QColor(0x2E, 0x86, 0x5F));
    p.setBrush(fundo);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 177, 66), 10, 10);
    // A sheet's grid turning into a database cylinder.
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.5));
    for (int i = 0; i < 4; ++i) p.drawLine(12, 16 + i * 12, 52, 16 + i * 12);
    for (int j = 0; j < 4; ++j) p.drawLine(12 + j * 13, 16, 12 + j * 13, 52);
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawEllipse(QRectF(128, 14, 38, 12));
    p.drawLine(128, 20, 128, 48);
    p.drawLine(166, 20, 166, 48);
    p.drawArc(QRectF(128, 42, 38, 12), 180 * 16, 180 * 16);
    p.setPen(QPen(Qt::white, 2.5));
    p.drawLine(62, 34, 116, 34);
    p.drawLine(108, 27, 116, 34);
    p.drawLine(108, 41, 116, 34);
    QFont fonte = p.font();
    fonte.setBold(true);
    fonte.setPointSize(9);
    p.setFont(fonte);
    p.drawText(QRectF(58, 8, 66, 20), Qt::AlignCenter, "QT");
    return logo;
}

template <typename T>
T* NovoControle(QWidget* pai, const char* nome, int x, int y, int w, int h) {
    T* c = new T(pai);
    c->setObjectName(nome);
    c->setGeometry(x, y, w, h);
    return c;
}

QLabel* Rotulo(QWidget* pai, const char* nome, int x, int y, const char* texto) {
    QLabel* l = new QLabel(Q(texto), pai);
    l->setObjectName(nome);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    l->adjustSize();
    l->move(x, y);
    return l;
}

// SIGTERM and SIGINT reach the window through a pipe: the handler may only write to
// it, and the window reads it from its message loop, where the database may be used.
int tuboEncerramento[2] = {-1, -1};
std::atomic<int> sinalEncerramento{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Async-signal-safe: an atomic and write only.
void AoEncerrar(int sinal) {
    sinalEncerramento.store(sinal);
    const char c = 1;
    const ssize_t escrito = write(tuboEncerramento[1], &c, 1);
    (void)escrito;
}

}  // namespace

DialogosQt::DialogosQt() {
    // Qt's translation of its own texts, from the translations of the Qt installed.
    if (traducao_.load(QStringLiteral("qtbase_pt_BR"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&traducao_);
}

DialogosQt::~DialogosQt() { QCoreApplication::removeTranslator(&traducao_); }

QString DialogosQt::AbreArquivo(QWidget* dono, const QString& filtro) {
    return QFileDialog::getOpenFileName(dono, QString(), QString(), filtro);
}

void DialogosQt::Mensagem(QWidget* dono, Tipo tipo, const QString& texto) {
    const QString titulo = QApplication::applicationDisplayName();
    switch (tipo) {
        case Tipo::Aviso:
            QMessageBox::warning(dono, titulo, texto);
            break;
        case Tipo::Erro:
            QMessageBox::critical(dono, titulo, texto);
            break;
        case Tipo::Informacao:
            QMessageBox::information(dono, titulo, texto);
            break;
    }
}

bool DialogosQt::ErroComRelatorio(QWidget* dono, const QString& texto) {
    QMessageBox caixa(QMessageBox::Critical, QApplication::applicationDisplayName(), texto,
                      QMessageBox::Ok, dono);
    const QAbstractButton* salvar =
        caixa.addButton(Q("Salvar relatório..."), QMessageBox::ActionRole);
    caixa.setDefaultButton(QMessageBox::Ok);
    caixa.exec();
    return caixa.clickedButton() == salvar;
}

QString DialogosQt::SalvaArquivo(QWidget* dono, const QString& filtro) {
    return QFileDialog::getSaveFileName(dono, QString(), QString(), filtro);
}

namespace {

// At most this many paintings of the progress a second.
constexpr std::chrono::milliseconds kIntervaloPintura{40};

}  // namespace

// The run's progress display and messages, called on the run's thread; each reaches the
// window as a call queued to the window's thread, in the order made. The gauge and the
// status text follow every record, but go to the window at most a few dozen times a
// second (painting them for each of 100,000 records would cost more than converting
// them), and at once where a phase starts or ends. A message waits for the user's
// answer, unless the program is ending.
class TFPrincipal::PonteDaExecucao final : public intake::Progresso, public convert::Mensagens {
public:
    explicit PonteDaExecucao(TFPrincipal& janela) : janela_(janela) {}

    void Legenda(std::string_view texto) override {
        // A new phase: what the last one reached is shown before it goes.
        if (pendente_) Envia(false);
        NaJanela([this, texto = std::string(texto)] { janela_.MostraLegenda(texto); });
    }
    void Maximo(int maximo) override {
        maximo_ = maximo;
        NaJanela([this, maximo] { janela_.MostraMaximo(maximo); });
    }
    void Posicao(int posicao) override {
        posicao_ = posicao;
        // Going back to 0 ends or starts a phase: shown at once.
        if (posicao == 0)
            Envia(false);
        else
            Pendente();
    }
    void Avanca() override {
        ++posicao_;
        // A full gauge ends a phase, and the next one's start would paint over it before
        // the window's next painting: painted at once.
        if (posicao_ == maximo_)
            Envia(true);
        else
            Pendente();
    }
    void Status(std::string_view texto) override {
        status_.assign(texto);
        // An emptied status bar is the end of the work: shown at once.
        if (texto.empty())
            Envia(false);
        else
            Pendente();
    }
    void ProcessaMensagens() override {
        if (janela_.encerrando_)
            throw ErroInterrupcao("Conversão interrompida: o programa foi encerrado pelo sistema.");
    }

    void Aviso(std::string_view texto) override { Mensagem(Dialogos::Tipo::Aviso, texto); }
    void Erro(std::string_view texto) override { Mensagem(Dialogos::Tipo::Erro, texto); }
    void Informacao(std::string_view texto) override {
        Mensagem(Dialogos::Tipo::Informacao, texto);
    }

    // The window's thread, once `encerrando_` is set: a message waiting for the window
    // gives up.
    void Desiste() {
        { const std::lock_guard trava(mutex_); }
        respondida_.notify_all();
    }

private:
    // What became of a message sent to the window.
    enum class Destino { Enviada, Mostrando, Respondida, Abandonada };

    // A step of work that calls no ProcessaMensagens (a count, a check of the sheet)
    // moves the gauge too.
    void Pendente() {
        pendente_ = true;
        if (std::chrono::steady_clock::now() - ultimoEnvio_ >= kIntervaloPintura) Envia(false);
    }
    template <typename F>
    void NaJanela(F&& chamada) {
        QMetaObject::invokeMethod(&janela_, std::forward<F>(chamada), Qt::QueuedConnection);
    }
    void Envia(bool agora) {
        pendente_ = false;
        ultimoEnvio_ = std::chrono::steady_clock::now();
        NaJanela([this, posicao = posicao_, status = status_, agora] {
            janela_.PintaProgresso(posicao, status, agora);
        });
    }
    void Mensagem(Dialogos::Tipo tipo, std::string_view texto) {
        // The message box must not sit beneath a gauge and a status text that lag behind.
        if (pendente_) Envia(false);
        auto destino = std::make_shared<Destino>(Destino::Enviada);
        NaJanela([this, tipo, texto = std::string(texto), destino] {
            {
                const std::lock_guard trava(mutex_);
                if (*destino == Destino::Abandonada) return;
                *destino = Destino::Mostrando;
            }
            janela_.Mensagem(tipo, texto);
            {
                const std::lock_guard trava(mutex_);
                *destino = Destino::Respondida;
            }
            respondida_.notify_all();
        });
        std::unique_lock trava(mutex_);
        respondida_.wait(trava, [&] {
            return *destino == Destino::Respondida ||
                   (*destino == Destino::Enviada && janela_.encerrando_);
        });
        if (*destino == Destino::Enviada) {
            // The window's loop has ended: nobody is left to answer a message box; a
            // terminal may still read it.
            *destino = Destino::Abandonada;
            std::fprintf(stderr, "%s\n", ParaTerminal(texto).c_str());
        }
    }

    TFPrincipal& janela_;
    int posicao_ = 0;
    int maximo_ = 0;
    std::string status_;
    bool pendente_ = false;
    std::chrono::steady_clock::time_point ultimoEnvio_;
    std::mutex mutex_;
    std::condition_variable respondida_;
};

TFPrincipal::TFPrincipal(Dialogos& dialogos, std::string arquivoCidades, QWidget* parent)
    : QWidget(parent), dialogos_(dialogos) {
    setObjectName("FPrincipal");
    setWindowTitle(Q("Conversor Quarel Tervalo"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(584, 332);
    // The controls are laid out for an 8-point "MS Sans Serif"; Liberation Sans at
    // 11 pixels takes the same room.
    QFont fonte("Liberation Sans");
    fonte.setPixelSize(11);
    setFont(fonte);
    QPalette paleta = palette();
    paleta.setColor(QPalette::Window, paleta.color(QPalette::Light));
    setPalette(paleta);
    setAutoFillBackground(true);

    auto* Panel1 = NovoControle<QFrame>(this, "Panel1", 0, 0, 584, 76);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Image = NovoControle<QLabel>(this, "Image", 5, 3, 179, 68);
    Image->setPixmap(Logotipo());
    Image->setScaledContents(true);
    Label1 = NovoControle<QLabel>(this, "Label1", 225, 13, 310, 16);
    Label1->setText(Q("Converter planilha de Excel (Microsoft Excel)"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont titulo = Label1->font();
    titulo.setBold(true);
    titulo.setPixelSize(13);
    Label1->setFont(titulo);

    auto* Panel2 = NovoControle<QFrame>(this, "Panel2", 0, 76, 584, 153);
    Panel2->setFrameShape(QFrame::NoFrame);
    Panel2->lower();
    Rotulo(this, "Label4", 9, 80, "Caminho do banco Vantora:");
    edtCaminhoVantora = NovoControle<QLineEdit>(this, "edtCaminhoVantora", 5, 96, 516, 19);
    edtCaminhoVantora->setEnabled(false);
    btAbrirVantora = NovoControle<QPushButton>(this, "btAbrirVantora", 525, 93, 52, 25);
    // Alt+B opens the database ("banco"), Alt+A the file to convert ("arquivo").
    btAbrirVantora->setText(Q("A&brir"));
    btAbrirVantora->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    Rotulo(this, "Label2", 5, 120, "Caminho do arquivo a ser convertido:");
    edtCaminhoOrigem = NovoControle<QLineEdit>(this, "edtCaminhoOrigem", 5, 136, 405, 19);
    edtCaminhoOrigem->setEnabled(false);
    Rotulo(this, "Label3", 415, 119, "Escolher a planilha:");
    MostraPlanilha = NovoControle<QComboBox>(this, "MostraPlanilha", 415, 136, 105, 21);
    MostraPlanilha->setEditable(false);
    MostraPlanilha->installEventFilter(this);
    Btabrir = NovoControle<QPushButton>(this, "Btabrir", 525, 133, 52, 25);
    Btabrir->setText(Q("&Abrir"));
    Btabrir->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    Rotulo(this, "Label5", 8, 161, "Informe a linha do último registro da planilha");
    edtNumLinha = NovoControle<QLineEdit>(this, "edtNumLinha", 266, 160, 75, 19);
    edtNumLinha->setMaxLength(9);
    edtNumLinha->installEventFilter(this);

    GroupBox2 = NovoControle<QGroupBox>(this, "GroupBox2", 8, 184, 332, 61);
    GroupBox2->setTitle(Q("| Converter |"));
    QFont grupo = GroupBox2->font();
    grupo.setBold(true);
    GroupBox2->setFont(grupo);
    // The radio buttons sit on the window's grid (positions are window coordinates)
    // and form one exclusive group by sharing their parent.
    auto radio = [this](const char* nome, int x, int y, TipoRegistro tipo) {
        auto* r = new QRadioButton(Q(convert::Descricao(tipo).legenda), GroupBox2);
        r->setObjectName(nome);
        r->setFont(font());
        r->adjustSize();
        r->move(x - GroupBox2->x(), y - GroupBox2->y());
        escolhasDeTipo_.push_back({r, tipo});
        return r;
    };
    rbtCliente = radio("rbtCliente", 24, 200, TipoRegistro::Clientes);
    rbtFornece = radio("rbtFornece", 120, 200, TipoRegistro::Fornecedores);
    rbtProdutos = radio("rbtProdutos", 237, 200, TipoRegistro::Produtos);
    rbtVendedores = radio("rbtVendedores", 24, 220, TipoRegistro::Vendedores);
    rbtTransportadoras = radio("rbtTransportadoras", 120, 221, TipoRegistro::Transportadoras);

    btOK = NovoControle<QPushButton>(this, "btOK", 351, 191, 142, 30);
    btOK->setText(Q("&Efetuar Conversão"));
    btOK->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
    btSair = NovoControle<QPushButton>(this, "btSair", 504, 191, 78, 30);
    btSair->setText(Q("&Sair"));
    btSair->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));

    auto* Panel3 = NovoControle<QFrame>(this, "Panel3", 0, 263, 584, 50);
    Panel3->setFrameShape(QFrame::NoFrame);
    Panel3->lower();
    lblAguarde = Rotulo(this, "lblAguarde", 3, 266, "...");
    lblAguarde->setMinimumWidth(400);
    lblAguarde->adjustSize();
    Barra = NovoControle<QProgressBar>(this, "Barra", 0, 283, 583, 17);
    Barra->setRange(0, 100);
    Barra->setValue(0);
    Barra->setTextVisible(false);
    stbStatus = NovoControle<QStatusBar>(this, "stbStatus", 0, 313, 584, 19);
    stbStatus->setSizeGripEnabled(false);

    connect(btAbrirVantora, &QPushButton::clicked, this, [this] { btAbrirVantoraClick(); });
    connect(Btabrir, &QPushButton::clicked, this, [this] { BtabrirClick(); });
    connect(MostraPlanilha, &QComboBox::currentIndexChanged, this,
            [this] { MostraPlanilhaChange(); });
    connect(btOK, &QPushButton::clicked, this, [this] { btOKClick(); });
    connect(btSair, &QPushButton::clicked, this, [this] { close(); });
    auto* esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    esc->setContext(Qt::WindowShortcut);
    connect(esc, &QShortcut::activated, this, [this] { FormKeyDown(); });

    ponte_ = std::make_unique<PonteDaExecucao>(*this);
    execucao_ = std::make_unique<ExecucaoConversao>(dbVantora_, DMExcel_, cdsTabelaTemp_, *ponte_,
                                                    *ponte_, std::move(arquivoCidades));
    FormCreate();
    if (QScreen* tela = QGuiApplication::primaryScreen())
        move(tela->availableGeometry().center() - rect().center());
}

TFPrincipal::~TFPrincipal() {
    // A run still under way (the program ends, or its owner lets the window go) stops
    // at its next record and undoes its transaction before anything it uses goes.
    if (fio_.joinable()) {
        Encerra();
        fio_.join();
    }
    if (avisoEncerramento_) {
        // Nobody reads the pipe any more: the signals get their default action back.
        signal(SIGTERM, SIG_DFL);
        signal(SIGINT, SIG_DFL);
    }
}

void TFPrincipal::FormCreate() {
    HabilitaCampos();
    rbtProdutos->setChecked(true);
}

void TFPrincipal::FormKeyDown() {
    // During a run the connection is the run's; Esc does not close the window then.
    if (emConversao_) return;
    if (!dbVantora_.DBTransaction().Ativa()) close();
}

void TFPrincipal::closeEvent(QCloseEvent* evento) {
    // The run keeps using the staging table and the connection until it ends.
    if (emConversao_) {
        evento->ignore();
        Aviso("Aguarde o término da conversão.");
        return;
    }
    evento->accept();
}

bool TFPrincipal::eventFilter(QObject* objeto, QEvent* evento) {
    if (evento->type() == QEvent::KeyPress && (objeto == edtNumLinha || objeto == MostraPlanilha)) {
        const QString texto = static_cast<QKeyEvent*>(evento)->text();
        // Only typed characters are filtered: Tab, Esc, arrows and Delete carry no
        // printable text and keep their usual roles.
        if (texto.size() == 1 && texto[0].isPrint()) {
            if (objeto == MostraPlanilha) return true;
            return !(texto[0] >= '0' && texto[0] <= '9');
        }
    }
    return QWidget::eventFilter(objeto, evento);
}

void TFPrincipal::MostraErro(const std::exception& e) { Erro(e.what()); }

void TFPrincipal::btAbrirVantoraClick() {
    edtCaminhoVantora->setText(dialogos_.AbreArquivo(this, Q(kFiltroBanco)));
    try {
        // Also when the dialog was cancelled: a run must never write into a
        // database whose path the window does not show.
        if (dbVantora_.Conectado()) dbVantora_.Desconecta();
        if (!edtCaminhoVantora->text().isEmpty()) {
            dbVantora_.DefineNomeBanco(Caminho(edtCaminhoVantora->text()));
            dbVantora_.Conecta();
        }
    } catch (const std::exception& e) {
        MostraErro(e);
    }
    // A connection through this computer's Firebird server says so in the status line
    // until another database is chosen.
    const std::string aviso = dbVantora_.AvisoServidorLocal();
    if (!aviso.empty() || (!avisoConexao_.empty() && status_ == avisoConexao_))
        PintaProgresso(Barra->value(), aviso, false);
    avisoConexao_ = aviso;
    CapturaEncerramento();
}

void TFPrincipal::CapturaEncerramento() {
    // The Firebird client puts its own SIGTERM and SIGINT handlers in place when it
    // first connects, handlers that close every connection and leave the program
    // running; so the window takes the signals back after each attempt.
    if (!avisoEncerramento_) {
        if (tuboEncerramento[0] < 0 && pipe2(tuboEncerramento, O_CLOEXEC | O_NONBLOCK) != 0) {
            tuboEncerramento[0] = tuboEncerramento[1] = -1;
            return;
        }
        avisoEncerramento_ = new QSocketNotifier(tuboEncerramento[0], QSocketNotifier::Read, this);
        connect(avisoEncerramento_, &QSocketNotifier::activated, this,
                [this] { PedidoDeEncerramento(); });
    }
    struct sigaction acao {};
    acao.sa_handler = AoEncerrar;
    sigemptyset(&acao.sa_mask);
    // SA_RESTART: the database's reads and writes carry on undisturbed.
    acao.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &acao, nullptr);
    sigaction(SIGINT, &acao, nullptr);
}

void TFPrincipal::PedidoDeEncerramento() {
    char lidos[16];
    while (read(tuboEncerramento[0], lidos, sizeof lidos) > 0) {
    }
    if (encerrando_) return;
    Encerra();
    // Ends the message loop, and the message boxes' and file dialogs' own loops. A run
    // under way stops at its next record and rolls back its transaction before the
    // window goes (see the destructor); closing the connection then undoes anything
    // else left open.
    QCoreApplication::exit(128 + sinalEncerramento.load());
}

void TFPrincipal::Encerra() {
    encerrando_ = true;
    ponte_->Desiste();
}

void TFPrincipal::BtabrirClick() {
    edtCaminhoOrigem->setText(dialogos_.AbreArquivo(this, Q(kFiltroPlanilha)));
    if (edtCaminhoOrigem->text().isEmpty()) return;
    try {
        CarregaPlanilhas();
        PropoeUltimaLinha();
    } catch (const std::exception& e) {
        MostraErro(e);
    }
}

void TFPrincipal::MostraPlanilhaChange() {
    try {
        PropoeUltimaLinha();
    } catch (const std::exception& e) {
        MostraErro(e);
    }
}

void TFPrincipal::PropoeUltimaLinha() {
    const int planilha = MostraPlanilha->currentIndex();
    if (planilha < 0) return;
    // The listing leaves the driver on the last sheet; the proposal is the shown one's.
    DMExcel_.SelecionaPlanilha(planilha + 1);
    edtNumLinha->setText(QString::number(DMExcel_.UltimaLinha()));
}

void TFPrincipal::CarregaPlanilhas() {
    // Filling the list is no pick of the user's: the caller proposes the last row.
    const QSignalBlocker semEscolha(MostraPlanilha);
    MostraPlanilha->clear();
    DMExcel_.AbreArquivo(Caminho(edtCaminhoOrigem->text()));
    QStringList nomes;
    for (const std::string& nome : DMExcel_.ListaPlanilhas()) nomes << Q(nome);
    MostraPlanilha->addItems(nomes);
    DMExcel_.LiberaLista();
    MostraPlanilha->setCurrentIndex(nomes.isEmpty() ? -1 : 0);
}

void TFPrincipal::btOKClick() {
    if (emConversao_) return;
    PedidoConversao pedido;
    // Only digits can be typed, but anything can be pasted.
    if (const std::string numLinha = edtNumLinha->text().toStdString(); !numLinha.empty()) {
        try {
            pedido.ultimaLinha = TextoParaInteiro(numLinha);
        } catch (const ErroConversao&) {
            Erro("'" + numLinha + "' não é um número de linha válido");
            return;
        }
    }
    pedido.arquivo = Caminho(edtCaminhoOrigem->text());
    pedido.aba = MostraPlanilha->currentIndex() + 1;
    pedido.tipo = escolhasDeTipo_.back().second;
    for (const auto& [escolha, tipo] : escolhasDeTipo_)
        if (escolha->isChecked()) pedido.tipo = tipo;
    emConversao_ = true;
    DesabilitaCampos();
    fio_ = std::thread([this, pedido = std::move(pedido)] {
        auto resultado = std::make_shared<ResultadoConversao>();
        try {
            *resultado = execucao_->Converte(pedido);
        } catch (const std::exception& e) {
            // The run answers its own failures; this is one it did not foresee.
            resultado->desfecho = DesfechoConversao::Falhou;
            ponte_->Erro(e.what());
        }
        QMetaObject::invokeMethod(
            this, [this, resultado] { TerminaConversao(*resultado); }, Qt::QueuedConnection);
    });
}

void TFPrincipal::TerminaConversao(const ResultadoConversao& resultado) {
    fio_.join();
    // The controls come back whatever happened, so the user can correct the input
    // instead of being left with a dead window.
    HabilitaCampos();
    emConversao_ = false;
    if (resultado.desfecho == DesfechoConversao::Reprovada) MostraEnsaioReprovado(resultado.ensaio);
    Foca(resultado.campoACorrigir);
    emit ConversaoTerminada();
}

namespace {

// The problems a message box lists; the report holds them all.
constexpr size_t kProblemasNaMensagem = 10;

}  // namespace

void TFPrincipal::MostraEnsaioReprovado(const ResultadoEnsaio& ensaio) {
    const long long falhas = ensaio.totalFalhas;
    std::string texto = "A conferência da planilha encontrou " + std::to_string(falhas) +
                        " problema(s) que parariam a conversão. Nada foi alterado no banco.\r";
    for (size_t i = 0; i < ensaio.falhas.size() && i < kProblemasNaMensagem; ++i)
        texto += "\r" + DescreveProblema(ensaio.falhas[i]);
    if (falhas > static_cast<long long>(kProblemasNaMensagem))
        texto += "\re mais " + std::to_string(falhas - kProblemasNaMensagem) + " problema(s).";
    if (const long long avisos = ensaio.avisosPorGenero.Total(); avisos > 0)
        texto += "\r\rAvisos: " + std::to_string(avisos) + " (no relatório).";
    if (encerrando_) {
        Erro(texto);
        return;
    }
    if (!dialogos_.ErroComRelatorio(this, Q(texto))) return;
    QString arquivo = dialogos_.SalvaArquivo(this, Q("Pasta de trabalho do Excel (*.xlsx)"));
    if (arquivo.isEmpty()) return;
    if (!arquivo.endsWith(QStringLiteral(".xlsx"), Qt::CaseInsensitive))
        arquivo += QStringLiteral(".xlsx");
    try {
        ConfereDestinoDoRelatorio(
            Caminho(arquivo), {{db::ArquivoDoBancoNestaMaquina(dbVantora_.NomeBanco()), "o banco"},
                               {Caminho(edtCaminhoOrigem->text()), "a própria planilha"},
                               {execucao_->ArquivoCidades(), "a tabela de cidades"}});
        GravaRelatorioEnsaio(Caminho(arquivo), ensaio);
    } catch (const std::exception& e) {
        Erro(e.what());
    }
}

void TFPrincipal::DefineCampos(bool habilitados) {
    for (QWidget* c : std::initializer_list<QWidget*>{
             Btabrir, btAbrirVantora, btOK, btSair, rbtProdutos, rbtCliente, rbtFornece,
             rbtVendedores, rbtTransportadoras, MostraPlanilha, edtNumLinha})
        c->setEnabled(habilitados);
}

void TFPrincipal::HabilitaCampos() { DefineCampos(true); }
void TFPrincipal::DesabilitaCampos() { DefineCampos(false); }

void TFPrincipal::MostraLegenda(const std::string& texto) {
    lblAguarde->setText(Q(texto));
    lblAguarde->adjustSize();
    // A phase announced is on screen before its work goes on.
    lblAguarde->repaint();
}

void TFPrincipal::MostraMaximo(int maximo) {
    // A Qt gauge whose maximum is 0 turns into a busy indicator; an empty run shows
    // an empty gauge instead.
    Barra->setMaximum(maximo > 0 ? maximo : 1);
}

void TFPrincipal::PintaProgresso(int posicao, const std::string& status, bool agora) {
    Barra->setValue(posicao);
    status_ = status;
    stbStatus->showMessage(Q(status_));
    if (agora) {
        Barra->repaint();
        stbStatus->repaint();
    }
}

void TFPrincipal::Mensagem(Dialogos::Tipo tipo, std::string_view texto) {
    if (encerrando_) {
        // Nobody is left to answer a message box; a terminal may still read it.
        std::fprintf(stderr, "%s\n", ParaTerminal(texto).c_str());
        return;
    }
    dialogos_.Mensagem(this, tipo, Q(texto));
}
void TFPrincipal::Aviso(std::string_view texto) { Mensagem(Dialogos::Tipo::Aviso, texto); }
void TFPrincipal::Erro(std::string_view texto) { Mensagem(Dialogos::Tipo::Erro, texto); }
void TFPrincipal::Informacao(std::string_view texto) {
    Mensagem(Dialogos::Tipo::Informacao, texto);
}

void TFPrincipal::Foca(CampoPedido campo) {
    switch (campo) {
        case CampoPedido::Nenhum:
            break;
        case CampoPedido::UltimaLinha:
            edtNumLinha->setFocus();
            break;
        case CampoPedido::Arquivo:
            Btabrir->setFocus();
            break;
        case CampoPedido::Aba:
            MostraPlanilha->setFocus();
            break;
    }
}

int AbreJanela(int argc, char** argv) {
    QApplication aplicacao(argc, argv);
    QApplication::setApplicationDisplayName(Q("Conversor Quarel Tervalo"));
    DialogosQt dialogos;
    TFPrincipal janela(dialogos);
    janela.show();
    return QApplication::exec();
}

}  // namespace conversor::app
