#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace vordane {

// How windows find room on screens smaller than they were drawn for (a
// small laptop screen, a large scale factor). A window whose specified
// size does not fit keeps that size inside, behind scroll bars, and only
// its outer window shrinks.

// The size a window gets in `room`: `wanted` where it fits, else as much of
// it as there is room for, plus `scrollBar` pixels across where the other
// direction needs a scroll bar, so that a window narrower than its content
// is not made to scroll both ways. Never below `minimum`.
QSize fittedSize(QSize wanted, QSize minimum, QSize room, int scrollBar);

// Where a window of `size` goes in `room` near the position proposed: along
// each axis wholly inside, or at its start where it is longer than the room,
// so that its title bar shows.
QPoint positionWithin(QSize size, const QRect &room, QPoint proposed);

// The frame a window manager puts around a top-level window, as far as it is
// known: the real one once the window has been shown, else a generous
// estimate (a title bar in a large bold font, thin borders).
QMargins windowFrame(const QWidget *window);

// The client geometry of a top-level window that wants `wanted` (its size
// hint), with its frame, in the screen area `available`, centred on `centre`.
QRect fittedWindowGeometry(QSize wanted, QSize minimum, const QMargins &frame, const QRect &available, QPoint centre,
                           int scrollBar);

// Resizes and places a top-level window for the screen area `available`,
// centred on its parent window, or on the area when it has none.
void fitWindow(QWidget *window, const QRect &available);

// The available area of the screen a window opens on (its parent's screen).
QRect availableScreenArea(const QWidget *window);

} // namespace vordane
