#include "app/frmVordane.h"

#include "app/programtools.h"
#include "shell/platformservices.h"
#include "shell/unsavedwork.h"
#include "shell/windowfit.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

namespace vordane {

namespace {

constexpr int kReleaseYear = 2026;

} // namespace

frmVordane::frmVordane(PlatformServices &services, QWidget *parent)
    : QMainWindow(parent)
    , services_(services)
    , area_(new QMdiArea(this))
    , launcher_(area_)
{
    setObjectName(QStringLiteral("frmVordane"));
    setWindowTitle(QStringLiteral("Creador de lenguajes"));
    area_->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(area_);
    // A tool window larger than the area (a small screen, a large scale) is
    // reached by scrolling.
    area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    openWithinScreen(availableScreenArea(this));

    mnuProgramas = menuBar()->addMenu(QStringLiteral("Programas"));
    mnuProgramas->setObjectName(QStringLiteral("mnuProgramas"));
    for (const ProgramTool &tool : programTools()) {
        const QString window = QLatin1String(tool.window);
        QAction *action = mnuProgramas->addAction(QString::fromUtf8(tool.caption));
        action->setObjectName(QLatin1String(tool.entry));
        this->*tool.action = action;
        launcher_.registerTool(window, [this, create = tool.create] { return create(services_); });
        connect(action, &QAction::triggered, this, [this, window] { launcher_.show(window); });
    }
    mnuSep = mnuProgramas->addSeparator();
    mnuSep->setObjectName(QStringLiteral("mnuSep"));
    mnuExit = mnuProgramas->addAction(QStringLiteral("Salir"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &frmVordane::mnuExit_Click);

    // "Acerca de..." is a command of the menu bar itself, not a drop-down.
    mnuAbout = menuBar()->addAction(QStringLiteral("Acerca de..."));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, &frmVordane::mnuAbout_Click);
}

QSize frmVordane::openingSize(const QRect &available, const QMargins &frame)
{
    const QSize preferred(1000, 720);
    return preferred.boundedTo(available.size() - QSize(frame.left() + frame.right(), frame.top() + frame.bottom()));
}

void frmVordane::openWithinScreen(const QRect &available)
{
    const QSize size = openingSize(available, windowFrame(this));
    resize(size);
    if (size == QSize(1000, 720))
        return;
    // Where it does not fit, it opens maximized, and at most as large as the
    // screen once restored.
    move(available.topLeft());
    setWindowState(Qt::WindowMaximized);
}

QString frmVordane::aboutText()
{
    return QStringLiteral("Constructor de lenguajes. Vordane, versión %1 (%2).")
        .arg(QStringLiteral(VORDANE_VERSION))
        .arg(kReleaseYear);
}

void frmVordane::mnuExit_Click()
{
    // Ends at once: no window is asked whether it may close, except one
    // holding unsaved work of its own.
    if (toolsMayClose())
        QCoreApplication::exit(0);
}

void frmVordane::closeEvent(QCloseEvent *event)
{
    if (toolsMayClose())
        event->accept();
    else
        event->ignore();
}

bool frmVordane::toolsMayClose()
{
    const QList<QMdiSubWindow *> windows = area_->subWindowList();
    return std::all_of(windows.begin(), windows.end(), [](QMdiSubWindow *sub) {
        auto *work = dynamic_cast<UnsavedWork *>(sub->widget());
        return !work || work->confirmClose();
    });
}

void frmVordane::mnuAbout_Click()
{
    services_.information(this, QStringLiteral("Vordane"), aboutText());
}

} // namespace vordane
