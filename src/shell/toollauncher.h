#pragma once

#include <QHash>
#include <QPointer>
#include <QString>

#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace vordane {

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
