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

    // Shows panel `panel` of the definition window: its identifier in the
    // selector and its letters in the text box, writing nothing back.
    void showPanel(int panel);

    // The panel the selector's text names: the last panel with that
    // identifier, panel 0 when none has it. After showPanel, and until the
    // user picks or types another identifier, the panel shown.
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
    void cmbSeleid_Change();
    void txtEditar_Change();
    void Actualizar();
    void cmdAceptar_Click();

    frmGenerar &generator_;
    bool ocupado = false;
    // The panel an "Editar" button opened the editor on, -1 when the selector decides.
    int shownPanel_ = -1;
};

} // namespace vordane
