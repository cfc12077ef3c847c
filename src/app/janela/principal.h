// The main window: the user picks the Vantora database, the workbook, a sheet, the
// last row and the record kind, and starts the conversion run.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <memory>
#include <string>

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
class TFPrincipal final : public QWidget, private intake::Progresso, private convert::Mensagens {
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
    void btOKClick();
    void HabilitaCampos();
    void DesabilitaCampos();

protected:
    void closeEvent(QCloseEvent* evento) override;
    bool eventFilter(QObject* objeto, QEvent* evento) override;

private:
    void FormCreate();
    void FormKeyDown();
    void MostraErro(const std::exception& e);
    void DefineCampos(bool habilitados);
    // The chosen sheet becomes the driver's current one and its last row goes into
    // `edtNumLinha`.
    void PropoeUltimaLinha();
    // Shows the latest gauge position and status text; `agora` paints them before
    // returning, for work that lets no window message run for a while.
    void PintaProgresso(bool agora = false);
    // SIGTERM (or SIGINT) received: the program ends, undoing what is uncommitted.
    void CapturaEncerramento();
    void PedidoDeEncerramento();

    // intake::Progresso
    void Legenda(std::string_view texto) override;
    void Maximo(int maximo) override;
    void Posicao(int posicao) override;
    void Avanca() override;
    void Status(std::string_view texto) override;
    void ProcessaMensagens() override;
    // convert::Mensagens
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
    std::unique_ptr<ExecucaoConversao> execucao_;
    bool emConversao_ = false;
    // The system asked the program to end; the run stops at its next record.
    bool encerrando_ = false;
    QSocketNotifier* avisoEncerramento_ = nullptr;

    // The gauge and the status text follow every record, but reach the screen at most
    // a few dozen times a second: painting them for each of 100,000 records would
    // cost more than converting them.
    int posicao_ = 0;
    int maximo_ = 0;
    std::string status_;
    bool progressoPendente_ = false;
    QElapsedTimer ultimaPintura_;
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
