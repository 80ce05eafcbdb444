#include "fakeplatformservices.h"
#include "keys.h"
#include "shell/appstyle.h"
#include "shell/controls.h"
#include "shell/multilinetextbox.h"
#include "testfiles.h"
#include "transformer/frmTransformar.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::FakePlatformServices;
using vordane::test::readBytes;
using vordane::test::writeBytes;
using Kind = FakePlatformServices::Kind;

class tst_TransformerWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyApplicationStyle(*qApp); }
    void init();

    void initialControlsAndTabOrder();
    void textBoxes_tabMovesTheFocus();
    void ruleButtons();
    void ruleButtons_secondPressActsOnNothing();
    void ruleButtons_byKeyboard();
    void ruleButtons_addedRuleIsShown();
    void ruleFiles_appendAndRoundTrip();
    void ruleFiles_failuresAndCancel();
    void ruleFiles_openIntoAListAsksReplaceOrAppend();
    void run_transformsWithRules();
    void run_dictionaryPairingAndFailures();
    void run_extendedNotationAndItsErrors();
    void wordFiles_openSaveClear();
    void wordFiles_failuresLeaveBoxes();

private:
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    // Keys go to the active window, as they do for a person.
    bool activate()
    {
        w_->activateWindow();
        return QTest::qWaitForWindowActive(w_.get());
    }
    void checkIdle()
    {
        QCOMPARE(w_->txtEstado->text(), QStringLiteral("Listo."));
        QCOMPARE(w_->cursor().shape(), Qt::ArrowCursor);
    }
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }

    std::unique_ptr<FakePlatformServices> services_;
    std::unique_ptr<frmTransformar> w_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_TransformerWindow::init()
{
    w_.reset();
    services_ = std::make_unique<FakePlatformServices>();
    w_ = std::make_unique<frmTransformar>(*services_);
    w_->show();
    dir_ = std::make_unique<QTemporaryDir>();
}

void tst_TransformerWindow::initialControlsAndTabOrder()
{
    QCOMPARE(w_->windowTitle(), QStringLiteral("Transformador de Palabras"));
    QCOMPARE(w_->txtEstado->text(), QStringLiteral("Listo."));
    QVERIFY(w_->txtEstado->isReadOnly());
    QVERIFY(!w_->chkAdosar->isChecked());
    QCOMPARE(w_->lstTrans->count(), 0);
    QVERIFY(!w_->lstTrans->isSortingEnabled());
    const QList<QAction *> entries = w_->mnuFile->actions();
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries.at(0)->text(), QStringLiteral("Abrir lista de palabras"));
    QCOMPARE(entries.at(1)->text(), QStringLiteral("Guardar archivo de texto"));
    QCOMPARE(entries.at(2)->text(), QString::fromUtf8("Abrir sílabas"));
    QCOMPARE(entries.at(3)->text(), QString::fromUtf8("Guardar sílabas"));
    QCOMPARE(w_->cmdTrans->text(), QStringLiteral("Transformar"));
    QCOMPARE(w_->lblTrans->text(), QStringLiteral("Transformaciones:"));
    QCOMPARE(w_->findChild<QWidget *>(QStringLiteral("clientArea"))->size(), QSize(792, 554));
    QCOMPARE(w_->cmdTrans->geometry(), QRect(616, 416, 169, 25));

    // Tab order: source, destination, rule list, buttons, ... "Examinar".
    const QStringList expected{"txtOrigen",   "txtDestino", "lstTrans",  "cmdPoner", "cmdQuitar",
                               "cmdEliminar", "txtTrans",   "cmdOpen",   "cmdSave",  "cmdClear",
                               "cmdTrans",    "txtEstado",  "chkAdosar", "txtDict",  "cmdExaminar"};
    QWidget *widget = w_->txtOrigen;
    for (const QString &name : expected) {
        QWidget *owner = widget;
        while (owner && owner->objectName() != name)
            owner = owner->parentWidget();
        QVERIFY2(owner, qPrintable(name));
        widget = widget->nextInFocusChain();
        while (widget->focusPolicy() == Qt::NoFocus || widget->focusProxy())
            widget = widget->nextInFocusChain();
        if (name == QLatin1String("txtOrigen") || name == QLatin1String("txtDestino")) {
            // the editor inside the box takes focus; step past it
            while (widget->parentWidget() && widget->parentWidget()->objectName() == name)
                widget = widget->nextInFocusChain();
        }
    }
}

