#include "common/messages.h"
#include "common/qttranslation.h"
#include "fakeplatformservices.h"
#include "keys.h"
#include "shell/application.h"
#include "shell/appstyle.h"
#include "shell/controls.h"
#include "shell/dialogfolders.h"
#include "shell/filefilter.h"
#include "shell/multilinetextbox.h"
#include "shell/qtplatformservices.h"
#include "shell/report.h"
#include "shell/toollauncher.h"
#include "shell/twips.h"
#include "shell/windowfit.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QCompleter>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTreeView>
#include <QVBoxLayout>
#include <QtTest>

using namespace vordane;
using vordane::test::FakePlatformServices;

class tst_Shell : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void launcher_oneWindowPerTool();
    void launcher_closedToolOpensAfresh();
    void launcher_placesWindowsWithinReach_data();
    void launcher_placesWindowsWithinReach();
    void windows_fittedToTheRoom_data();
    void windows_fittedToTheRoom();
    void report_warningOrCompletion();
    void application_outOfMemoryIsToldNotFatal();
    void qtTexts_areSpanish();
    void fileDialog_everyWordSpanishAndWhole();
    void messageBox_wideEnoughForItsTitle();

    void filters_data();
    void filters();
    void fileDialog_showsLabelsExactly();
    void fileDialog_saveAddsTheFilterExtension_data();
    void fileDialog_saveAddsTheFilterExtension();
    void fileDialog_opensWhereTheUserWorks();
    void fileDialog_remembersTheFolderBetweenRuns();

    void textBox_roundTripsExactly_data();
    void textBox_roundTripsExactly();
    void textBox_enterInsertsCrLf();
    void textBox_readOnly();
    void textBox_hugeLinesAreNotWrapped();
    void textBox_tabMovesTheFocus();

    void twips_convertsAt96Dpi();

    void buttons_enterPressesTheFocusedOne_data();
    void buttons_enterPressesTheFocusedOne();
};

void tst_Shell::initTestCase()
{
    applyApplicationStyle(*qApp);
}

namespace {
// A tool window stand-in: a box whose initial text shows whether it is new.
QWidget *makeTool()
{
    auto *box = new QLineEdit(QStringLiteral("inicial"));
    box->setWindowTitle(QStringLiteral("Herramienta"));
    return box;
}
} // namespace

void tst_Shell::launcher_oneWindowPerTool()
{
    QMdiArea area;
    area.resize(800, 600);
    area.show();
    ToolLauncher launcher(&area);
    launcher.registerTool(QStringLiteral("a"), makeTool);
    launcher.registerTool(QStringLiteral("b"), makeTool);
    QVERIFY(!launcher.show(QStringLiteral("unknown")));

    auto *first = qobject_cast<QLineEdit *>(launcher.show(QStringLiteral("a")));
    QVERIFY(first);
    first->setText(QStringLiteral("cambiado"));
    QWidget *other = launcher.show(QStringLiteral("b"));
    QCOMPARE(area.activeSubWindow()->widget(), other);

    QCOMPARE(launcher.show(QStringLiteral("a")), first);
    QCOMPARE(area.subWindowList().size(), 2);
    QCOMPARE(area.activeSubWindow()->widget(), first);
    QCOMPARE(first->text(), QStringLiteral("cambiado"));
    QCOMPARE(area.activeSubWindow()->windowTitle(), QStringLiteral("Herramienta"));

    // A maximized window chosen again comes to the front still maximized.
    QMdiSubWindow *sub = area.activeSubWindow();
    sub->showMaximized();
    launcher.show(QStringLiteral("b"));
    QMdiSubWindow *otherSub = area.activeSubWindow();
    launcher.show(QStringLiteral("a"));
    QCOMPARE(area.activeSubWindow(), sub);
    QVERIFY(sub->isMaximized());
    // A minimized one is restored.
    otherSub->showMinimized();
    launcher.show(QStringLiteral("b"));
    QCOMPARE(area.activeSubWindow(), otherSub);
    QVERIFY(!otherSub->isMinimized());
}

