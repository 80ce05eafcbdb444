#include "app/frmVordane.h"
#include "common/messages.h"
#include "fakeplatformservices.h"
#include "shell/appstyle.h"
#include "shell/filefilter.h"
#include "shell/qtplatformservices.h"
#include "shell/windowfit.h"

#include <QAction>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace vordane;
using vordane::test::FakePlatformServices;

class tst_App : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { applyApplicationStyle(*qApp); }

    void mainWindow_menuAsSpecified();
    void mainWindow_aboutThroughServices();
    void mainWindow_salirEndsTheEventLoop();
    void mainWindow_unsavedWorkshopRulesAskFirst();
    void mainWindow_fitsASmallScreen();
    void windows_reachableOnEveryScreen_data();
    void windows_reachableOnEveryScreen();
    void modalWindow_scrollsOnTheRealScreen();
    void fileDialogs_learnTheBoxAndTheCurrentFile();
};

void tst_App::mainWindow_menuAsSpecified()
{
    FakePlatformServices services;
    frmVordane window(services);
    QCOMPARE(window.windowTitle(), QStringLiteral("Creador de lenguajes"));
    QVERIFY(qobject_cast<QMdiArea *>(window.centralWidget()));

    const QList<QAction *> bar = window.menuBar()->actions();
    QCOMPARE(bar.size(), 2);
    QCOMPARE(bar.at(0)->text(), QStringLiteral("Programas"));
    QCOMPARE(bar.at(0)->menu(), window.mnuProgramas);
    QCOMPARE(bar.at(1)->text(), QStringLiteral("Acerca de..."));
    QCOMPARE(bar.at(1)->objectName(), QStringLiteral("mnuAbout"));
    QVERIFY(!bar.at(1)->menu());

    const QStringList names{"mnuGenerador",  "mnuTransformador", "mnuExportador", "mnuCreador",
                            "mnuCombinador", "mnuAdministrador", "mnuRaices",     "mnuRaigen",
                            "mnuLansep",     "mnuTaller",        "mnuTallerPalabras", "mnuSep",
                            "mnuExit"};
    const QStringList captions{"Generador de palabras",
                               "Transformador de palabras",
                               "Exportador de diccionarios",
                               "Creador de diccionarios",
                               "Combinador de diccionarios",
                               "Administrador de lenguajes",
                               QString::fromUtf8("Creador de raíces"),
                               "Generador de lenguas",
                               "Separador de lenguas",
                               QString::fromUtf8("Taller de cambios fonéticos"),
                               "Taller de palabras",
                               "",
                               "Salir"};
    const QList<QAction *> entries = window.mnuProgramas->actions();
    QCOMPARE(entries.size(), 13);
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries.at(i)->objectName(), names.at(i));
        QCOMPARE(entries.at(i)->text(), captions.at(i));
    }
    QVERIFY(entries.at(11)->isSeparator());
    // Every entry opens its own window, in front, with its caption.
    const QStringList windows{"frmGenerar",     "frmTransformar", "frmExportar", "frmCrear",  "frmCombinar",
                              "frmAdministrar", "frmRaices",      "frmRaiGen",   "frmLanSep", "frmTaller",
                              "frmTallerPalabras"};
    const QStringList windowCaptions{"Generador de Palabras Personalizado",
                                     "Transformador de Palabras",
                                     "Exportador de diccionarios",
                                     "Creador de diccionarios",
                                     "Combinador de diccionarios",
                                     "Administrador de lenguajes",
                                     QString::fromUtf8("Creador de raíces"),
                                     "Generador de palabras",
                                     "Separador de Lenguas",
                                     QString::fromUtf8("Taller de cambios fonéticos"),
                                     "Taller de palabras"};
    for (int i = 0; i < windows.size(); ++i) {
        QVERIFY(entries.at(i)->isEnabled());
        entries.at(i)->trigger();
        QMdiSubWindow *active = window.mdiArea()->activeSubWindow();
        QVERIFY(active);
        QCOMPARE(active->widget()->objectName(), windows.at(i));
        // (The workshop's title carries the mark of unsaved rules, "[*]", shown as "*" or nothing.)
        QCOMPARE(active->windowTitle().remove(QStringLiteral("[*]")), windowCaptions.at(i));
    }
    QCOMPARE(window.mdiArea()->subWindowList().size(), windows.size());
}

