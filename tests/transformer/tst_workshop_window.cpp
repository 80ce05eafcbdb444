#include "cli/clirunner.h"
#include "common/linesource.h"
#include "common/textsink.h"
#include "fakeplatformservices.h"
#include "keys.h"
#include "shell/appstyle.h"
#include "shell/multilinetextbox.h"
#include "testfiles.h"
#include "transformer/frmTaller.h"
#include "transformer/ruleeditor.h"
#include "transformer/transformationengine.h"
#include "transformer/workshopmodels.h"
#include "transformer/workshoprun.h"

#include <QAction>
#include <QBuffer>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSemaphore>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

#include <Qsci/qsciscintilla.h>

using namespace vordane;
using vordane::test::FakePlatformServices;
using vordane::test::hasFocus;
using vordane::test::pressKey;
using vordane::test::readBytes;
using vordane::test::typeText;
using vordane::test::writeBytes;
using Kind = FakePlatformServices::Kind;

class tst_WorkshopWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyApplicationStyle(*qApp); }
    void init();
    void cleanup();

    void layout_resizableWithEveryControlReachableByTab();
    void layout_panesStayWhereTheUserPutThem();
    void typing_showsWhatTheCommandLineGives();
    void words_blanksAroundACommaAreNotPartOfTheWord();
    void reportAndTrace_followTheChosenRuleAndWord();
    void malformedLine_underlinedWithItsMessage();
    void undo_takesBackALineOrABurstOfTyping_data();
    void undo_takesBackALineOrABurstOfTyping();
    void newerEdit_abandonsTheRunUnderWay();
    void numbers_groupedInSpanish_data();
    void numbers_groupedInSpanish();
    void numbers_spanishWhateverTheSystemLocale();
    void seed_decidesTheSporadicRules();
    void files_openSaveAndResult();
    void unsavedRules_askBeforeClosing();
    void unsavedWords_askBeforeClosingAndSaveWithTheirKey();
    void misplacedMarker_isALineFault();
    void importSca2_putsTheListInTheEditorUnsaved();
    void lexicon_stagesMeaningsAndFilesAsTheCommandLineGives_data();
    void lexicon_stagesMeaningsAndFilesAsTheCommandLineGives();
    void lexicon_editedInItsBoxKeepsCodesAndMeanings();
    void changesSinceLastRun_highlightedWithTheEarlierResult();
    void syllables_markedAsTheCommandLineMarksThem();
    void report_saysWhatARuleCouldNotDo();
    void traceTip_showsTheFeaturesOfTheSegmentThere_data();
    void traceTip_showsTheFeaturesOfTheSegmentThere();
    void ruleEditor_coloursAndUnderlinesFeaturesAndSyllables();

private:
    // Types lines into a box as a person does: the text, then Enter, line after line.
    void typeLines(QWidget *box, const QStringList &lines);
    // Waits for the run the typing started: as long as it takes (ctest's
    // timeout ends a test whose result never comes).
    void waitForResult(int count = 1);
    static void waitUntil(const std::function<bool()> &done);
    QStringList resultColumn(int column) const;
    // The headings of the result table, left to right.
    QStringList resultHeadings() const;
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }

    std::unique_ptr<FakePlatformServices> services_;
    std::unique_ptr<frmTaller> w_;
    std::unique_ptr<QSignalSpy> shown_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_WorkshopWindow::init()
{
    shown_.reset();
    w_.reset();
    services_ = std::make_unique<FakePlatformServices>();
    w_ = std::make_unique<frmTaller>(*services_);
    shown_ = std::make_unique<QSignalSpy>(w_.get(), &frmTaller::resultShown);
    w_->resize(w_->sizeHint());
    w_->show();
    w_->activateWindow();
    waitUntil([&] { return w_->isActiveWindow(); });
    dir_ = std::make_unique<QTemporaryDir>();
}

void tst_WorkshopWindow::cleanup()
{
    shown_.reset();
    w_.reset();
}

void tst_WorkshopWindow::typeLines(QWidget *box, const QStringList &lines)
{
    box->setFocus();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            pressKey(Qt::Key_Return);
        // Letters beyond ASCII as a keyboard layout that has them sends them: a key with its text.
        const QString &line = lines.at(i);
        for (qsizetype from = 0; from < line.size();) {
            qsizetype to = from;
            while (to < line.size() && line.at(to).unicode() < 0x80)
                ++to;
            if (to > from) {
                typeText(line.sliced(from, to - from));
                from = to;
            } else {
                QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, line.at(from),
                                    Qt::NoModifier);
                ++from;
            }
        }
    }
}

void tst_WorkshopWindow::waitUntil(const std::function<bool()> &done)
{
    while (!done())
        QTest::qWait(10);
}

void tst_WorkshopWindow::waitForResult(int count)
{
    waitUntil([&] { return shown_->count() >= count && !w_->isRunning(); });
}

QStringList tst_WorkshopWindow::resultColumn(int column) const
{
    QStringList texts;
    const QAbstractItemModel *model = w_->grdResultado->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, column).data().toString());
    return texts;
}

QStringList tst_WorkshopWindow::resultHeadings() const
{
    QStringList headings;
    const QAbstractItemModel *model = w_->grdResultado->model();
    for (int column = 0; column < model->columnCount(); ++column)
        headings.append(model->headerData(column, Qt::Horizontal).toString());
    return headings;
}

void tst_WorkshopWindow::layout_resizableWithEveryControlReachableByTab()
{
    QCOMPARE(w_->windowTitle(), QStringLiteral("Taller de cambios fonéticos[*]"));
    // Fits the main window's area on a 1366 x 768 screen, and can grow.
    QVERIFY(w_->sizeHint().width() <= 1300 && w_->sizeHint().height() <= 640);
    w_->resize(1300, 700);
    QCOMPARE(w_->size(), QSize(1300, 700));
    QCOMPARE(w_->splPaneles->count(), 3);
    QCOMPARE(w_->txtSemilla->text(), QStringLiteral("5489"));

    const QList<QWidget *> controls{
        w_->cmdAbrirReglas, w_->cmdGuardarReglas, w_->cmdAbrirPalabras, w_->cmdGuardarPalabras, w_->txtSemilla,
        w_->cmdAplicar,     w_->txtReglas,        w_->txtPalabras,      w_->grdResultado,       w_->grdInforme,
        w_->txtTraza,       w_->chkCambios,       w_->chkSilabas};
    w_->txtReglas->setFocus();
    QSet<QWidget *> reached;
    for (int i = 0; i < 30; ++i) {
        for (QWidget *control : controls) {
            if (hasFocus(control))
                reached.insert(control);
        }
        pressKey(Qt::Key_Tab);
    }
    for (QWidget *control : controls)
        QVERIFY2(reached.contains(control), qPrintable(control->objectName()));
    // Tab left the rule box without writing into it.
    QVERIFY(w_->txtReglas->text().isEmpty());
}

