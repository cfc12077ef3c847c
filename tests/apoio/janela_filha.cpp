// Test support: the main window in a process of its own, on Qt's offscreen platform,
// with the database and the workbook named on its command line chosen as a user
// chooses them. Then:
// - "ocioso": writes one carrier in the window's transaction without committing it,
//   writes "pronto" and waits, idle, in the window's message loop;
// - "convertendo": converts the workbook's carriers and writes "convertendo" once
//   the conversion is past its 500th row.
// Every message the window shows is written out instead. The exit status is the
// message loop's (a minute at most, so a forgotten one does not linger).
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <deque>

#include "app/janela/principal.h"
#include "db/consulta.h"

namespace {

using conversor::app::Dialogos;

class DialogosDaFilha final : public Dialogos {
public:
    QString AbreArquivo(QWidget*, const QString&) override {
        if (arquivos.empty()) return {};
        QString r = arquivos.front();
        arquivos.pop_front();
        return r;
    }
    void Mensagem(QWidget*, Tipo, const QString& texto) override {
        std::printf("mensagem: %s\n", texto.toUtf8().constData());
        std::fflush(stdout);
    }
    std::deque<QString> arquivos;
};

void Escreve(const char* texto) {
    std::printf("%s\n", texto);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 ||
        (std::strcmp(argv[3], "ocioso") != 0 && std::strcmp(argv[3], "convertendo") != 0)) {
        std::fprintf(stderr, "Uso: janela_filha BANCO PLANILHA ocioso|convertendo\n");
        return 2;
    }
    const bool converte = std::strcmp(argv[3], "convertendo") == 0;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplicacao(argc, argv);
    DialogosDaFilha dialogos;
    conversor::app::TFPrincipal janela(dialogos, CONVERSOR_TABELA_CIDADES);
    janela.show();
    dialogos.arquivos = {QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2])};
    janela.findChild<QPushButton*>("btAbrirVantora")->click();
    janela.findChild<QPushButton*>("Btabrir")->click();
    janela.findChild<QRadioButton*>("rbtTransportadoras")->setChecked(true);
    if (!janela.dbVantora().Conectado()) return 1;

    QTimer observa;
    if (converte) {
        auto* legenda = janela.findChild<QLabel*>("lblAguarde");
        auto* status = janela.findChild<QStatusBar*>("stbStatus");
        QObject::connect(&observa, &QTimer::timeout, [legenda, status, &observa] {
            const QStringList partes = status->currentMessage().split(' ');
            if (legenda->text().startsWith("Convertendo") && partes.size() > 2 &&
                partes[2].toInt() > 500) {
                Escreve("convertendo");
                observa.stop();
            }
        });
        observa.start(5);
        QTimer::singleShot(0, [&] { janela.findChild<QPushButton*>("btOK")->click(); });
    } else {
        conversor::db::Consulta pendente(janela.dbVantora());
        pendente.DefineSql("insert into TRANSPT (CODTRANSPT, NOME) values ('0999', 'Pendente')");
        pendente.Executa();
        Escreve("pronto");
    }
    QTimer::singleShot(60000, [] { QCoreApplication::exit(3); });
    return QApplication::exec();
}