void tst_TransformerWindow::textBoxes_tabMovesTheFocus()
{
    using namespace vordane::test;
    QVERIFY(activate());
    QTest::mouseClick(w_->txtOrigen, Qt::LeftButton);
    typeText(QStringLiteral("kasa"));
    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(w_->txtDestino));
    typeText(QStringLiteral("gasa"));
    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(w_->lstTrans));
    pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(hasFocus(w_->txtDestino));
    pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(hasFocus(w_->txtOrigen));
    QCOMPARE(w_->txtOrigen->text(), QStringLiteral("kasa"));
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("gasa"));
}

void tst_TransformerWindow::ruleButtons()
{
    click(w_->cmdPoner); // empty rule
    QTest::keyClicks(w_->txtTrans, QStringLiteral(" a > b "));
    click(w_->cmdPoner);
    QVERIFY(w_->txtTrans->text().isEmpty());
    w_->txtTrans->setText(QStringLiteral("#k>#g"));
    click(w_->cmdPoner);
    QCOMPARE(listTexts(w_->lstTrans), (QStringList{"", " a > b ", "#k>#g"}));

    click(w_->cmdQuitar); // no selection
    click(w_->cmdEliminar);
    QCOMPARE(w_->lstTrans->count(), 3);

    w_->txtTrans->setText(QStringLiteral("typed"));
    w_->lstTrans->setCurrentRow(1);
    click(w_->cmdQuitar);
    QCOMPARE(w_->txtTrans->text(), QStringLiteral(" a > b "));
    QCOMPARE(listTexts(w_->lstTrans), (QStringList{"", "#k>#g"}));
    w_->lstTrans->setCurrentRow(0);
    click(w_->cmdEliminar);
    QCOMPARE(listTexts(w_->lstTrans), QStringList{"#k>#g"});
}