void tst_Shell::launcher_closedToolOpensAfresh()
{
    QMdiArea area;
    area.show();
    ToolLauncher launcher(&area);
    launcher.registerTool(QStringLiteral("a"), makeTool);
    auto *first = qobject_cast<QLineEdit *>(launcher.show(QStringLiteral("a")));
    first->setText(QStringLiteral("cambiado"));
    QPointer<QMdiSubWindow> sub = area.activeSubWindow();
    sub->close();
    QTRY_VERIFY(sub.isNull());
    QVERIFY(area.subWindowList().isEmpty());

    auto *second = qobject_cast<QLineEdit *>(launcher.show(QStringLiteral("a")));
    QVERIFY(second);
    QCOMPARE(second->text(), QStringLiteral("inicial"));
    QCOMPARE(area.subWindowList().size(), 1);
}

void tst_Shell::launcher_placesWindowsWithinReach_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("proposed");
    QTest::addColumn<QPoint>("placed");
    // In a view of 300 x 200.
    QTest::newRow("in view") << QSize(100, 100) << QPoint(50, 40) << QPoint(50, 40);
    QTest::newRow("partly out") << QSize(100, 100) << QPoint(250, 150) << QPoint(200, 100);
    QTest::newRow("above and left") << QSize(100, 100) << QPoint(-30, -20) << QPoint(0, 0);
    QTest::newRow("taller than the view") << QSize(100, 300) << QPoint(50, -60) << QPoint(50, 0);
    QTest::newRow("larger than the view") << QSize(400, 300) << QPoint(-80, -60) << QPoint(0, 0);
}

void tst_Shell::launcher_placesWindowsWithinReach()
{
    QFETCH(QSize, size);
    QFETCH(QPoint, proposed);
    QFETCH(QPoint, placed);
    QCOMPARE(subWindowPosition(size, QSize(300, 200), proposed), placed);
}

void tst_Shell::windows_fittedToTheRoom_data()
{
    QTest::addColumn<QSize>("room");
    QTest::addColumn<QSize>("fitted");
    // A window that wants 400 x 300, can go down to 100 x 80, with scroll bars 16 wide.
    QTest::newRow("fits") << QSize(800, 600) << QSize(400, 300);
    QTest::newRow("exactly") << QSize(400, 300) << QSize(400, 300);
    QTest::newRow("too narrow: room below for the bar") << QSize(300, 600) << QSize(300, 316);
    QTest::newRow("too low: room beside for the bar") << QSize(800, 200) << QSize(416, 200);
    QTest::newRow("too narrow, the bar makes it too low") << QSize(300, 310) << QSize(300, 310);
    QTest::newRow("both") << QSize(200, 150) << QSize(200, 150);
    QTest::newRow("below the minimum") << QSize(50, 40) << QSize(100, 80);
}

void tst_Shell::windows_fittedToTheRoom()
{
    QFETCH(QSize, room);
    QFETCH(QSize, fitted);
    QCOMPARE(fittedSize(QSize(400, 300), QSize(100, 80), room, 16), fitted);
    // A top-level window: its frame inside the screen area, centred where there is room.
    const QMargins frame(4, 30, 4, 4);
    const QRect area(QPoint(10, 20), room + QSize(8, 34));
    const QRect placed = fittedWindowGeometry(QSize(400, 300), QSize(100, 80), frame, area, area.center(), 16);
    QCOMPARE(placed.size(), fitted);
    if (fitted.width() <= room.width() && fitted.height() <= room.height())
        QVERIFY(area.contains(placed.marginsAdded(frame)));
    else // larger than the screen only where it cannot shrink: the title bar stays in reach
        QCOMPARE(placed.topLeft(), area.topLeft() + QPoint(4, 30));
}

void tst_Shell::report_warningOrCompletion()
{
    FakePlatformServices services;
    QVERIFY(report(services, nullptr, QStringLiteral("Exportación"), Outcome(), QStringLiteral("Hecho")));
    QVERIFY(!report(services, nullptr, QStringLiteral("Exportación"), Outcome::failure(QStringLiteral("Mal"))));
    QVERIFY(report(services, nullptr, QStringLiteral("Exportación"), Outcome())); // nothing to tell
    QCOMPARE(services.calls.size(), 2);
    QCOMPARE(services.calls.at(0).kind, FakePlatformServices::Kind::Information);
    QCOMPARE(services.calls.at(0).text, QStringLiteral("Hecho"));
    QCOMPARE(services.calls.at(1).kind, FakePlatformServices::Kind::Warning);
    QCOMPARE(services.calls.at(1).title, QStringLiteral("Exportación"));
    QCOMPARE(services.calls.at(1).text, QStringLiteral("Mal"));
}

