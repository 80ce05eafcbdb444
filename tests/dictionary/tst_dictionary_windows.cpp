#include "common/randomsource.h"
#include "dictionary/frmCombinar.h"
#include "dictionary/frmCrear.h"
#include "dictionary/frmExportar.h"
#include "fakeplatformservices.h"
#include "shell/appstyle.h"
#include "testfiles.h"

#include <QCheckBox>
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

class tst_DictionaryWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyApplicationStyle(*qApp); }
    void init();

    void combinar_initialRows();
    void combinar_rowChains();
    void combinar_enterSharesTheRest();
    void combinar_runAndFailures();

    void crear_operations();
    void exportar_runAndOptions();

private:
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    void check(frmCombinar &w, int row) { QTest::mouseClick(w.Utilizo[std::size_t(row)], Qt::LeftButton); }
    void enter(frmCombinar &w, int row) { QTest::keyClick(w.cmdPorcenta[std::size_t(row)], Qt::Key_Return); }
    QStringList percentages(const frmCombinar &w)
    {
        QStringList texts;
        for (QLineEdit *box : w.cmdPorcenta)
            texts.append(box->text());
        return texts;
    }

    std::unique_ptr<FakePlatformServices> services_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_DictionaryWindows::init()
{
    services_ = std::make_unique<FakePlatformServices>();
    dir_ = std::make_unique<QTemporaryDir>();
    programRandom().reset();
}

void tst_DictionaryWindows::combinar_initialRows()
{
    frmCombinar w(*services_);
    QCOMPARE(w.windowTitle(), QStringLiteral("Combinador de diccionarios"));
    QCOMPARE(w.ultimaFila, 1);
    QVERIFY(w.Utilizo[0]->isChecked() && w.Utilizo[0]->isEnabled());
    QVERIFY(!w.Utilizo[1]->isChecked() && w.Utilizo[1]->isEnabled());
    for (int i = 2; i < 10; ++i)
        QVERIFY(!w.Utilizo[std::size_t(i)]->isEnabled());
    QCOMPARE(w.cmdPorcenta[0]->text(), QStringLiteral("100"));
    QVERIFY(w.txtNombre[0]->isEnabled() && !w.txtNombre[1]->isEnabled());
    QVERIFY(w.findChild<QCheckBox *>(QStringLiteral("Utilizo(9)")));
    QCOMPARE(w.findChild<QLineEdit *>(QStringLiteral("cmdPorcenta(3)"))->geometry().top(), (480 + 360 * 3) / 15);
    QCOMPARE(w.txtCombinar->text(), QStringLiteral("Combinar"));
    QCOMPARE(w.txtExaDes->text(), QStringLiteral("Examinar..."));

    services_->answerDialog(file("a.lex"));
    QTest::mouseClick(w.cmdExaminar[0], Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Open)->title, QString::fromUtf8("Selección de diccionario de origen"));
    QVERIFY(services_->last(Kind::Open)->filter.startsWith(QStringLiteral("Archivos de vocabularios (*.lex)")));
    QCOMPARE(w.txtNombre[0]->text(), file("a.lex"));
    QTest::mouseClick(w.txtExaDes, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Save)->title, QString::fromUtf8("Selección de diccionario de destino"));
    QVERIFY(services_->last(Kind::Save)->filter.startsWith(QStringLiteral("Vocabularios (*.lex)")));
    QVERIFY(w.txtDestino->text().isEmpty());
}

void tst_DictionaryWindows::combinar_rowChains()
{
    frmCombinar w(*services_);
    for (int row = 1; row <= 4; ++row)
        check(w, row);
    QCOMPARE(w.ultimaFila, 4);
    QCOMPARE(w.cmdPorcenta[3]->text(), QStringLiteral("0"));
    QVERIFY(w.Utilizo[5]->isEnabled() && !w.Utilizo[5]->isChecked());
    QVERIFY(!w.Utilizo[6]->isEnabled());

    w.txtNombre[2]->setText(QStringLiteral("dos.lex"));
    check(w, 1); // out of use: rows 1 to 4 follow
    QVERIFY(!w.Utilizo[1]->isChecked());
    QVERIFY(w.Utilizo[1]->isEnabled());
    for (int i = 2; i < 10; ++i) {
        QVERIFY(!w.Utilizo[std::size_t(i)]->isChecked());
        QVERIFY(!w.Utilizo[std::size_t(i)]->isEnabled());
        QVERIFY(!w.txtNombre[std::size_t(i)]->isEnabled());
    }
    QCOMPARE(percentages(w), (QStringList{"100", "", "", "", "", "", "", "", "", ""}));
    QCOMPARE(w.txtNombre[2]->text(), QStringLiteral("dos.lex"));
    QCOMPARE(w.ultimaFila, 0);

    check(w, 0);
    QCOMPARE(w.ultimaFila, -1);
    QVERIFY(!w.cmdPorcenta[0]->isEnabled());
    QVERIFY(w.cmdPorcenta[0]->text().isEmpty());
    QVERIFY(!w.Utilizo[1]->isEnabled());
}

