#include "shell/windowfit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace vordane {

QSize fittedSize(QSize wanted, QSize minimum, QSize room, int scrollBar)
{
    int width = std::min(wanted.width(), room.width());
    int height = std::min(wanted.height(), room.height());
    // A scroll bar along one side takes room from the other direction; the
    // second pass covers a bar that the first one made necessary.
    for (int pass = 0; pass < 2; ++pass) {
        if (width < wanted.width())
            height = std::min(wanted.height() + scrollBar, room.height());
        if (height < wanted.height())
            width = std::min(wanted.width() + scrollBar, room.width());
    }
    return QSize(width, height).expandedTo(minimum);
}

QPoint positionWithin(QSize size, const QRect &room, QPoint proposed)
{
    const auto axis = [](int position, int length, int start, int space) {
        return length > space ? start : std::clamp(position, start, start + space - length);
    };
    return {axis(proposed.x(), size.width(), room.x(), room.width()),
            axis(proposed.y(), size.height(), room.y(), room.height())};
}

QMargins windowFrame(const QWidget *window)
{
    if (window->isVisible() && window->frameGeometry() != window->geometry()) {
        const QRect outer = window->frameGeometry();
        const QRect inner = window->geometry();
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                        outer.bottom() - inner.bottom());
    }
    // Window managers draw the title in a bold font of 11 points or more,
    // with room above and below.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    font.setPointSizeF(std::max(font.pointSizeF(), 11.0));
    const int titleBar = std::max(QFontMetrics(font).height() + 12,
                                  window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window));
    constexpr int kBorder = 4;
    return QMargins(kBorder, titleBar, kBorder, kBorder);
}

QRect fittedWindowGeometry(QSize wanted, QSize minimum, const QMargins &frame, const QRect &available, QPoint centre,
                           int scrollBar)
{
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    const QSize size = fittedSize(wanted, minimum, available.size() - frameSize, scrollBar);
    const QPoint frameCorner =
        centre - QPoint((size.width() + frameSize.width()) / 2, (size.height() + frameSize.height()) / 2);
    const QPoint placed = positionWithin(size + frameSize, available, frameCorner);
    return QRect(placed + QPoint(frame.left(), frame.top()), size);
}

void fitWindow(QWidget *window, const QRect &available)
{
    const QWidget *parent = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QPoint centre = parent && parent->isVisible() ? parent->frameGeometry().center() : available.center();
    const QMargins frame = windowFrame(window);
    const QRect geometry =
        fittedWindowGeometry(window->sizeHint().expandedTo(window->minimumSize()), window->minimumSizeHint(), frame,
                             available, centre, window->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    window->resize(geometry.size());
    // A top-level window is moved by its frame.
    window->move(geometry.topLeft() - QPoint(frame.left(), frame.top()));
}

QRect availableScreenArea(const QWidget *window)
{
    const QWidget *anchor = window->parentWidget() ? window->parentWidget()->window() : window;
    QScreen *screen = anchor->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

} // namespace vordane