void tst_WorkshopWindow::layout_panesStayWhereTheUserPutThem()
{
    // At its narrowest the window still shows the whole seed.
    w_->resize(w_->minimumSizeHint());
    QApplication::processEvents();
    // With the caret after its last digit, the first one is still in view at the left.
    w_->txtSemilla->setFocus();
    pressKey(Qt::Key_End);
    QLineEdit *seed = w_->txtSemilla;
    QCOMPARE(seed->cursorPositionAt(QPoint(4, seed->height() / 2)), 0);
    QCOMPARE(seed->cursorPositionAt(QPoint(seed->width() - 4, seed->height() / 2)), 4);
    w_->resize(w_->sizeHint());

    typeLines(w_->txtReglas, {"a>e", "o>u", "x>y"});
    typeLines(w_->txtPalabras, {"pata", "kosa", "lupe"});
    waitForResult();
    // The result pane narrowed with its splitter's handle, by the mouse.
    QSplitterHandle *handle = w_->splPaneles->handle(2);
    const int narrower = w_->splPaneles->sizes().at(1) - w_->splPaneles->sizes().at(1) / 3;
    QTest::mousePress(handle, Qt::LeftButton, {}, handle->rect().center());
    QTest::mouseMove(handle, handle->rect().center() - QPoint(narrower, 0));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, handle->rect().center() - QPoint(narrower, 0));
    QApplication::processEvents();
    const QList<int> columns = w_->splPaneles->sizes();
    QVERIFY2(columns.at(1) < w_->grdResultado->horizontalHeader()->length(),
             "the table is not narrower than its columns");

    // Choosing a rule, and all the words again, leaves the columns as they were.
    const QAbstractItemModel *report = w_->grdInforme->model();
    QTest::mouseClick(w_->grdInforme->viewport(), Qt::LeftButton, {},
                      w_->grdInforme->visualRect(report->index(1, ReportModel::Rule)).center());
    QCOMPARE(resultColumn(ResultModel::Before), QStringList{"kosa"});
    QApplication::processEvents();
    QCOMPARE(w_->splPaneles->sizes(), columns);
    QTest::mouseClick(w_->cmdTodas, Qt::LeftButton);
    QApplication::processEvents();
    QCOMPARE(w_->splPaneles->sizes(), columns);

    // After a run the narrowed table still starts at "N.º" and "Antes".
    w_->grdResultado->setFocus();
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_F5);
    waitForResult(2);
    QApplication::processEvents();
    QCOMPARE(w_->grdResultado->horizontalScrollBar()->value(), 0);
    QCOMPARE(w_->splPaneles->sizes(), columns);

    // A long run shows its progress without moving the panes.
    QSemaphore started;
    QSemaphore release;
    const auto unblock = qScopeGuard([&] {
        release.release(100);
        shown_.reset();
        w_.reset();
    });
    w_->setRunHook([&] {
        started.release();
        release.acquire();
    });
    const QRect panes = w_->splPaneles->geometry();
    pressKey(Qt::Key_F5);
    started.acquire();
    waitUntil([&] { return w_->prgProgreso->isVisibleTo(w_.get()); });
    QApplication::processEvents();
    QCOMPARE(w_->splPaneles->geometry(), panes);
    release.release();
    waitForResult(3);
    QVERIFY(!w_->prgProgreso->isVisibleTo(w_.get()));
    QCOMPARE(w_->splPaneles->geometry(), panes);
}

void tst_WorkshopWindow::typing_showsWhatTheCommandLineGives()
{
    const QStringList rules{"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "P>B/V_V", "m>/_#", "x>y"};
    typeLines(w_->txtReglas, rules);
    typeLines(w_->txtPalabras, {"pataka", "lupum,apta", "amor"});
    QCOMPARE(shown_->count(), 0); // nothing runs while the typing goes on
    waitForResult();

    // The same words through the same engine as "vordane-cli transformar --palabras".
    const QString source = QStringLiteral("pataka\r\nlupum,apta\r\namor");
    TextLineSource lines(source);
    RandomSource random;
    StringSink expected(kMaxResultLength);
    QVERIFY(transformWordList(lines, RuleSet(rules), nullptr, expected, nullptr, &random).ok());
    QCOMPARE(resultColumn(ResultModel::After).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), expected.text());
    QCOMPARE(resultColumn(ResultModel::Before), (QStringList{"pataka", "lupum", "apta", "amor"}));
    // Changed words stand out.
    const QAbstractItemModel *model = w_->grdResultado->model();
    QVERIFY(model->index(0, ResultModel::After).data(Qt::BackgroundRole).isValid());
    QVERIFY(!model->index(2, ResultModel::After).data(Qt::BackgroundRole).isValid());
    QVERIFY(w_->lblEstado->text().startsWith(QStringLiteral("4 palabras, 2 cambiadas")));

    // Another edit, another run: the rules' result follows the text.
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("a>e/_#"));
    waitForResult(2);
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"padage", "lubu", "apte", "amor"}));
}

void tst_WorkshopWindow::words_blanksAroundACommaAreNotPartOfTheWord()
{
    typeLines(w_->txtReglas, {"@ampliada", "v>b/#_", "a>e/_#"});
    // A line without a comma is one item, blanks and all (in an extended
    // list its spaces separate words, each with its edges).
    typeLines(w_->txtPalabras, {"pata, vita ,  vasa", " vela "});
    waitForResult();
    QCOMPARE(resultColumn(ResultModel::Before), (QStringList{"pata", "vita", "vasa", " vela "}));
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"pate", "bite", "base", " bele "}));
}

