#include "common/randomsource.h"
#include "common/textsink.h"
#include "fakeplatformservices.h"
#include "generator/combinacion.h"
#include "generator/wordfilters.h"
#include "keys.h"
#include "shell/appstyle.h"
#include "shell/controls.h"
#include "testfiles.h"
#include "wordgen/barchart.h"
#include "wordgen/definitioneditor.h"
#include "wordgen/frmTallerPalabras.h"
#include "wordgen/lngconversion.h"
#include "wordgen/worddefinition.h"
#include "wordgen/wordrun.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace vordane;
using vordane::test::FakePlatformServices;
using vordane::test::pressKey;
using vordane::test::readBytes;
using vordane::test::typeText;
using vordane::test::writeBytes;
using Kind = FakePlatformServices::Kind;

class tst_WordgenWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyApplicationStyle(*qApp); }
    void init();
    void cleanup();

    void typing_redrawsTheSampleAndCharts();
    void badLine_messageAndUnderline_lastSampleKept();
    void otraTanda_newWords_sameSeedSameWords();
    void newerEdit_cancelsTheSampleUnderWay();
    void unsaved_asksBeforeClosing();
    void files_openAndSaveUtf8();
    void generar_writesWhatTheCommandWrites_data();
    void generar_writesWhatTheCommandWrites();
    void generar_cancelLeavesTheFileAsItWas();
    void abrirCombinacion_convertsTheLng();

private:
    // Replaces the definition as a person does: select all, then type line after line.
    void typeDefinition(const QStringList &lines);
    // Waits until a sample newer than `before` shows and no other is due:
    // as long as it takes (ctest's timeout ends a test whose sample never comes).
    void waitForSample(qsizetype before);
    static void waitUntil(const std::function<bool()> &done);
    QStringList sample() const { return listTexts(w_->lstMuestra); }
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    static QStringList engineSample(const QString &definition, double seed, int words = 100);

    std::unique_ptr<FakePlatformServices> services_;
    std::unique_ptr<frmTallerPalabras> w_;
    std::unique_ptr<QSignalSpy> shown_;
    std::unique_ptr<QTemporaryDir> dir_;
};

const QStringList kSimple{QStringLiteral("C=p,t"), QStringLiteral("V=a:3,i"), QStringLiteral("@formas CV"),
                          QStringLiteral("@longitud 2")};

void tst_WordgenWindow::init()
{
    services_ = std::make_unique<FakePlatformServices>();
    w_ = std::make_unique<frmTallerPalabras>(*services_);
    shown_ = std::make_unique<QSignalSpy>(w_.get(), &frmTallerPalabras::sampleShown);
    w_->resize(w_->sizeHint());
    w_->show();
    w_->activateWindow();
    waitUntil([&] { return w_->isActiveWindow(); });
    dir_ = std::make_unique<QTemporaryDir>();
    waitForSample(0); // the first definition's
}

void tst_WordgenWindow::cleanup()
{
    shown_.reset();
    w_.reset();
}

void tst_WordgenWindow::waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QTest::qWait(10);
}

void tst_WordgenWindow::waitForSample(qsizetype before)
{
    waitUntil([&] { return shown_->count() > before && !w_->isSampling() && !w_->isSampleDue(); });
}

void tst_WordgenWindow::typeDefinition(const QStringList &lines)
{
    w_->txtDefinicion->setFocus();
    pressKey(Qt::Key_A, Qt::ControlModifier);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            pressKey(Qt::Key_Return);
        typeText(lines.at(i));
    }
}

QStringList tst_WordgenWindow::engineSample(const QString &definition, double seed, int words)
{
    const ParsedWordDefinition parsed = parseWordDefinitionText(definition);
    return drawWordSample(parsed.definition, words, seed).words;
}