void tst_Shell::qtTexts_areSpanish()
{
    if (!installQtTranslation(*qApp))
        QSKIP("Qt's Spanish translation (qt6-translations-l10n) is not installed");
    // The buttons of Qt's own dialogs, as a user sees them.
    QFileDialog open;
    QtPlatformServices::prepareDialog(open, {filters::kWordFiles, QString()}, false);
    auto *buttons = open.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    const QString openText = buttons->buttons().constFirst()->text().remove(u'&');
    QVERIFY2(openText != QLatin1String("Open") && !openText.isEmpty(), qPrintable(openText));
    QCOMPARE(open.windowTitle(), QStringLiteral("Abrir"));

    QFileDialog save;
    QtPlatformServices::prepareDialog(save, {filters::kWordFiles, QString()}, true);
    const QString saveText = save.findChild<QDialogButtonBox *>()->buttons().constFirst()->text().remove(u'&');
    QVERIFY2(saveText != QLatin1String("Save"), qPrintable(saveText));
    QVERIFY(save.windowTitle() != QLatin1String("Save As"));

    QMessageBox box(QMessageBox::Warning, QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Ok);
    const QString ok = box.button(QMessageBox::Ok)->text().remove(u'&');
    QVERIFY2(ok != QLatin1String("OK"), qPrintable(ok));
    QCOMPARE(ok, QStringLiteral("Aceptar"));
}

void tst_Shell::fileDialog_everyWordSpanishAndWhole()
{
    if (!installQtTranslation(*qApp))
        QSKIP("Qt's Spanish translation (qt6-translations-l10n) is not installed");
    QTemporaryDir dir;
    const QDir base(dir.path());
    QVERIFY(base.mkpath(QStringLiteral("carpeta")));
    for (const char *name : {"notas.txt", "lengua.lex", "sin extension"}) {
        QFile file(base.filePath(QLatin1String(name)));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(1500, 'a')) == 1500);
    }
    QFileDialog dialog;
    QtPlatformServices::prepareDialog(dialog, {filters::kCombinerDestination, QString()}, false, dir.path());
    dialog.selectNameFilter(dialog.nameFilters().constLast()); // every file
    dialog.setViewMode(QFileDialog::Detail);
    fitWindow(&dialog, dialog.screen()->availableGeometry()); // as the program opens it
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
    QAbstractItemModel *model = view->model();
    QTRY_COMPARE_WITH_TIMEOUT(model->rowCount(view->rootIndex()), 4, 20000);

    // Every text a person reads: labels, buttons, tips, headers, cells, filters.
    QStringList texts;
    for (QWidget *widget : dialog.findChildren<QWidget *>()) {
        texts << widget->toolTip() << widget->accessibleName();
        if (auto *label = qobject_cast<QLabel *>(widget))
            texts << label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            texts << button->text();
    }
    for (QAction *action : dialog.findChildren<QAction *>())
        texts << action->text();
    QStringList cells;
    const QFontMetrics metrics(view->font());
    QStringList cut;
    for (int column = 0; column < model->columnCount(view->rootIndex()); ++column) {
        const QString title = model->headerData(column, Qt::Horizontal).toString();
        texts << title;
        for (int row = -1; row < model->rowCount(view->rootIndex()); ++row) {
            const QString cell = row < 0 ? title : model->index(row, column, view->rootIndex()).data().toString();
            cells << cell;
            // Room for the text beside the cell's margins (and the icon, in the
            // first column), as far as the view shows the column.
            const QHeaderView *header = view->header();
            const int shown = std::min(header->sectionSize(column),
                                       view->viewport()->width() - header->sectionViewportPosition(column));
            const int room = shown - (column == 0 ? 30 : 8);
            const bool arrow = row < 0 && header->sortIndicatorSection() == column;
            if (metrics.horizontalAdvance(cell) > room - (arrow ? 12 : 0))
                cut << cell;
        }
    }
    texts << cells;
    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QStyleOptionComboBox option;
    option.initFrom(types);
    const int typeRoom =
        types->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, types).width();
    for (int i = 0; i < types->count(); ++i) {
        texts << types->itemText(i);
        if (types->fontMetrics().horizontalAdvance(types->itemText(i)) > typeRoom)
            cut << types->itemText(i);
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(" | "))));
    static const QRegularExpression english(
        QStringLiteral("\\b(Folder|File|Files|Name|Size|Type|Kind|Date|Modified|Look|Cancel|Open|Save|Directory|"
                       "Back|Forward|Parent|View|Detail|List|New|Create|Document|document|plain|empty|Computer|"
                       "Drive|AM|PM|Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)\\b"));
    QStringList found;
    for (const QString &text : std::as_const(texts)) {
        if (text.contains(english))
            found << text;
    }
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral(" | "))));
    QVERIFY(cells.contains(QStringLiteral("Carpeta de archivos")));
    QVERIFY(cells.contains(QStringLiteral("Documento de texto")));
    QVERIFY(cells.contains(QStringLiteral("Archivo LEX")));
}

