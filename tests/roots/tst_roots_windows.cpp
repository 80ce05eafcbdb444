#include "fakeplatformservices.h"
#include "roots/frmLanSep.h"
#include "roots/frmRaiGen.h"
#include "roots/frmRaices.h"
#include "shell/appstyle.h"
#include "testfiles.h"

#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::FakePlatformServices;
using vordane::test::readBytes;
using vordane::test::writeBytes;
using Kind = FakePlatformServices::Kind;

class tst_RootsWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyApplicationStyle(*qApp); }
    void init();

    void raices_initialStateAndEnabling();
    void raices_nameBoxCreatesTheFile();
    void raices_lookUps();
    void raices_saveFromTheWordBoxLooksUpFirst();
    void raices_failuresWarnAndChangeNothing();
    void raices_pastedLineBreakForgesNoRoot();

    void raigen_runAndMessages();
    void raigen_failures();

    void lansep_runWithOptions();
    void lansep_failures();
    void lansep_sameFileForBothListsIsRefused();

private:
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    void focusOut(QWidget *from, QWidget *to)
    {
        from->setFocus();
        QTRY_VERIFY(from->hasFocus());
        to->setFocus();
        QTRY_VERIFY(to->hasFocus());
    }
    frmRaices *showRaices()
    {
        raices_ = std::make_unique<frmRaices>(*services_);
        raices_->show();
        QApplicationPrivateActivate(raices_.get());
        return raices_.get();
    }
    static void QApplicationPrivateActivate(QWidget *w)
    {
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

    std::unique_ptr<FakePlatformServices> services_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<frmRaices> raices_;
};

void tst_RootsWindows::init()
{
    raices_.reset();
    services_ = std::make_unique<FakePlatformServices>();
    dir_ = std::make_unique<QTemporaryDir>();
}

void tst_RootsWindows::raices_initialStateAndEnabling()
{
    frmRaices *w = showRaices();
    QCOMPARE(w->windowTitle(), QString::fromUtf8("Creador de raíces"));
    QCOMPARE(w->cmbNiv->currentText(), QStringLiteral("1"));
    QCOMPARE(w->cmbNiv->count(), 20);
    QCOMPARE(w->cmbNiv->itemText(19), QStringLiteral("20"));
    QCOMPARE(w->cmdVal->text(), QStringLiteral("Valor:"));
    QCOMPARE(w->lblCod->text(), QString::fromUtf8("Código:"));
    QVERIFY(!w->txtCod->isEnabled());
    QVERIFY(!w->txtPal->isEnabled());
    QVERIFY(!w->txtVal->isEnabled());

    QTest::keyClicks(w->txtArc, QStringLiteral("   "));
    QVERIFY(!w->txtCod->isEnabled()); // blanks alone are no name
    QTest::keyClicks(w->txtArc, QStringLiteral("x"));
    QVERIFY(w->txtCod->isEnabled() && w->txtPal->isEnabled() && w->txtVal->isEnabled());
    w->txtArc->clear();
    QVERIFY(w->txtCod->isEnabled()); // nothing disables them again

    services_->answerDialog(file("r.rad"));
    QTest::mouseClick(w->cmdExa, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Save)->title, QString::fromUtf8("Raíces"));
    QCOMPARE(services_->last(Kind::Save)->filter,
             QString::fromUtf8("Archivos de raíces (*.rad)|*.rad|Todos los archivos|*.*"));
    QCOMPARE(w->txtArc->text(), file("r.rad"));
    QTest::mouseClick(w->cmdExa, Qt::LeftButton);
    QVERIFY(w->txtArc->text().isEmpty());
}

void tst_RootsWindows::raices_nameBoxCreatesTheFile()
{
    frmRaices *w = showRaices();
    w->txtArc->setText(file("nuevo.rad"));
    focusOut(w->txtArc, w->cmdExa);
    QVERIFY(QFile::exists(file("nuevo.rad")));
    QCOMPARE(readBytes(file("nuevo.rad")), QByteArray());
    QVERIFY(writeBytes(file("nuevo.rad"), "a:b:c:1\r\n"));
    focusOut(w->txtArc, w->cmdExa);
    QCOMPARE(readBytes(file("nuevo.rad")), QByteArray("a:b:c:1\r\n"));
    QCOMPARE(services_->count(Kind::Warning), 0);
}

