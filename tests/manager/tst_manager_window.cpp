#include "fakeplatformservices.h"
#include "manager/frmAdministrar.h"
#include "shell/appstyle.h"
#include "testfiles.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace vordane;
using vordane::test::FakePlatformServices;
using vordane::test::writeBytes;
using Kind = FakePlatformServices::Kind;

class tst_ManagerWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyApplicationStyle(*qApp); }
    void init();
    void cleanup() { w_.reset(); }

    void initialControls();
    void listsFollowDirectoryAndPattern();
    void typedPatternAppliesNothing();
    void selectRenameAndDelete();
    void failuresChangeNothing();

private:
    QStringList listedFiles();
    // The file list's model, as the list shows it.
    QFileSystemModel *fileModel() const { return qobject_cast<QFileSystemModel *>(w_->A->model()); }
    void choosePattern(const QString &pattern);
    void clickFile(const QString &name);

    std::unique_ptr<FakePlatformServices> services_;
    std::unique_ptr<frmAdministrar> w_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_ManagerWindow::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    for (const char *name : {"a.lex", "b.lex", "c.dct", "notas.txt", "sinextension"})
        QVERIFY(writeBytes(dir_->filePath(QLatin1String(name)), "x"));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("sub")));
    services_ = std::make_unique<FakePlatformServices>();
    w_ = std::make_unique<frmAdministrar>(*services_);
    w_->show();
    w_->setCurrentDirectory(dir_->path());
}

QStringList tst_ManagerWindow::listedFiles()
{
    QFileSystemModel *model = fileModel();
    const QModelIndex root = w_->A->rootIndex();
    QStringList names;
    for (int row = 0; row < model->rowCount(root); ++row)
        names.append(model->fileName(model->index(row, 0, root)));
    names.sort();
    return names;
}

void tst_ManagerWindow::choosePattern(const QString &pattern)
{
    const int index = w_->E->findText(pattern);
    QVERIFY(index >= 0);
    w_->E->setCurrentIndex(index);
    emit w_->E->activated(index);
}

void tst_ManagerWindow::clickFile(const QString &name)
{
    QFileSystemModel *model = fileModel();
    QModelIndex found;
    QTRY_VERIFY((found = model->index(QDir(dir_->path()).filePath(name))).isValid()
                && !w_->A->visualRect(found).isEmpty());
    QTest::mouseClick(w_->A->viewport(), Qt::LeftButton, {}, w_->A->visualRect(found).center());
}

void tst_ManagerWindow::initialControls()
{
    QCOMPARE(w_->windowTitle(), QStringLiteral("Administrador de lenguajes"));
    QCOMPARE(w_->E->count(), 9);
    QCOMPARE(w_->E->itemText(0), QStringLiteral("*.*"));
    QCOMPARE(w_->E->itemText(8), QStringLiteral("*.sc"));
    QCOMPARE(w_->E->currentText(), QStringLiteral("*.*"));
    QVERIFY(w_->E->isEditable());
    QVERIFY(w_->T->isReadOnly());
    QCOMPARE(w_->cR->text(), QStringLiteral("Renombrar"));
    QCOMPARE(w_->cE->text(), QStringLiteral("Eliminar"));
    QVERIFY(w_->U->count() >= 1);
    QVERIFY(frmAdministrar::availableDrives().contains(QDir::toNativeSeparators(QDir::rootPath())));
    // Without the toolkit's folder the window starts in the home folder.
    QCOMPARE(frmAdministrar::startDirectory(), QDir::homePath());
    QCOMPARE(w_->findChild<QWidget *>(QStringLiteral("clientArea"))->size(), QSize(517, 240));
}

