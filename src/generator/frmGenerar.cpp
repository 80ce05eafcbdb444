#include "generator/frmGenerar.h"

#include "common/messages.h"
#include "generator/frmEditar.h"
#include "generator/frmHacer.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/platformservices.h"
#include "shell/report.h"
#include "shell/tightstyle.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace vordane {

namespace {
// Top-left corners of the eight panels.
constexpr std::array<std::pair<int, int>, Combinacion::kPanels> kPanelOrigins = {{
    {120, 120},
    {2160, 120},
    {4200, 120},
    {6240, 120},
    {8280, 120},
    {120, 3840},
    {2160, 3840},
    {4200, 3840},
}};

QStringList identifierItems()
{
    QStringList items;
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        items.append(QString(QChar(c)));
    for (char16_t c = u'0'; c <= u'9'; ++c)
        items.append(QString(QChar(c)));
    return items;
}
} // namespace

frmGenerar::frmGenerar(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
{
    setObjectName(QStringLiteral("frmGenerar"));
    setWindowTitle(QStringLiteral("Generador de Palabras Personalizado"));

    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    mnuFile = menuBar->addMenu(QStringLiteral("Archivo"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuOpen = mnuFile->addAction(QStringLiteral("Abrir combinación"));
    mnuOpen->setObjectName(QStringLiteral("mnuOpen"));
    mnuSave = mnuFile->addAction(QStringLiteral("Guardar combinación"));
    mnuSave->setObjectName(QStringLiteral("mnuSave"));
    QWidget *client = buildClientArea(this, 11880, 7605, menuBar);

    for (int i = 0; i < Combinacion::kPanels; ++i)
        buildPanel(client, i, kPanelOrigins[std::size_t(i)].first, kPanelOrigins[std::size_t(i)].second);

    cmdLimpiar =
        placeControl(new QPushButton(QStringLiteral("Limpiar todas"), client), "cmdLimpiar", 6240, 3840, 3975, 375);
    lblSilabas = placeControl(new QLabel(QStringLiteral("Lista de sílabas posibles:"), client), "lblSilabas", 6360,
                              4320, 1770, 195);
    lstSilabas = placeControl(new QListWidget(client), "lstSilabas", 6360, 4680, 2415, 2790);
    lblSilabas->setBuddy(lstSilabas);
    cmdAgregar = placeControl(new QPushButton(QStringLiteral("<<"), client), "cmdAgregar", 8880, 5160, 855, 375);
    cmdExtraer = placeControl(new QPushButton(QStringLiteral(">>"), client), "cmdExtraer", 8880, 5640, 855, 375);
    cmdEliminar = placeControl(new QPushButton(QStringLiteral("X"), client), "cmdEliminar", 8880, 6120, 855, 375);
    txtSilaba = placeControl(new QLineEdit(client), "txtSilaba", 9840, 5640, 1815, 285);
    cmdGenerar = placeControl(new QPushButton(QStringLiteral("Generar"), client), "cmdGenerar", 8880, 6960, 2175, 495);

    connect(cmdAgregar, &QPushButton::clicked, this, &frmGenerar::cmdAgregar_Click);
    connect(cmdExtraer, &QPushButton::clicked, this, &frmGenerar::cmdExtraer_Click);
    connect(cmdEliminar, &QPushButton::clicked, this, &frmGenerar::cmdEliminar_Click);
    connect(cmdLimpiar, &QPushButton::clicked, this, &frmGenerar::cmdLimpiar_Click);
    connect(cmdGenerar, &QPushButton::clicked, this, &frmGenerar::cmdGenerar_Click);
    connect(mnuOpen, &QAction::triggered, this, &frmGenerar::mnuOpen_Click);
    connect(mnuSave, &QAction::triggered, this, &frmGenerar::mnuSave_Click);
}

void frmGenerar::buildPanel(QWidget *client, int i, int left, int top)
{
    const auto k = std::size_t(i);
    Frame[k] = placeControl(new QGroupBox(client), arrayName("Frame", i), left, top, 1935, 3615);
    keepFrameInLine(Frame[k]); // a description, shown as caption, must not move the frame
    lblDescrip[k] = placeControl(new QLabel(QStringLiteral("Descripción:"), Frame[k]), arrayName("lblDescrip", i), 120,
                                 360, 885, 195);
    txtDescrip[k] = placeControl(new QLineEdit(Frame[k]), arrayName("txtDescrip", i), 120, 720, 1575, 285);
    lblDescrip[k]->setBuddy(txtDescrip[k]);
    lblIdent[k] = placeControl(new QLabel(QStringLiteral("Identificador:"), Frame[k]), arrayName("lblIdent", i), 120,
                               1080, 915, 195);
    cmbIdent[k] = placeControl(new QComboBox(Frame[k]), arrayName("cmbIdent", i), 1200, 1080, 495, 315);
    keepTypedText(cmbIdent[k]); // identifiers are compared case-sensitively: "k" must stay "k"
    cmbIdent[k]->addItems(identifierItems());
    cmbIdent[k]->setCurrentIndex(i);
    fitOneCharacter(cmbIdent[k]); // the box is narrow: "G" must not read as "3"
    lblIdent[k]->setBuddy(cmbIdent[k]);
    lstLetras[k] = placeControl(new QListWidget(Frame[k]), arrayName("lstLetras", i), 120, 1560, 1575, 1425);
    cmdEditar[k] = placeControl(new QPushButton(QStringLiteral("Editar"), Frame[k]), arrayName("cmdEditar", i), 120,
                                3120, 1575, 375);

    connect(txtDescrip[k], &QLineEdit::textChanged, this, [this, i] { txtDescrip_Change(i); });
    connect(cmdEditar[k], &QPushButton::clicked, this, [this, i] { cmdEditar_Click(i); });
}

Combinacion frmGenerar::combinacion() const
{
    Combinacion definition;
    for (int i = 0; i < Combinacion::kPanels; ++i) {
        const auto k = std::size_t(i);
        definition.panels[k].identifier = cmbIdent[k]->currentText();
        definition.panels[k].description = txtDescrip[k]->text();
        definition.panels[k].letters = listTexts(lstLetras[k]);
    }
    definition.patterns = listTexts(lstSilabas);
    return definition;
}

void frmGenerar::setCombinacion(const Combinacion &definition)
{
    for (int i = 0; i < Combinacion::kPanels; ++i) {
        const auto k = std::size_t(i);
        txtDescrip[k]->setText(definition.panels[k].description);
        cmbIdent[k]->setEditText(definition.panels[k].identifier);
        setListTexts(lstLetras[k], definition.panels[k].letters);
    }
    setListTexts(lstSilabas, definition.patterns);
}

QString frmGenerar::vaciar(int i) const
{
    return letterListText(listTexts(lstLetras[std::size_t(i)]));
}

void frmGenerar::llenar(int i, const QString &text)
{
    setListTexts(lstLetras[std::size_t(i)], parseLetterList(text));
}

void frmGenerar::txtDescrip_Change(int i)
{
    Frame[std::size_t(i)]->setTitle(txtDescrip[std::size_t(i)]->text());
}

void frmGenerar::cmdAgregar_Click()
{
    appendAndShow(lstSilabas, txtSilaba->text());
}

void frmGenerar::cmdExtraer_Click()
{
    QListWidgetItem *item = lstSilabas->currentItem();
    if (!item || !item->isSelected())
        return;
    txtSilaba->setText(item->text());
    delete lstSilabas->takeItem(lstSilabas->row(item));
    lstSilabas->setCurrentRow(-1);
    lstSilabas->clearSelection();
}

void frmGenerar::cmdEliminar_Click()
{
    QListWidgetItem *item = lstSilabas->currentItem();
    if (!item || !item->isSelected())
        return;
    delete lstSilabas->takeItem(lstSilabas->row(item));
    if (lstSilabas->count() > 0)
        lstSilabas->setCurrentRow(0);
    else
        lstSilabas->setCurrentRow(-1);
}

void frmGenerar::cmdLimpiar_Click()
{
    for (QListWidget *letters : lstLetras)
        letters->clear();
    lstSilabas->clear();
}

void frmGenerar::cmdEditar_Click(int i)
{
    // One editor serves every panel; each press opens it on the pressed panel,
    // so that typing never lands in another panel's letters.
    if (!editor_)
        editor_ = new frmEditar(*this);
    editor_->showPanel(i);
    services_.showModal(editor_);
}

void frmGenerar::cmdGenerar_Click()
{
    if (!hacer_)
        hacer_ = new frmHacer(*this);
    services_.showModal(hacer_);
}

void frmGenerar::mnuOpen_Click()
{
    const QString path = services_.getOpenFileName(this, {filters::kDefinitions, messages::kOpenDefinitionTitle});
    if (path.isEmpty())
        return;
    Combinacion definition;
    if (report(services_, this, messages::kOpenDefinitionTitle, readLngFile(path, definition)))
        setCombinacion(definition);
}

void frmGenerar::mnuSave_Click()
{
    const QString path = services_.getSaveFileName(this, {filters::kDefinitions, messages::kSaveDefinitionTitle});
    if (path.isEmpty())
        return;
    report(services_, this, messages::kSaveDefinitionTitle, writeLngFile(path, combinacion()));
}

} // namespace vordane