void tst_TransformerWindow::ruleButtons_secondPressActsOnNothing()
{
    for (const char *rule : {"a>b", "c>d", "e>f", "g>h"})
        w_->lstTrans->addItem(QLatin1String(rule));
    QVERIFY(activate());

    // The user picks the second rule with the mouse and takes it back twice.
    const QRect second = w_->lstTrans->visualItemRect(w_->lstTrans->item(1));
    QTest::mouseClick(w_->lstTrans->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(w_->lstTrans->currentRow(), 1);
    click(w_->cmdQuitar);
    QCOMPARE(w_->txtTrans->text(), QStringLiteral("c>d"));
    QVERIFY(w_->lstTrans->selectedItems().isEmpty());
    click(w_->cmdQuitar);
    QCOMPARE(w_->txtTrans->text(), QStringLiteral("c>d"));
    QCOMPARE(listTexts(w_->lstTrans), (QStringList{"a>b", "e>f", "g>h"}));

    // The same with "X", also from the keyboard (Space on the focused button).
    QTest::mouseClick(w_->lstTrans->viewport(), Qt::LeftButton, {},
                      w_->lstTrans->visualItemRect(w_->lstTrans->item(0)).center());
    click(w_->cmdEliminar);
    QVERIFY(w_->lstTrans->selectedItems().isEmpty());
    w_->cmdEliminar->setFocus();
    QTest::keyClick(w_->cmdEliminar, Qt::Key_Space);
    click(w_->cmdEliminar);
    QCOMPARE(listTexts(w_->lstTrans), (QStringList{"e>f", "g>h"}));
}

void tst_TransformerWindow::ruleButtons_byKeyboard()
{
    using namespace vordane::test;
    QVERIFY(activate());
    QTest::mouseClick(w_->txtTrans, Qt::LeftButton);
    typeText(QStringLiteral("a>e"));
    for (int i = 0; i < 3; ++i)
        pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(hasFocus(w_->cmdPoner));
    pressKey(Qt::Key_Return);
    QCOMPARE(listTexts(w_->lstTrans), QStringList{"a>e"});
    QVERIFY(w_->txtTrans->text().isEmpty());
    pressKey(Qt::Key_Space);
    QCOMPARE(listTexts(w_->lstTrans), (QStringList{"a>e", ""}));
    QVERIFY(hasFocus(w_->cmdPoner));
}

void tst_TransformerWindow::ruleButtons_addedRuleIsShown()
{
    using namespace vordane::test;
    QVERIFY(activate());
    for (int i = 0; i < 40; ++i) {
        QTest::mouseClick(w_->txtTrans, Qt::LeftButton);
        typeText(QStringLiteral("a>%1").arg(i));
        click(w_->cmdPoner);
        QListWidgetItem *last = w_->lstTrans->item(w_->lstTrans->count() - 1);
        QCOMPARE(last->text(), QStringLiteral("a>%1").arg(i));
        QVERIFY2(w_->lstTrans->viewport()->rect().contains(w_->lstTrans->visualItemRect(last)), qPrintable(last->text()));
    }
}

void tst_TransformerWindow::ruleFiles_appendAndRoundTrip()
{
    w_->lstTrans->addItems({" a>b", "", "c>d "});
    QStringList seen;
    services_->duringDialog = [&] {
        seen.append(w_->txtEstado->text() + (w_->cursor().shape() == Qt::WaitCursor ? " busy" : " idle"));
    };
    services_->answerDialog(file("r.sc"));
    w_->mnuSSave->trigger();
    const auto *save = services_->last(Kind::Save);
    QCOMPARE(save->title, QString::fromUtf8("Guardar sílabas"));
    QCOMPARE(
        save->filter,
        QString::fromUtf8("Cambios de sonido (*.sc)|*.sc|Archivos de sílabas (*.lns)|*.lns|Todos los archivos|*.*"));
    QCOMPARE(readBytes(file("r.sc")), QByteArray(" a>b\r\n\r\nc>d \r\n"));
    checkIdle();

    services_->answerDialog(file("r.sc"));
    services_->answerReplace(ListChoice::Append);
    w_->mnuSOpen->trigger();
    QCOMPARE(services_->last(Kind::Open)->title, QString::fromUtf8("Abrir sílabas"));
    QCOMPARE(listTexts(w_->lstTrans), (QStringList{" a>b", "", "c>d ", " a>b", "", "c>d "}));
    checkIdle();
    QCOMPARE(seen, (QStringList{"Guardando. busy", "Abriendo. busy"}));
    services_->duringDialog = nullptr;

    w_->lstTrans->clear();
    services_->answerDialog(file("vacio.lns"));
    w_->mnuSSave->trigger();
    QVERIFY(QFile::exists(file("vacio.lns")));
    QCOMPARE(readBytes(file("vacio.lns")), QByteArray());
    services_->answerDialog(file("vacio.lns"));
    w_->mnuSOpen->trigger();
    QCOMPARE(w_->lstTrans->count(), 0);
}

void tst_TransformerWindow::ruleFiles_failuresAndCancel()
{
    w_->lstTrans->addItems({"a>b"});
    w_->mnuSOpen->trigger(); // cancelled
    w_->mnuSSave->trigger();
    QCOMPARE(services_->count(Kind::Warning), 0);
    checkIdle();

    services_->answerDialog(file("falta.sc"));
    w_->mnuSOpen->trigger();
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Abrir sílabas"));
    QVERIFY(services_->last(Kind::Warning)->text.contains(QDir::toNativeSeparators(file("falta.sc"))));
    QCOMPARE(listTexts(w_->lstTrans), QStringList{"a>b"});
    checkIdle();

    services_->answerDialog(file("no/dir/x.sc"));
    w_->mnuSSave->trigger();
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Guardar sílabas"));
    QVERIFY(!QFile::exists(file("no/dir/x.sc")));
    checkIdle();
}

void tst_TransformerWindow::ruleFiles_openIntoAListAsksReplaceOrAppend()
{
    QVERIFY(writeBytes(file("ext.sc"), "@ampliada\r\nV=a,e,o\r\nl>c/V_\r\n"));
    QTest::keyClicks(w_->txtTrans, QStringLiteral("a>e"));
    click(w_->cmdPoner);
    QTest::keyClicks(w_->txtOrigen, QStringLiteral("ala,lobo"));
    click(w_->cmdTrans);
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("ele\r\nlobo\r\n"));

    // Cancelled: the list as it was. The question names the file and the list's size.
    services_->answerDialog(file("ext.sc"));
    services_->answerReplace(ListChoice::Cancel);
    w_->mnuSOpen->trigger();
    QCOMPARE(services_->count(Kind::AskReplace), 1);
    QCOMPARE(services_->last(Kind::AskReplace)->title, QString::fromUtf8("Abrir sílabas"));
    const QString question =
        QString::fromUtf8("La lista ya tiene 1 línea. ¿Sustituirla por las reglas de «%1» o añadir estas al final?");
    QCOMPARE(services_->last(Kind::AskReplace)->text, question.arg(QDir::toNativeSeparators(file("ext.sc"))));
    QCOMPARE(listTexts(w_->lstTrans), QStringList{"a>e"});
    checkIdle();

    // Added at the end: the marker is now the second line, and the list is refused, naming it.
    services_->answerDialog(file("ext.sc"));
    services_->answerReplace(ListChoice::Append);
    w_->mnuSOpen->trigger();
    QCOMPARE(listTexts(w_->lstTrans), (QStringList{"a>e", "@ampliada", "V=a,e,o", "l>c/V_"}));
    click(w_->cmdTrans);
    QCOMPARE(services_->count(Kind::Warning), 1);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Transformación"));
    const QString warning = services_->last(Kind::Warning)->text;
    QVERIFY2(warning.contains(QString::fromUtf8("Línea 2 («@ampliada»), posición 1: la marca «@ampliada» tiene que "
                                                "ser la primera línea de la lista.")),
             qPrintable(warning));
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("ele\r\nlobo\r\n"));
    checkIdle();

    // Replaced: the extended list alone, and it runs.
    services_->answerDialog(file("ext.sc"));
    services_->answerReplace(ListChoice::Replace);
    w_->mnuSOpen->trigger();
    QCOMPARE(listTexts(w_->lstTrans), (QStringList{"@ampliada", "V=a,e,o", "l>c/V_"}));
    click(w_->cmdTrans);
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("aca\r\nlobo\r\n"));

    // An empty list just receives the file.
    w_->lstTrans->clear();
    services_->answerDialog(file("ext.sc"));
    w_->mnuSOpen->trigger();
    QCOMPARE(services_->count(Kind::AskReplace), 3);
    QCOMPARE(w_->lstTrans->count(), 3);
    QCOMPARE(services_->count(Kind::Warning), 1);
}

