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
}

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
    mnuGenerador = addToolEntry("mnuGenerador", QStringLiteral("Generador de palabras"), QStringLiteral("frmGenerar"));
    mnuTransformador = addToolEntry("mnuTransformador", QStringLiteral("Transformador de palabras"),
                                    QStringLiteral("frmTransformar"));
    mnuExportador = addToolEntry("mnuExportador", QStringLiteral("Exportador de diccionarios"),
                                 QStringLiteral("frmExportar"));
    mnuCreador = addToolEntry("mnuCreador", QStringLiteral("Creador de diccionarios"), QStringLiteral("frmCrear"));
    mnuCombinador = addToolEntry("mnuCombinador", QStringLiteral("Combinador de diccionarios"),
                                 QStringLiteral("frmCombinar"));
    mnuAdministrador = addToolEntry("mnuAdministrador", QStringLiteral("Administrador de lenguajes"),
                                    QStringLiteral("frmAdministrar"));
    mnuRaices = addToolEntry("mnuRaices", QStringLiteral("Creador de raíces"), QStringLiteral("frmRaices"));
    mnuRaigen = addToolEntry("mnuRaigen", QStringLiteral("Generador de lenguas"), QStringLiteral("frmRaiGen"));
    mnuLansep = addToolEntry("mnuLansep", QStringLiteral("Separador de lenguas"), QStringLiteral("frmLanSep"));
    mnuSep = mnuProgramas->addSeparator();
    mnuSep->setObjectName(QStringLiteral("mnuSep"));
    mnuExit = mnuProgramas->addAction(QStringLiteral("Salir"));
    mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(mnuExit, &QAction::triggered, this, &frmVordane::mnuExit_Click);

    // "Acerca de..." is a command of the menu bar itself, not a drop-down.
    mnuAbout = menuBar()->addAction(QStringLiteral("Acerca de..."));
    mnuAbout->setObjectName(QStringLiteral("mnuAbout"));
    connect(mnuAbout, &QAction::triggered, this, &frmVordane::mnuAbout_Click);

    registerTools();
}

QAction *frmVordane::addToolEntry(const char *name, const QString &caption, const QString &tool)
{
    QAction *action = mnuProgramas->addAction(caption);
    action->setObjectName(QLatin1String(name));
    action->setEnabled(false); // until a window is registered for the tool
    connect(action, &QAction::triggered, this, [this, tool] { launcher_.show(tool); });
    return action;
}

void frmVordane::registerTools()
{
    launcher_.registerTool(QStringLiteral("frmGenerar"), [this] { return new frmGenerar(services_); });
    launcher_.registerTool(QStringLiteral("frmTransformar"), [this] { return new frmTransformar(services_); });
    launcher_.registerTool(QStringLiteral("frmExportar"), [this] { return new frmExportar(services_); });
    launcher_.registerTool(QStringLiteral("frmCrear"), [this] { return new frmCrear(services_); });
    launcher_.registerTool(QStringLiteral("frmCombinar"), [this] { return new frmCombinar(services_); });
    launcher_.registerTool(QStringLiteral("frmAdministrar"), [this] { return new frmAdministrar(services_); });
    launcher_.registerTool(QStringLiteral("frmRaices"), [this] { return new frmRaices(services_); });
    launcher_.registerTool(QStringLiteral("frmRaiGen"), [this] { return new frmRaiGen(services_); });
    launcher_.registerTool(QStringLiteral("frmLanSep"), [this] { return new frmLanSep(services_); });

    // Each tool's entry is enabled once its window is registered here.
    const std::pair<QAction *, QString> entries[] = {
        {mnuGenerador, QStringLiteral("frmGenerar")},       {mnuTransformador, QStringLiteral("frmTransformar")},
        {mnuExportador, QStringLiteral("frmExportar")},     {mnuCreador, QStringLiteral("frmCrear")},
        {mnuCombinador, QStringLiteral("frmCombinar")},     {mnuAdministrador, QStringLiteral("frmAdministrar")},
        {mnuRaices, QStringLiteral("frmRaices")},           {mnuRaigen, QStringLiteral("frmRaiGen")},
        {mnuLansep, QStringLiteral("frmLanSep")},
    };
    for (const auto &[action, tool] : entries)
        action->setEnabled(launcher_.hasTool(tool));
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
