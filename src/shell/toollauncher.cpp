#include "shell/toollauncher.h"

#include "shell/tightstyle.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include <algorithm>

namespace vordane {

QPoint subWindowPosition(QSize size, QSize room, QPoint proposed)
{
    const auto axis = [](int position, int length, int space) {
        return length > space ? 0 : std::clamp(position, 0, space - length);
    };
    return {axis(proposed.x(), size.width(), room.width()), axis(proposed.y(), size.height(), room.height())};
}

ToolLauncher::ToolLauncher(QMdiArea *area)
    : area_(area)
{
}

void ToolLauncher::registerTool(const QString &key, Factory factory)
{
    factories_.insert(key, std::move(factory));
}

QWidget *ToolLauncher::show(const QString &key)
{
    const auto factory = factories_.constFind(key);
    if (factory == factories_.constEnd())
        return nullptr;
    QPointer<QMdiSubWindow> &sub = open_[key];
    if (!sub) {
        QWidget *content = (*factory)();
        sub = area_->addSubWindow(content);
        // Closing the window destroys it, so the next show starts afresh.
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->setWindowTitle(content->windowTitle());
        keepTitleWhole(sub);
        sub->adjustSize();
        // A window that can shrink opens no larger than the area (a window of
        // fixed size keeps it).
        sub->resize(sub->size().boundedTo(area_->viewport()->size()).expandedTo(sub->minimumSizeHint()));
        // The area places a window larger than itself partly out of reach.
        sub->move(subWindowPosition(sub->size(), area_->viewport()->size(), sub->pos()));
    }
    // A maximized window stays maximized; only a minimized one is restored.
    if (sub->isMinimized())
        sub->showNormal();
    else
        sub->show();
    sub->raise();
    area_->setActiveSubWindow(sub);
    return sub->widget();
}

} // namespace vordane