void tst_WorkshopWindow::reportAndTrace_followTheChosenRuleAndWord()
{
    typeLines(w_->txtReglas,
              {"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "; entre vocales", "P>B/V_V", "m>/_#", "x>y"});
    typeLines(w_->txtPalabras, {"pataka", "lupum", "apta", "amor"});
    waitForResult();

    // One row per rule, named by its line; a rule that changed nothing stands out.
    const QAbstractItemModel *report = w_->grdInforme->model();
    QCOMPARE(report->rowCount(), 3);
    QCOMPARE(report->index(0, ReportModel::Line).data().toString(), QStringLiteral("6"));
    QCOMPARE(report->index(0, ReportModel::Rule).data().toString(), QStringLiteral("P>B/V_V"));
    QCOMPARE(report->index(0, ReportModel::Changed).data().toString(), QStringLiteral("2"));
    QCOMPARE(report->index(0, ReportModel::Examples).data().toString(),
             QStringLiteral("pataka → padaga; lupum → lubum"));
    QCOMPARE(report->index(2, ReportModel::Line).data().toString(), QStringLiteral("8"));
    QVERIFY(report->index(2, ReportModel::Rule).data(Qt::BackgroundRole).isValid());
    QVERIFY(!report->index(0, ReportModel::Rule).data(Qt::BackgroundRole).isValid());

    // A click on the rule of line 7 leaves the words it changed.
    const QRect cell = w_->grdInforme->visualRect(report->index(1, ReportModel::Rule));
    QTest::mouseClick(w_->grdInforme->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(resultColumn(ResultModel::Before), QStringList{"lupum"});
    QVERIFY(w_->lblResultado->text().contains(QStringLiteral("regla 7")));
    QVERIFY(w_->txtTraza->text().contains(QStringLiteral("7. m>/_#: lubu")));
    QTest::mouseClick(w_->cmdTodas, Qt::LeftButton);
    QCOMPARE(resultColumn(ResultModel::Before).size(), 4);

    // The trace is that of the word chosen in the result, by keys.
    w_->grdResultado->setFocus();
    w_->grdResultado->setCurrentIndex(w_->grdResultado->model()->index(0, ResultModel::After));
    QCOMPARE(w_->txtTraza->text(), QStringLiteral("Traza de «pataka»:\n  pataka\n  6. P>B/V_V: padaga\n"));
    pressKey(Qt::Key_Down);
    QCOMPARE(w_->txtTraza->text(),
             QStringLiteral("Traza de «lupum»:\n  lupum\n  6. P>B/V_V: lubum\n  7. m>/_#: lubu\n"));

    // After an edit the same word stays chosen, and its trace follows the new rules.
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("u>o/_#"));
    waitForResult(2);
    QVERIFY2(w_->txtTraza->text().endsWith(QStringLiteral("  9. u>o/_#: lubo\n")), qPrintable(w_->txtTraza->text()));
}

void tst_WorkshopWindow::malformedLine_underlinedWithItsMessage()
{
    typeLines(w_->txtReglas, {"@ampliada", "P=p,t,k", "B=b,d", "a>e"});
    typeLines(w_->txtPalabras, {"pata"});
    waitForResult();
    QCOMPARE(resultColumn(ResultModel::After), QStringList{"pete"});

    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("P>B"));
    const int line = 4;
    const int lineStart = int(w_->txtReglas->positionFromLineIndex(line, 0));
    waitUntil([&] { return w_->txtReglas->underlinedAt(lineStart + 1); });
    const QString message = QStringLiteral("Línea 5 («P>B»), posición 3: la categoría B tiene 2 miembros y su pareja "
                                           "del objetivo, P, tiene 3 miembros.");
    QCOMPARE(w_->txtReglas->errorOnLine(line), message);
    QCOMPARE(w_->lblError->text(), message); // for the keyboard too: the caret is on that line
    QVERIFY(!w_->txtReglas->underlinedAt(lineStart - 3)); // the line before is fine
    // No message box, and the result of the last correct list stays.
    QCOMPARE(services_->count(Kind::Warning), 0);
    QCOMPARE(shown_->count(), 1);
    QCOMPARE(resultColumn(ResultModel::After), QStringList{"pete"});

    // Mended, the mark goes and the list runs again.
    pressKey(Qt::Key_Backspace);
    typeText(QStringLiteral("b"));
    waitForResult(2);
    QCOMPARE(resultColumn(ResultModel::After), QStringList{"bebe"});
    QVERIFY(!w_->txtReglas->underlinedAt(lineStart + 1));
    QVERIFY(w_->lblError->text().isEmpty());
}

void tst_WorkshopWindow::undo_takesBackALineOrABurstOfTyping_data()
{
    QTest::addColumn<QString>("box");
    QTest::newRow("rules") << QStringLiteral("txtReglas");
    QTest::newRow("words") << QStringLiteral("txtPalabras");
}

void tst_WorkshopWindow::undo_takesBackALineOrABurstOfTyping()
{
    QFETCH(QString, box);
    QWidget *control = w_->findChild<QWidget *>(box);
    QVERIFY(control);
    const auto text = [&] { return control == w_->txtReglas ? w_->txtReglas->text() : w_->txtPalabras->text(); };
    typeLines(control, {"a>e", "o>u", "i>y"});
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(text(), QStringLiteral("a>e\r\no>u\r\n"));
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(text(), QStringLiteral("a>e\r\n"));

    // A pause in typing ends a step too.
    typeText(QStringLiteral("k>g"));
    const QTimer *pause = control->findChild<QTimer *>(QStringLiteral("undoPause"));
    QVERIFY(pause && pause->isActive());
    waitUntil([&] { return !pause->isActive(); });
    typeText(QStringLiteral("/_#"));
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(text(), QStringLiteral("a>e\r\nk>g"));
    pressKey(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(text(), QStringLiteral("a>e\r\nk>g/_#"));
}

void tst_WorkshopWindow::newerEdit_abandonsTheRunUnderWay()
{
    // The first run is held before its first word until the newer edit is made:
    // however fast or slow the machine, that run is still under way.
    QSemaphore started;
    QSemaphore release;
    std::atomic<int> runs{0};
    const auto unblock = qScopeGuard([&] {
        release.release(100);
        shown_.reset();
        w_.reset(); // waits for the worker before the semaphores go
    });
    w_->setRunHook([&] {
        if (runs.fetch_add(1) == 0) {
            started.release();
            release.acquire();
        }
    });
    QStringList rules{"@ampliada", "V=a,e,i,o,u", "C=p,t,k,b,d,g,m,n,s,l,r"};
    for (int i = 0; i < 20; ++i)
        rules += QStringList{"p>b/V_V", "e>ie/C_C", "b>v/V_V", "ie>e/_#", "v>p"};
    w_->txtReglas->setRules(rules);
    w_->txtPalabras->setText(QStringLiteral("pataka\r\nlupum\r\nperro\r\n").repeated(1000));
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_F5);
    QVERIFY(w_->isRunning());
    started.acquire();
    pressKey(Qt::Key_Home, Qt::ControlModifier);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    typeText(QStringLiteral("k>g"));
    pressKey(Qt::Key_Return);
    pressKey(Qt::Key_F5);
    QCOMPARE(w_->abandonedRuns(), 1);
    release.release();
    waitForResult();
    QCOMPARE(runs.load(), 2);
    QCOMPARE(shown_->count(), 1); // only the newer run's result was ever shown
    QCOMPARE(w_->result()->size(), 3000);
    QCOMPARE(w_->txtReglas->rules().at(3), QStringLiteral("k>g"));
    QCOMPARE(w_->result()->after(0), QStringLiteral("pataga"));
}

void tst_WorkshopWindow::numbers_groupedInSpanish_data()
{
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("three digits") << qint64(999) << QStringLiteral("999");
    QTest::newRow("four digits, as Spanish writes them") << qint64(5489) << QStringLiteral("5489");
    QTest::newRow("five digits") << qint64(38354) << QStringLiteral("38.354");
    QTest::newRow("six digits") << qint64(100000) << QStringLiteral("100.000");
    QTest::newRow("seven digits, every group") << qint64(1234567) << QStringLiteral("1.234.567");
    QTest::newRow("negative") << qint64(-12345) << QStringLiteral("-12.345");
}

void tst_WorkshopWindow::numbers_groupedInSpanish()
{
    QFETCH(qint64, number);
    QFETCH(QString, text);
    QCOMPARE(spanishNumber(number), text);
}

void tst_WorkshopWindow::numbers_spanishWhateverTheSystemLocale()
{
    // A system whose numbers read "12,345" and "0.25".
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
    w_->txtReglas->setRules({"a>e"});
    w_->txtPalabras->setText(QStringLiteral("a\r\n").repeated(12345) + QStringLiteral("o"));
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_F5);
    waitForResult();
    QVERIFY2(QRegularExpression(QStringLiteral("^12\\.346 palabras, 12\\.345 cambiadas \\(\\d+,\\d\\d s\\)\\.$"))
                 .match(w_->lblEstado->text())
                 .hasMatch(),
             qPrintable(w_->lblEstado->text()));
    QCOMPARE(w_->grdInforme->model()->index(0, ReportModel::Changed).data().toString(), QStringLiteral("12.345"));
    const QAbstractItemModel *words = w_->grdResultado->model();
    QCOMPARE(words->index(words->rowCount() - 1, ResultModel::Number).data().toString(), QStringLiteral("12.346"));
    QCOMPARE(words->index(999, ResultModel::Number).data().toString(), QStringLiteral("1000"));
    // The seed is shown as typed.
    QCOMPARE(w_->txtSemilla->text(), QStringLiteral("5489"));
}

