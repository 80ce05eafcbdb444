#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;

namespace vordane {

class MultiLineTextBox;
class frmGenerar;

// The letter editor: the letters of one panel of the definition window as a
// comma-separated text, written back to the panel at every change.
class frmEditar : public QDialog {
    Q_OBJECT
public:
    explicit frmEditar(frmGenerar &generator);

    // The panel the selector's text names: the last panel with that
    // identifier, panel 0 when none has it.
    int selectedPanel() const;

    QComboBox *cmbSeleid;
    MultiLineTextBox *txtEditar;
    QLabel *lblEditar;
    QPushButton *cmdAceptar;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void cmbSeleid_Click();
    void txtEditar_Change();
    void Actualizar();
    void cmdAceptar_Click();

    frmGenerar &generator_;
    bool ocupado = false;
};

} // namespace vordane