void tst_App::mainWindow_aboutThroughServices()
{
    FakePlatformServices services;
    frmVordane window(services);
    window.mnuAbout->trigger();
    QCOMPARE(services.calls.size(), 1);
    const auto &call = services.calls.constFirst();
    QCOMPARE(call.kind, FakePlatformServices::Kind::Information);
    QCOMPARE(call.title, QStringLiteral("Vordane"));
    QVERIFY(call.text.startsWith(QStringLiteral("Constructor de lenguajes.")));
    QVERIFY(call.text.contains(QStringLiteral("Vordane")));
    QVERIFY(call.text.contains(QStringLiteral(VORDANE_VERSION)));
    QVERIFY(call.text.contains(QStringLiteral("2026")));
    QVERIFY(!call.text.contains(QLatin1Char('\n')));
}

void tst_App::mainWindow_salirEndsTheEventLoop()
{
    FakePlatformServices services;
    frmVordane window(services);
    QEventLoop loop;
    QTimer::singleShot(0, window.mnuExit, &QAction::trigger);
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, &loop, [&loop] { loop.exit(99); });
    guard.start(5000);
    QCOMPARE(loop.exec(), 0);
    QVERIFY(services.calls.isEmpty());
}

void tst_App::mainWindow_unsavedWorkshopRulesAskFirst()
{
    // Only the workshop holds work of its own; with its rules unsaved,
    // "Salir" and closing the main window ask first.
    FakePlatformServices services;
    frmVordane window(services);
    window.show();
    window.mnuTaller->trigger();
    auto *rules = window.mdiArea()->activeSubWindow()->widget()->findChild<QWidget *>(QStringLiteral("txtReglas"));
    QVERIFY(rules);
    rules->setFocus();
    QTest::keyClicks(rules, QStringLiteral("a>e"));

    services.answerSave(SaveChoice::Cancel);
    QVERIFY(!window.close());
    QCOMPARE(services.count(FakePlatformServices::Kind::AskToSave), 1);
    QVERIFY(window.isVisible());
    services.answerSave(SaveChoice::Cancel);
    window.mnuExit->trigger(); // the user chose to stay: the program goes on
    QCOMPARE(services.count(FakePlatformServices::Kind::AskToSave), 2);

    // Left unsaved: the program ends. (The application's own loop, which
    // starts afresh even after an earlier exit.)
    services.answerSave(SaveChoice::Discard);
    QTimer::singleShot(0, window.mnuExit, &QAction::trigger);
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(services.count(FakePlatformServices::Kind::AskToSave), 3);
}

void tst_App::mainWindow_fitsASmallScreen()
{
    FakePlatformServices services;
    frmVordane window(services);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect available = window.screen()->availableGeometry();
    QCOMPARE(available.size(), QSize(800, 500)); // a 1600 x 1000 screen at twice the scale
    QVERIFY(available.contains(window.frameGeometry()));

    // The generator is larger than the area: it opens within it, and its own
    // scroll bar brings "Generar" into view.
    window.mnuGenerador->trigger();
    QMdiSubWindow *sub = window.mdiArea()->activeSubWindow();
    QWidget *viewport = window.mdiArea()->viewport();
    QVERIFY(viewport->rect().contains(sub->geometry()));
    auto *scroll = sub->findChild<QScrollArea *>(QStringLiteral("clientScroll"));
    QVERIFY(scroll);
    QScrollBar *bar = scroll->verticalScrollBar();
    QTRY_VERIFY(bar->isVisible());
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    auto *generar = sub->findChild<QPushButton *>(QStringLiteral("cmdGenerar"));
    QVERIFY(scroll->viewport()->rect().contains(
        QRect(generar->mapTo(scroll->viewport(), QPoint(0, 0)), generar->size())));
    QCOMPARE(sub->findChild<QWidget *>(QStringLiteral("clientArea"))->size(), QSize(792, 507));

    // The workshop can shrink: it opens within the area, its title bar in reach.
    window.mnuTaller->trigger();
    QMdiSubWindow *workshop = window.mdiArea()->activeSubWindow();
    QCOMPARE(workshop->widget()->objectName(), QStringLiteral("frmTaller"));
    QVERIFY(workshop->width() <= std::max(viewport->width(), workshop->minimumSizeHint().width()));
    QVERIFY(workshop->height() <= std::max(viewport->height(), workshop->minimumSizeHint().height()));
    QVERIFY(workshop->width() < workshop->widget()->sizeHint().width()); // smaller than it would open on a big screen
}