void tst_WorkshopWindow::seed_decidesTheSporadicRules()
{
    typeLines(w_->txtReglas, {"@ampliada", "a>o ?50"});
    w_->txtPalabras->setText(QStringLiteral("aaaaaaaaaaaaaaaa\r\n").repeated(20));
    waitForResult();
    const QStringList withDefault = resultColumn(ResultModel::After);
    // The default seed is the command line's.
    const auto expected = runWorkshop({"@ampliada", "a>o ?50"}, w_->txtPalabras->text(), 5489);
    for (qsizetype i = 0; i < expected->size(); ++i)
        QCOMPARE(withDefault.at(i), expected->after(i));
    w_->txtSemilla->setFocus();
    w_->txtSemilla->selectAll();
    typeText(QStringLiteral("7"));
    waitForResult(2);
    QVERIFY(resultColumn(ResultModel::After) != withDefault);
    QCOMPARE(resultColumn(ResultModel::After).constFirst(),
             runWorkshop({"@ampliada", "a>o ?50"}, w_->txtPalabras->text(), 7)->after(0));
}

void tst_WorkshopWindow::files_openSaveAndResult()
{
    QVERIFY(writeBytes(file("r.sc"), "@ampliada\r\nP=p,t,k\r\nB=b,d,g\r\nP>B/a_a\r\n"));
    QVERIFY(writeBytes(file("w.lex"), "pata\r\nkapa\r\n"));
    services_->answerDialog(file("r.sc"));
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(services_->last(Kind::Open)->title, QStringLiteral("Abrir reglas"));
    QCOMPARE(w_->txtReglas->rules(), (QStringList{"@ampliada", "P=p,t,k", "B=b,d,g", "P>B/a_a"}));
    QCOMPARE(w_->windowTitle(), QStringLiteral("Taller de cambios fonéticos - r.sc[*]"));
    services_->answerDialog(file("w.lex"));
    pressKey(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    waitForResult();
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"pada", "kaba"}));

    // Edited, undone with Ctrl+Z, redone with Ctrl+Y, then saved with Ctrl+S in place.
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("d>z"));
    QVERIFY(w_->isWindowModified());
    pressKey(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(w_->txtReglas->rules().constLast() != QStringLiteral("d>z"));
    pressKey(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(w_->txtReglas->rules().constLast(), QStringLiteral("d>z"));
    const int saves = services_->count(Kind::Save);
    pressKey(Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(services_->count(Kind::Save), saves); // no dialog: the rules have a file
    QCOMPARE(readBytes(file("r.sc")), QByteArray("@ampliada\r\nP=p,t,k\r\nB=b,d,g\r\nP>B/a_a\r\nd>z\r\n"));
    QVERIFY(!w_->isWindowModified());

    // The result is saved as the transformer saves its own.
    pressKey(Qt::Key_F5);
    waitForResult(2);
    services_->answerDialog(file("out.lex"));
    QTest::mouseClick(w_->cmdGuardarResultado, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Save)->title, QStringLiteral("Guardar resultado"));
    QCOMPARE(readBytes(file("out.lex")), QByteArray("paza\r\nkaba\r\n\r\n"));

    // A file that cannot be read: a warning naming it, and the rules stay.
    services_->answerDialog(file("falta.sc"));
    pressKey(Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Abrir reglas"));
    QVERIFY(services_->last(Kind::Warning)->text.contains(QStringLiteral("falta.sc")));
    QCOMPARE(w_->txtReglas->rules().constLast(), QStringLiteral("d>z"));
}

void tst_WorkshopWindow::unsavedRules_askBeforeClosing()
{
    typeLines(w_->txtReglas, {"a>e"});
    // Cancel: the window stays, the rules too.
    services_->answerSave(SaveChoice::Cancel);
    QVERIFY(!w_->close());
    QCOMPARE(services_->count(Kind::AskToSave), 1);
    QVERIFY(w_->isVisible());
    // Save: the rules are written first (the dialog asks where), then the window closes.
    services_->answerSave(SaveChoice::Save);
    services_->answerDialog(file("nuevas.sc"));
    QVERIFY(w_->close());
    QCOMPARE(readBytes(file("nuevas.sc")), QByteArray("a>e\r\n"));

    // Nothing unsaved: nothing asked.
    init();
    QVERIFY(w_->close());
    QCOMPARE(services_->count(Kind::AskToSave), 0);
}

void tst_WorkshopWindow::unsavedWords_askBeforeClosingAndSaveWithTheirKey()
{
    // Words opened from a file are not unsaved work.
    QVERIFY(writeBytes(file("w.lex"), "pata\r\n"));
    services_->answerDialog(file("w.lex"));
    w_->txtPalabras->setFocus();
    pressKey(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(w_->txtPalabras->text(), QStringLiteral("pata"));
    QVERIFY(!w_->isWindowModified());

    // Typed, they are, and the question names them.
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("vita"));
    QVERIFY(w_->isWindowModified());
    services_->answerSave(SaveChoice::Cancel);
    QVERIFY(!w_->close());
    QCOMPARE(services_->count(Kind::AskToSave), 1);
    QVERIFY(services_->last(Kind::AskToSave)->text.startsWith(QStringLiteral("Las palabras del taller")));

    // Unsaved rules too: leaving the rules but cancelling for the words keeps both unsaved.
    typeLines(w_->txtReglas, {"a>e"});
    services_->answerSave(SaveChoice::Discard);
    services_->answerSave(SaveChoice::Cancel);
    QVERIFY(!w_->close());
    QCOMPARE(services_->count(Kind::AskToSave), 3);
    QVERIFY(w_->txtReglas->isModified());

    // Ctrl+Shift+G saves the words, one per line; then only the rules are asked about.
    w_->txtPalabras->setFocus();
    services_->answerDialog(file("nuevas.lex"));
    pressKey(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(services_->last(Kind::Save)->title, QStringLiteral("Guardar palabras"));
    QCOMPARE(readBytes(file("nuevas.lex")), QByteArray("pata\r\nvita\r\n"));
    services_->answerSave(SaveChoice::Discard);
    QVERIFY(w_->close());
    QCOMPARE(services_->count(Kind::AskToSave), 4);
    QVERIFY(services_->last(Kind::AskToSave)->text.startsWith(QStringLiteral("Las reglas del taller")));
}

void tst_WorkshopWindow::misplacedMarker_isALineFault()
{
    typeLines(w_->txtReglas, {"a>e"});
    typeLines(w_->txtPalabras, {"ala"});
    waitForResult();
    QCOMPARE(resultColumn(ResultModel::After), QStringList{"ele"});

    // The marker typed on the second line: underlined with its message, the last result kept.
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("@ampliada"));
    const int lineStart = int(w_->txtReglas->positionFromLineIndex(1, 0));
    waitUntil([&] { return w_->txtReglas->underlinedAt(lineStart + 1); });
    const QString message = QString::fromUtf8(
        "Línea 2 («@ampliada»), posición 1: la marca «@ampliada» tiene que ser la primera línea de la lista.");
    QCOMPARE(w_->txtReglas->errorOnLine(1), message);
    QCOMPARE(w_->lblError->text(), message);
    QCOMPARE(services_->count(Kind::Warning), 0);
    QCOMPARE(shown_->count(), 1);
    QCOMPARE(resultColumn(ResultModel::After), QStringList{"ele"});
}

void tst_WorkshopWindow::importSca2_putsTheListInTheEditorUnsaved()
{
    // A shared rule file, one of its lines beyond the notation.
    QVERIFY(writeBytes(file("latin.txt"), "V=aeiou\r\nS=ptc\r\nZ=bdg\r\n[sm]//_#\r\nS/Z/V_V\r\na#b/x/_\r\n"));
    services_->answerDialog(file("latin.txt"));
    w_->mnuImportarSca2->trigger();
    QCOMPARE(services_->last(Kind::Open)->title, QStringLiteral("Importar reglas de SCA²"));
    QCOMPARE(w_->txtReglas->rules().constFirst(), QStringLiteral("@ampliada"));
    QVERIFY(w_->txtReglas->rules().contains(QStringLiteral("S>Z/V_V {secuencial}")));
    // Unsaved, for the user to look at; the line left out is named.
    QVERIFY(w_->txtReglas->isModified());
    QCOMPARE(services_->count(Kind::Warning), 1);
    QVERIFY2(services_->last(Kind::Warning)->text.contains(QStringLiteral("Línea 6 («a#b/x/_»)")),
             qPrintable(services_->last(Kind::Warning)->text));
    typeLines(w_->txtPalabras, {"lupus", "opera"});
    waitUntil([&] { return resultColumn(ResultModel::After) == QStringList{"lubu", "obera"}; });
}

void tst_WorkshopWindow::lexicon_stagesMeaningsAndFilesAsTheCommandLineGives_data()
{
    QTest::addColumn<QByteArray>("rules");
    QTest::addColumn<QByteArray>("lexicon");
    QTest::addColumn<QString>("lexiconName");
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("headings");
    QTest::addColumn<QString>("firstMeaning");
    QTest::addColumn<QString>("merger"); // the first merger as its tooltip shows it, or empty

    const auto example = [](const char *name) {
        return readBytes(QStringLiteral(VORDANE_EXAMPLES_DIR "/") + QString::fromUtf8(name));
    };
    QTest::newRow("language file, the example's three stages")
        << example("latin-castellano-etapas.sc") << example("latin.lan") << "latin.lan"
        << "etapas.tsv"
        << QStringList{"N.º", "Significado", "Antes", "latín vulgar", "romance", "castellano antiguo", "Después"}
        << "lobo" << QString::fromUtf8("malo ← manzana (mālum), malo (malum)");
    QTest::newRow("dictionary, an unnamed first stage")
        << QByteArray("@ampliada\r\nV=a,e,i,o\r\nt>d/V_V\r\n@etapa tardía\r\nd>/V_V\r\n")
        << QByteArray("rueda = rota\r\n\r\nruta = roda\r\nvida = vita\r\n") << "r.dic"
        << "etapas.csv" << QStringList{"N.º", "Significado", "Antes", "(sin nombre)", "tardía", "Después"} << "rueda"
        << QString::fromUtf8("roa ← rueda (rota), ruta (roda)");
    QTest::newRow("word list, no stages")
        << QByteArray("p>b\r\n") << QByteArray("pala\r\nbala\r\nkapa,x\r\n") << "w.lex"
        << "etapas.tsv" << QStringList{"N.º", "Antes", "Después"} << QString()
        << QString::fromUtf8("bala ← pala, bala");
}

void tst_WorkshopWindow::lexicon_stagesMeaningsAndFilesAsTheCommandLineGives()
{
    QFETCH(QByteArray, rules);
    QFETCH(QByteArray, lexicon);
    QFETCH(QString, lexiconName);
    QFETCH(QString, table);
    QFETCH(QStringList, headings);
    QFETCH(QString, firstMeaning);
    QFETCH(QString, merger);
    const QString rulesFile = dir_->filePath(QStringLiteral("reglas.sc"));
    const QString lexiconFile = dir_->filePath(lexiconName);
    QVERIFY(writeBytes(rulesFile, rules));
    QVERIFY(writeBytes(lexiconFile, lexicon));

    // The lexicon by its keys, then the rules by theirs, with the typing in the rule box.
    w_->txtReglas->setFocus();
    services_->answerDialog(lexiconFile);
    pressKey(Qt::Key_O, Qt::ControlModifier | Qt::AltModifier);
    QCOMPARE(services_->last(Kind::Open)->title, QStringLiteral("Abrir léxico"));
    services_->answerDialog(rulesFile);
    pressKey(Qt::Key_O, Qt::ControlModifier);
    waitForResult();
    QCOMPARE(resultHeadings(), headings);
    QVERIFY(w_->lblPalabras->text().contains(lexiconName));
    const ResultModel *model = qobject_cast<const ResultModel *>(w_->grdResultado->model());
    QVERIFY(model);
    if (!firstMeaning.isEmpty())
        QCOMPARE(model->index(0, model->meaningColumn()).data().toString(), firstMeaning);

    // The command line on the same files.
    const QString cliOut = file("cli-salida");
    const QString cliTable = dir_->filePath(QStringLiteral("cli-") + table);
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QCOMPARE(runCli({"vordane-cli", "evolucionar", rulesFile, lexiconFile, cliOut, "--etapas", cliTable, "--informe"},
                    out, err),
             0);
    const QString report = QString::fromUtf8(err.data());

    // The mergers, counted on their tab.
    const qsizetype mergers = w_->result()->mergers().size();
    QCOMPARE(w_->tabInforme->tabText(1), QStringLiteral("&Fusiones (%1)").arg(mergers));
    QVERIFY2(report.contains(QStringLiteral("%1 %2").arg(mergers).arg(mergers == 1 ? "fusión" : "fusiones")),
             qPrintable(report));
    QCOMPARE(w_->grdFusiones->model()->rowCount(), int(mergers));
    QTest::mouseClick(w_->tabInforme->tabBar(), Qt::LeftButton, {}, w_->tabInforme->tabBar()->tabRect(1).center());
    QVERIFY(w_->grdFusiones->isVisible());
    QCOMPARE(w_->grdFusiones->model()->index(0, MergerModel::Form).data(Qt::ToolTipRole).toString(), merger);

    // The daughter lexicon and the stage table, byte for byte the command line's.
    w_->grdResultado->setFocus();
    services_->answerDialog(file("derivado"));
    pressKey(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(services_->last(Kind::Save)->title, QStringLiteral("Guardar léxico derivado"));
    QCOMPARE(readBytes(file("derivado")), readBytes(cliOut));
    services_->answerDialog(dir_->filePath(table));
    w_->mnuExportarEtapas->trigger();
    QCOMPARE(services_->last(Kind::Save)->title, QStringLiteral("Exportar etapas"));
    QCOMPARE(readBytes(dir_->filePath(table)), readBytes(cliTable));
    QCOMPARE(services_->count(Kind::Warning), 0);

    // The trace of the first word names each stage before its steps, as --trazar does.
    w_->grdResultado->setCurrentIndex(model->index(0, model->afterColumn()));
    const QString first = model->index(0, model->beforeColumn()).data().toString();
    err.buffer().clear();
    err.seek(0);
    QCOMPARE(runCli({"vordane-cli", "evolucionar", rulesFile, lexiconFile, cliOut, "--trazar", first}, out, err), 0);
    QVERIFY2(QString::fromUtf8(err.data()).startsWith(w_->txtTraza->text()), qPrintable(w_->txtTraza->text()));
    for (int column = model->beforeColumn() + 1; column < model->afterColumn(); ++column) {
        const QString stage = model->headerData(column, Qt::Horizontal).toString();
        QVERIFY2(w_->txtTraza->text().contains(QStringLiteral("  Etapa %1:\n").arg(stage)), qPrintable(stage));
    }
}

void tst_WorkshopWindow::lexicon_editedInItsBoxKeepsCodesAndMeanings()
{
    QVERIFY(writeBytes(file("l.lan"), "a1:agua:aqua\r\nb2:boca:bucca\r\n"));
    typeLines(w_->txtReglas, {"@ampliada", "qu>gu", "cc>c"});
    services_->answerDialog(file("l.lan"));
    w_->mnuAbrirLexico->trigger();
    QCOMPARE(w_->txtPalabras->text(), QStringLiteral("a1:agua:aqua\r\nb2:boca:bucca"));

    // A line typed at the end is an entry like the others; a line without
    // the shape of one is kept as it stands.
    w_->txtPalabras->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("c3:cosa:cossa"));
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("suelta"));
    waitForResult();
    waitUntil([&] { return !w_->isRunning() && w_->result()->size() == 4; });
    const ResultModel *model = qobject_cast<const ResultModel *>(w_->grdResultado->model());
    QCOMPARE(resultColumn(model->meaningColumn()), (QStringList{"agua", "boca", "cosa", ""}));
    QCOMPARE(resultColumn(model->afterColumn()), (QStringList{"agua", "buca", "cossa", "suelta"}));
    QVERIFY(w_->lblEstado->text().startsWith(QStringLiteral("4 entradas, 2 cambiadas")));

    // The derived lexicon keeps every code and meaning; the box's lines go back as they are.
    services_->answerDialog(file("hija.lan"));
    pressKey(Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier); // the typing is still in the words
    QCOMPARE(services_->last(Kind::Save)->title, QStringLiteral("Guardar léxico derivado"));
    QCOMPARE(services_->last(Kind::Save)->namedFile, file("l.lan"));
    QCOMPARE(readBytes(file("hija.lan")), QByteArray("a1:agua:agua\r\nb2:boca:buca\r\nc3:cosa:cossa\r\nsuelta\r\n"));
    services_->answerDialog(file("l.lan"));
    pressKey(Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(services_->last(Kind::Save)->proposedFile, file("l.lan"));
    QCOMPARE(readBytes(file("l.lan")), QByteArray("a1:agua:aqua\r\nb2:boca:bucca\r\nc3:cosa:cossa\r\nsuelta\r\n"));

    // A table must be .tsv or .csv: anything else is refused, nothing written.
    services_->answerDialog(file("etapas.txt"));
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_E, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Exportar etapas"));
    QVERIFY(services_->last(Kind::Warning)->text.contains(QStringLiteral("etapas.txt")));
    QVERIFY(!QFile::exists(file("etapas.txt")));

    // Emptied, the box holds words again: commas part them.
    w_->txtPalabras->setFocus();
    pressKey(Qt::Key_A, Qt::ControlModifier);
    pressKey(Qt::Key_Delete);
    typeText(QStringLiteral("aqua,bucca"));
    waitUntil([&] { return !w_->isRunning() && w_->result()->size() == 2; });
    QCOMPARE(resultHeadings(), (QStringList{"N.º", "Antes", "Después"}));
    QCOMPARE(w_->lblPalabras->text(), QStringLiteral("&Palabras:"));
}

void tst_WorkshopWindow::changesSinceLastRun_highlightedWithTheEarlierResult()
{
    typeLines(w_->txtReglas, {"@ampliada", "V=a,e,i,o,u", "p>b/V_V"});
    typeLines(w_->txtPalabras, {"pata", "lupa", "kapo", "tipi"});
    waitForResult();
    QTest::mouseClick(w_->chkCambios, Qt::LeftButton);
    QVERIFY(w_->chkCambios->isChecked());
    QVERIFY2(w_->lblEstado->text().endsWith(QStringLiteral("No hay una pasada anterior con que comparar.")),
             qPrintable(w_->lblEstado->text()));

    // An edit of the rules: the words it gave another result stand out,
    // the earlier result in their tooltip.
    const QAbstractItemModel *model = w_->grdResultado->model();
    const QVariant changedColour = model->index(1, ResultModel::After).data(Qt::BackgroundRole);
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("a>e/_#"));
    waitForResult(2);
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"pate", "lube", "kabo", "tibi"}));
    QVERIFY2(w_->lblEstado->text().endsWith(QStringLiteral("2 resultados distintos desde la pasada anterior.")),
             qPrintable(w_->lblEstado->text()));
    for (const int row : {0, 1}) {
        QVERIFY(model->index(row, ResultModel::After).data(Qt::BackgroundRole) != changedColour);
        QVERIFY(model->index(row, ResultModel::Number)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .endsWith(QStringLiteral("En la pasada anterior: %1").arg(row == 0 ? "pata" : "luba")));
    }
    QCOMPARE(model->index(2, ResultModel::After).data(Qt::BackgroundRole), changedColour);
    QVERIFY(!model->index(2, ResultModel::After).data(Qt::ToolTipRole).toString().contains(QStringLiteral("anterior")));

    // Words edited: each word is compared with itself in the run before, wherever it stands.
    w_->txtPalabras->setFocus();
    pressKey(Qt::Key_Home, Qt::ControlModifier);
    typeText(QStringLiteral("sapa"));
    pressKey(Qt::Key_Return);
    waitForResult(3);
    QCOMPARE(resultColumn(ResultModel::Before), (QStringList{"sapa", "pata", "lupa", "kapo", "tipi"}));
    QVERIFY2(w_->lblEstado->text().endsWith(QStringLiteral(
                 "0 resultados distintos desde la pasada anterior; 1 entrada nueva, que no estaba en ella.")),
             qPrintable(w_->lblEstado->text()));

    // Unticked, the mark and the count go.
    pressKey(Qt::Key_F5);
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Backspace);
    waitUntil([&] { return !w_->isRunning() && w_->result()->differentCount() > 0; });
    QVERIFY(model->index(1, ResultModel::After).data(Qt::BackgroundRole) != changedColour);
    QTest::mouseClick(w_->chkCambios, Qt::LeftButton);
    QVERIFY(!w_->chkCambios->isChecked());
    QCOMPARE(model->index(1, ResultModel::After).data(Qt::BackgroundRole), changedColour);
    QVERIFY(!w_->lblEstado->text().contains(QStringLiteral("anterior")));
}

