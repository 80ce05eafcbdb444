#pragma once

#include "app/frmVordane.h"

#include <span>

class QAction;
class QWidget;

namespace vordane {

class PlatformServices;

// One entry of the "Programas" menu and the tool window it opens.
struct ProgramTool {
    const char *entry; // the menu entry's name
    const char *caption; // the menu entry's caption
    QAction *frmVordane::*action; // the main window's member for the entry
    const char *window; // the tool window's name
    QWidget *(*create)(PlatformServices &services);
};

// The tools of the "Programas" menu, in menu order. A new tool is one more
// row here and one more entry member in frmVordane.
std::span<const ProgramTool> programTools();

} // namespace vordane
