#include "app/frmVordane.h"
#include "fakeplatformservices.h"
#include "shell/appstyle.h"

#include <QAction>
#include <QEventLoop>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
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
                            "mnuLansep",     "mnuTaller",        "mnuSep",        "mnuExit"};
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
                               "",
                               "Salir"};
    const QList<QAction *> entries = window.mnuProgramas->actions();
    QCOMPARE(entries.size(), 12);
    for (int i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries.at(i)->objectName(), names.at(i));
        QCOMPARE(entries.at(i)->text(), captions.at(i));
    }
    QVERIFY(entries.at(10)->isSeparator());
    // Every entry opens its own window, in front, with its caption.
    const QStringList windows{"frmGenerar",     "frmTransformar", "frmExportar", "frmCrear",  "frmCombinar",
                              "frmAdministrar", "frmRaices",      "frmRaiGen",   "frmLanSep", "frmTaller"};
    const QStringList windowCaptions{"Generador de Palabras Personalizado",
                                     "Transformador de Palabras",
                                     "Exportador de diccionarios",
                                     "Creador de diccionarios",
                                     "Combinador de diccionarios",
                                     "Administrador de lenguajes",
                                     QString::fromUtf8("Creador de raíces"),
                                     "Generador de palabras",
                                     "Separador de Lenguas",
                                     QString::fromUtf8("Taller de cambios fonéticos")};
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

    // The generator is larger than the area: it opens at the top-left and
    // the area scrolls down to "Generar".
    window.mnuGenerador->trigger();
    QMdiSubWindow *sub = window.mdiArea()->activeSubWindow();
    QCOMPARE(sub->pos(), QPoint(0, 0));
    QWidget *viewport = window.mdiArea()->viewport();
    QVERIFY(sub->height() > viewport->height());
    QScrollBar *bar = window.mdiArea()->verticalScrollBar();
    QTRY_VERIFY(bar->isVisible());
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    auto *generar = sub->findChild<QPushButton *>(QStringLiteral("cmdGenerar"));
    QVERIFY(viewport->rect().contains(QRect(generar->mapTo(viewport, QPoint(0, 0)), generar->size())));

    // The workshop can shrink: it opens within the area, its title bar in reach.
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    window.mnuTaller->trigger();
    QMdiSubWindow *workshop = window.mdiArea()->activeSubWindow();
    QCOMPARE(workshop->widget()->objectName(), QStringLiteral("frmTaller"));
    QVERIFY(workshop->width() <= std::max(viewport->width(), workshop->minimumSizeHint().width()));
    QVERIFY(workshop->height() <= std::max(viewport->height(), workshop->minimumSizeHint().height()));
    QVERIFY(workshop->width() < workshop->widget()->sizeHint().width()); // smaller than it would open on a big screen
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
    QApplication app(argc, argv);
    tst_App test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_app.moc"