void tst_WorkshopWindow::report_saysWhatARuleCouldNotDo()
{
    // No symbol is a voiceless m, and a word without a vowel has no syllables.
    typeLines(w_->txtReglas, {"@ampliada", "@rasgo sonora", "@rasgo nasal", "@símbolo m: +sonora +nasal",
                              "@símbolo p: -sonora",
                              "C=m,p", "V=a", "@sílabas (C)|V|(C)", "[+sonora]>[-sonora]/_.", "a>e/p_"});
    typeLines(w_->txtPalabras, {"am", "mp", "pa"});
    waitForResult();
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"am", "mp", "pe"}));
    const QAbstractItemModel *report = w_->grdInforme->model();
    const QString examples = report->index(0, ReportModel::Examples).data().toString();
    QCOMPARE(examples, QStringLiteral("Aviso: 1 segmento se deja sin cambiar (am: ningún símbolo declarado es «m» "
                                      "con -sonora); 1 palabra se deja sin cambiar: no se puede cortar en sílabas "
                                      "(mp)"));
    QVERIFY(report->index(0, ReportModel::Rule).data(Qt::ToolTipRole).toString().contains(examples.mid(7)));
    QCOMPARE(report->index(1, ReportModel::Examples).data().toString(), QStringLiteral("pa → pe"));
}