void tst_DictionaryWindows::combinar_enterSharesTheRest()
{
    frmCombinar w(*services_);
    // Right after opening: Enter in row 0 at 60 writes 40 into the disabled row 1.
    w.cmdPorcenta[0]->setText(QStringLiteral("60"));
    enter(w, 0);
    QCOMPARE(w.cmdPorcenta[1]->text(), QStringLiteral("40"));
    QVERIFY(!w.cmdPorcenta[1]->isEnabled());
    check(w, 1);
    QCOMPARE(w.cmdPorcenta[1]->text(), QStringLiteral("0"));

    check(w, 2);
    check(w, 3);
    w.cmdPorcenta[0]->setText(QStringLiteral("40"));
    w.cmdPorcenta[1]->setText(QStringLiteral("20"));
    enter(w, 1);
    QCOMPARE(percentages(w).mid(0, 5), (QStringList{"40", "20", "20", "20", ""}));

    w.cmdPorcenta[0]->setText(QStringLiteral("110"));
    enter(w, 0);
    QCOMPARE(percentages(w).mid(0, 4), (QStringList{"110", "-4", "-4", "-4"}));

    w.cmdPorcenta[0]->setText(QStringLiteral("50"));
    enter(w, 0);
    QCOMPARE(percentages(w).mid(0, 4), (QStringList{"50", "16", "16", "16"}));

    // Enter in the last row in use, and other keys, change nothing.
    const QStringList before = percentages(w);
    enter(w, 3);
    QTest::keyClick(w.cmdPorcenta[0], Qt::Key_Tab);
    QCOMPARE(percentages(w), before);
    // Keys other than Enter reach the box.
    w.cmdPorcenta[2]->clear();
    QTest::keyClicks(w.cmdPorcenta[2], QStringLiteral("7.5"));
    QCOMPARE(w.cmdPorcenta[2]->text(), QStringLiteral("7.5"));
}

void tst_DictionaryWindows::combinar_runAndFailures()
{
    QVERIFY(writeBytes(file("a.lex"), "a1\r\na2\r\na3\r\n"));
    QVERIFY(writeBytes(file("b.lex"), "b1\r\nb2\r\nb3\r\n"));
    frmCombinar w(*services_);
    check(w, 1);
    w.txtNombre[0]->setText(file("a.lex"));
    w.txtNombre[1]->setText(file("b.lex"));
    w.cmdPorcenta[0]->setText(QStringLiteral("50"));
    enter(w, 0);
    QCOMPARE(w.cmdPorcenta[1]->text(), QStringLiteral("50"));
    w.txtDestino->setText(file("o.lex"));
    programRandom().seed(3);
    QTest::mouseClick(w.txtCombinar, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Information)->title, QString::fromUtf8("Combinación"));
    QCOMPARE(services_->last(Kind::Information)->text, QString::fromUtf8("Combinación finalizada"));

    RandomSource reference;
    reference.seed(3);
    QByteArray expected;
    for (int i = 1; i <= 3; ++i)
        expected += (std::floor(reference.nextUnit() * 100) + 1 <= 50 ? "a" : "b") + QByteArray::number(i) + "\r\n";
    QCOMPARE(readBytes(file("o.lex")), expected);

    QVERIFY(writeBytes(file("b.lex"), "b1\r\n"));
    QTest::mouseClick(w.txtCombinar, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Combinación"));
    QVERIFY(services_->last(Kind::Warning)->text.contains(QDir::toNativeSeparators(file("b.lex"))));
    QCOMPARE(readBytes(file("o.lex")), expected);
}

