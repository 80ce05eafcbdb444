#include "transformer/frmTransformar.h"

#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/textsink.h"
#include "shell/busycursor.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/multilinetextbox.h"
#include "shell/platformservices.h"
#include "shell/report.h"
#include "transformer/rulefile.h"
#include "transformer/transformationengine.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace vordane {

frmTransformar::frmTransformar(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
{
    setObjectName(QStringLiteral("frmTransformar"));
    setWindowTitle(QStringLiteral("Transformador de Palabras"));

    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    mnuFile = menuBar->addMenu(QStringLiteral("Archivo"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    const auto entry = [this](const char *name, const QString &caption) {
        QAction *action = mnuFile->addAction(caption);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    mnuOpen = entry("mnuOpen", QStringLiteral("Abrir lista de palabras"));
    mnuSave = entry("mnuSave", QStringLiteral("Guardar archivo de texto"));
    mnuSOpen = entry("mnuSOpen", QStringLiteral("Abrir sílabas"));
    mnuSSave = entry("mnuSSave", QStringLiteral("Guardar sílabas"));
    QWidget *client = buildClientArea(this, 11880, 8310, menuBar);

    txtOrigen = placeControl(new MultiLineTextBox(client), "txtOrigen", 120, 1080, 2535, 5535);
    txtOrigen->setScrollBars(MultiLineTextBox::ScrollBars::Vertical);
    lblOrigen = placeControl(new QLabel(QStringLiteral("Origen:"), client), "lblOrigen", 120, 720, 510, 195);
    lblOrigen->setBuddy(txtOrigen);
    txtDestino = placeControl(new MultiLineTextBox(client), "txtDestino", 2640, 1080, 2535, 5535);
    txtDestino->setScrollBars(MultiLineTextBox::ScrollBars::Both);
    lblDestino = placeControl(new QLabel(QStringLiteral("Destino:"), client), "lblDestino", 2640, 720, 585, 195);
    lblDestino->setBuddy(txtDestino);
    lstTrans = placeControl(new QListWidget(client), "lstTrans", 5520, 1080, 3615, 5520);
    lblTrans = placeControl(new QLabel(QStringLiteral("Transformaciones:"), client), "lblTrans", 6000, 720, 1305, 195);
    lblTrans->setBuddy(lstTrans);
    cmdPoner = placeControl(new QPushButton(QStringLiteral("<<"), client), "cmdPoner", 9360, 2520, 735, 375);
    cmdQuitar = placeControl(new QPushButton(QStringLiteral(">>"), client), "cmdQuitar", 9360, 3000, 735, 375);
    cmdEliminar = placeControl(new QPushButton(QStringLiteral("X"), client), "cmdEliminar", 9360, 3480, 735, 375);
    txtTrans = placeControl(new QLineEdit(client), "txtTrans", 10200, 3000, 1335, 285);
    txtEstado = placeControl(new QLineEdit(messages::kReady, client), "txtEstado", 10200, 1080, 1335, 285);
    txtEstado->setReadOnly(true);
    lblEstado = placeControl(new QLabel(QStringLiteral("Estado"), client), "lblEstado", 10200, 720, 495, 195);
    lblEstado->setBuddy(txtEstado);
    cmdOpen = placeControl(new QPushButton(QStringLiteral("Abrir"), client), "cmdOpen", 120, 6720, 2535, 375);
    cmdSave = placeControl(new QPushButton(QStringLiteral("Guardar"), client), "cmdSave", 2640, 6720, 2535, 375);
    cmdClear = placeControl(new QPushButton(QStringLiteral("Limpiar"), client), "cmdClear", 120, 7080, 2535, 375);
    cmdTrans = placeControl(new QPushButton(QStringLiteral("Transformar"), client), "cmdTrans", 9240, 6240, 2535, 375);
    chkAdosar =
        placeControl(new QCheckBox(QStringLiteral("Adosar a diccionario"), client), "chkAdosar", 5520, 6720, 1815, 255);
    txtDict = placeControl(new QLineEdit(client), "txtDict", 5520, 7080, 2055, 285);
    cmdExaminar =
        placeControl(new QPushButton(QStringLiteral("Examinar"), client), "cmdExaminar", 7680, 7080, 1455, 375);

    const QList<QWidget *> order{txtOrigen,   txtDestino, lstTrans,  cmdPoner, cmdQuitar,
                                 cmdEliminar, txtTrans,   cmdOpen,   cmdSave,  cmdClear,
                                 cmdTrans,    txtEstado,  chkAdosar, txtDict,  cmdExaminar};
    setTabOrderChain(order);

    connect(cmdPoner, &QPushButton::clicked, this, &frmTransformar::cmdPoner_Click);
    connect(cmdQuitar, &QPushButton::clicked, this, &frmTransformar::cmdQuitar_Click);
    connect(cmdEliminar, &QPushButton::clicked, this, &frmTransformar::cmdEliminar_Click);
    connect(mnuSOpen, &QAction::triggered, this, &frmTransformar::mnuSOpen_Click);
    connect(mnuSSave, &QAction::triggered, this, &frmTransformar::mnuSSave_Click);
    connect(cmdTrans, &QPushButton::clicked, this, &frmTransformar::cmdTrans_Click);
    connect(cmdOpen, &QPushButton::clicked, this, &frmTransformar::cmdOpen_Click);
    connect(mnuOpen, &QAction::triggered, this, &frmTransformar::cmdOpen_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmTransformar::cmdSave_Click);
    connect(mnuSave, &QAction::triggered, this, &frmTransformar::cmdSave_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmTransformar::cmdClear_Click);
    connect(cmdExaminar, &QPushButton::clicked, this, &frmTransformar::cmdExaminar_Click);
}

void frmTransformar::setStatus(const QString &status)
{
    showStatus(txtEstado, status);
}

void frmTransformar::cmdPoner_Click()
{
    appendAndShow(lstTrans, txtTrans->text());
    txtTrans->clear();
}

void frmTransformar::cmdQuitar_Click()
{
    QListWidgetItem *item = selectedRule();
    if (!item)
        return;
    txtTrans->setText(item->text());
    removeRule(item);
}

void frmTransformar::cmdEliminar_Click()
{
    if (QListWidgetItem *item = selectedRule())
        removeRule(item);
}

QListWidgetItem *frmTransformar::selectedRule() const
{
    QListWidgetItem *item = lstTrans->currentItem();
    return item && item->isSelected() ? item : nullptr;
}

void frmTransformar::removeRule(QListWidgetItem *item)
{
    delete lstTrans->takeItem(lstTrans->row(item));
    // No rule is left selected, so a second press cannot act on a rule the user never chose.
    lstTrans->setCurrentRow(-1);
    lstTrans->clearSelection();
}

void frmTransformar::mnuSOpen_Click()
{
    BusyCursor busy(this);
    setStatus(messages::kOpening);
    const QString path = services_.getOpenFileName(this, {filters::kRules, messages::kOpenRulesTitle});
    QStringList rules;
    if (!path.isEmpty() && report(services_, this, messages::kOpenRulesTitle, readRuleFile(path, rules))) {
        // Added to a list of rules unasked, an extended file's marker would land below its first line.
        ListChoice choice = ListChoice::Append;
        if (lstTrans->count() > 0)
            choice = services_.askReplaceOrAppend(
                this, messages::kOpenRulesTitle,
                messages::replaceOrAppendRules(QDir::toNativeSeparators(path), lstTrans->count()));
        if (choice == ListChoice::Replace)
            lstTrans->clear();
        if (choice != ListChoice::Cancel)
            lstTrans->addItems(rules); // after the rules already listed, unless replaced
    }
    setStatus(messages::kReady);
}

void frmTransformar::mnuSSave_Click()
{
    BusyCursor busy(this);
    setStatus(messages::kSaving);
    const QString path = services_.getSaveFileName(this, {filters::kRules, messages::kSaveRulesTitle});
    if (!path.isEmpty())
        report(services_, this, messages::kSaveRulesTitle, writeRuleFile(path, listTexts(lstTrans)));
    setStatus(messages::kReady);
}

void frmTransformar::cmdTrans_Click()
{
    BusyCursor busy(this);
    setStatus(messages::kTransforming);
    // A malformed extended list is refused before anything changes, the result box included.
    const RuleSet rules(ruleTable(listTexts(lstTrans)));
    if (!report(services_, this, messages::kTransformationTitle, rules.validity())) {
        setStatus(messages::kReady);
        return;
    }
    std::unique_ptr<LineSource> dictionary;
    if (chkAdosar->isChecked())
        dictionary = openPairingDictionary(txtDict->text());
    txtDestino->clear();
    StringSink result(kMaxResultLength);
    // Every run draws its sporadic rules from the default seed.
    Outcome outcome = TransformarTexto(txtOrigen->text(), rules, dictionary.get(), result);
    if (outcome.ok() && result.overflowed())
        outcome = Outcome::failure(messages::resultTooLong(kMaxResultLength));
    // The run reports nothing but a word or a result too large to hold.
    if (report(services_, this, messages::kTransformationTitle, outcome))
        txtDestino->setText(result.take());
    setStatus(messages::kReady);
}

void frmTransformar::cmdOpen_Click()
{
    BusyCursor busy(this);
    setStatus(messages::kOpening);
    const QString path = services_.getOpenFileName(this, {filters::kWordFiles, messages::kOpenFileTitle});
    QString source;
    if (!path.isEmpty() && report(services_, this, messages::kOpenFileTitle, readWordsAsSource(path, source)))
        txtOrigen->setText(source);
    setStatus(messages::kReady);
}

void frmTransformar::cmdSave_Click()
{
    BusyCursor busy(this);
    setStatus(messages::kSaving);
    const QString path = services_.getSaveFileName(this, {filters::kWordFiles, messages::kSaveFileTitle});
    if (!path.isEmpty())
        report(services_, this, messages::kSaveFileTitle, saveTextBox(path, txtDestino->text()));
    setStatus(messages::kReady);
}

void frmTransformar::cmdClear_Click()
{
    txtOrigen->clear();
}

void frmTransformar::cmdExaminar_Click()
{
    txtDict->setText(services_.getOpenFileName(this, {filters::kWordFiles, messages::kOpenFileTitle, txtDict->text()}));
}

} // namespace vordane
