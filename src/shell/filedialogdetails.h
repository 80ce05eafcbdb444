#pragma once

class QFileDialog;

namespace vordane {

// Shows the details of Qt's file dialog in Spanish whatever the system's
// language: the type of each file and folder, sizes and dates, with room
// for them in the detail view and for the longest filter label (call it
// once the filters are set).
void showDetailsInSpanish(QFileDialog &dialog);

} // namespace vordane
