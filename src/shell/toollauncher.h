#pragma once

#include <QHash>
#include <QPoint>
#include <QPointer>
#include <QSize>
#include <QString>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace vordane {

// Where a new sub-window of `size` goes in an MDI viewport of `room`, given
// the position the area proposed: along each axis it is moved wholly into
// view, or to the start where it is longer than the view, so that its title
// bar shows.
QPoint subWindowPosition(QSize size, QSize room, QPoint proposed);

// Keeps at most one window per tool inside the MDI area: created on first
// use, brought to the front (and restored if it was minimized) when chosen
// again, created afresh after the user closed it.
class ToolLauncher {
public:
    using Factory = std::function<QWidget *()>;

    explicit ToolLauncher(QMdiArea *area);

    void registerTool(const QString &key, Factory factory);

    // Shows the tool's window; returns it (nullptr for an unknown tool).
    QWidget *show(const QString &key);

private:
    QMdiArea *area_;
    QHash<QString, Factory> factories_;
    QHash<QString, QPointer<QMdiSubWindow>> open_;
};

} // namespace vordane
