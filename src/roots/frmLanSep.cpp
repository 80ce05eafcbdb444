#include "roots/frmLanSep.h"

#include "common/messages.h"
#include "common/textcase.h"
#include "roots/languageseparator.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/platformservices.h"
#include "shell/report.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vordane {

namespace {

// The case options of a frame, "Mayúsculas" selected.
std::array<QRadioButton *, 3> buildCaseGroup(QGroupBox *frame, const char *upper, const char *lower,
                                             const char *unchanged)
{
    return buildCaseOptions(frame, {QLatin1String(upper), QLatin1String(lower), QLatin1String(unchanged)},
                            QStringLiteral("No cambiar"), QRect(3120, 240, 1215, 255), 240);
}

} // namespace

frmLanSep::frmLanSep(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
{
    setObjectName(QStringLiteral("frmLanSep"));
    setWindowTitle(QStringLiteral("Separador de Lenguas"));
    QWidget *client = buildClientArea(this, 4680, 4185);

    fraOri = placeControl(new QGroupBox(QStringLiteral("Origen"), client), "fraOri", 120, 0, 4455, 1095);
    txtOri = placeControl(new QLineEdit(fraOri), "txtOri", 120, 360, 4215, 285);
    cmdExa = placeControl(new QPushButton(QStringLiteral("Examinar"), fraOri), "cmdExa", 120, 720, 4215, 255);

    fraPOr = placeControl(new QGroupBox(QStringLiteral("Palabras de origen"), client), "fraPOr", 120, 1200, 4455, 1095);
    txtPOr = placeControl(new QLineEdit(fraPOr), "txtPOr", 120, 360, 2775, 285);
    cmdExa2 = placeControl(new QPushButton(QStringLiteral("Examinar"), fraPOr), "cmdExa2", 120, 720, 2775, 255);
    const auto words = buildCaseGroup(fraPOr, "optMay", "optMin", "optNoc");
    optMay = words[0];
    optMin = words[1];
    optNoc = words[2];

    fraDic = placeControl(new QGroupBox(QStringLiteral("Diccionario"), client), "fraDic", 120, 2400, 4455, 1095);
    txtDic = placeControl(new QLineEdit(fraDic), "txtDic", 120, 360, 2775, 285);
    cmdExa3 = placeControl(new QPushButton(QStringLiteral("Examinar"), fraDic), "cmdExa3", 120, 720, 2775, 255);
    const auto dictionary = buildCaseGroup(fraDic, "optMay2", "optMin2", "optNoc2");
    optMay2 = dictionary[0];
    optMin2 = dictionary[1];
    optNoc2 = dictionary[2];

    cmdSep = placeControl(new QPushButton(QStringLiteral("Separar"), client), "cmdSep", 120, 3720, 4455, 375);

    connect(cmdExa, &QPushButton::clicked, this, &frmLanSep::cmdExa_Click);
    connect(cmdExa2, &QPushButton::clicked, this, &frmLanSep::cmdExa2_Click);
    connect(cmdExa3, &QPushButton::clicked, this, &frmLanSep::cmdExa3_Click);
    connect(cmdSep, &QPushButton::clicked, this, &frmLanSep::cmdSep_Click);
}

void frmLanSep::cmdExa_Click()
{
    txtOri->setText(
        services_.getOpenFileName(this, {filters::kLanguages, messages::kLanguageOriginTitle, txtOri->text()}));
}

void frmLanSep::cmdExa2_Click()
{
    txtPOr->setText(
        services_.getSaveFileName(this, {filters::kWordFiles, messages::kOriginWordsTitle, txtPOr->text()}));
}

void frmLanSep::cmdExa3_Click()
{
    txtDic->setText(
        services_.getSaveFileName(this, {filters::kWordFiles, messages::kDictionaryFileTitle, txtDic->text()}));
}

void frmLanSep::cmdSep_Click()
{
    report(services_, this, messages::kSeparationTitle,
           separateLanguage(txtOri->text(), txtPOr->text(), txtDic->text(), chosenCase(optMay, optMin),
                            chosenCase(optMay2, optMin2)),
           messages::kSeparationDone);
}

} // namespace vordane
