#include "app/frmVordane.h"
#include "common/qttranslation.h"
#include "shell/appstyle.h"
#include "shell/application.h"
#include "shell/qtplatformservices.h"

int main(int argc, char *argv[])
{
    vordane::QtPlatformServices services;
    vordane::Application app(argc, argv, services);
    vordane::installQtTranslation(app);
    vordane::applyApplicationStyle(app);
    vordane::frmVordane window(services);
    window.show();
    return app.exec();
}
