#include "dictionary/frmCombinar.h"

#include "common/messages.h"
#include "common/numbers.h"
#include "common/randomsource.h"
#include "dictionary/dictionarytools.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/platformservices.h"
#include "shell/report.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cmath>

namespace vordane {

frmCombinar::frmCombinar(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
{
    setObjectName(QStringLiteral("frmCombinar"));
    setWindowTitle(QStringLiteral("Combinador de diccionarios"));
    QWidget *client = buildClientArea(this, 5325, 5160);

    for (int i = 0; i < kCombinerRows; ++i) {
        const auto k = std::size_t(i);
        const int top = 480 + 360 * i;
        Utilizo[k] = placeControl(new QCheckBox(client), arrayName("Utilizo", i), 360, top, 255, 255);
        txtNombre[k] = placeControl(new QLineEdit(client), arrayName("txtNombre", i), 720, top, 2055, 285);
        cmdExaminar[k] = placeControl(new QPushButton(QStringLiteral("Examinar..."), client),
                                      arrayName("cmdExaminar", i), 2880, top, 1335, 255);
        cmdPorcenta[k] = placeControl(new QLineEdit(client), arrayName("cmdPorcenta", i), 4320, top, 615, 285);
        Label1[k] = placeControl(new QLabel(QStringLiteral("%"), client), arrayName("Label1", i), 5040, top, 120, 195);
        Label1[k]->setBuddy(cmdPorcenta[k]);

        // Row 0 in use; row 1 ready to be taken into use; the others waiting.
        const bool first = i == 0;
        Utilizo[k]->setChecked(first);
        Utilizo[k]->setEnabled(i <= 1);
        txtNombre[k]->setEnabled(first);
        cmdExaminar[k]->setEnabled(first);
        cmdPorcenta[k]->setEnabled(first);
        cmdPorcenta[k]->setText(first ? QStringLiteral("100") : QString());

        cmdPorcenta[k]->installEventFilter(this);
        connect(Utilizo[k], &QCheckBox::clicked, this, [this, i] { Utilizo_Click(i); });
        connect(cmdExaminar[k], &QPushButton::clicked, this, [this, i] { cmdExaminar_Click(i); });
    }
    ln[0] = placeControl(horizontalLine(client), arrayName("ln", 0), 0, 4080, 5280, 15);
    txtDestino = placeControl(new QLineEdit(client), "txtDestino", 720, 4200, 2055, 285);
    txtExaDes =
        placeControl(new QPushButton(QStringLiteral("Examinar..."), client), "txtExaDes", 2880, 4200, 1335, 255);
    ln[1] = placeControl(horizontalLine(client), arrayName("ln", 1), 0, 4560, 5280, 15);
    txtCombinar = placeControl(new QPushButton(QStringLiteral("Combinar"), client), "txtCombinar", 0, 4680, 5295, 375);

    connect(txtExaDes, &QPushButton::clicked, this, &frmCombinar::txtExaDes_Click);
    connect(txtCombinar, &QPushButton::clicked, this, &frmCombinar::txtCombinar_Click);
    Form_Load();
}

void frmCombinar::Form_Load()
{
    ultimaFila = 1;
}

bool frmCombinar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int code = keyCode(static_cast<QKeyEvent *>(event));
        for (int i = 0; i < kCombinerRows; ++i) {
            if (watched == cmdPorcenta[std::size_t(i)])
                cmdPorcenta_KeyDown(i, code);
        }
    }
    return QWidget::eventFilter(watched, event); // every key reaches the box as usual
}

void frmCombinar::cmdExaminar_Click(int index)
{
    txtNombre[std::size_t(index)]->setText(services_.getOpenFileName(
        this, {filters::kCombinerSources, messages::kCombinerSourceTitle, txtNombre[std::size_t(index)]->text()}));
}

void frmCombinar::txtExaDes_Click()
{
    txtDestino->setText(services_.getSaveFileName(
        this, {filters::kCombinerDestination, messages::kCombinerDestinationTitle, txtDestino->text()}));
}

void frmCombinar::Utilizo_Click(int index)
{
    if (Utilizo[std::size_t(index)]->isChecked())
        takeIntoUse(index);
    else
        takeOutOfUse(index);
}

void frmCombinar::takeIntoUse(int k)
{
    const auto row = std::size_t(k);
    txtNombre[row]->setEnabled(true);
    cmdExaminar[row]->setEnabled(true);
    cmdPorcenta[row]->setEnabled(true);
    cmdPorcenta[row]->setText(QStringLiteral("0"));
    if (k < kCombinerRows - 1)
        Utilizo[row + 1]->setEnabled(true);
    ultimaFila = k;
}

void frmCombinar::takeOutOfUse(int k)
{
    const auto disableRow = [this](std::size_t row) {
        txtNombre[row]->setEnabled(false); // the file name stays
        cmdExaminar[row]->setEnabled(false);
        cmdPorcenta[row]->setEnabled(false);
        cmdPorcenta[row]->clear();
    };
    disableRow(std::size_t(k));
    for (int j = k + 1; j < kCombinerRows; ++j) {
        const auto row = std::size_t(j);
        if (Utilizo[row]->isChecked())
            disableRow(row);
        Utilizo[row]->setChecked(false);
        Utilizo[row]->setEnabled(false);
    }
    ultimaFila = k - 1;
}

void frmCombinar::cmdPorcenta_KeyDown(int index, int keyCode)
{
    if (keyCode != kEnterKeyCode || ultimaFila <= index)
        return; // no row after this one to share the rest with
    double sum = 0;
    for (int i = 0; i <= index; ++i)
        sum += readNumber(cmdPorcenta[std::size_t(i)]->text());
    const double share = std::floor((100 - sum) / (ultimaFila - index)) + 0.0; // + 0.0: no "-0"
    if (!std::isfinite(share))
        return;
    const QString text = QString::number(share, 'f', 0);
    for (int j = index + 1; j <= ultimaFila; ++j)
        cmdPorcenta[std::size_t(j)]->setText(text);
}

void frmCombinar::txtCombinar_Click()
{
    std::array<CombinerRow, kCombinerRows> rows;
    for (int i = 0; i < kCombinerRows; ++i) {
        const auto k = std::size_t(i);
        rows[k] = {Utilizo[k]->isChecked(), txtNombre[k]->text(), readNumber(cmdPorcenta[k]->text())};
    }
    report(services_, this, messages::kCombinationTitle, combineSources(rows, txtDestino->text(), programRandom()),
           messages::kCombinationDone);
}

} // namespace vordane
