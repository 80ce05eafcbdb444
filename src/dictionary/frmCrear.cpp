#include "dictionary/frmCrear.h"

#include "common/messages.h"
#include "dictionary/dictionarytools.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/platformservices.h"
#include "shell/report.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vordane {

frmCrear::frmCrear(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
{
    setObjectName(QStringLiteral("frmCrear"));
    setWindowTitle(QStringLiteral("Creador de diccionarios"));
    QWidget *client = buildClientArea(this, 3000, 4110);

    txtArch[0] = placeControl(new QLineEdit(client), arrayName("txtArch", 0), 240, 360, 2535, 285);
    lblEtiqueta[0] =
        placeControl(new QLabel(QStringLiteral("Origen:"), client), arrayName("lblEtiqueta", 0), 240, 120, 510, 195);
    cmdOrigex = placeControl(new QPushButton(QStringLiteral("Examinar..."), client), "cmdOrigex", 240, 720, 2535, 375);
    txtArch[1] = placeControl(new QLineEdit(client), arrayName("txtArch", 1), 240, 1680, 2535, 285);
    lblEtiqueta[1] =
        placeControl(new QLabel(QStringLiteral("Destino:"), client), arrayName("lblEtiqueta", 1), 240, 1320, 585, 195);
    cmdDestex = placeControl(new QPushButton(QStringLiteral("Examinar..."), client), "cmdDestex", 240, 2040, 2535, 375);
    Line1 = placeControl(horizontalLine(client), "Line1", 0, 2520, 3000, 15);
    cmdSeparar = placeControl(new QPushButton(QStringLiteral("Separar"), client), "cmdSeparar", 240, 2640, 2175, 375);
    txtSep = placeControl(new QLineEdit(QStringLiteral("="), client), "txtSep", 2520, 2640, 255, 375);
    cmdMayus = placeControl(new QPushButton(QStringLiteral("Mayúsculas"), client), "cmdMayus", 240, 3120, 2535, 375);
    cmdMinus = placeControl(new QPushButton(QStringLiteral("Minúsculas"), client), "cmdMinus", 240, 3600, 2535, 375);
    lblEtiqueta[0]->setBuddy(txtArch[0]);
    lblEtiqueta[1]->setBuddy(txtArch[1]);

    connect(cmdOrigex, &QPushButton::clicked, this, &frmCrear::cmdOrigex_Click);
    connect(cmdDestex, &QPushButton::clicked, this, &frmCrear::cmdDestex_Click);
    connect(cmdSeparar, &QPushButton::clicked, this, &frmCrear::cmdSeparar_Click);
    connect(cmdMayus, &QPushButton::clicked, this, &frmCrear::cmdMayus_Click);
    connect(cmdMinus, &QPushButton::clicked, this, &frmCrear::cmdMinus_Click);
}

void frmCrear::cmdOrigex_Click()
{
    txtArch[0]->setText(
        services_.getOpenFileName(this, {filters::kWordFiles, messages::kCreatorOriginTitle, txtArch[0]->text()}));
}

void frmCrear::cmdDestex_Click()
{
    txtArch[1]->setText(
        services_.getSaveFileName(this, {filters::kWordFiles, messages::kCreatorDestinationTitle, txtArch[1]->text()}));
}

void frmCrear::cmdSeparar_Click()
{
    report(services_, this, messages::kSeparationTitle,
           separateListing(txtArch[0]->text(), txtArch[1]->text(), txtSep->text()), messages::kSeparationDone);
}

void frmCrear::cmdMayus_Click()
{
    report(services_, this, messages::kPassageTitle,
           copyWithCase(txtArch[0]->text(), txtArch[1]->text(), CaseOption::Upper), messages::kUpperDone);
}

void frmCrear::cmdMinus_Click()
{
    report(services_, this, messages::kPassageTitle,
           copyWithCase(txtArch[0]->text(), txtArch[1]->text(), CaseOption::Lower), messages::kLowerDone);
}

} // namespace vordane
