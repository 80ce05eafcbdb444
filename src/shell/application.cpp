#include "shell/application.h"

#include "common/messages.h"
#include "shell/platformservices.h"

#include <new>

namespace vordane {

Application::Application(int &argc, char **argv, PlatformServices &services)
    : QApplication(argc, argv)
    , services_(services)
{
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc &) {
        services_.warning(activeWindow(), QStringLiteral("Vordane"), messages::kOutOfMemory);
        return false;
    }
}

} // namespace vordane
