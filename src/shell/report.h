#pragma once

#include "common/outcome.h"

#include <QString>

class QWidget;

namespace vordane {

class PlatformServices;

// Shows how an operation ended, in a box titled with the operation: the
// warning with what went wrong, or, on success, the completion message when
// the operation has one. Returns whether it succeeded.
bool report(PlatformServices &services, QWidget *parent, const QString &title, const Outcome &outcome,
            const QString &doneText = QString());

} // namespace vordane