void tst_Shell::messageBox_wideEnoughForItsTitle()
{
    const QString title = QString::fromUtf8("Exportación");
    QMessageBox plain(QMessageBox::Information, title, QStringLiteral("Hecho"), QMessageBox::Ok);
    QMessageBox box(QMessageBox::Information, title, QStringLiteral("Hecho"), QMessageBox::Ok);
    QtPlatformServices::makeRoomForTitle(box);
    plain.show();
    box.show();
    // A title bar shows the title in a bold font of 11 points or more, beside an icon and three buttons.
    QFont font = box.font();
    font.setBold(true);
    font.setPointSize(11);
    const int titleBar = QFontMetrics(font).horizontalAdvance(title) + 4 * 24;
    QVERIFY2(plain.width() < titleBar, "a plain box is as narrow as its text");
    QVERIFY(box.width() >= titleBar);
    QVERIFY(box.width() <= box.screen()->availableGeometry().width());
}

void tst_Shell::filters_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("qt");
    QTest::newRow("language definitions")
        << QStringLiteral("Archivos de lenguajes (*.lng)|*.lng|Todos los archivos|*.*")
        << QStringList{"Archivos de lenguajes (*.lng) (*.lng)", "Todos los archivos (*)"};
    QTest::newRow("word files") << filters::kWordFiles
                                << QStringList{"Archivos de vocabulario (*.lex) (*.lex)",
                                               "Diccionarios (*.dct, *.dic) (*.dct *.dic)",
                                               "Archivos de texto (*.txt) (*.txt)", "Todos los archivos (*)"};
    QTest::newRow("supported files") << filters::kCombinerDestination.section(QLatin1Char('|'), 6, 7)
                                     << QStringList{"Archivos soportados (*.lex *.dct *.dic *.txt)"};
    QTest::newRow("empty") << QString() << QStringList();
}

void tst_Shell::filters()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, qt);
    QCOMPARE(toQtNameFilters(filter), qt);
}

void tst_Shell::fileDialog_showsLabelsExactly()
{
    QFileDialog dialog;
    QtPlatformServices::prepareDialog(dialog, {filters::kWordFiles, QStringLiteral("Abrir archivo")}, false);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Abrir archivo"));
    QCOMPARE(dialog.acceptMode(), QFileDialog::AcceptOpen);
    QCOMPARE(dialog.fileMode(), QFileDialog::AnyFile);
    QVERIFY(dialog.defaultSuffix().isEmpty());
    QVERIFY(dialog.testOption(QFileDialog::DontConfirmOverwrite));
    auto *combo = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    QVERIFY(combo);
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
        shown.append(combo->itemText(i));
    QCOMPARE(shown,
             (QStringList{"Archivos de vocabulario (*.lex)", "Diccionarios (*.dct, *.dic)", "Archivos de texto (*.txt)",
                          "Todos los archivos"}));
    QCOMPARE(combo->currentIndex(), 0);

    QFileDialog save;
    QtPlatformServices::prepareDialog(save, {filters::kWordFiles, QString()}, true);
    QCOMPARE(save.acceptMode(), QFileDialog::AcceptSave);
}