void tst_WorkshopWindow::syllables_markedAsTheCommandLineMarksThem()
{
    const QStringList rules{"@ampliada", "C=p,t,k,r,n,s", "V=a,e,i,o,u", "@sílabas (C)(C)|V|(C)(C)", "r>/C_"};
    typeLines(w_->txtReglas, rules);
    typeLines(w_->txtPalabras, {"pata", "patran", "parta"});
    waitForResult();
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"pata", "patan", "parta"}));

    // Ticked by the mouse: the words the rules made show their syllables at once.
    QTest::mouseClick(w_->chkSilabas, Qt::LeftButton);
    QVERIFY(w_->chkSilabas->isChecked());
    waitForResult(2);
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"pa.ta", "pa.tan", "par.ta"}));
    QCOMPARE(resultColumn(ResultModel::Before), (QStringList{"pata", "patran", "parta"}));
    // A word changed is one the rules changed, not one the marks did.
    QVERIFY2(w_->lblEstado->text().startsWith(QStringLiteral("3 palabras, 1 cambiada")),
             qPrintable(w_->lblEstado->text()));
    w_->grdResultado->setCurrentIndex(w_->grdResultado->model()->index(1, ResultModel::After));
    QCOMPARE(w_->txtTraza->text(), QStringLiteral("Traza de «patran»:\n  pa.tran\n  5. r>/C_: pa.tan\n"));

    // Saved: the result as "transformar --silabas" writes it; the derived
    // lexicon, read by rules again, as "evolucionar" writes it, unmarked.
    QVERIFY(writeBytes(file("r.sc"), rules.join(QStringLiteral("\r\n")).toUtf8()));
    QVERIFY(writeBytes(file("p.lex"), "pata\r\npatran\r\nparta"));
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    QCOMPARE(runCli({"vordane-cli", "transformar", file("r.sc"), "--palabras", file("p.lex"), "--salida",
                     file("cli.lex"), "--silabas"},
                    out, err),
             0);
    QCOMPARE(runCli({"vordane-cli", "evolucionar", file("r.sc"), file("p.lex"), file("cli-derivado.lex")}, out, err),
             0);
    services_->answerDialog(file("resultado.lex"));
    QTest::mouseClick(w_->cmdGuardarResultado, Qt::LeftButton);
    QCOMPARE(readBytes(file("resultado.lex")), readBytes(file("cli.lex")));
    QCOMPARE(readBytes(file("cli.lex")), QByteArray("pa.ta\r\npa.tan\r\npar.ta\r\n\r\n"));
    services_->answerDialog(file("derivado.lex"));
    w_->mnuGuardarLexico->trigger();
    QCOMPARE(readBytes(file("derivado.lex")), readBytes(file("cli-derivado.lex")));
    QCOMPARE(services_->count(Kind::Warning), 0);

    // Space takes the marks away again.
    w_->chkSilabas->setFocus();
    pressKey(Qt::Key_Space);
    QVERIFY(!w_->chkSilabas->isChecked());
    waitForResult(3);
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"pata", "patan", "parta"}));
    QCOMPARE(w_->txtTraza->text(), QStringLiteral("Traza de «patran»:\n  patran\n  5. r>/C_: patan\n"));
}

