#include "shell/appstyle.h"

#include <QApplication>
#include <QFont>

namespace vordane {

void applyApplicationStyle(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Vordane"));
    QApplication::setApplicationVersion(QStringLiteral(VORDANE_VERSION));
    // Fonts with the narrow metrics of the classic 8-point dialog font first.
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    app.setFont(font);
}

} // namespace vordane
