#include "shell/twips.h"

namespace vordane {

int twips(int value)
{
    // Round half away from zero so that a layout and its mirror image agree.
    return value >= 0 ? (value + 7) / 15 : -((-value + 7) / 15);
}

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

QSize twipsSize(int width, int height)
{
    return QSize(twips(width), twips(height));
}

} // namespace vordane
