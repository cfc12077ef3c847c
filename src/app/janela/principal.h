// The main window: the user picks the Vantora database, the workbook, a sheet, the
// last row and the record kind, and starts the conversion run.
#pragma once

#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/execucao.h"
#include "app/janela/dialogos.h"
#include "convert/mensagens.h"
#include "db/conexao.h"
#include "intake/excel.h"
#include "intake/progresso.h"
#include "intake/tabela_temp.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSocketNotifier;
class QStatusBar;
class QTranslator;

namespace conversor::app {

// Owns the connection `dbVantora`, the workbook driver `DMExcel`, the staging table
// `cdsTabelaTemp` and the run; everything lives as long as the window. Its controls
// carry the names of the original form as object names.
//
// The run works on a thread of its own, so that the window keeps handling its events
// while the database works; its progress and messages come to the window's thread as
// queued calls. While it lasts, the controls are disabled and the connection, the
// driver and the staging table are the run's alone.
class TFPrincipal final : public QWidget, private convert::Mensagens {
    Q_OBJECT
public:
    // `dialogos` (not owned) must outlive the window; `arquivoCidades` empty means the
    // city table beside the executable.
    explicit TFPrincipal(Dialogos& dialogos, std::string arquivoCidades = {},
                         QWidget* parent = nullptr);
    ~TFPrincipal() override;

    db::Conexao& dbVantora() { return dbVantora_; }
    bool EmConversao() const { return emConversao_; }

    void btAbrirVantoraClick();
    void BtabrirClick();
    void CarregaPlanilhas();
    // Another sheet picked: its last row is proposed.
    void MostraPlanilhaChange();
    // Starts the run and returns; ConversaoTerminada tells when it is over.
    void btOKClick();
    void HabilitaCampos();
    void DesabilitaCampos();

signals:
    // A run started by btOKClick is over: its messages were shown and the controls are
    // back.
    void ConversaoTerminada();

protected:
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void FormCreate();
    void FormKeyDown();
    class PonteDaExecucao;

    void MostraErro(const std::exception& e);
    void DefineCampos(bool habilitados);
    // The chosen sheet becomes the driver's current one and its last row goes into
    // `edtNumLinha`.
    void PropoeUltimaLinha();
    // The run's progress as it sent it: the caption, the gauge's maximum, and its
    // position with the status text; `agora` paints them before returning, for the end
    // of a phase that the next one would otherwise paint over.
    void MostraLegenda(const std::string& texto);
    void MostraMaximo(int maximo);
    void PintaProgresso(int posicao, const std::string& status, bool agora);
    // The run's thread is done: the controls come back and its outcome is shown.
    void TerminaConversao(const ResultadoConversao& resultado);
    // SIGTERM (or SIGINT) received: the program ends, undoing what is uncommitted.
    void CapturaEncerramento();
    void PedidoDeEncerramento();
    // The run stops at its next record and undoes its transaction; nobody is left to
    // answer its messages.
    void Encerra();

    // convert::Mensagens, on the window's thread
    void Mensagem(Dialogos::Tipo tipo, std::string_view texto);
    void Aviso(std::string_view texto) override;
    void Erro(std::string_view texto) override;
    void Informacao(std::string_view texto) override;
    // The control where the user corrects the input the run refused.
    void Foca(CampoPedido campo);
    // The rehearsal's refusal: the first failures in an error message box that offers
    // to save the whole report as a workbook.
    void MostraEnsaioReprovado(const ResultadoEnsaio& ensaio);

    Dialogos& dialogos_;
    db::Conexao dbVantora_;
    intake::TDMCotrolaExcel DMExcel_;
    intake::TTabelaTemp cdsTabelaTemp_;
    std::unique_ptr<PonteDaExecucao> ponte_;
    std::unique_ptr<ExecucaoConversao> execucao_;
    std::thread fio_;
    bool emConversao_ = false;
    // The system asked the program to end, or the window goes while a run is under
    // way; the run stops at its next record.
    std::atomic<bool> encerrando_{false};
    QSocketNotifier* avisoEncerramento_ = nullptr;

    // The status text on screen.
    std::string status_;
    // The status line's notice of a connection through this computer's server.
    std::string avisoConexao_;

    QLabel* Image;
    QLabel* Label1;
    QLineEdit* edtCaminhoVantora;
    QPushButton* btAbrirVantora;
    QLineEdit* edtCaminhoOrigem;
    QComboBox* MostraPlanilha;
    QPushButton* Btabrir;
    QLineEdit* edtNumLinha;
    QGroupBox* GroupBox2;
    QRadioButton* rbtCliente;
    QRadioButton* rbtFornece;
    QRadioButton* rbtProdutos;
    QRadioButton* rbtVendedores;
    QRadioButton* rbtTransportadoras;
    // Each kind's button, in the order the window builds them.
    std::vector<std::pair<QRadioButton*, TipoRegistro>> escolhasDeTipo_;
    QPushButton* btOK;
    QPushButton* btSair;
    QLabel* lblAguarde;
    QProgressBar* Barra;
    QStatusBar* stbStatus;
};

// Starts the application with the main window and runs it until the window closes;
// 128 plus the signal when SIGTERM or SIGINT ended it.
int AbreJanela(int argc, char** argv);

}  // namespace conversor::app
