#include "fakeplatformservices.h"
#include "manager/frmAdministrar.h"
#include "shell/appstyle.h"
#include "testfiles.h"

#include <QComboBox>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace vordane;
using vordane::test::FakePlatformServices;
using vordane::test::readBytes;
using vordane::test::writeBytes;
using Kind = FakePlatformServices::Kind;

class tst_ManagerWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup() { w_.reset(); }

    void initialControls();
    void startsInTheHomeFolderInView();
    void listsFollowDirectoryAndPattern();
    void typedPatternAppliesNothing();
    void selectRenameAndDelete();
    void failuresChangeNothing();
    void directoryList_showsLongNamesWhole();

private:
    QStringList listedFiles();
    // The file list's model, as the list shows it.
    QFileSystemModel *fileModel() const { return qobject_cast<QFileSystemModel *>(w_->A->model()); }
    void choosePattern(const QString &pattern);
    void clickFile(const QString &name);

    std::unique_ptr<FakePlatformServices> services_;
    std::unique_ptr<frmAdministrar> w_;
    std::unique_ptr<QTemporaryDir> dir_;
    QTemporaryDir homes_; // the home folder and its siblings, the desktop's trash inside it
};

void tst_ManagerWindow::initTestCase()
{
    applyApplicationStyle(*qApp);
    // A home folder of the test's own, listed after thirty siblings.
    QDir homes(homes_.path());
    for (int i = 0; i < 30; ++i)
        QVERIFY(homes.mkdir(QStringLiteral("a%1").arg(i, 2, 10, QLatin1Char('0'))));
    QVERIFY(homes.mkdir(QStringLiteral("casa")));
    qputenv("HOME", QFile::encodeName(homes.filePath(QStringLiteral("casa"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(homes.filePath(QStringLiteral("casa/datos"))));
}

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

void tst_ManagerWindow::startsInTheHomeFolderInView()
{
    // Without the toolkit's folder the window opens in the home folder, shown
    // in the directory list once the lists around it have loaded.
    frmAdministrar fresh(*services_);
    fresh.show();
    auto *dirs = qobject_cast<QFileSystemModel *>(fresh.R->model());
    const QString home = QDir::cleanPath(QDir::homePath());
    QCOMPARE(dirs->filePath(fresh.R->currentIndex()), home);
    QCOMPARE(qobject_cast<QFileSystemModel *>(fresh.A->model())->filePath(fresh.A->rootIndex()), home);
    const QPersistentModelIndex current(fresh.R->currentIndex());
    QTRY_COMPARE(current.row(), 30); // the siblings are listed and sorted
    // Its row in view, its name starting inside (a long name goes on past the edge, a scroll away).
    const auto inView = [&fresh] {
        const QRect view = fresh.R->viewport()->rect();
        const QRect row = fresh.R->visualRect(fresh.R->currentIndex());
        return row.top() >= view.top() && row.bottom() <= view.bottom() && view.contains(row.topLeft());
    };
    QTRY_VERIFY(inView());
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
    QTRY_COMPARE(listedFiles().size(), 5); // a person acts on a list that is there
    clickFile(QStringLiteral("a.lex"));
    QCOMPARE(w_->T->text(), QStringLiteral("a.lex"));
    QCOMPARE(w_->N->text(), QStringLiteral("a.lex"));

    QTest::mouseClick(w_->N, Qt::LeftButton);
    QTest::keyClick(w_->N, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w_->N, QStringLiteral("z.lex"));
    QTest::mouseClick(w_->cR, Qt::LeftButton);
    QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("z.lex"))));
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("a.lex"))));
    // The renamed file is the one selected, under its new name, also once the list has caught up.
    QCOMPARE(w_->T->text(), QStringLiteral("z.lex"));
    QCOMPARE(w_->N->text(), QStringLiteral("z.lex"));
    QTRY_COMPARE(listedFiles(), (QStringList{"b.lex", "c.dct", "notas.txt", "sinextension", "z.lex"}));
    QCOMPARE(w_->A->selectionModel()->selectedIndexes().size(), 1);
    QCOMPARE(fileModel()->fileName(w_->A->selectionModel()->selectedIndexes().constFirst()), QStringLiteral("z.lex"));

    // A relative folder in the new name moves the file there.
    clickFile(QStringLiteral("b.lex"));
    w_->N->setText(QStringLiteral("sub/b2.lex"));
    QTest::mouseClick(w_->cR, Qt::LeftButton);
    QVERIFY(QFile::exists(dir_->filePath(QStringLiteral("sub/b2.lex"))));

    QCOMPARE(w_->T->text(), QStringLiteral("sub/b2.lex")); // not in this list: nothing highlighted
    QVERIFY(w_->A->selectionModel()->selectedIndexes().isEmpty());

    // "Eliminar" asks nothing; the file goes to the desktop's trash.
    clickFile(QStringLiteral("c.dct"));
    QTest::mouseClick(w_->cE, Qt::LeftButton);
    QVERIFY(!QFile::exists(dir_->filePath(QStringLiteral("c.dct"))));
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    QCOMPARE(readBytes(QDir(qEnvironmentVariable("XDG_DATA_HOME")).filePath(QStringLiteral("Trash/files/c.dct"))),
             QByteArray("x"));
#endif
    QCOMPARE(services_->count(Kind::Warning), 0);
    // Nothing is chosen afterwards, once the list has caught up too, so a
    // second press cannot delete the file that took the row.
    QVERIFY(w_->T->text().isEmpty());
    QVERIFY(w_->N->text().isEmpty());
    QTRY_COMPARE(listedFiles(), (QStringList{"notas.txt", "sinextension", "z.lex"}));
    QVERIFY(w_->A->selectionModel()->selectedIndexes().isEmpty());
    QVERIFY(!w_->A->currentIndex().isValid());
    QTest::mouseClick(w_->cE, Qt::LeftButton);
    QCOMPARE(services_->count(Kind::Warning), 1);
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Eliminación"));
    QCOMPARE(services_->last(Kind::Warning)->text, QString::fromUtf8("No hay ningún archivo seleccionado."));
    QCOMPARE(listedFiles(), (QStringList{"notas.txt", "sinextension", "z.lex"}));
}

void tst_ManagerWindow::directoryList_showsLongNamesWhole()
{
    const QString name = QStringLiteral("una carpeta de nombre muy largo para la lista");
    QVERIFY(QDir(dir_->path()).mkdir(name));
    w_->setCurrentDirectory(dir_->filePath(name));
    QTreeView *list = w_->R;
    QVERIFY(list->width() < list->fontMetrics().horizontalAdvance(name));
    // The folder's row is as wide as its name, and the list scrolls sideways to it.
    QTRY_VERIFY(list->visualRect(list->currentIndex()).width() > list->fontMetrics().horizontalAdvance(name));
    QTRY_VERIFY(list->horizontalScrollBar()->isVisible());
    list->horizontalScrollBar()->setValue(list->horizontalScrollBar()->maximum());
    QVERIFY(list->visualRect(list->currentIndex()).right() <= list->viewport()->width());
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
    QCOMPARE(readBytes(dir_->filePath(QStringLiteral("b.lex"))), QByteArray("x"));

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
