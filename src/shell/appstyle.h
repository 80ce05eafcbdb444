#pragma once

class QApplication;

namespace vordane {

// Application name and icon, and the 8-point sans-serif font the layouts were drawn for.
void applyApplicationStyle(QApplication &app);

} // namespace vordane