namespace {

// The controls of a window that a person works with.
QList<QWidget *> controlsOf(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *child : window->findChildren<QWidget *>()) {
        if (child->isVisibleTo(window) && child->focusPolicy() != Qt::NoFocus && !child->isWindow()
            && !qobject_cast<QScrollBar *>(child))
            controls.append(child);
    }
    return controls;
}

// The part of a control that its parents let show, in the coordinates of `top`.
QRect shownPart(QWidget *control, QWidget *top)
{
    QRect part(control->mapTo(top, QPoint(0, 0)), control->size());
    for (QWidget *parent = control->parentWidget(); parent && parent != top; parent = parent->parentWidget())
        part &= QRect(parent->mapTo(top, QPoint(0, 0)), parent->size());
    return part;
}

// Whether every control of a window that fits in `room` (in the
// coordinates of `frame`) can be brought into view: at once, or by
// scrolling the window's client area.
QString unreachableControls(QWidget *window, QWidget *frame, const QRect &room)
{
    QStringList missed;
    auto *scroll = window->findChild<QScrollArea *>(QStringLiteral("clientScroll"));
    for (QWidget *control : controlsOf(window)) {
        QWidget *top = window;
        QWidget *view = window;
        if (scroll && scroll->widget()->isAncestorOf(control)) {
            top = scroll->widget();
            view = scroll->viewport();
        }
        const QRect part = shownPart(control, top);
        if (top != window) { // scrolled as far as it takes to show the whole control
            const auto reveal = [](QScrollBar *bar, int start, int length, int view) {
                if (start < bar->value())
                    bar->setValue(start);
                else if (start + length > bar->value() + view)
                    bar->setValue(start + length - view);
            };
            reveal(scroll->horizontalScrollBar(), part.left(), part.width(), view->width());
            reveal(scroll->verticalScrollBar(), part.top(), part.height(), view->height());
        }
        const QRect seen = QRect(top->mapTo(view, part.topLeft()), part.size()) & view->rect();
        const QRect onScreen(view->mapTo(frame, seen.topLeft()), seen.size());
        // A box larger than the view shows at least its part where one types.
        const bool whole = part.width() <= view->width() && part.height() <= view->height();
        if (seen.isEmpty() || !room.contains(onScreen) || (whole && seen.size() != part.size()))
            missed.append(control->objectName().isEmpty() ? QLatin1String(control->metaObject()->className())
                                                         : control->objectName());
    }
    return missed.join(QStringLiteral(", "));
}

// A top-level window fitted to a screen area, with the frame a window manager adds.
QString checkTopLevel(QWidget *window, const QRect &screen)
{
    fitWindow(window, screen);
    window->show();
    QCoreApplication::processEvents();
    const QRect framed = window->geometry().marginsAdded(windowFrame(window));
    if (!screen.contains(framed))
        return QStringLiteral("%1 at %2,%3 %4x%5 leaves the screen")
            .arg(window->objectName())
            .arg(framed.x())
            .arg(framed.y())
            .arg(framed.width())
            .arg(framed.height());
    const QString missed = unreachableControls(window, window, window->rect());
    return missed.isEmpty() ? QString() : window->objectName() + QStringLiteral(": out of reach: ") + missed;
}

} // namespace

void tst_App::windows_reachableOnEveryScreen_data()
{
    // Logical screens: pixels divided by the scale factor.
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1366x768 at 1") << QSize(1366, 768);
    QTest::newRow("1920x1080 at 1") << QSize(1920, 1080);
    QTest::newRow("1920x1080 at 1.25") << QSize(1536, 864);
    QTest::newRow("1920x1080 at 1.5") << QSize(1280, 720);
    QTest::newRow("2560x1440 at 2") << QSize(1280, 720);
    QTest::newRow("3840x2160 at 2") << QSize(1920, 1080);
    QTest::newRow("1366x768 at 2") << QSize(683, 384);
}