void tst_Shell::fileDialog_saveAddsTheFilterExtension_data()
{
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("chosen"); // the filter the user picks, by its position
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("result");
    QTest::newRow("bare name") << true << filters::kDefinitions << 0 << "mi_lengua" << "mi_lengua.lng";
    QTest::newRow("extension kept") << true << filters::kDefinitions << 0 << "mi_lengua.txt" << "mi_lengua.txt";
    QTest::newRow("dot in the name") << true << filters::kDefinitions << 0 << "v1.2" << "v1.2";
    QTest::newRow("all files") << true << filters::kDefinitions << 1 << "mi_lengua" << "mi_lengua";
    QTest::newRow("second filter") << true << filters::kRules << 1 << "cambios" << "cambios.lns";
    QTest::newRow("first of two patterns") << true << filters::kWordFiles << 1 << "lengua" << "lengua.dct";
    QTest::newRow("open adds nothing") << false << filters::kDefinitions << 0 << "mi_lengua" << "mi_lengua";
}

void tst_Shell::fileDialog_saveAddsTheFilterExtension()
{
    using namespace vordane::test;
    QFETCH(bool, save);
    QFETCH(QString, filter);
    QFETCH(int, chosen);
    QFETCH(QString, typed);
    QFETCH(QString, result);
    QTemporaryDir dir;
    const FileDialogRequest request{filter, QString()};
    QFileDialog dialog;
    QtPlatformServices::prepareDialog(dialog, request, save);
    dialog.setDirectory(dir.path());
    dialog.show();
    dialog.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    auto *types = dialog.findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    types->setFocus();
    for (int i = 0; i < chosen; ++i)
        pressKey(Qt::Key_Down);
    QCOMPARE(types->currentIndex(), chosen);
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    name->setFocus();
    typeText(typed);
    pressKey(Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(QtPlatformServices::chosenFile(dialog, request), QDir(dir.path()).filePath(result));
}

void tst_Shell::fileDialog_opensWhereTheUserWorks()
{
    QTemporaryDir dir;
    const QDir base(dir.path());
    QVERIFY(base.mkpath(QStringLiteral("a")) && base.mkpath(QStringLiteral("b")));
    const QString a = base.filePath(QStringLiteral("a"));
    const QString b = base.filePath(QStringLiteral("b"));
    const QString home = QDir::homePath();
    const auto request = [](const QString &named, const QString &proposed = QString()) {
        return FileDialogRequest{filters::kWordFiles, QString(), named, proposed};
    };
    DialogFolders folders(base.filePath(QStringLiteral("ajustes.ini")));
    QCOMPARE(folders.startFolder(request(QString())), home);
    // The file named in the window's box, even one not made yet; a folder that does not exist is no help.
    QCOMPARE(folders.startFolder(request(QDir(a).filePath(QStringLiteral("nuevo.lex")))), a);
    QCOMPARE(folders.startFolder(request(base.filePath(QStringLiteral("c/nuevo.lex")))), home);
    QCOMPARE(folders.startFolder(request(QStringLiteral("   "))), home);
    // A proposed file opens in its own folder.
    QCOMPARE(folders.startFolder(request(QString(), QDir(b).filePath(QStringLiteral("reglas.sc")))), b);

    // The folder of the last accepted dialog comes before the box.
    folders.remember(QDir(b).filePath(QStringLiteral("palabras.lex")));
    QCOMPARE(folders.startFolder(request(QString())), b);
    QCOMPARE(folders.startFolder(request(QDir(a).filePath(QStringLiteral("nuevo.lex")))), b);

    // Set up in the dialog: that folder, and a proposed name or none.
    QFileDialog dialog;
    QtPlatformServices::prepareDialog(dialog, request(QDir(a).filePath(QStringLiteral("viejo.lex"))), true, b);
    QCOMPARE(dialog.directory().absolutePath(), b);
    auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(name->text().isEmpty());
    QFileDialog saveAs;
    QtPlatformServices::prepareDialog(saveAs, request(QString(), QDir(a).filePath(QStringLiteral("reglas.sc"))), true,
                                      a);
    QCOMPARE(saveAs.directory().absolutePath(), a);
    QCOMPARE(saveAs.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(), QStringLiteral("reglas.sc"));
}

void tst_Shell::fileDialog_remembersTheFolderBetweenRuns()
{
    // The real dialogs, answered with keys: a name typed in the folder the
    // dialog shows, then Enter.
    QTemporaryDir dir;
    const QDir base(dir.path());
    QVERIFY(base.mkpath(QStringLiteral("trabajo")));
    const QString work = base.filePath(QStringLiteral("trabajo"));
    const QString settings = base.filePath(QStringLiteral("ajustes.ini"));
    QStringList shownIn;
    // Answers the dialog once it shows; one that does not take the answer is cancelled.
    QTimer answer;
    answer.setInterval(10);
    QString typed;
    int tries = 0;
    connect(&answer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        if (++tries > 1) {
            dialog->reject();
            return;
        }
        shownIn.append(dialog->directory().absolutePath());
        dialog->activateWindow();
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        name->setFocus();
        QTest::keyClicks(name, typed);
        // The first Enter may only close the list of completions.
        for (int i = 0; i < 3 && dialog->isVisible(); ++i) {
            QWidget *popup = name->completer() ? name->completer()->popup() : nullptr;
            QTest::keyClick(popup && popup->isVisible() ? popup : static_cast<QWidget *>(name), Qt::Key_Return);
        }
    });
    const auto answerWith = [&](const QString &text) {
        typed = text;
        tries = 0;
        answer.start();
    };
    {
        QtPlatformServices services(settings);
        answerWith(QDir(work).filePath(QStringLiteral("lengua")));
        QCOMPARE(services.getSaveFileName(nullptr, {filters::kDefinitions, QString()}),
                 QDir(work).filePath(QStringLiteral("lengua.lng")));
        answerWith(QStringLiteral("otra.lng"));
        QCOMPARE(services.getOpenFileName(nullptr, {filters::kDefinitions, QString()}),
                 QDir(work).filePath(QStringLiteral("otra.lng")));
    }
    {
        QtPlatformServices nextRun(settings);
        answerWith(QStringLiteral("tercera.lng"));
        QCOMPARE(nextRun.getOpenFileName(nullptr, {filters::kDefinitions, QString()}),
                 QDir(work).filePath(QStringLiteral("tercera.lng")));
    }
    QCOMPARE(shownIn, (QStringList{QDir::homePath(), work, work}));
}

