#include "app/frmVordane.h"
#include "common/qttranslation.h"
#include "common/temporaryfile.h"
#include "shell/application.h"
#include "shell/appstyle.h"
#include "shell/qtplatformservices.h"

int main(int argc, char *argv[])
{
    // An interrupted save leaves no temporary file behind.
    vordane::removeTemporariesOnSignals();
    vordane::QtPlatformServices services;
    vordane::Application app(argc, argv, services);
    vordane::installQtTranslation(app);
    vordane::applyApplicationStyle(app);
    vordane::frmVordane window(services);
    window.show();
    return app.exec();
}
