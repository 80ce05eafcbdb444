#pragma once

class QComboBox;
class QGroupBox;
class QMdiSubWindow;

namespace vordane {

// Makes an editable combo box's text area hold one whole character of its
// font (the widest capitals): its arrow narrows first, and only where that
// is not enough does the box grow, to the left, keeping its right edge.
void fitOneCharacter(QComboBox *combo);

// Draws a group box's frame where a captioned one's stands, caption or not,
// so that a row of frames stays in line when some of them get a caption.
void keepFrameInLine(QGroupBox *frame);

// Shows a sub-window's title whole wherever its title bar has room for it
// (some styles cut it a margin short of the buttons).
void keepTitleWhole(QMdiSubWindow *window);

} // namespace vordane