void tst_Shell::textBox_roundTripsExactly_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF") << QStringLiteral("uno\r\ndos\r\n");
    QTest::newRow("lone CR and LF") << QStringLiteral("a\rb\nc\r\r\n");
    QTest::newRow("accents and eng") << QString::fromUtf8("ñandú ŋa ÁRBOL € \u4e2d");
    QTest::newRow("blanks and tabs") << QStringLiteral("  a\t b  ");
    QTest::newRow("empty") << QString();
}

void tst_Shell::textBox_roundTripsExactly()
{
    QFETCH(QString, text);
    MultiLineTextBox box;
    box.setText(text);
    QCOMPARE(box.text(), text);
}

void tst_Shell::textBox_enterInsertsCrLf()
{
    MultiLineTextBox box;
    box.show();
    QSignalSpy changed(&box, &MultiLineTextBox::textChanged);
    QTest::keyClicks(&box, QStringLiteral("ab"));
    QTest::keyClick(&box, Qt::Key_Return);
    QTest::keyClicks(&box, QStringLiteral("c"));
    QCOMPARE(box.text(), QStringLiteral("ab\r\nc"));
    QVERIFY(changed.count() >= 4);
}

void tst_Shell::textBox_readOnly()
{
    MultiLineTextBox box;
    box.setText(QStringLiteral("fijo"));
    box.setReadOnly(true);
    QVERIFY(box.isReadOnly());
    box.show();
    QTest::keyClicks(&box, QStringLiteral("x"));
    QCOMPARE(box.text(), QStringLiteral("fijo"));
    box.setText(QStringLiteral("nuevo")); // the program may still write it
    QCOMPARE(box.text(), QStringLiteral("nuevo"));
}

void tst_Shell::textBox_hugeLinesAreNotWrapped()
{
    MultiLineTextBox box;
    const auto *editor = box.findChild<QsciScintilla *>();
    QVERIFY(editor);
    const auto wrapping = [editor] { return editor->wrapMode() != QsciScintilla::WrapNone; };
    box.setScrollBars(MultiLineTextBox::ScrollBars::Vertical);
    QVERIFY(wrapping());
    const QString huge(MultiLineTextBox::kLongestWrappedLine + 1, QLatin1Char('a'));
    box.setText(huge);
    QVERIFY(!wrapping());
    QCOMPARE(box.text(), huge);
    box.setText(QString(MultiLineTextBox::kLongestWrappedLine, QLatin1Char('a')) + QStringLiteral("\r\nb"));
    QVERIFY(wrapping());

    box.setScrollBars(MultiLineTextBox::ScrollBars::Both);
    box.setText(QStringLiteral("corto"));
    QVERIFY(!wrapping());
}

