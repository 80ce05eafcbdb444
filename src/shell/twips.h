#pragma once

#include <QRect>
#include <QSize>

namespace vordane {

// Window layouts are given in twips (1/1440 inch): 15 twips per pixel at 96 dpi.
int twips(int value);
QRect twipsRect(int left, int top, int width, int height);
QSize twipsSize(int width, int height);

} // namespace vordane
