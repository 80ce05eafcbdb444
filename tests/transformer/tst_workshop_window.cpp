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
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

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
    void typing_showsWhatTheCommandLineGives();
    void reportAndTrace_followTheChosenRuleAndWord();
    void malformedLine_underlinedWithItsMessage();
    void newerEdit_abandonsTheRunUnderWay();
    void seed_decidesTheSporadicRules();
    void files_openSaveAndResult();
    void unsavedRules_askBeforeClosing();
    void misplacedMarker_isALineFault();

private:
    // Types lines into a box as a person does: the text, then Enter, line after line.
    void typeLines(QWidget *box, const QStringList &lines);
    // Waits for the run the typing started.
    bool waitForResult(int count = 1);
    QStringList resultColumn(int column) const;
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
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
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
        typeText(lines.at(i));
    }
}

bool tst_WorkshopWindow::waitForResult(int count)
{
    return QTest::qWaitFor([&] { return shown_->count() >= count && !w_->isRunning(); }, 20000);
}

QStringList tst_WorkshopWindow::resultColumn(int column) const
{
    QStringList texts;
    const QAbstractItemModel *model = w_->grdResultado->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts.append(model->index(row, column).data().toString());
    return texts;
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

    const QList<QWidget *> controls{w_->cmdAbrirReglas, w_->cmdGuardarReglas, w_->cmdAbrirPalabras, w_->txtSemilla,
                                    w_->cmdAplicar,     w_->txtReglas,        w_->txtPalabras,      w_->grdResultado,
                                    w_->grdInforme,     w_->txtTraza};
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

void tst_WorkshopWindow::typing_showsWhatTheCommandLineGives()
{
    const QStringList rules{"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "P>B/V_V", "m>/_#", "x>y"};
    typeLines(w_->txtReglas, rules);
    typeLines(w_->txtPalabras, {"pataka", "lupum,apta", "amor"});
    QCOMPARE(shown_->count(), 0); // nothing runs while the typing goes on
    QVERIFY(waitForResult());

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
    QVERIFY(waitForResult(2));
    QCOMPARE(resultColumn(ResultModel::After), (QStringList{"padage", "lubu", "apte", "amor"}));
}

void tst_WorkshopWindow::reportAndTrace_followTheChosenRuleAndWord()
{
    typeLines(w_->txtReglas,
              {"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "; entre vocales", "P>B/V_V", "m>/_#", "x>y"});
    typeLines(w_->txtPalabras, {"pataka", "lupum", "apta", "amor"});
    QVERIFY(waitForResult());

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
    QVERIFY(waitForResult(2));
    QVERIFY2(w_->txtTraza->text().endsWith(QStringLiteral("  9. u>o/_#: lubo\n")), qPrintable(w_->txtTraza->text()));
}

void tst_WorkshopWindow::malformedLine_underlinedWithItsMessage()
{
    typeLines(w_->txtReglas, {"@ampliada", "P=p,t,k", "B=b,d", "a>e"});
    typeLines(w_->txtPalabras, {"pata"});
    QVERIFY(waitForResult());
    QCOMPARE(resultColumn(ResultModel::After), QStringList{"pete"});

    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("P>B"));
    const int line = 4;
    const int lineStart = int(w_->txtReglas->positionFromLineIndex(line, 0));
    QVERIFY(QTest::qWaitFor([&] { return w_->txtReglas->underlinedAt(lineStart + 1); }, 5000));
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
    QTRY_COMPARE_WITH_TIMEOUT(resultColumn(ResultModel::After), QStringList{"bebe"}, 10000);
    QVERIFY(!w_->txtReglas->underlinedAt(lineStart + 1));
    QVERIFY(w_->lblError->text().isEmpty());
}

void tst_WorkshopWindow::newerEdit_abandonsTheRunUnderWay()
{
    // Enough words for a run to take a while.
    QStringList rules{"@ampliada", "V=a,e,i,o,u", "C=p,t,k,b,d,g,m,n,s,l,r"};
    for (int i = 0; i < 20; ++i)
        rules += QStringList{"p>b/V_V", "e>ie/C_C", "b>v/V_V", "ie>e/_#", "v>p"};
    w_->txtReglas->setRules(rules);
    w_->txtPalabras->setText(QStringLiteral("pataka\r\nlupum\r\nperro\r\n").repeated(100'000));
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_F5);
    QVERIFY(w_->isRunning());
    // Typed before the run can end (no event is handled in between): the run is abandoned.
    pressKey(Qt::Key_Home, Qt::ControlModifier);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    pressKey(Qt::Key_Down);
    typeText(QStringLiteral("k>g"));
    pressKey(Qt::Key_Return);
    pressKey(Qt::Key_F5);
    QCOMPARE(w_->abandonedRuns(), 1);
    QVERIFY(waitForResult());
    QCOMPARE(shown_->count(), 1); // only the newer run's result was ever shown
    QCOMPARE(w_->result()->size(), 300'000);
    QCOMPARE(w_->txtReglas->rules().at(3), QStringLiteral("k>g"));
    QCOMPARE(w_->result()->after(0), QStringLiteral("pataga"));
}

void tst_WorkshopWindow::seed_decidesTheSporadicRules()
{
    typeLines(w_->txtReglas, {"@ampliada", "a>o ?50"});
    w_->txtPalabras->setText(QStringLiteral("aaaaaaaaaaaaaaaa\r\n").repeated(20));
    QVERIFY(waitForResult());
    const QStringList withDefault = resultColumn(ResultModel::After);
    // The default seed is the command line's.
    const auto expected = runWorkshop({"@ampliada", "a>o ?50"}, w_->txtPalabras->text(), 5489);
    for (qsizetype i = 0; i < expected->size(); ++i)
        QCOMPARE(withDefault.at(i), expected->after(i));
    w_->txtSemilla->setFocus();
    w_->txtSemilla->selectAll();
    typeText(QStringLiteral("7"));
    QVERIFY(waitForResult(2));
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
    QVERIFY(waitForResult());
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
    QVERIFY(waitForResult(2));
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

void tst_WorkshopWindow::misplacedMarker_isALineFault()
{
    typeLines(w_->txtReglas, {"a>e"});
    typeLines(w_->txtPalabras, {"ala"});
    QVERIFY(waitForResult());
    QCOMPARE(resultColumn(ResultModel::After), QStringList{"ele"});

    // The marker typed on the second line: underlined with its message, the last result kept.
    w_->txtReglas->setFocus();
    pressKey(Qt::Key_End, Qt::ControlModifier);
    pressKey(Qt::Key_Return);
    typeText(QStringLiteral("@ampliada"));
    const int lineStart = int(w_->txtReglas->positionFromLineIndex(1, 0));
    QVERIFY(QTest::qWaitFor([&] { return w_->txtReglas->underlinedAt(lineStart + 1); }, 5000));
    const QString message = QString::fromUtf8(
        "Línea 2 («@ampliada»), posición 1: la marca «@ampliada» tiene que ser la primera línea de la lista.");
    QCOMPARE(w_->txtReglas->errorOnLine(1), message);
    QCOMPARE(w_->lblError->text(), message);
    QCOMPARE(services_->count(Kind::Warning), 0);
    QCOMPARE(shown_->count(), 1);
    QCOMPARE(resultColumn(ResultModel::After), QStringList{"ele"});
}

QTEST_MAIN(tst_WorkshopWindow)
#include "tst_workshop_window.moc"