void tst_RootsWindows::raices_lookUps()
{
    QVERIFY(writeBytes(file("r.rad"), "ag1:agua:*:1\r\nag2:lago:#ag1+in:2\r\n"));
    frmRaices *w = showRaices();
    w->txtArc->setText(file("r.rad"));

    // By code, with Enter: every box of the root.
    w->txtCod->setText(QStringLiteral("AG2"));
    QTest::keyClick(w->txtCod, Qt::Key_Return);
    QCOMPARE(w->txtPal->text(), QStringLiteral("lago"));
    QCOMPARE(w->txtVal->text(), QStringLiteral("#ag1+in"));
    QCOMPARE(w->cmbNiv->currentText(), QStringLiteral("2"));

    // An unknown code empties word and value and keeps the level.
    w->txtCod->setText(QStringLiteral("zz"));
    focusOut(w->txtCod, w->txtVal);
    QVERIFY(w->txtPal->text().isEmpty());
    QVERIFY(w->txtVal->text().isEmpty());
    QCOMPARE(w->cmbNiv->currentText(), QStringLiteral("2"));

    // Full look-up by word with Enter sets the level too.
    w->txtPal->setText(QStringLiteral("Agua"));
    QTest::keyClick(w->txtPal, Qt::Key_Enter);
    QCOMPARE(w->txtCod->text(), QStringLiteral("ag1"));
    QCOMPARE(w->txtVal->text(), QStringLiteral("*"));
    QCOMPARE(w->cmbNiv->currentText(), QStringLiteral("1"));
    w->txtPal->setText(QStringLiteral("nada"));
    QTest::keyClick(w->txtPal, Qt::Key_Return);
    QVERIFY(w->txtCod->text().isEmpty());
    QVERIFY(w->txtVal->text().isEmpty());

    // The short look-up on leaving the box never sets the level, and a miss changes nothing.
    w->cmbNiv->setEditText(QStringLiteral("7"));
    w->txtPal->setText(QStringLiteral("lago"));
    focusOut(w->txtPal, w->txtVal);
    QCOMPARE(w->txtCod->text(), QStringLiteral("ag2"));
    QCOMPARE(w->txtVal->text(), QStringLiteral("#ag1+in"));
    QCOMPARE(w->cmbNiv->currentText(), QStringLiteral("7"));
    w->txtPal->setText(QStringLiteral("nada"));
    focusOut(w->txtPal, w->txtVal);
    QCOMPARE(w->txtCod->text(), QStringLiteral("ag2"));

    // Other keys do nothing.
    w->txtCod->setText(QStringLiteral("ag1"));
    QTest::keyClick(w->txtCod, Qt::Key_Tab);
    QCOMPARE(services_->count(Kind::Warning), 0);
}

void tst_RootsWindows::raices_saveFromTheWordBoxLooksUpFirst()
{
    QVERIFY(writeBytes(file("r.rad"), ""));
    frmRaices *w = showRaices();
    w->txtArc->setText(file("r.rad"));
    w->txtCod->setText(QStringLiteral("Ag1"));
    w->txtPal->setText(QStringLiteral("Agua"));
    w->txtVal->setText(QStringLiteral("*"));
    QTest::mouseClick(w->cmdGuardar, Qt::LeftButton);
    QCOMPARE(readBytes(file("r.rad")), QByteArray("ag1:agua:*:1\r\n"));
    QVERIFY(w->txtCod->text().isEmpty() && w->txtPal->text().isEmpty() && w->txtVal->text().isEmpty());
    QCOMPARE(w->cmbNiv->currentText(), QStringLiteral("1"));

    // Typing a known word and clicking "Guardar" from the word box: the short
    // look-up fills code and value first, so the root is saved in place.
    w->cmbNiv->setEditText(QStringLiteral("3"));
    w->txtPal->setFocus();
    QTRY_VERIFY(w->txtPal->hasFocus());
    QTest::keyClicks(w->txtPal, QStringLiteral("agua"));
    QTest::mouseClick(w->cmdGuardar, Qt::LeftButton);
    QCOMPARE(readBytes(file("r.rad")), QByteArray("ag1:agua:*:3\r\n"));
    QCOMPARE(readBytes(file("r.rad.tmp")), QByteArray("ag1:agua:*:1\r\n"));

    w->txtCod->setText(QStringLiteral("b"));
    w->txtPal->setText(QStringLiteral("B"));
    QTest::mouseClick(w->cmdLim, Qt::LeftButton);
    QVERIFY(w->txtCod->text().isEmpty() && w->txtPal->text().isEmpty());
    QCOMPARE(w->cmbNiv->currentText(), QStringLiteral("3"));
}