void tst_WorkshopWindow::traceTip_showsTheFeaturesOfTheSegmentThere_data()
{
    QTest::addColumn<bool>("syllables");
    QTest::addColumn<QString>("at"); // the hovered character is the first of its first occurrence in the trace
    QTest::addColumn<int>("offset"); // or so many after it
    QTest::addColumn<QString>("tip"); // empty: the trace box's own tip

    // The trace: "Traza de «tsapʰa»:", "  tsapʰa", "  13. [...]>[+sonora]/a_a: tsabʰa".
    QTest::newRow("symbol of two letters, in the heading")
        << false << QStringLiteral("sapʰa»") << 0 << QStringLiteral("«ts»: consonante dental -sonora -aspirada");
    QTest::newRow("diacritic, with its base")
        << false << QStringLiteral("pʰa\n") << 1 << QStringLiteral("«pʰ»: consonante labial -sonora +aspirada");
    QTest::newRow("segment a rule made") << false << QStringLiteral("bʰa") << 0
                                         << QStringLiteral("«bʰ»: consonante labial +sonora +aspirada");
    QTest::newRow("vowel") << false << QStringLiteral("abʰa") << 0 << QStringLiteral("«a»: vocal +sonora -aspirada");
    QTest::newRow("undeclared segment") << false << QStringLiteral("xa") << 0 << QString();
    QTest::newRow("the rule's text") << false << QStringLiteral("labial]") << 0 << QString();
    QTest::newRow("the trace's words") << false << QStringLiteral("Traza") << 1 << QString();
    QTest::newRow("syllables: a boundary") << true << QStringLiteral(".bʰa") << 0 << QString();
    QTest::newRow("syllables: after a boundary")
        << true << QStringLiteral(".bʰa") << 2 << QStringLiteral("«bʰ»: consonante labial +sonora +aspirada");
    QTest::newRow("syllables: first form")
        << true << QStringLiteral("tsa.pʰa\n") << 4 << QStringLiteral("«pʰ»: consonante labial -sonora +aspirada");
}

