#include "roots/frmRaices.h"

#include "common/blanks.h"
#include "common/messages.h"
#include "roots/records.h"
#include "roots/rootfile.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/platformservices.h"
#include "shell/report.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vordane {

frmRaices::frmRaices(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
{
    setObjectName(QStringLiteral("frmRaices"));
    setWindowTitle(QStringLiteral("Creador de raíces"));
    QWidget *client = buildClientArea(this, 2985, 3225);

    txtArc = placeControl(new QLineEdit(client), "txtArc", 960, 120, 1860, 285);
    lblArc = placeControl(new QLabel(QStringLiteral("Archivo:"), client), "lblArc", 120, 120, 0, 0);
    cmdExa = placeControl(new QPushButton(QStringLiteral("Examinar"), client), "cmdExa", 120, 480, 2775, 375);
    linSep = placeControl(horizontalLine(client), "linSep", 0, 960, 3000, 15);
    txtCod = placeControl(new QLineEdit(client), "txtCod", 960, 1080, 1860, 285);
    lblCod = placeControl(new QLabel(QStringLiteral("Código:"), client), "lblCod", 120, 1080, 0, 0);
    txtPal = placeControl(new QLineEdit(client), "txtPal", 960, 1440, 1860, 285);
    lblPal = placeControl(new QLabel(QStringLiteral("Palabra:"), client), "lblPal", 120, 1440, 0, 0);
    txtVal = placeControl(new QLineEdit(client), "txtVal", 960, 1800, 1860, 285);
    cmdVal = placeControl(new QLabel(QStringLiteral("Valor:"), client), "cmdVal", 120, 1800, 0, 0);
    cmbNiv = placeControl(new QComboBox(client), "cmbNiv", 960, 2160, 1860, 315);
    lblNiv = placeControl(new QLabel(QStringLiteral("Nivel:"), client), "lblNiv", 120, 2160, 0, 0);
    cmdLim = placeControl(new QPushButton(QStringLiteral("Limpiar"), client), "cmdLim", 120, 2760, 1335, 375);
    cmdGuardar = placeControl(new QPushButton(QStringLiteral("Guardar"), client), "cmdGuardar", 1440, 2760, 1455, 375);

    lblArc->setBuddy(txtArc);
    lblCod->setBuddy(txtCod);
    lblPal->setBuddy(txtPal);
    cmdVal->setBuddy(txtVal);
    lblNiv->setBuddy(cmbNiv);
    keepTypedText(cmbNiv);
    for (int level = 1; level <= 20; ++level)
        cmbNiv->addItem(QString::number(level));
    cmbNiv->setCurrentIndex(0);
    for (QLineEdit *box : {txtCod, txtPal, txtVal})
        box->setEnabled(false);

    const QList<QWidget *> order{txtArc, cmdExa, txtCod, txtPal, txtVal, cmdLim, cmdGuardar, cmbNiv};
    setTabOrderChain(order);

    for (QLineEdit *box : {txtArc, txtCod, txtPal})
        box->installEventFilter(this);
    connect(txtArc, &QLineEdit::textChanged, this, &frmRaices::txtArc_Change);
    connect(cmdExa, &QPushButton::clicked, this, &frmRaices::cmdExa_Click);
    connect(cmdGuardar, &QPushButton::clicked, this, &frmRaices::cmdGuardar_Click);
    connect(cmdLim, &QPushButton::clicked, this, &frmRaices::cmdLim_Click);
}

bool frmRaices::eventFilter(QObject *watched, QEvent *event)
{
    // Focus moving to another control runs the box's handler before that
    // control's click. Focus leaving with the whole window (a message box
    // opening, another window activated) is no move between controls.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return QWidget::eventFilter(watched, event);
        if (watched == txtArc)
            txtArc_LostFocus();
        else if (watched == txtCod)
            txtCod_LostFocus();
        else if (watched == txtPal)
            txtPal_LostFocus();
    } else if (event->type() == QEvent::KeyPress) {
        const int code = keyCode(static_cast<QKeyEvent *>(event));
        if (watched == txtCod)
            txtCod_KeyDown(code);
        else if (watched == txtPal)
            txtPal_KeyDown(code);
    }
    return QWidget::eventFilter(watched, event);
}

bool frmRaices::report(const Outcome &outcome)
{
    return vordane::report(services_, this, messages::kRootCreatorTitle, outcome);
}

QString frmRaices::rootFile()
{
    const QString path = txtArc->text();
    if (trimLeadingBlanks(path).isEmpty()) {
        report(FileStatus::failure(FileError::EmptyName, path));
        return QString();
    }
    return path;
}

void frmRaices::cmdExa_Click()
{
    txtArc->setText(services_.getSaveFileName(this, {filters::kRoots, messages::kRootsTitle, txtArc->text()}));
}

void frmRaices::txtArc_Change()
{
    // Once a name was given the boxes stay enabled, even if it is erased.
    if (!trimLeadingBlanks(txtArc->text()).isEmpty()) {
        for (QLineEdit *box : {txtPal, txtVal, txtCod})
            box->setEnabled(true);
    }
}

void frmRaices::txtArc_LostFocus()
{
    if (trimLeadingBlanks(txtArc->text()).isEmpty())
        return;
    report(ensureRootFile(txtArc->text()));
}

void frmRaices::txtCod_LostFocus()
{
    lookUpByCode();
}

void frmRaices::txtCod_KeyDown(int keyCode)
{
    if (keyCode == kEnterKeyCode)
        lookUpByCode();
}

void frmRaices::txtPal_KeyDown(int keyCode)
{
    if (keyCode == kEnterKeyCode)
        lookUpByWord(true);
}

void frmRaices::txtPal_LostFocus()
{
    lookUpByWord(false);
}

void frmRaices::lookUpByCode()
{
    const QString path = rootFile();
    if (path.isEmpty())
        return;
    const RootLookup lookup = lookUpRoot(path, RootKey::Code, txtCod->text());
    if (!report(lookup.outcome))
        return;
    if (lookup.found) {
        txtPal->setText(lookup.found->word);
        txtVal->setText(lookup.found->value);
        cmbNiv->setEditText(lookup.found->level);
    } else if (lookup.fileHasLines) {
        txtPal->clear();
        txtVal->clear();
    }
}

void frmRaices::lookUpByWord(bool full)
{
    const QString path = rootFile();
    if (path.isEmpty())
        return;
    const RootLookup lookup = lookUpRoot(path, RootKey::Word, txtPal->text());
    if (!report(lookup.outcome))
        return;
    if (lookup.found) {
        txtCod->setText(lookup.found->code);
        txtVal->setText(lookup.found->value);
        if (full)
            cmbNiv->setEditText(lookup.found->level);
    } else if (full && lookup.fileHasLines) {
        txtCod->clear();
        txtVal->clear();
    }
}

void frmRaices::cmdGuardar_Click()
{
    const QString path = rootFile();
    if (path.isEmpty())
        return;
    if (report(saveRoot(path, {txtCod->text(), txtPal->text(), txtVal->text(), cmbNiv->currentText()})))
        cmdLim_Click();
}

void frmRaices::cmdLim_Click()
{
    txtCod->clear();
    txtPal->clear();
    txtVal->clear();
}

} // namespace vordane
