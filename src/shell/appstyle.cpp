#include "shell/appstyle.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

namespace vordane {

void applyApplicationStyle(QApplication &app)
{
    // Where the program's settings are kept (the folder file dialogs used last).
    QApplication::setOrganizationName(QStringLiteral("Vordane"));
    QApplication::setApplicationName(QStringLiteral("Vordane"));
    QApplication::setApplicationVersion(QStringLiteral(VORDANE_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("vordane"));
    // The installed theme's icon where there is one, else the built-in copy;
    // every window without an icon of its own shows it.
    QIcon builtIn;
    for (const char *size : {"48", "256"})
        builtIn.addFile(QStringLiteral(":/icons/vordane-%1.png").arg(QLatin1String(size)));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vordane"), builtIn));
    // Fonts with the narrow metrics of the classic 8-point dialog font first.
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    app.setFont(font);
}

} // namespace vordane