void tst_TransformerWindow::run_transformsWithRules()
{
    w_->txtOrigen->setText(QStringLiteral("kasa,koko,"));
    w_->lstTrans->addItems({"#k>#g", "ab", "o#>u#"});
    click(w_->cmdTrans);
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("gasa\r\ngoku\r\n"));
    QCOMPARE(w_->lstTrans->count(), 3);
    checkIdle();

    // Only the first 100 rules take part.
    w_->lstTrans->clear();
    for (int i = 0; i < 100; ++i)
        w_->lstTrans->addItem(QStringLiteral("x%1>x%2").arg(i).arg(i + 1));
    w_->lstTrans->addItem(QStringLiteral("x100>fin"));
    w_->txtOrigen->setText(QStringLiteral("x0"));
    click(w_->cmdTrans);
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("x100\r\n"));
}

void tst_TransformerWindow::run_dictionaryPairingAndFailures()
{
    QVERIFY(writeBytes(file("d.txt"), "uno\r\ndos"));
    w_->txtOrigen->setText(QStringLiteral("a,b,c"));
    w_->lstTrans->addItem(QStringLiteral("a>x"));
    w_->chkAdosar->setChecked(true);
    w_->txtDict->setText(file("d.txt"));
    click(w_->cmdTrans);
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("uno = x\r\ndos = b\r\n"));

    // A dictionary that cannot be opened ends the run before the first word.
    for (const QString &path : {file("falta.txt"), QString()}) {
        w_->txtDestino->setText(QStringLiteral("previo"));
        w_->txtDict->setText(path);
        click(w_->cmdTrans);
        QVERIFY(w_->txtDestino->text().isEmpty());
        checkIdle();
    }
    QCOMPARE(services_->count(Kind::Warning), 0);
}

