#include "shell/appstyle.h"

#include <QApplication>
#include <QFont>

namespace vordane {

void applyApplicationStyle(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Vordane"));
    QApplication::setApplicationVersion(QStringLiteral(VORDANE_VERSION));
    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    app.setFont(font);
}

} // namespace vordane
