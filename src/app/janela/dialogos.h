// What the window asks of the windowing system beyond its own controls: file-open
// dialogs and modal message boxes. Tests put their own in its place.
#pragma once

#include <QString>

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
};

// The real dialogs: QFileDialog and QMessageBox.
class DialogosQt final : public Dialogos {
public:
    QString AbreArquivo(QWidget* dono, const QString& filtro) override;
    void Mensagem(QWidget* dono, Tipo tipo, const QString& texto) override;
};

}  // namespace conversor::app