void tst_WordgenWindow::typing_redrawsTheSampleAndCharts()
{
    const qsizetype before = shown_->count();
    typeDefinition(kSimple);
    waitForSample(before);
    // The words the engine draws from the window's seed (5489, as vordane-cli's default).
    const QStringList words = sample();
    QCOMPARE(words.size(), 100);
    QCOMPARE(words, engineSample(kSimple.join(u'\n'), 5489));
    for (const QString &word : words)
        QVERIFY2(QRegularExpression(QStringLiteral("^([pt][ai]){2}$")).match(word).hasMatch(), qPrintable(word));

    // The charts show the hidden sample: sounds expected against observed.
    QCOMPARE(w_->graSonidos->labels(), (QStringList{"p", "t", "a", "i"}));
    QCOMPARE(w_->graSonidos->series().size(), std::size_t(2));
    QCOMPARE(w_->graSonidos->series()[0].values[2], 37.5); // a: 3/4 of the vowels, half of the sounds
    QVERIFY(std::abs(w_->graSonidos->series()[1].values[2] - 37.5) < 2);
    QCOMPARE(w_->graSilabas->labels(), QStringList{"2"});
    QCOMPARE(w_->graSilabas->series()[1].values[0], 100.0);
    QCOMPARE(w_->graLongitud->labels(), QStringList{"4"});
    QVERIFY(w_->graSonidos->groupText(2).contains(QStringLiteral("Esperada: 37,5 %")));
    // No two consonants ever meet.
    QVERIFY(w_->graGrupos->labels().isEmpty());

    // More syllables marked with "." when asked.
    QTest::mouseClick(w_->chkSilabasMuestra, Qt::LeftButton, {}, QPoint(5, w_->chkSilabasMuestra->height() / 2));
    waitForSample(shown_->count());
    QCOMPARE(sample().first(), words.first().left(2) + QLatin1Char('.') + words.first().mid(2));
}

void tst_WordgenWindow::badLine_messageAndUnderline_lastSampleKept()
{
    typeDefinition(kSimple);
    waitForSample(0);
    const QStringList good = sample();
    // A shape naming a category that does not exist, typed at the end.
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("@final CX"));
    const qsizetype before = shown_->count();
    waitUntil([&] { return !w_->isSampleDue(); });
    QCOMPARE(w_->lblError->text(),
             QStringLiteral("Línea 5 («@final CX»), posición 9: la categoría X no está definida."));
    QVERIFY(w_->lblError->isVisible());
    QVERIFY(w_->txtDefinicion->underlinedAt(w_->txtDefinicion->positionOf(4, 8)));
    QVERIFY(!w_->txtDefinicion->underlinedAt(w_->txtDefinicion->positionOf(3, 2)));
    QVERIFY(w_->lblEstado->text().startsWith(QStringLiteral("La definición tiene 1 error")));
    QCOMPARE(shown_->count(), before);
    QCOMPARE(sample(), good);

    // Undone, the line and its mark go.
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    waitUntil([&] { return !w_->isSampleDue() && !w_->isSampling(); });
    QVERIFY(!w_->txtDefinicion->text().contains(QStringLiteral("@final")));
    QVERIFY(!w_->lblError->isVisible());
    QVERIFY(!w_->txtDefinicion->hasErrors());
    QCOMPARE(sample(), good);
}

void tst_WordgenWindow::otraTanda_newWords_sameSeedSameWords()
{
    const QStringList first = sample();
    QCOMPARE(w_->txtSemilla->text(), QStringLiteral("5489"));
    QTest::mouseClick(w_->cmdOtraTanda, Qt::LeftButton);
    waitForSample(shown_->count());
    QVERIFY(w_->txtSemilla->text() != QStringLiteral("5489"));
    QVERIFY(sample() != first);
    QCOMPARE(sample(), engineSample(w_->txtDefinicion->text(), w_->txtSemilla->text().toDouble()));

    // The same seed again, typed: the same words.
    const qsizetype before = shown_->count();
    w_->txtSemilla->setFocus();
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeText(QStringLiteral("5489"));
    waitForSample(before);
    QCOMPARE(sample(), first);

    // A smaller sample: its first words.
    w_->spnMuestra->setFocus();
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeText(QStringLiteral("7"));
    waitForSample(shown_->count());
    QCOMPARE(sample(), first.mid(0, 7));
}

