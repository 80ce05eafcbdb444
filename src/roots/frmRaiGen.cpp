#include "roots/frmRaiGen.h"

#include "common/messages.h"
#include "roots/languagegenerator.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/platformservices.h"
#include "shell/report.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vordane {

frmRaiGen::frmRaiGen(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
{
    setObjectName(QStringLiteral("frmRaiGen"));
    setWindowTitle(QStringLiteral("Generador de palabras"));
    QWidget *client = buildClientArea(this, 5400, 2820);

    txtPal = placeControl(new QLineEdit(client), "txtPal", 1920, 240, 1860, 285);
    lblPal = placeControl(new QLabel(QStringLiteral("Lista de Palabras:"), client), "lblPal", 240, 240, 0, 0);
    cmdExa = placeControl(new QPushButton(QStringLiteral("Examinar"), client), "cmdExa", 3840, 240, 1455, 375);
    txtRad = placeControl(new QLineEdit(client), "txtRad", 1920, 720, 1860, 285);
    lblRad = placeControl(new QLabel(QStringLiteral("Raíces:"), client), "lblRad", 240, 720, 0, 0);
    cmdExa2 = placeControl(new QPushButton(QStringLiteral("Examinar"), client), "cmdExa2", 3840, 720, 1455, 375);
    txtOut = placeControl(new QLineEdit(client), "txtOut", 1920, 1200, 1860, 285);
    lblOut = placeControl(new QLabel(QStringLiteral("Archivo de Salida:"), client), "lblOut", 240, 1200, 0, 0);
    cmdExa3 = placeControl(new QPushButton(QStringLiteral("Examinar"), client), "cmdExa3", 3840, 1200, 1455, 375);
    cmbOrd = placeControl(new QComboBox(client), "cmbOrd", 2280, 1680, 735, 315);
    lblOrd = placeControl(new QLabel(QStringLiteral("Orden de los elementos:"), client), "lblOrd", 240, 1680, 0, 0);
    cmdGen = placeControl(new QPushButton(QStringLiteral("Generar"), client), "cmdGen", 240, 2280, 5055, 375);
    lblPal->setBuddy(txtPal);
    lblRad->setBuddy(txtRad);
    lblOut->setBuddy(txtOut);
    lblOrd->setBuddy(cmbOrd);
    keepTypedText(cmbOrd); // "AM" is compared exactly: a typed "am" must stay "am"
    cmbOrd->addItems({QStringLiteral("AM"), QStringLiteral("MA")});
    cmbOrd->setCurrentIndex(0);

    const QList<QWidget *> order{txtPal, txtRad, txtOut, cmdGen, cmdExa, cmdExa2, cmdExa3, cmbOrd};
    setTabOrderChain(order);

    connect(cmdExa, &QPushButton::clicked, this, &frmRaiGen::cmdExa_Click);
    connect(cmdExa2, &QPushButton::clicked, this, &frmRaiGen::cmdExa2_Click);
    connect(cmdExa3, &QPushButton::clicked, this, &frmRaiGen::cmdExa3_Click);
    connect(cmdGen, &QPushButton::clicked, this, &frmRaiGen::cmdGen_Click);
}

void frmRaiGen::cmdExa_Click()
{
    txtPal->setText(services_.getOpenFileName(this, {filters::kWordFiles, messages::kWordListTitle, txtPal->text()}));
}

void frmRaiGen::cmdExa2_Click()
{
    txtRad->setText(services_.getOpenFileName(this, {filters::kRoots, messages::kRootsTitle, txtRad->text()}));
}

void frmRaiGen::cmdExa3_Click()
{
    txtOut->setText(services_.getSaveFileName(this, {filters::kLanguages, messages::kOutputFileTitle, txtOut->text()}));
}

void frmRaiGen::cmdGen_Click()
{
    report(services_, this, messages::kGenerationTitle,
           generateLanguage(txtPal->text(), txtRad->text(), txtOut->text(), cmbOrd->currentText()).outcome,
           messages::kGenerationDone);
}

} // namespace vordane