void tst_Shell::textBox_tabMovesTheFocus()
{
    using namespace vordane::test;
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *before = new QLineEdit(&window);
    auto *box = new MultiLineTextBox(&window);
    auto *after = new QLineEdit(&window);
    for (QWidget *control : {static_cast<QWidget *>(before), static_cast<QWidget *>(box), static_cast<QWidget *>(after)})
        layout->addWidget(control);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();

    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(box));
    typeText(QStringLiteral("ab"));
    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(after));
    pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(hasFocus(box));
    pressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(hasFocus(before));
    QCOMPARE(box->text(), QStringLiteral("ab"));

    // Ctrl+Tab is the way to type a tab.
    box->setFocus();
    pressKey(Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(hasFocus(box));
    QCOMPARE(box->text(), QStringLiteral("ab\t"));
}

void tst_Shell::twips_convertsAt96Dpi()
{
    QCOMPARE(twips(1440), 96);
    QCOMPARE(twips(15), 1);
    QCOMPARE(twips(22), 1);
    QCOMPARE(twips(23), 2);
    QCOMPARE(twipsRect(120, 240, 1500, 300), QRect(8, 16, 100, 20));
}

void tst_Shell::buttons_enterPressesTheFocusedOne_data()
{
    QTest::addColumn<bool>("dialog");
    QTest::newRow("window") << false;
    QTest::newRow("dialog") << true;
}

void tst_Shell::buttons_enterPressesTheFocusedOne()
{
    using namespace vordane::test;
    QFETCH(bool, dialog);
    std::unique_ptr<QWidget> window(dialog ? new QDialog : new QWidget);
    QWidget *client = buildClientArea(window.get(), 3000, 1500);
    auto *box = placeControl(new QLineEdit(client), "txtUno", 120, 120, 1500, 285);
    auto *first = placeControl(new QPushButton(QStringLiteral("Uno"), client), "cmdUno", 120, 480, 1500, 375);
    auto *second = placeControl(new QPushButton(QStringLiteral("Dos"), client), "cmdDos", 120, 960, 1500, 375);
    QSignalSpy firstPressed(first, &QPushButton::clicked);
    QSignalSpy secondPressed(second, &QPushButton::clicked);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    box->setFocus();

    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(first));
    pressKey(Qt::Key_Return);
    pressKey(Qt::Key_Enter, Qt::KeypadModifier);
    pressKey(Qt::Key_Space);
    QCOMPARE(firstPressed.count(), 3);
    pressKey(Qt::Key_Tab);
    pressKey(Qt::Key_Return);
    QCOMPARE(secondPressed.count(), 1);

    // Back in the box, Enter presses no button, not even one that had the focus.
    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(box));
    pressKey(Qt::Key_Return);
    QCOMPARE(firstPressed.count(), 3);
    QCOMPARE(secondPressed.count(), 1);
    QVERIFY(window->isVisible());
}

namespace {
FakePlatformServices *applicationServices = nullptr; // the services of the test's Application
}

void tst_Shell::application_outOfMemoryIsToldNotFatal()
{
    // An object whose event handler runs out of memory, as a text box asked
    // to hold a giant text would.
    class Greedy : public QObject {
    protected:
        bool event(QEvent *) override { throw std::bad_alloc(); }
    } greedy;
    const int before = applicationServices->count(FakePlatformServices::Kind::Warning);
    QEvent event(QEvent::User);
    QVERIFY(!QCoreApplication::sendEvent(&greedy, &event));
    QCOMPARE(applicationServices->count(FakePlatformServices::Kind::Warning), before + 1);
    QCOMPARE(applicationServices->last(FakePlatformServices::Kind::Warning)->text, messages::kOutOfMemory);
}

int main(int argc, char *argv[])
{
    FakePlatformServices services;
    applicationServices = &services;
    // Settings written by the dialogs go to a test folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv, services);
    tst_Shell test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_shell.moc"