void tst_App::windows_reachableOnEveryScreen()
{
    QFETCH(QSize, screen);
    const QRect available(QPoint(0, 0), screen);
    FakePlatformServices services;
    frmVordane window(services);
    // The main window as it opens there (maximized where it does not fit).
    const QMargins frame = windowFrame(&window);
    const QSize opening = frmVordane::openingSize(available, frame);
    QVERIFY(available.contains(QRect(QPoint(0, 0), opening).marginsAdded(frame).translated(frame.left(), frame.top())));
    // (This test's own screen is smaller: the window opened maximized there.)
    window.setWindowState(Qt::WindowNoState);
    window.resize(opening);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), opening);

    // Every tool window opens inside the area, every control within reach.
    QStringList faults;
    QWidget *viewport = window.mdiArea()->viewport();
    for (QAction *entry : window.mnuProgramas->actions()) {
        if (entry->isSeparator() || entry == window.mnuExit)
            continue;
        entry->trigger();
        QMdiSubWindow *sub = window.mdiArea()->activeSubWindow();
        QCoreApplication::processEvents();
        const QString name = sub->widget()->objectName();
        if (!viewport->rect().contains(sub->geometry()))
            faults.append(name + QStringLiteral(" is larger than the area"));
        else if (const QString missed = unreachableControls(sub->widget(), viewport, viewport->rect()); !missed.isEmpty())
            faults.append(name + QStringLiteral(": out of reach: ") + missed);
        if (auto *client = sub->widget()->findChild<QWidget *>(QStringLiteral("clientArea"));
            client && client->size() != client->minimumSize())
            faults.append(name + QStringLiteral(" changed its client size"));
        sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // The generator's modal windows, opened by their buttons.
    window.mnuGenerador->trigger();
    QWidget *generator = window.mdiArea()->activeSubWindow()->widget();
    for (const char *button : {"cmdEditar(0)", "cmdGenerar"}) {
        generator->findChild<QPushButton *>(QLatin1String(button))->click();
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            faults.append(QLatin1String(button) + QStringLiteral(" opened no window"));
            continue;
        }
        if (const QString fault = checkTopLevel(dialog, available); !fault.isEmpty())
            faults.append(fault);
        dialog->hide();
    }

    // File dialogs and message boxes.
    for (bool save : {false, true}) {
        QFileDialog dialog(&window);
        dialog.setObjectName(save ? QStringLiteral("Guardar") : QStringLiteral("Abrir"));
        QtPlatformServices::prepareDialog(dialog, {filters::kCombinerDestination, QString()}, save);
        if (const QString fault = checkTopLevel(&dialog, available); !fault.isEmpty())
            faults.append(fault);
        if (dialog.size().width() < dialog.minimumSizeHint().width()
            || dialog.size().height() < dialog.minimumSizeHint().height())
            faults.append(dialog.objectName() + QStringLiteral(" squeezed below its minimum"));
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Combinador de diccionarios"), messages::kOutOfMemory,
                    QMessageBox::Ok, &window);
    QtPlatformServices::makeRoomForTitle(box);
    box.show();
    const QMargins boxFrame = windowFrame(&box);
    if (box.width() + boxFrame.left() + boxFrame.right() > screen.width()
        || box.height() + boxFrame.top() + boxFrame.bottom() > screen.height())
        faults.append(QStringLiteral("a message box is larger than the screen"));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

