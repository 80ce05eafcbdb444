#include "dictionary/frmExportar.h"

#include "common/messages.h"
#include "common/textcase.h"
#include "dictionary/dictionarytools.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/platformservices.h"
#include "shell/report.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vordane {

namespace {

std::array<QRadioButton *, 3> buildCaseOptions(QGroupBox *frame, const char *name)
{
    return vordane::buildCaseOptions(frame, {arrayName(name, 0), arrayName(name, 1), arrayName(name, 2)},
                                     QStringLiteral("No modificar"), QRect(2640, 360, 1215, 195), 240);
}

CaseOption chosenCase(const std::array<QRadioButton *, 3> &options)
{
    return vordane::chosenCase(options[0], options[1]);
}

} // namespace

frmExportar::frmExportar(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
{
    setObjectName(QStringLiteral("frmExportar"));
    setWindowTitle(QStringLiteral("Exportador de diccionarios"));
    QWidget *client = buildClientArea(this, 4305, 4890);

    fraOriginal = placeControl(new QGroupBox(QStringLiteral("Original"), client), "fraOriginal", 120, 120, 4095, 1215);
    txtOrigen = placeControl(new QLineEdit(fraOriginal), "txtOrigen", 120, 360, 2415, 285);
    cmdExaminar1 =
        placeControl(new QPushButton(QStringLiteral("Examinar"), fraOriginal), "cmdExaminar1", 120, 720, 2415, 255);
    optForma1 = buildCaseOptions(fraOriginal, "optForma1");

    fraTraduccion = placeControl(new QGroupBox(QStringLiteral("Traducción"), client), QStringLiteral("fraTraducción"),
                                 120, 1440, 4095, 1215);
    txtTraduccion = placeControl(new QLineEdit(fraTraduccion), "txtTraduccion", 120, 360, 2415, 285);
    cmdExaminar2 =
        placeControl(new QPushButton(QStringLiteral("Examinar"), fraTraduccion), "cmdExaminar2", 120, 720, 2415, 255);
    optForma2 = buildCaseOptions(fraTraduccion, "optForma2");

    fraDestino = placeControl(new QGroupBox(QStringLiteral("Destino"), client), "fraDestino", 120, 2760, 4095, 1215);
    txtDestino = placeControl(new QLineEdit(fraDestino), "txtDestino", 120, 360, 3735, 285);
    cmdExaminar3 =
        placeControl(new QPushButton(QStringLiteral("Examinar"), fraDestino), "cmdExaminar3", 120, 720, 3735, 255);

    chkOmitir = placeControl(new QCheckBox(QStringLiteral("Omitir repeticiones y nulos"), client), "chkOmitir", 120,
                             4080, 2175, 255);
    cmdExportar =
        placeControl(new QPushButton(QStringLiteral("Exportar"), client), "cmdExportar", 120, 4440, 4095, 375);

    connect(cmdExaminar1, &QPushButton::clicked, this, &frmExportar::cmdExaminar1_Click);
    connect(cmdExaminar2, &QPushButton::clicked, this, &frmExportar::cmdExaminar2_Click);
    connect(cmdExaminar3, &QPushButton::clicked, this, &frmExportar::cmdExaminar3_Click);
    connect(cmdExportar, &QPushButton::clicked, this, &frmExportar::cmdExportar_Click);
}

// No title is set: the dialogs show the platform's own.
void frmExportar::cmdExaminar1_Click()
{
    txtOrigen->setText(services_.getOpenFileName(this, {filters::kWordFiles, QString(), txtOrigen->text()}));
}

void frmExportar::cmdExaminar2_Click()
{
    txtTraduccion->setText(services_.getOpenFileName(this, {filters::kWordFiles, QString(), txtTraduccion->text()}));
}

void frmExportar::cmdExaminar3_Click()
{
    txtDestino->setText(services_.getSaveFileName(this, {filters::kWordFiles, QString(), txtDestino->text()}));
}

void frmExportar::cmdExportar_Click()
{
    report(services_, this, messages::kExportTitle,
           exportDictionary(txtOrigen->text(), txtTraduccion->text(), txtDestino->text(), chosenCase(optForma1),
                            chosenCase(optForma2), chkOmitir->isChecked()),
           messages::kExportDone);
}

} // namespace vordane