void tst_WorkshopWindow::traceTip_showsTheFeaturesOfTheSegmentThere()
{
    QFETCH(bool, syllables);
    QFETCH(QString, at);
    QFETCH(int, offset);
    QFETCH(QString, tip);
    // Symbols and diacritics outside the keyboard's reach: from files, by their keys.
    QVERIFY(writeBytes(file("r.sc"),
                       QStringLiteral("@ampliada\r\n"
                                      "@rasgo clase: consonante, vocal\r\n"
                                      "@rasgo lugar: labial, dental\r\n"
                                      "@rasgo sonora\r\n"
                                      "@rasgo aspirada\r\n"
                                      "@símbolo p: consonante labial\r\n"
                                      "@símbolo b: consonante labial +sonora\r\n"
                                      "@símbolo ts: consonante dental\r\n"
                                      "@símbolo a: vocal +sonora\r\n"
                                      "@diacrítico ʰ: +aspirada\r\n"
                                      "@sílabas ([consonante])|[vocal]|([consonante])\r\n"
                                      "; sonoras entre vocales\r\n"
                                      "[consonante,-sonora,labial]>[+sonora]/a_a\r\n")
                           .toUtf8()));
    QVERIFY(writeBytes(file("p.lex"), QStringLiteral("tsapʰa\r\nxa\r\n").toUtf8()));
    w_->txtReglas->setFocus();
    services_->answerDialog(file("r.sc"));
    pressKey(Qt::Key_O, Qt::ControlModifier);
    services_->answerDialog(file("p.lex"));
    pressKey(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    waitForResult();
    if (syllables) {
        QTest::mouseClick(w_->chkSilabas, Qt::LeftButton);
        waitForResult(2);
    }
    w_->grdResultado->setCurrentIndex(w_->grdResultado->model()->index(at == "xa" ? 1 : 0, ResultModel::After));

    // The mouse rests on that character of the trace.
    const QString trace = w_->txtTraza->text();
    const qsizetype index = trace.indexOf(at);
    QVERIFY2(index >= 0, qPrintable(trace));
    auto *view = w_->txtTraza->findChild<QsciScintilla *>();
    QVERIFY(view);
    const long byte = long(trace.left(index + offset).toUtf8().size());
    const QPoint point(int(view->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0UL, byte)) + 2,
                       int(view->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0UL, byte))
                           + int(view->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0UL)) / 2);
    QHelpEvent help(QEvent::ToolTip, point, view->viewport()->mapToGlobal(point));
    QApplication::sendEvent(view->viewport(), &help);
    QCOMPARE(QToolTip::text(), tip.isEmpty() ? w_->txtTraza->toolTip() : tip);
}

void tst_WorkshopWindow::ruleEditor_coloursAndUnderlinesFeaturesAndSyllables()
{
    typeLines(w_->txtReglas,
              {"@ampliada", "@rasgo lugar: labial, dental", "@rasgo sonora", "@símbolo p: labial",
               "@símbolo b: labial +sonora", "@sílabas (C)|V|(C)", "V=a,i", "C=p,b", "[-sonora,labial]>[+sonora]/V_V",
               "a>i/[$lugar]_.", "@símbolo d: x"});
    RuleEditor *editor = w_->txtReglas;
    editor->SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    // The style of the character `offset` on line `line`.
    const auto style = [&](int line, int offset) {
        return int(editor->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT,
                                         (unsigned long)editor->positionFromLineIndex(line, offset)));
    };
    const int directive = style(0, 0);
    for (const int line : {1, 2, 3, 4, 5})
        QCOMPARE(style(line, 3), directive);
    QCOMPARE(style(3, 12), directive); // "@símbolo p: labial", all of it
    // A matrix: its brackets as brackets, both signs as operators, the values as plain text.
    const int plain = style(9, 0); // "a" of "a>i"
    const int bracket = style(8, 0);
    const int sign = style(8, 1);
    QVERIFY(plain != directive && plain != bracket && plain != sign && bracket != sign);
    QCOMPARE(style(8, 2), plain); // "sonora"
    QCOMPARE(style(8, 8), plain); // ","
    QCOMPARE(style(8, 15), bracket); // "]"
    QCOMPARE(style(8, 18), sign); // "+"
    // "$lugar" and the syllable boundary "." as operators.
    QCOMPARE(style(9, 5), sign);
    QCOMPARE(style(9, 8), sign);
    QCOMPARE(style(9, 13), sign);

    // A faulty declaration: underlined, its message with line and position.
    const int last = 10;
    const int lineStart = int(editor->positionFromLineIndex(last, 0));
    waitUntil([&] { return editor->underlinedAt(lineStart + 1); });
    QVERIFY(!editor->underlinedAt(lineStart - 3));
    const QString message = editor->errorOnLine(last);
    QVERIFY2(message.startsWith(QStringLiteral("Línea 11 («@símbolo d: x»), posición ")), qPrintable(message));
    QCOMPARE(w_->lblError->text(), message); // the caret is on that line
}

QTEST_MAIN(tst_WorkshopWindow)
#include "tst_workshop_window.moc"