void tst_DictionaryWindows::crear_operations()
{
    frmCrear w(*services_);
    QCOMPARE(w.txtSep->text(), QStringLiteral("="));
    QCOMPARE(w.lblEtiqueta[1]->objectName(), QStringLiteral("lblEtiqueta(1)"));
    services_->answerDialog(file("l.txt"));
    services_->answerDialog(file("o.txt"));
    QTest::mouseClick(w.cmdOrigex, Qt::LeftButton);
    QTest::mouseClick(w.cmdDestex, Qt::LeftButton);
    QCOMPARE(services_->calls.at(0).title, QStringLiteral("Abrir archivo de origen"));
    QCOMPARE(services_->calls.at(1).title, QStringLiteral("Seleccionar archivo de destino"));
    QCOMPARE(w.txtArch[1]->text(), file("o.txt"));

    QVERIFY(writeBytes(file("l.txt"), "1\r\n2\r\n3\r\n4\r\ncasa = house\r\n"));
    QTest::mouseClick(w.cmdSeparar, Qt::LeftButton);
    QCOMPARE(readBytes(file("o.txt")), QByteArray("house\r\ncasa = house\r\ncasa = house\r\n"));
    QCOMPARE(services_->last(Kind::Information)->text, QString::fromUtf8("Separación finalizada."));
    QCOMPARE(services_->last(Kind::Information)->title, QString::fromUtf8("Separación"));

    QVERIFY(writeBytes(file("l.txt"), "\xe1rbol\r\n"));
    QTest::mouseClick(w.cmdMayus, Qt::LeftButton);
    QCOMPARE(readBytes(file("o.txt")), QByteArray("\xc1RBOL\r\n"));
    QCOMPARE(services_->last(Kind::Information)->text, QString::fromUtf8("Pasaje a mayúsculas finalizado."));
    QCOMPARE(services_->last(Kind::Information)->title, QStringLiteral("Pasaje"));
    QTest::mouseClick(w.cmdMinus, Qt::LeftButton);
    QCOMPARE(readBytes(file("o.txt")), QByteArray("\xe1rbol\r\n"));
    QCOMPARE(services_->last(Kind::Information)->text, QString::fromUtf8("Pasaje a minúsculas finalizado."));

    w.txtSep->clear();
    QTest::mouseClick(w.cmdSeparar, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Separación"));
    QCOMPARE(readBytes(file("o.txt")), QByteArray("\xe1rbol\r\n"));
    w.txtArch[0]->setText(file("none.txt"));
    QTest::mouseClick(w.cmdMayus, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Pasaje"));
    QCOMPARE(services_->count(Kind::Warning), 2);
}

void tst_DictionaryWindows::exportar_runAndOptions()
{
    frmExportar w(*services_);
    QCOMPARE(w.windowTitle(), QStringLiteral("Exportador de diccionarios"));
    QVERIFY(w.findChild<QGroupBox *>(QString::fromUtf8("fraTraducción")));
    QVERIFY(w.optForma1[0]->isChecked() && w.optForma2[0]->isChecked());
    QCOMPARE(w.optForma2[2]->text(), QStringLiteral("No modificar"));
    QVERIFY(!w.chkOmitir->isChecked());

    services_->answerDialog(file("o.txt"));
    services_->answerDialog(file("t.txt"));
    services_->answerDialog(file("d.dic"));
    QTest::mouseClick(w.cmdExaminar1, Qt::LeftButton);
    QTest::mouseClick(w.cmdExaminar2, Qt::LeftButton);
    QTest::mouseClick(w.cmdExaminar3, Qt::LeftButton);
    for (const auto &call : services_->calls)
        QVERIFY(call.title.isEmpty()); // the platform's own titles
    QCOMPARE(services_->calls.at(2).kind, Kind::Save);

    QVERIFY(writeBytes(file("o.txt"), "agua\r\nfuego\r\n"));
    QVERIFY(writeBytes(file("t.txt"), "ulmi\r\ntarno\r\n"));
    QTest::mouseClick(w.cmdExportar, Qt::LeftButton);
    QCOMPARE(readBytes(file("d.dic")), QByteArray("AGUA = ULMI\r\nFUEGO = TARNO\r\n"));
    QCOMPARE(services_->last(Kind::Information)->text, QString::fromUtf8("Exportación finalizada"));
    QCOMPARE(services_->last(Kind::Information)->title, QString::fromUtf8("Exportación"));

    w.optForma1[2]->setChecked(true);
    w.optForma2[1]->setChecked(true);
    QVERIFY(w.optForma2[1]->isChecked() && !w.optForma2[0]->isChecked() && w.optForma1[2]->isChecked());
    QVERIFY(writeBytes(file("o.txt"), "Agua\r\nAgua\r\n"));
    QVERIFY(writeBytes(file("t.txt"), "ULMI\r\nX\r\n"));
    w.chkOmitir->setChecked(true);
    QTest::mouseClick(w.cmdExportar, Qt::LeftButton);
    QCOMPARE(readBytes(file("d.dic")), QByteArray("Agua = ulmi\r\n"));

    QVERIFY(writeBytes(file("t.txt"), "uno\r\n"));
    QTest::mouseClick(w.cmdExportar, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Exportación"));
    QCOMPARE(readBytes(file("d.dic")), QByteArray("Agua = ulmi\r\n"));
}

QTEST_MAIN(tst_DictionaryWindows)
#include "tst_dictionary_windows.moc"
