// Renders the main window, its "Programas" menu and every tool window to PNG
// files in the folder given as the only argument.

#include "app/frmVordane.h"
#include "shell/appstyle.h"
#include "shell/silentplatformservices.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextStream>

namespace {

bool save(QWidget *widget, const QDir &dir, const QString &name)
{
    const QString file = dir.filePath(name + QStringLiteral(".png"));
    const bool ok = widget->grab().save(file);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << QDir::toNativeSeparators(file) << '\n';
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vordane::applyApplicationStyle(app);
    if (argc != 2) {
        QTextStream(stderr) << "uso: vordane_screenshots CARPETA\n";
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        QTextStream(stderr) << "no se pudo crear la carpeta\n";
        return 1;
    }

    vordane::SilentPlatformServices services;
    vordane::frmVordane window(services);
    window.show();
    QApplication::processEvents();
    bool ok = save(&window, dir, QStringLiteral("frmVordane"));

    window.mnuProgramas->popup(window.menuBar()->mapToGlobal(QPoint(0, window.menuBar()->height())));
    QApplication::processEvents();
    ok = save(window.mnuProgramas, dir, QStringLiteral("frmVordane_Programas")) && ok;
    window.mnuProgramas->hide();

    // Every tool window that exists, alone in the main window and on its own.
    for (QAction *action : window.mnuProgramas->actions()) {
        if (action->isSeparator() || action == window.mnuExit)
            continue;
        action->trigger();
        QApplication::processEvents();
        QMdiSubWindow *sub = window.mdiArea()->activeSubWindow();
        if (!sub)
            continue;
        ok = save(sub, dir, sub->widget()->objectName()) && ok;
        // The word generator's modal windows, opened by their buttons.
        if (sub->widget()->objectName() != QLatin1String("frmGenerar"))
            continue;
        for (const char *name : {"cmdEditar(0)", "cmdGenerar"}) {
            auto *button = sub->widget()->findChild<QPushButton *>(QLatin1String(name));
            if (!button)
                continue;
            button->click();
            QApplication::processEvents();
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (qobject_cast<QDialog *>(top) && top->isVisible()) {
                    ok = save(top, dir, top->objectName()) && ok;
                    top->hide();
                }
            }
        }
    }
    return ok ? 0 : 1;
}
