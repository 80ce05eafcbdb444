#include "transformer/frmTransformar.h"

#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "dictionary/wordfile.h"
#include "shell/busycursor.h"
#include "shell/controls.h"
#include "shell/multilinetextbox.h"
#include "shell/platformservices.h"
#include "transformer/rulefile.h"
#include "transformer/transformationengine.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace vordane {

namespace {
const QString kReady = QStringLiteral("Listo.");
} // namespace

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
    txtEstado = placeControl(new QLineEdit(kReady, client), "txtEstado", 10200, 1080, 1335, 285);
    txtEstado->setReadOnly(true);
    lblEstado = placeControl(new QLabel(QStringLiteral("Estado"), client), "lblEstado", 10200, 720, 495, 195);
    lblEstado->setBuddy(txtEstado);
    cmdOpen = placeControl(new QPushButton(QStringLiteral("Abrir"), client), "cmdOpen", 120, 6720, 2535, 375);
    cmdSave = placeControl(new QPushButton(QStringLiteral("Guardar"), client), "cmdSave", 2640, 6720, 2535, 375);
    cmdClear = placeControl(new QPushButton(QStringLiteral("Limpiar"), client), "cmdClear", 120, 7080, 2535, 375);
    cmdTrans = placeControl(new QPushButton(QStringLiteral("Transformar"), client), "cmdTrans", 9240, 6240, 2535, 375);
    chkAdosar = placeControl(new QCheckBox(QStringLiteral("Adosar a diccionario"), client), "chkAdosar", 5520, 6720, 1815, 255);
    txtDict = placeControl(new QLineEdit(client), "txtDict", 5520, 7080, 2055, 285);
    cmdExaminar = placeControl(new QPushButton(QStringLiteral("Examinar"), client), "cmdExaminar", 7680, 7080, 1455, 375);

    const QList<QWidget *> order{txtOrigen, txtDestino, lstTrans, cmdPoner, cmdQuitar, cmdEliminar, txtTrans,
                                 cmdOpen, cmdSave, cmdClear, cmdTrans, txtEstado, chkAdosar, txtDict, cmdExaminar};
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
    lstTrans->addItem(txtTrans->text());
    txtTrans->clear();
}

void frmTransformar::cmdQuitar_Click()
{
    QListWidgetItem *item = lstTrans->currentItem();
    if (!item || !item->isSelected())
        return;
    txtTrans->setText(item->text());
    delete lstTrans->takeItem(lstTrans->row(item));
}

void frmTransformar::cmdEliminar_Click()
{
    QListWidgetItem *item = lstTrans->currentItem();
    if (!item || !item->isSelected())
        return;
    delete lstTrans->takeItem(lstTrans->row(item));
}

void frmTransformar::mnuSOpen_Click()
{
    BusyCursor busy(this);
    setStatus(QStringLiteral("Abriendo."));
    const QString path = services_.getOpenFileName(this, {kRuleFileFilter, messages::kOpenRulesTitle});
    if (!path.isEmpty()) {
        QStringList rules;
        const FileStatus status = readRuleFile(path, rules);
        if (status.ok())
            lstTrans->addItems(rules); // added after the rules already listed
        else
            services_.warning(this, messages::kOpenRulesTitle, fileErrorMessage(status));
    }
    setStatus(kReady);
}

void frmTransformar::mnuSSave_Click()
{
    BusyCursor busy(this);
    setStatus(QStringLiteral("Guardando."));
    const QString path = services_.getSaveFileName(this, {kRuleFileFilter, messages::kSaveRulesTitle});
    if (!path.isEmpty()) {
        const FileStatus status = writeRuleFile(path, listTexts(lstTrans));
        if (!status.ok())
            services_.warning(this, messages::kSaveRulesTitle, fileErrorMessage(status));
    }
    setStatus(kReady);
}

void frmTransformar::cmdTrans_Click()
{
    // The run shows no error: a dictionary that cannot be opened counts as
    // one without lines, which ends the run before the first word.
    BusyCursor busy(this);
    setStatus(QStringLiteral("Transformando."));
    std::unique_ptr<LineSource> dictionary;
    if (chkAdosar->isChecked()) {
        auto reader = std::make_unique<LineReader>(txtDict->text());
        if (reader->open().ok())
            dictionary = std::move(reader);
        else
            dictionary = std::make_unique<StringListSource>(QStringList());
    }
    txtDestino->clear();
    const QString result = TransformarTexto(txtOrigen->text(), ruleTable(listTexts(lstTrans)), dictionary.get());
    txtDestino->setText(result);
    setStatus(kReady);
}

void frmTransformar::cmdOpen_Click()
{
    BusyCursor busy(this);
    setStatus(QStringLiteral("Abriendo."));
    const QString path = services_.getOpenFileName(this, {kWordFileFilter, messages::kOpenFileTitle});
    if (!path.isEmpty()) {
        QString source;
        const FileStatus status = readWordsAsSource(path, source);
        if (status.ok())
            txtOrigen->setText(source);
        else
            services_.warning(this, messages::kOpenFileTitle, fileErrorMessage(status));
    }
    setStatus(kReady);
}

void frmTransformar::cmdSave_Click()
{
    BusyCursor busy(this);
    setStatus(QStringLiteral("Guardando."));
    const QString path = services_.getSaveFileName(this, {kWordFileFilter, messages::kSaveFileTitle});
    if (!path.isEmpty()) {
        const FileStatus status = writeText(path, txtDestino->text() + QStringLiteral("\r\n"));
        if (!status.ok())
            services_.warning(this, messages::kSaveFileTitle, fileErrorMessage(status));
    }
    setStatus(kReady);
}

void frmTransformar::cmdClear_Click()
{
    txtOrigen->clear();
}

void frmTransformar::cmdExaminar_Click()
{
    txtDict->setText(services_.getOpenFileName(this, {kWordFileFilter, messages::kOpenFileTitle}));
}

} // namespace vordane