void tst_TransformerWindow::run_extendedNotationAndItsErrors()
{
    // Typed as a person does: each rule into the box, then "<<".
    for (const char *rule : {"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "P>B/V_V", "e>i/_# ?50"}) {
        QTest::keyClicks(w_->txtTrans, QString::fromUtf8(rule));
        click(w_->cmdPoner);
    }
    QTest::keyClicks(w_->txtOrigen, QStringLiteral("pataka,lupe,apta"));
    click(w_->cmdTrans);
    const QString first = w_->txtDestino->text();
    QVERIFY2(first.startsWith(QStringLiteral("padaga\r\nlub")), qPrintable(first));
    // Every run starts from the default seed: the sporadic rule falls the same way.
    click(w_->cmdTrans);
    QCOMPARE(w_->txtDestino->text(), first);
    QCOMPARE(services_->count(Kind::Warning), 0);

    // A malformed line refuses the run: a warning naming the line, the result box as it was.
    QTest::keyClicks(w_->txtTrans, QStringLiteral("P>V"));
    click(w_->cmdPoner);
    click(w_->cmdTrans);
    QCOMPARE(services_->count(Kind::Warning), 1);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Transformación"));
    QVERIFY2(services_->last(Kind::Warning)->text.contains(QStringLiteral("Línea 7 («P>V»), posición 3")),
             qPrintable(services_->last(Kind::Warning)->text));
    QCOMPARE(w_->txtDestino->text(), first);
    checkIdle();
}

void tst_TransformerWindow::wordFiles_openSaveClear()
{
    QVERIFY(writeBytes(file("w.lex"), "casa\r\n\r\nagua = ulmi"));
    services_->answerDialog(file("w.lex"));
    click(w_->cmdOpen);
    QCOMPARE(services_->last(Kind::Open)->title, QStringLiteral("Abrir archivo"));
    QCOMPARE(w_->txtOrigen->text(), QStringLiteral("casa,,agua = ulmi,"));
    checkIdle();

    click(w_->cmdTrans);
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("casa\r\n\r\nagua = ulmi\r\n"));
    services_->answerDialog(file("out.txt"));
    w_->mnuSave->trigger();
    QCOMPARE(services_->last(Kind::Save)->title, QStringLiteral("Guardar archivo"));
    QCOMPARE(readBytes(file("out.txt")), QByteArray("casa\r\n\r\nagua = ulmi\r\n\r\n"));

    // Opening the saved result adds one more, empty, word.
    services_->answerDialog(file("out.txt"));
    w_->mnuOpen->trigger();
    QCOMPARE(w_->txtOrigen->text(), QStringLiteral("casa,,agua = ulmi,,"));

    click(w_->cmdClear);
    QVERIFY(w_->txtOrigen->text().isEmpty());
    QCOMPARE(w_->txtDestino->text(), QStringLiteral("casa\r\n\r\nagua = ulmi\r\n"));

    w_->txtDestino->setText(QString());
    services_->answerDialog(file("empty.txt"));
    click(w_->cmdSave);
    QCOMPARE(readBytes(file("empty.txt")), QByteArray("\r\n"));

    services_->answerDialog(file("d.dic"));
    click(w_->cmdExaminar);
    QCOMPARE(w_->txtDict->text(), file("d.dic"));
    click(w_->cmdExaminar);
    QVERIFY(w_->txtDict->text().isEmpty());
}

void tst_TransformerWindow::wordFiles_failuresLeaveBoxes()
{
    w_->txtOrigen->setText(QStringLiteral("kept"));
    w_->txtDestino->setText(QStringLiteral("result"));
    click(w_->cmdOpen); // cancelled
    click(w_->cmdSave);
    QCOMPARE(w_->txtOrigen->text(), QStringLiteral("kept"));
    QCOMPARE(services_->count(Kind::Warning), 0);

    services_->answerDialog(dir_->path());
    click(w_->cmdOpen);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Abrir archivo"));
    QCOMPARE(w_->txtOrigen->text(), QStringLiteral("kept"));
    checkIdle();

    QVERIFY(writeBytes(file("old.txt"), "old"));
    services_->answerDialog(file("nodir/old.txt"));
    click(w_->cmdSave);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Guardar archivo"));
    QCOMPARE(readBytes(file("old.txt")), QByteArray("old"));
    checkIdle();
}

QTEST_MAIN(tst_TransformerWindow)
#include "tst_transformer_window.moc"
