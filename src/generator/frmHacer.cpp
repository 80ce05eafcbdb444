#include "generator/frmHacer.h"

#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/randomsource.h"
#include "common/textcase.h"
#include "generator/frmGenerar.h"
#include "generator/generationengine.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/multilinetextbox.h"
#include "shell/platformservices.h"
#include "shell/report.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace vordane {

namespace {
QLabel *label(const QString &caption, QWidget *buddy)
{
    auto *l = new QLabel(caption, buddy->parentWidget());
    l->setBuddy(buddy);
    return l;
}
} // namespace

frmHacer::frmHacer(frmGenerar &generator)
    : QDialog(&generator)
    , generator_(generator)
    , services_(generator.services())
{
    setObjectName(QStringLiteral("frmHacer"));
    setWindowTitle(QStringLiteral("Generar Palabras"));
    // "Cancelar" and the close button unload the window.
    setAttribute(Qt::WA_DeleteOnClose);
    QWidget *client = buildClientArea(this, 7215, 7455);

    fraSilabas = placeControl(new QGroupBox(QStringLiteral("Sílabas"), client), "fraSilabas", 240, 240, 1935, 1575);
    txtMinimas = placeControl(new QLineEdit(QStringLiteral("1"), fraSilabas), "txtMinimas", 240, 960, 615, 375);
    lblMinimas = placeControl(label(QStringLiteral("Mínimas"), txtMinimas), "lblMinimas", 240, 480, 600, 195);
    txtMaximas = placeControl(new QLineEdit(QStringLiteral("4"), fraSilabas), "txtMaximas", 1080, 960, 615, 375);
    lblMaximas = placeControl(label(QStringLiteral("Máximas"), txtMaximas), "lblMaximas", 1080, 480, 615, 195);

    fraPalabras = placeControl(new QGroupBox(QStringLiteral("Palabras"), client), "fraPalabras", 2400, 240, 3135, 1575);
    txtFilas = placeControl(new QLineEdit(QStringLiteral("100"), fraPalabras), "txtFilas", 600, 960, 615, 375);
    lblFilas = placeControl(label(QStringLiteral("Cantidad de filas"), txtFilas), "lblFilas", 120, 480, 1170, 195);
    txtPorfila = placeControl(new QLineEdit(QStringLiteral("1"), fraPalabras), "txtPorfila", 2160, 960, 615, 375);
    Label2 = placeControl(label(QStringLiteral("Palabras por fila"), txtPorfila), "Label2", 1680, 480, 1125, 195);

    txtPalabras = placeControl(new MultiLineTextBox(client), "txtPalabras", 240, 1920, 5295, 3495);
    txtPalabras->setScrollBars(MultiLineTextBox::ScrollBars::Both);
    txtEstado = placeControl(new QLineEdit(messages::kReady, client), "txtEstado", 5760, 720, 1335, 285);
    lblEstado = placeControl(label(QStringLiteral("Estado"), txtEstado), "lblEstado", 5760, 360, 495, 195);
    txtCuantas = placeControl(new QLineEdit(QStringLiteral("0"), client), "txtCuantas", 5760, 1200, 1335, 285);
    cmdCopiar = placeControl(new QPushButton(QStringLiteral("Copiar"), client), "cmdCopiar", 5640, 1920, 1455, 375);
    cmdSave = placeControl(new QPushButton(QStringLiteral("Guardar"), client), "cmdSave", 5640, 2400, 1455, 375);
    cmdMayuscula =
        placeControl(new QPushButton(QStringLiteral("Mayúsculas"), client), "cmdMayuscula", 5640, 2880, 1455, 375);
    cmdMinuscula =
        placeControl(new QPushButton(QStringLiteral("Minúsculas"), client), "cmdMinuscula", 5640, 3360, 1455, 375);
    txtSemilla = placeControl(new QLineEdit(QStringLiteral("0"), client), "txtSemilla", 5760, 4560, 1335, 285);
    lblSemilla = label(QStringLiteral("Semilla de generación"), txtSemilla);
    lblSemilla->setWordWrap(true); // two lines in its box
    placeControl(lblSemilla, "lblSemilla", 5880, 4080, 960, 435);
    cmdSemilla =
        placeControl(new QPushButton(QStringLiteral("Utilizar semilla"), client), "cmdSemilla", 5760, 4920, 1335, 375);
    cmdGenerar = placeControl(new QPushButton(QStringLiteral("Generar"), client), "cmdGenerar", 240, 5520, 2775, 375);
    cmdLimpiar = placeControl(new QPushButton(QStringLiteral("Limpiar"), client), "cmdLimpiar", 3120, 5520, 2415, 375);
    chkAdosar =
        placeControl(new QCheckBox(QStringLiteral("Adosar a diccionario"), client), "chkAdosar", 240, 6000, 1815, 255);
    txtDict = placeControl(new QLineEdit(client), "txtDict", 240, 6480, 3615, 315);
    cmdExaminar =
        placeControl(new QPushButton(QStringLiteral("Examinar"), client), "cmdExaminar", 3960, 6480, 1575, 375);
    cmdCancelar =
        placeControl(new QPushButton(QStringLiteral("Cancelar"), client), "cmdCancelar", 240, 6960, 6855, 375);

    // Tab order top-left to bottom-right.
    const QList<QWidget *> order{txtMinimas,   txtMaximas,  txtFilas,    txtPorfila, txtEstado,
                                 txtCuantas,   txtPalabras, cmdCopiar,   cmdSave,    cmdMayuscula,
                                 cmdMinuscula, txtSemilla,  cmdSemilla,  cmdGenerar, cmdLimpiar,
                                 chkAdosar,    txtDict,     cmdExaminar, cmdCancelar};
    setTabOrderChain(order);

    connect(cmdGenerar, &QPushButton::clicked, this, &frmHacer::cmdGenerar_Click);
    connect(cmdSemilla, &QPushButton::clicked, this, &frmHacer::cmdSemilla_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmHacer::cmdSave_Click);
    connect(cmdCopiar, &QPushButton::clicked, this, &frmHacer::cmdCopiar_Click);
    connect(cmdMayuscula, &QPushButton::clicked, this, &frmHacer::cmdMayuscula_Click);
    connect(cmdMinuscula, &QPushButton::clicked, this, &frmHacer::cmdMinuscula_Click);
    connect(cmdLimpiar, &QPushButton::clicked, this, &frmHacer::cmdLimpiar_Click);
    connect(cmdExaminar, &QPushButton::clicked, this, &frmHacer::cmdExaminar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmHacer::cmdCancelar_Click);
}

