#pragma once

#include "generator/combinacion.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vordane {

class MultiLineTextBox;
class PlatformServices;
class frmGenerar;

// The generation window: runs generations over the definition window's
// current definition and works on the resulting text.
class frmHacer : public QDialog {
    Q_OBJECT
public:
    explicit frmHacer(frmGenerar &generator);

    QGroupBox *fraPalabras;
    QLabel *lblFilas;
    QLineEdit *txtFilas;
    QLabel *Label2;
    QLineEdit *txtPorfila;
    QGroupBox *fraSilabas;
    QLabel *lblMinimas;
    QLineEdit *txtMinimas;
    QLabel *lblMaximas;
    QLineEdit *txtMaximas;
    QLabel *lblSemilla;
    QLineEdit *txtSemilla;
    QPushButton *cmdSemilla;
    QCheckBox *chkAdosar;
    QLineEdit *txtDict;
    QPushButton *cmdExaminar;
    MultiLineTextBox *txtPalabras;
    QLabel *lblEstado;
    QLineEdit *txtEstado;
    QLineEdit *txtCuantas;
    QPushButton *cmdGenerar;
    QPushButton *cmdLimpiar;
    QPushButton *cmdCopiar;
    QPushButton *cmdSave;
    QPushButton *cmdMayuscula;
    QPushButton *cmdMinuscula;
    QPushButton *cmdCancelar;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Combinacion AlmaMatriz() const;
    void setStatus(const QString &status);
    void cmdGenerar_Click();
    void cmdSemilla_Click();
    void cmdSave_Click();
    void cmdCopiar_Click();
    void cmdMayuscula_Click();
    void cmdMinuscula_Click();
    void cmdLimpiar_Click();
    void cmdExaminar_Click();
    void cmdCancelar_Click();

    frmGenerar &generator_;
    PlatformServices &services_;
};

} // namespace vordane
