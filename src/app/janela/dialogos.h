// What the window asks of the windowing system beyond its own controls: file-open
// dialogs and modal message boxes. Tests put their own in its place.
#pragma once

#include <QString>
#include <QTranslator>

class QWidget;

namespace conversor::app {

class Dialogos {
public:
    enum class Tipo { Aviso, Erro, Informacao };
    virtual ~Dialogos() = default;
    // The chosen file, or an empty text when the user cancelled.
    virtual QString AbreArquivo(QWidget* dono, const QString& filtro) = 0;
    // A modal message box with one "OK" button.
    virtual void Mensagem(QWidget* dono, Tipo tipo, const QString& texto) = 0;
    // An error message box that also offers to save a report; true when the user
    // chose to save it.
    virtual bool ErroComRelatorio(QWidget* dono, const QString& texto) {
        Mensagem(dono, Tipo::Erro, texto);
        return false;
    }
    // The file to save to, or an empty text when the user cancelled.
    virtual QString SalvaArquivo(QWidget*, const QString&) { return {}; }
};

// The real dialogs: QFileDialog and QMessageBox. While it lives, Qt's own texts
// (the file dialog's buttons and labels, the edit boxes' context menu) are in
// Brazilian Portuguese whatever the machine's language, as the program's are.
class DialogosQt final : public Dialogos {
public:
    DialogosQt();
    ~DialogosQt() override;
    QString AbreArquivo(QWidget* dono, const QString& filtro) override;
    void Mensagem(QWidget* dono, Tipo tipo, const QString& texto) override;
    bool ErroComRelatorio(QWidget* dono, const QString& texto) override;
    QString SalvaArquivo(QWidget* dono, const QString& filtro) override;

private:
    QTranslator traducao_;
};

}  // namespace conversor::app