Combinacion frmHacer::AlmaMatriz() const
{
    return generator_.combinacion();
}

void frmHacer::setStatus(const QString &status)
{
    showStatus(txtEstado, status);
}

void frmHacer::cmdGenerar_Click()
{
    const GenerationSettings settings{readNumber(txtFilas->text()), readNumber(txtPorfila->text()),
                                      readNumber(txtMinimas->text()), readNumber(txtMaximas->text())};
    const Combinacion definition = AlmaMatriz();

    // With pairing, the run makes no more words than the dictionary has lines.
    std::unique_ptr<LineReader> dictionary;
    std::int64_t dictionaryLines = kNoPairing;
    if (chkAdosar->isChecked()) {
        Outcome opened = countDictionaryLines(txtDict->text(), settings, dictionaryLines);
        if (opened.ok()) {
            dictionary = std::make_unique<LineReader>(txtDict->text());
            opened = dictionary->open();
        }
        if (!report(services_, this, messages::kGenerationTitle, opened))
            return;
    }
    if (!report(services_, this, messages::kGenerationTitle, checkGeneration(definition, settings, dictionaryLines)))
        return;

    setStatus(messages::kGenerating);
    // The counter counts every word since the window opened; it is repainted
    // during a long run, at most every tenth of a second.
    const std::int64_t counted = readInteger(txtCuantas->text());
    QElapsedTimer sinceRepaint;
    sinceRepaint.start();
    const auto progress = [&](std::int64_t words) {
        if (sinceRepaint.elapsed() < 100)
            return;
        txtCuantas->setText(formatCounter(counted + words));
        txtCuantas->repaint();
        sinceRepaint.restart();
    };
    GeneratedText result =
        generateText(definition, settings, programRandom(), dictionary.get(), progress, dictionaryLines);
    if (result.outcome.ok() && dictionary)
        result.outcome = dictionary->status();
    if (report(services_, this, messages::kGenerationTitle, result.outcome)) {
        txtCuantas->setText(formatCounter(counted + result.words));
        txtPalabras->setText(result.text);
    }
    setStatus(messages::kReady);
}

void frmHacer::cmdSemilla_Click()
{
    programRandom().seed(readNumber(txtSemilla->text()));
}

void frmHacer::cmdSave_Click()
{
    setStatus(messages::kSaving);
    const QString path = services_.getSaveFileName(this, {filters::kWordFiles, messages::kSaveTextTitle});
    if (!path.isEmpty())
        report(services_, this, messages::kSaveTextTitle, saveTextBox(path, txtPalabras->text()));
    setStatus(messages::kReady);
}

void frmHacer::cmdCopiar_Click()
{
    services_.setClipboardText(txtPalabras->text());
}

void frmHacer::cmdMayuscula_Click()
{
    setStatus(messages::kTransforming);
    txtPalabras->setText(toUpperText(txtPalabras->text()));
    setStatus(messages::kReady);
}

void frmHacer::cmdMinuscula_Click()
{
    setStatus(messages::kTransforming);
    txtPalabras->setText(toLowerText(txtPalabras->text()));
    setStatus(messages::kReady);
}

void frmHacer::cmdLimpiar_Click()
{
    txtPalabras->clear();
}

void frmHacer::cmdExaminar_Click()
{
    txtDict->setText(
        services_.getOpenFileName(this, {filters::kWordFiles, messages::kOpenDictionaryTitle, txtDict->text()}));
}

void frmHacer::cmdCancelar_Click()
{
    close();
}

void frmHacer::keyPressEvent(QKeyEvent *event)
{
    // Escape has no role here: only "Cancelar" and the close button close
    // the window (a dialog would otherwise close on it, losing the text).
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace vordane