void tst_RootsWindows::raices_failuresWarnAndChangeNothing()
{
    frmRaices *w = showRaices();
    w->txtArc->setText(QStringLiteral("x"));
    w->txtArc->setText(QStringLiteral("  "));
    w->txtCod->setText(QStringLiteral("a"));
    QTest::mouseClick(w->cmdGuardar, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Creador de raíces"));
    QCOMPARE(w->txtCod->text(), QStringLiteral("a"));
    QTest::keyClick(w->txtCod, Qt::Key_Return);
    QCOMPARE(services_->count(Kind::Warning), 2);

    // A message box taking the focus from the window is no focus move: no second look-up.
    QFocusEvent windowLeft(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(w->txtCod, &windowLeft);
    QCOMPARE(services_->count(Kind::Warning), 2);

    w->txtArc->setText(file("missing.rad"));
    QTest::mouseClick(w->cmdGuardar, Qt::LeftButton);
    QVERIFY(services_->last(Kind::Warning)->text.contains(QDir::toNativeSeparators(file("missing.rad"))));
    QVERIFY(!QFile::exists(file("missing.rad")));
    QCOMPARE(w->txtCod->text(), QStringLiteral("a"));
}

void tst_RootsWindows::raices_pastedLineBreakForgesNoRoot()
{
    frmRaices *w = showRaices();
    const QString rad = file("r.rad");
    QVERIFY(writeBytes(rad, "x1:a:*:1\r\n"));
    QTest::keyClicks(w->txtArc, rad);
    QTest::keyClicks(w->txtCod, QStringLiteral("x2"));
    // A text of two lines pasted into the word box.
    QGuiApplication::clipboard()->setText(QStringLiteral("fuego\r\nzz9:falso"));
    w->txtPal->setFocus();
    QTest::keyClick(w->txtPal, Qt::Key_V, Qt::ControlModifier);
    QVERIFY(w->txtPal->text().contains(u'\n'));
    QTest::keyClicks(w->txtVal, QStringLiteral("*"));
    QTest::mouseClick(w->cmdGuardar, Qt::LeftButton);
    const auto *warning = services_->last(Kind::Warning);
    QVERIFY(warning);
    QCOMPARE(warning->title, QString::fromUtf8("Creador de raíces"));
    QVERIFY2(warning->text.contains(QStringLiteral("«Palabra»")), qPrintable(warning->text));
    QCOMPARE(readBytes(rad), QByteArray("x1:a:*:1\r\n"));
    QCOMPARE(w->txtCod->text(), QStringLiteral("x2")); // the boxes keep the root for correction
}

void tst_RootsWindows::raigen_runAndMessages()
{
    QVERIFY(writeBytes(file("r.rad"), "ag1:agua:*:1\r\nfu1:fuego:*:1\r\nag2:lago:#ag1+in:2\r\nag3:rio:$agua+*:3\r\n"));
    QVERIFY(writeBytes(file("w.lex"), "sul\r\npra\r\ndek\r\n"));
    frmRaiGen w(*services_);
    QCOMPARE(w.windowTitle(), QStringLiteral("Generador de palabras"));
    QCOMPARE(w.cmbOrd->currentText(), QStringLiteral("AM"));
    QCOMPARE(w.cmbOrd->count(), 2);
    QCOMPARE(w.lblOrd->text(), QStringLiteral("Orden de los elementos:"));

    services_->answerDialog(file("w.lex"));
    services_->answerDialog(file("r.rad"));
    services_->answerDialog(file("o.lan"));
    QTest::mouseClick(w.cmdExa, Qt::LeftButton);
    QTest::mouseClick(w.cmdExa2, Qt::LeftButton);
    QTest::mouseClick(w.cmdExa3, Qt::LeftButton);
    QCOMPARE(services_->calls.at(0).title, QStringLiteral("Lista de Palabras"));
    QCOMPARE(services_->calls.at(1).title, QString::fromUtf8("Raíces"));
    QCOMPARE(services_->calls.at(2).kind, Kind::Save);
    QCOMPARE(services_->calls.at(2).filter, QStringLiteral("Archivos de lenguas (*.lan)|*.lan|Todos los archivos|*.*"));
    QCOMPARE(w.txtOut->text(), file("o.lan"));

    w.cmbOrd->setEditText(QStringLiteral("MA"));
    QTest::mouseClick(w.cmdGen, Qt::LeftButton);
    QCOMPARE(readBytes(file("o.lan")),
             QByteArray("ag1:agua:sul\r\nfu1:fuego:pra\r\nag2:lago:insul\r\nag3:rio:deksul\r\n"));
    const auto *done = services_->last(Kind::Information);
    QVERIFY(done);
    QCOMPARE(done->title, QString::fromUtf8("Generación"));
    QCOMPARE(done->text, QString::fromUtf8("Generación finalizada."));
}

void tst_RootsWindows::raigen_failures()
{
    QVERIFY(writeBytes(file("r.rad"), "a:a:*:1\r\nb:b:*:1\r\n"));
    QVERIFY(writeBytes(file("w.lex"), "uno\r\n"));
    QVERIFY(writeBytes(file("o.lan"), "old\r\n"));
    frmRaiGen w(*services_);
    w.txtPal->setText(file("w.lex"));
    w.txtRad->setText(file("falta.rad"));
    w.txtOut->setText(file("o.lan"));
    QTest::mouseClick(w.cmdGen, Qt::LeftButton);
    QVERIFY(services_->last(Kind::Warning)->text.contains(QDir::toNativeSeparators(file("falta.rad"))));
    QCOMPARE(readBytes(file("o.lan")), QByteArray("old\r\n"));
    QCOMPARE(services_->count(Kind::Information), 0);

    w.txtRad->setText(file("r.rad"));
    QTest::mouseClick(w.cmdGen, Qt::LeftButton);
    const auto *warning = services_->last(Kind::Warning);
    QVERIFY(warning->text.contains(QStringLiteral("«b»")));
    QVERIFY(warning->text.contains(QDir::toNativeSeparators(file("w.lex"))));
    // A run that fails changes no file: the previous language stays.
    QCOMPARE(readBytes(file("o.lan")), QByteArray("old\r\n"));
    QCOMPARE(services_->count(Kind::Information), 0);
}

void tst_RootsWindows::lansep_runWithOptions()
{
    QVERIFY(writeBytes(file("l.lan"), "ag1:agua:sul \r\nnada\r\n"));
    frmLanSep w(*services_);
    QCOMPARE(w.windowTitle(), QStringLiteral("Separador de Lenguas"));
    QVERIFY(w.optMay->isChecked() && w.optMay2->isChecked());
    QCOMPARE(w.fraPOr->title(), QStringLiteral("Palabras de origen"));
    QCOMPARE(w.optNoc2->text(), QStringLiteral("No cambiar"));

    services_->answerDialog(file("l.lan"));
    services_->answerDialog(file("p.lex"));
    services_->answerDialog(file("d.dic"));
    QTest::mouseClick(w.cmdExa, Qt::LeftButton);
    QTest::mouseClick(w.cmdExa2, Qt::LeftButton);
    QTest::mouseClick(w.cmdExa3, Qt::LeftButton);
    QCOMPARE(services_->calls.at(0).title, QStringLiteral("Archivo de Origen"));
    QCOMPARE(services_->calls.at(1).title, QStringLiteral("Archivo de Palabras de Origen"));
    QCOMPARE(services_->calls.at(2).title, QStringLiteral("Archivo de Diccionario"));

    QTest::mouseClick(w.cmdSep, Qt::LeftButton);
    QCOMPARE(readBytes(file("p.lex")), QByteArray("AGUA\r\n\r\n"));
    QCOMPARE(readBytes(file("d.dic")), QByteArray("SUL \r\n\r\n"));
    QCOMPARE(services_->last(Kind::Information)->title, QString::fromUtf8("Separación"));
    QCOMPARE(services_->last(Kind::Information)->text, QString::fromUtf8("Separación finalizada."));

    w.optNoc->setChecked(true);
    QVERIFY(!w.optMay->isChecked());
    QVERIFY(w.optMay2->isChecked()); // the groups are separate
    w.optMin2->setChecked(true);
    QTest::mouseClick(w.cmdSep, Qt::LeftButton);
    QCOMPARE(readBytes(file("p.lex")), QByteArray("agua\r\n\r\n"));
    QCOMPARE(readBytes(file("d.dic")), QByteArray("sul \r\n\r\n"));
}

void tst_RootsWindows::lansep_failures()
{
    frmLanSep w(*services_);
    QVERIFY(writeBytes(file("p.lex"), "kept"));
    w.txtOri->setText(file("none.lan"));
    w.txtPOr->setText(file("p.lex"));
    w.txtDic->setText(file("d.dic"));
    QTest::mouseClick(w.cmdSep, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Separación"));
    QCOMPARE(readBytes(file("p.lex")), QByteArray("kept"));
    QVERIFY(!QFile::exists(file("d.dic")));
    QCOMPARE(services_->count(Kind::Information), 0);
}

void tst_RootsWindows::lansep_sameFileForBothListsIsRefused()
{
    QVERIFY(writeBytes(file("l.lan"), "a:b:c\r\n"));
    QVERIFY(writeBytes(file("same.lex"), "kept"));
    frmLanSep w(*services_);
    w.show();
    QTest::keyClicks(w.txtOri, file("l.lan"));
    QTest::keyClicks(w.txtPOr, file("same.lex"));
    QTest::keyClicks(w.txtDic, dir_->path() + QStringLiteral("/./same.lex"));
    QTest::mouseClick(w.cmdSep, Qt::LeftButton);
    const auto *warning = services_->last(Kind::Warning);
    QVERIFY(warning);
    QCOMPARE(warning->title, QString::fromUtf8("Separación"));
    QVERIFY(warning->text.contains(QStringLiteral("mismo archivo")));
    QCOMPARE(services_->count(Kind::Information), 0);
    QCOMPARE(readBytes(file("same.lex")), QByteArray("kept"));
}

QTEST_MAIN(tst_RootsWindows)
#include "tst_roots_windows.moc"
