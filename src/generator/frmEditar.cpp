#include "generator/frmEditar.h"

#include "generator/frmGenerar.h"
#include "shell/controls.h"
#include "shell/multilinetextbox.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace vordane {

frmEditar::frmEditar(frmGenerar &generator)
    : QDialog(&generator)
    , generator_(generator)
{
    setObjectName(QStringLiteral("frmEditar"));
    setWindowTitle(QStringLiteral("Editar"));
    // The close button unloads the editor; "Aceptar" only hides it.
    setAttribute(Qt::WA_DeleteOnClose);
    QWidget *client = buildClientArea(this, 4530, 3360);

    lblEditar = placeControl(new QLabel(QStringLiteral("Introduzca las letras separadas por comas."), client),
                             "lblEditar", 600, 120, 3015, 195);
    cmbSeleid = placeControl(new QComboBox(client), "cmbSeleid", 240, 600, 4095, 315);
    keepTypedText(cmbSeleid); // typing selects no panel: only choosing from the list does
    txtEditar = placeControl(new MultiLineTextBox(client), "txtEditar", 240, 960, 4095, 1695);
    lblEditar->setBuddy(txtEditar);
    cmdAceptar = placeControl(new QPushButton(QStringLiteral("Aceptar"), client), "cmdAceptar", 240, 2880, 4095, 375);

    connect(cmbSeleid, &QComboBox::activated, this, &frmEditar::cmbSeleid_Click);
    connect(cmbSeleid, &QComboBox::editTextChanged, this, &frmEditar::cmbSeleid_Change);
    connect(txtEditar, &MultiLineTextBox::textChanged, this, &frmEditar::txtEditar_Change);
    connect(cmdAceptar, &QPushButton::clicked, this, &frmEditar::cmdAceptar_Click);

    Form_Load();
}

void frmEditar::Form_Load()
{
    ocupado = true;
    cmbSeleid->clear();
    for (QComboBox *identifier : generator_.cmbIdent)
        cmbSeleid->addItem(identifier->currentText());
    cmbSeleid->setCurrentIndex(0);
    ocupado = false;
}

void frmEditar::showPanel(int panel)
{
    ocupado = true;
    // The list is built at load only; the pressed panel's entry follows its
    // identifier, so that the selector names the panel being edited.
    const QString identifier = generator_.cmbIdent[std::size_t(panel)]->currentText();
    if (cmbSeleid->itemText(panel) != identifier)
        cmbSeleid->setItemText(panel, identifier);
    cmbSeleid->setCurrentIndex(panel);
    cmbSeleid->setEditText(identifier);
    txtEditar->setText(generator_.vaciar(panel));
    // A later panel with the same identifier must not receive this panel's letters.
    shownPanel_ = panel;
    ocupado = false;
}

int frmEditar::selectedPanel() const
{
    if (shownPanel_ >= 0)
        return shownPanel_;
    const QString wanted = cmbSeleid->currentText();
    int selected = 0;
    for (int i = 0; i < Combinacion::kPanels; ++i) {
        if (generator_.cmbIdent[std::size_t(i)]->currentText() == wanted)
            selected = i;
    }
    return selected;
}

void frmEditar::cmbSeleid_Click()
{
    shownPanel_ = -1;
    ocupado = true;
    txtEditar->clear();
    txtEditar->setText(generator_.vaciar(selectedPanel()));
    ocupado = false;
}

void frmEditar::cmbSeleid_Change()
{
    // A typed identifier selects by its text again.
    if (!ocupado)
        shownPanel_ = -1;
}

void frmEditar::txtEditar_Change()
{
    if (!ocupado)
        Actualizar();
}

void frmEditar::Actualizar()
{
    // Unlike a letter line of a definition file, an empty text is one empty letter.
    QListWidget *letters = generator_.lstLetras[std::size_t(selectedPanel())];
    letters->clear();
    letters->addItems(txtEditar->text().split(QLatin1Char(',')));
}

void frmEditar::cmdAceptar_Click()
{
    hide();
}

void frmEditar::keyPressEvent(QKeyEvent *event)
{
    // Escape has no role here; a dialog would otherwise close on it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vordane