void tst_App::modalWindow_scrollsOnTheRealScreen()
{
    // "Generar Palabras" through the program's own services, on this
    // 800 x 500 screen: it opens within the screen, and a person scrolls
    // down to "Cancelar" and clicks it.
    FakePlatformServices fake;
    frmVordane window(fake);
    window.show();
    window.mnuGenerador->trigger();
    QWidget *generator = window.mdiArea()->activeSubWindow()->widget();
    generator->findChild<QPushButton *>(QStringLiteral("cmdGenerar"))->click();
    // ("Cancelar" closes it for good: the generator makes a new one next time.)
    QPointer<QDialog> hacer = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    QVERIFY(hacer);
    hacer->hide();

    QtPlatformServices services;
    bool checked = false;
    QTimer::singleShot(0, hacer, [&] {
        const QRect screen = hacer->screen()->availableGeometry();
        QVERIFY(screen.contains(hacer->geometry().marginsAdded(windowFrame(hacer))));
        auto *scroll = hacer->findChild<QScrollArea *>(QStringLiteral("clientScroll"));
        QVERIFY(scroll->verticalScrollBar()->isVisible());
        auto *cancelar = hacer->findChild<QPushButton *>(QStringLiteral("cmdCancelar"));
        QVERIFY(!scroll->viewport()->rect().contains(
            QRect(cancelar->mapTo(scroll->viewport(), QPoint(0, 0)), cancelar->size())));
        // Clicks below the handle page down.
        QScrollBar *bar = scroll->verticalScrollBar();
        for (int i = 0; i < 20 && bar->value() < bar->maximum(); ++i)
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - bar->width() - 2));
        QCOMPARE(bar->value(), bar->maximum());
        const QRect seen(cancelar->mapTo(scroll->viewport(), QPoint(0, 0)), cancelar->size());
        QVERIFY(scroll->viewport()->rect().contains(seen));
        checked = true;
        QTest::mouseClick(cancelar, Qt::LeftButton);
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, hacer, &QWidget::hide); // never waits for a person
    guard.start(30000);
    services.showModal(hacer);
    QVERIFY(checked);
    QVERIFY(guard.isActive()); // closed by "Cancelar", not by the guard
    QVERIFY(!hacer || !hacer->isVisible());
}

void tst_App::fileDialogs_learnTheBoxAndTheCurrentFile()
{
    QTemporaryDir dir;
    FakePlatformServices services;
    frmVordane window(services);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window)); // for the workshop's keys

    // A file name typed in a box tells the dialog where to open; no name is proposed.
    window.mnuCreador->trigger();
    QWidget *creator = window.mdiArea()->activeSubWindow()->widget();
    const QString typed = QDir(dir.path()).filePath(QStringLiteral("origen.lex"));
    auto *box = creator->findChild<QLineEdit *>(QStringLiteral("txtArch(0)"));
    box->setFocus();
    QTest::keyClicks(box, typed);
    QTest::mouseClick(creator->findChild<QPushButton *>(QStringLiteral("cmdOrigex")), Qt::LeftButton);
    QCOMPARE(services.last(FakePlatformServices::Kind::Open)->namedFile, typed);
    QVERIFY(services.last(FakePlatformServices::Kind::Open)->proposedFile.isEmpty());

    // "Guardar reglas como..." proposes the file the rules were saved in.
    window.mnuTaller->trigger();
    QWidget *workshop = window.mdiArea()->activeSubWindow()->widget();
    auto *rules = workshop->findChild<QWidget *>(QStringLiteral("txtReglas"));
    rules->setFocus();
    QTest::keyClicks(rules, QStringLiteral("a>e"));
    const QString saved = QDir(dir.path()).filePath(QStringLiteral("reglas.sc"));
    services.answerDialog(saved);
    QTest::keyClick(rules, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(services.count(FakePlatformServices::Kind::Save), 1);
    QVERIFY(services.last(FakePlatformServices::Kind::Save)->proposedFile.isEmpty()); // nothing to propose yet
    QVERIFY(QFile::exists(saved));
    QTest::keyClick(rules, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(services.count(FakePlatformServices::Kind::Save), 2);
    QCOMPARE(services.last(FakePlatformServices::Kind::Save)->proposedFile, saved);
}

int main(int argc, char *argv[])
{
    // A small screen: 1600 x 1000 pixels at twice the scale, as on a laptop.
    QTemporaryDir dir;
    const QString config = dir.filePath(QStringLiteral("pantalla.json"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(R"({"screens": [{"name": "pantalla", "x": 0, "y": 0, "width": 1600, "height": 1000,
                          "logicalDpi": 96, "logicalBaseDpi": 96}]})")
            < 0)
        return 1;
    file.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config));
    qputenv("QT_SCALE_FACTOR", "2");
    // Settings written by the dialogs go to a test folder, not the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    tst_App test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_app.moc"
