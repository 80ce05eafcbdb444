#include "shell/frmVordane.h"

#include "dictionary/frmCombinar.h"
#include "dictionary/frmCrear.h"
#include "dictionary/frmExportar.h"
#include "generator/frmGenerar.h"
#include "manager/frmAdministrar.h"
#include "roots/frmLanSep.h"
#include "roots/frmRaiGen.h"
#include "roots/frmRaices.h"
#include "shell/platformservices.h"
#include "transformer/frmTransformar.h"

#include <QAction>
#include <QCoreApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

namespace vordane {

namespace {

constexpr int kReleaseYear = 2026;

// The tools of the "Programas" menu, in menu order: entry, caption, window.
struct Tool {
    const char *entry;
    const char *caption;
    QAction *frmVordane::*action;
    const char *window;
    QWidget *(*create)(PlatformServices &services);
};

template <typename Window> QWidget *create(PlatformServices &services)
{
    return new Window(services);
}

const Tool kTools[] = {
    {"mnuGenerador", "Generador de palabras", &frmVordane::mnuGenerador, "frmGenerar", create<frmGenerar>},
    {"mnuTransformador", "Transformador de palabras", &frmVordane::mnuTransformador, "frmTransformar",
     create<frmTransformar>},
    {"mnuExportador", "Exportador de diccionarios", &frmVordane::mnuExportador, "frmExportar", create<frmExportar>},
    {"mnuCreador", "Creador de diccionarios", &frmVordane::mnuCreador, "frmCrear", create<frmCrear>},
    {"mnuCombinador", "Combinador de diccionarios", &frmVordane::mnuCombinador, "frmCombinar", create<frmCombinar>},
    {"mnuAdministrador", "Administrador de lenguajes", &frmVordane::mnuAdministrador, "frmAdministrar",
     create<frmAdministrar>},
    {"mnuRaices", "Creador de raíces", &frmVordane::mnuRaices, "frmRaices", create<frmRaices>},
    {"mnuRaigen", "Generador de lenguas", &frmVordane::mnuRaigen, "frmRaiGen", create<frmRaiGen>},
    {"mnuLansep", "Separador de lenguas", &frmVordane::mnuLansep, "frmLanSep", create<frmLanSep>},
};

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
    resize(1000, 720);

    mnuProgramas = menuBar()->addMenu(QStringLiteral("Programas"));
    mnuProgramas->setObjectName(QStringLiteral("mnuProgramas"));
    for (const Tool &tool : kTools) {
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

QString frmVordane::aboutText()
{
    return QStringLiteral("Constructor de lenguajes. Vordane, versión %1 (%2).")
        .arg(QStringLiteral(VORDANE_VERSION))
        .arg(kReleaseYear);
}

void frmVordane::mnuExit_Click()
{
    // Ends at once: no window is asked whether it may close.
    QCoreApplication::exit(0);
}

void frmVordane::mnuAbout_Click()
{
    services_.information(this, QStringLiteral("Vordane"), aboutText());
}

} // namespace vordane
