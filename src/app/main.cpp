#include "common/qttranslation.h"
#include "shell/appstyle.h"
#include "shell/frmVordane.h"
#include "shell/qtplatformservices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vordane::installQtTranslation(app);
    vordane::applyApplicationStyle(app);
    vordane::QtPlatformServices services;
    vordane::frmVordane window(services);
    window.show();
    return app.exec();
}