void tst_ManagerWindow::listsFollowDirectoryAndPattern()
{
    QCOMPARE(fileModel()->filePath(w_->A->rootIndex()), QDir::cleanPath(dir_->path()));
    QTRY_COMPARE(listedFiles(), (QStringList{"a.lex", "b.lex", "c.dct", "notas.txt", "sinextension"}));

    // Typing a pattern applies nothing; choosing an item does.
    w_->E->setEditText(QStringLiteral("*.txt"));
    QTRY_COMPARE(listedFiles().size(), 5);
    choosePattern(QStringLiteral("*.lex"));
    QTRY_COMPARE(listedFiles(), (QStringList{"a.lex", "b.lex"}));

    QVERIFY(writeBytes(dir_->filePath(QStringLiteral("sub/d.lex")), "x"));
    w_->setCurrentDirectory(dir_->filePath(QStringLiteral("sub")));
    QTRY_COMPARE(listedFiles(), QStringList{"d.lex"});
    QVERIFY(w_->R->currentIndex().isValid());
}

void tst_ManagerWindow::typedPatternAppliesNothing()
{
    w_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    QTRY_COMPARE(listedFiles().size(), 5);
    QLineEdit *edit = w_->E->lineEdit();

    // "*.lex" typed, then the focus moves away: no pattern is applied.
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QStringLiteral("*.lex"));
    QTest::keyClick(edit, Qt::Key_Tab);
    QCOMPARE(fileModel()->nameFilters(), QStringList{QStringLiteral("*")});

    // "*.dc" and Enter: not completed to "*.dct", nothing applied.
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, QStringLiteral("*.dc"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(w_->E->currentText(), QStringLiteral("*.dc"));
    QCOMPARE(fileModel()->nameFilters(), QStringList{QStringLiteral("*")});
    QTRY_COMPARE(listedFiles().size(), 5);

    // Choosing an item from the list with the keyboard applies it.
    QTest::keyClick(edit, Qt::Key_Down);
    QCOMPARE(fileModel()->nameFilters(), QStringList{w_->E->currentText()});
}

void tst_ManagerWindow::selectRenameAndDelete()
{
    clickFile(QStringLiteral("a.lex"));
    QCOMPARE(w_->T->text(), QStringLiteral("a.lex"));
    QCOMPARE(w_->N->text(), QStringLiteral("a.lex"));

    w_->N->setText(QStringLiteral("z.lex"));
    QTest::mouseClick(w_->cR, Qt::LeftButton);
    QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("z.lex"))));
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("a.lex"))));
    QCOMPARE(w_->T->text(), QStringLiteral("a.lex")); // the boxes are not updated

    // A relative folder in the new name moves the file there.
    clickFile(QStringLiteral("b.lex"));
    w_->N->setText(QStringLiteral("sub/b2.lex"));
    QTest::mouseClick(w_->cR, Qt::LeftButton);
    QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("sub/b2.lex"))));

    clickFile(QStringLiteral("c.dct"));
    QTest::mouseClick(w_->cE, Qt::LeftButton);
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("c.dct"))));
    QCOMPARE(services_->count(Kind::Warning), 0);
}

void tst_ManagerWindow::failuresChangeNothing()
{
    QTest::mouseClick(w_->cE, Qt::LeftButton); // nothing selected
    QTest::mouseClick(w_->cR, Qt::LeftButton);
    QCOMPARE(services_->count(Kind::Warning), 2);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Cambio de nombre"));

    clickFile(QStringLiteral("a.lex"));
    w_->N->setText(QStringLiteral("b.lex")); // exists: never overwritten
    QTest::mouseClick(w_->cR, Qt::LeftButton);
    QCOMPARE(services_->count(Kind::Warning), 3);
    QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("a.lex"))));
    QCOMPARE(vordane::test::readBytes(dir_->filePath(QStringLiteral("b.lex"))), QByteArray("x"));

    w_->N->clear();
    QTest::mouseClick(w_->cR, Qt::LeftButton);
    QCOMPARE(services_->count(Kind::Warning), 4);

    QVERIFY(QFile::remove(dir_->filePath(QStringLiteral("a.lex"))));
    QTest::mouseClick(w_->cE, Qt::LeftButton);
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Eliminación"));
    QVERIFY(services_->last(Kind::Warning)->text.contains(QStringLiteral("a.lex")));
    w_->N->setText(QStringLiteral("otro.lex"));
    QTest::mouseClick(w_->cR, Qt::LeftButton);
    QCOMPARE(services_->count(Kind::Warning), 6);
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("otro.lex"))));
}

QTEST_MAIN(tst_ManagerWindow)
#include "tst_manager_window.moc"