void tst_WordgenWindow::newerEdit_cancelsTheSampleUnderWay()
{
    // The next sample is held as it begins, while a newer edit comes.
    auto entered = std::make_shared<QSemaphore>();
    auto release = std::make_shared<QSemaphore>();
    auto held = std::make_shared<std::atomic<bool>>(false);
    w_->setSampleHook([=] {
        if (!held->exchange(true)) {
            entered->release();
            release->acquire();
        }
    });
    const qsizetype before = shown_->count();
    typeDefinition(kSimple.mid(0, 3)); // one to three syllables
    waitUntil([&] { return entered->tryAcquire(); });
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("@longitud 3"));
    waitUntil([&] { return !w_->isSampleDue(); });
    release->release();
    waitForSample(before);
    QCOMPARE(w_->cancelledSamples(), 1);
    QCOMPARE(shown_->count(), before + 1); // the older sample never showed
    QCOMPARE(sample().first().size(), 6);
}

void tst_WordgenWindow::unsaved_asksBeforeClosing()
{
    // Untouched, the first definition closes without a question.
    QVERIFY(w_->confirmClose());
    QCOMPARE(services_->count(Kind::AskToSave), 0);

    typeDefinition(kSimple);
    QCOMPARE(w_->windowTitle(), QStringLiteral("Taller de palabras[*]"));
    QVERIFY(w_->isWindowModified());
    services_->answerSave(SaveChoice::Cancel);
    QVERIFY(!w_->close());
    QVERIFY(w_->isVisible());
    QCOMPARE(services_->last(Kind::AskToSave)->text,
             QStringLiteral("La definición del taller tiene cambios sin guardar. ¿Quiere guardarlos antes de cerrar?"));

    // "Guardar" with the save dialog cancelled: still open, the work kept.
    services_->answerSave(SaveChoice::Save);
    QVERIFY(!w_->close());
    QVERIFY(w_->isVisible());
    QVERIFY(w_->isWindowModified());
    QCOMPARE(services_->count(Kind::Save), 1);

    // "Guardar" with a name: saved, and closed.
    services_->answerSave(SaveChoice::Save);
    services_->answerDialog(file("nueva.gen"));
    QVERIFY(w_->close());
    QCOMPARE(readBytes(file("nueva.gen")), kSimple.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");

    // Opened again and edited, "No guardar" closes and leaves the file alone.
    w_->show();
    w_->activateWindow();
    waitUntil([&] { return w_->isActiveWindow(); });
    w_->txtDefinicion->setFocus();
    typeText(QStringLiteral(" "));
    QCOMPARE(w_->windowTitle(), QStringLiteral("Taller de palabras - nueva.gen[*]"));
    services_->answerSave(SaveChoice::Discard);
    QVERIFY(w_->close());
    QCOMPARE(readBytes(file("nueva.gen")), kSimple.join(QStringLiteral("\r\n")).toUtf8() + "\r\n");
}

void tst_WordgenWindow::files_openAndSaveUtf8()
{
    const QByteArray text = "; ñandú\r\nV=a,á:2\r\n@formas V\r\n@longitud 1\r\n";
    QVERIFY(writeBytes(file("vocales.gen"), text));
    services_->answerDialog(file("vocales.gen"));
    w_->txtDefinicion->setFocus();
    const qsizetype before = shown_->count();
    pressKey(Qt::Key_O, Qt::ControlModifier);
    waitForSample(before);
    QCOMPARE(w_->windowTitle(), QStringLiteral("Taller de palabras - vocales.gen[*]"));
    QVERIFY(!w_->isWindowModified());
    QVERIFY(sample().contains(QStringLiteral("á")));
    QCOMPARE(services_->last(Kind::Open)->filter,
             QStringLiteral("Definiciones de palabras (*.gen)|*.gen|Archivos de texto (*.txt)|*.txt|"
                            "Todos los archivos|*.*"));

    // Saved in place with Ctrl+S, UTF-8 without a byte-order mark.
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("; fin"));
    QVERIFY(w_->isWindowModified());
    pressKey(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(readBytes(file("vocales.gen")), text + "; fin\r\n");
    QVERIFY(!w_->isWindowModified());
    QCOMPARE(services_->count(Kind::Save), 0);

    // A file that cannot be read: a warning naming it, the definition kept.
    services_->answerDialog(file("no-existe.gen"));
    pressKey(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(services_->count(Kind::Warning), 1);
    QVERIFY(services_->last(Kind::Warning)->text.contains(QStringLiteral("no-existe.gen")));
    QCOMPARE(w_->windowTitle(), QStringLiteral("Taller de palabras - vocales.gen[*]"));
}

void tst_WordgenWindow::generar_writesWhatTheCommandWrites_data()
{
    QTest::addColumn<bool>("unique");
    QTest::addColumn<bool>("sorted");
    QTest::addColumn<bool>("excluding");
    QTest::addColumn<bool>("syllables");
    QTest::newRow("plain") << false << false << false << false;
    QTest::newRow("unique sorted") << true << true << false << false;
    QTest::newRow("excluding a lexicon, with syllables") << false << false << true << true;
}

void tst_WordgenWindow::generar_writesWhatTheCommandWrites()
{
    QFETCH(bool, unique);
    QFETCH(bool, sorted);
    QFETCH(bool, excluding);
    QFETCH(bool, syllables);
    typeDefinition(kSimple);
    w_->txtCantidad->setFocus();
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeText(QStringLiteral("12"));
    const std::initializer_list<std::pair<QCheckBox *, bool>> options{
        {w_->chkSinRepetir, unique}, {w_->chkOrdenar, sorted}, {w_->chkSilabas, syllables}};
    for (auto [box, on] : options) {
        if (on) {
            box->setFocus();
            pressKey(Qt::Key_Space);
        }
    }
    QVERIFY(writeBytes(file("lexico.lex"), "papa\r\ntata = padre\r\n"));
    if (excluding) {
        services_->answerDialog(file("lexico.lex"));
        QTest::mouseClick(w_->cmdExcluir, Qt::LeftButton);
        QCOMPARE(w_->lstExcluir->count(), 1);
    }
    QSignalSpy ended(w_.get(), &frmTallerPalabras::generationEnded);
    services_->answerDialog(file("palabras.lex"));
    QTest::mouseClick(w_->cmdGenerar, Qt::LeftButton);
    waitUntil([&] { return ended.count() == 1; });
    QCOMPARE(services_->count(Kind::Warning), 0);
    QCOMPARE(w_->lblEstado->text(), QStringLiteral("12 palabras escritas en «%1».").arg(QDir::toNativeSeparators(file("palabras.lex"))));
    QVERIFY(w_->cmdGenerar->isEnabled());
    QVERIFY(!w_->cmdCancelar->isEnabled());

    // What the engine writes with the same options and seed.
    WordRunOptions run;
    run.count = 12;
    run.unique = unique;
    run.sorted = sorted;
    run.syllables = syllables;
    if (excluding)
        run.excluded = {file("lexico.lex")};
    WordFilters filters;
    QVERIFY(prepareWordRunFilters(run, filters).ok());
    RandomSource random;
    random.seed(5489);
    StringSink expected(1 << 20);
    const ParsedWordDefinition parsed = parseWordDefinitionText(kSimple.join(u'\n'));
    QVERIFY(runWordGeneration(parsed.definition, run, random, filters, expected).outcome.ok());
    QCOMPARE(readBytes(file("palabras.lex")), expected.text().toLatin1());
    const QStringList lines = expected.text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (excluding) {
        QVERIFY(lines.first().contains(u'.'));
        for (QString line : lines)
            QVERIFY(line.remove(u'.') != QStringLiteral("papa") && line != QStringLiteral("tata"));
    }
    if (sorted) {
        QStringList inOrder = lines;
        inOrder.sort();
        QCOMPARE(lines, inOrder);
    }
}

void tst_WordgenWindow::generar_cancelLeavesTheFileAsItWas()
{
    QVERIFY(writeBytes(file("palabras.lex"), "vieja\r\n"));
    // The run is held at its first report of progress, until the test has pressed "Cancelar".
    auto entered = std::make_shared<QSemaphore>();
    auto release = std::make_shared<QSemaphore>();
    w_->setGenerationHook([=] {
        entered->release();
        release->acquire();
    });
    w_->txtCantidad->setFocus();
    pressKey(Qt::Key_A, Qt::ControlModifier);
    typeText(QStringLiteral("100000000"));
    QSignalSpy ended(w_.get(), &frmTallerPalabras::generationEnded);
    services_->answerDialog(file("palabras.lex"));
    pressKey(Qt::Key_G, Qt::ControlModifier);
    waitUntil([&] { return entered->tryAcquire(); });
    QVERIFY(w_->isGenerating());
    QVERIFY(!w_->cmdGenerar->isEnabled());
    QVERIFY(w_->cmdCancelar->isEnabled());
    QTest::mouseClick(w_->cmdCancelar, Qt::LeftButton);
    release->release(1000);
    waitUntil([&] { return ended.count() == 1; });
    QCOMPARE(w_->lblEstado->text(), QStringLiteral("Generación cancelada."));
    QCOMPARE(services_->count(Kind::Warning), 0);
    QCOMPARE(readBytes(file("palabras.lex")), QByteArray("vieja\r\n"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"palabras.lex"});
    QCOMPARE(w_->prgGenerar->value(), 0);
    QVERIFY(w_->cmdGenerar->isEnabled());

    // A definition with errors generates nothing and says why.
    w_->setGenerationHook({});
    typeDefinition({QStringLiteral("@formas CV")});
    services_->answerDialog(file("otra.lex"));
    QTest::mouseClick(w_->cmdGenerar, Qt::LeftButton);
    QCOMPARE(services_->count(Kind::Warning), 1);
    QVERIFY(services_->last(Kind::Warning)->text.contains(QStringLiteral("la categoría C no está definida")));
    QCOMPARE(services_->count(Kind::Save), 1);
    QVERIFY(!QFile::exists(file("otra.lex")));
}

void tst_WordgenWindow::abrirCombinacion_convertsTheLng()
{
    Combinacion combination = Combinacion::initial();
    combination.panels[0] = {"A", "Consonantes", {"p", "t", "t", "k"}};
    combination.panels[1] = {"B", "Vocales", {"a", "e"}};
    combination.patterns = {"AB", "AB", "B"};
    QVERIFY(writeLngFile(file("vieja.lng"), combination).ok());
    services_->answerDialog(file("vieja.lng"));
    const qsizetype before = shown_->count();
    QTest::mouseClick(w_->cmdAbrirCombinacion, Qt::LeftButton);
    waitForSample(before);
    QCOMPARE(services_->last(Kind::Open)->filter, QStringLiteral("Archivos de lenguajes (*.lng)|*.lng|Todos los archivos|*.*"));
    // The converted definition, from 1 to 4 syllables as "Generar palabras" starts with; not yet saved.
    QString expected = convertCombinacion(combination, 1, 4).text;
    expected.chop(2);
    QCOMPARE(w_->txtDefinicion->text(), expected);
    QVERIFY(w_->isWindowModified());
    QCOMPARE(w_->windowTitle(), QStringLiteral("Taller de palabras[*]"));
    QVERIFY(!w_->txtDefinicion->hasErrors());
    QCOMPARE(sample(), engineSample(expected, 5489));

    // A file that is no combination: a warning, nothing changed.
    QVERIFY(writeBytes(file("corta.lng"), "A\r\n"));
    services_->answerSave(SaveChoice::Discard);
    services_->answerDialog(file("corta.lng"));
    pressKey(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(services_->count(Kind::Warning), 1);
    QCOMPARE(w_->txtDefinicion->text(), expected);
}

QTEST_MAIN(tst_WordgenWindow)
#include "tst_wordgen_window.moc"
