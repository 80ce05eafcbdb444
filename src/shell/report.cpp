#include "shell/report.h"

#include "shell/platformservices.h"

namespace vordane {

bool report(PlatformServices &services, QWidget *parent, const QString &title, const Outcome &outcome,
            const QString &doneText)
{
    if (!outcome.ok()) {
        services.warning(parent, title, outcome.message());
        return false;
    }
    if (!doneText.isEmpty())
        services.information(parent, title, doneText);
    return true;
}

} // namespace vordane
