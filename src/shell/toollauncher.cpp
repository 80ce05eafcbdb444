#include "shell/toollauncher.h"

#include "shell/tightstyle.h"
#include "shell/windowfit.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>

namespace vordane {

QPoint subWindowPosition(QSize size, QSize room, QPoint proposed)
{
    return positionWithin(size, QRect(QPoint(0, 0), room), proposed);
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
        // A window opens no larger than the area, so that its title bar and
        // its close button are in reach; what it does not show it scrolls.
        const QSize room = area_->viewport()->size();
        sub->resize(fittedSize(sub->sizeHint(), sub->minimumSizeHint(), room,
                               sub->style()->pixelMetric(QStyle::PM_ScrollBarExtent)));
        sub->move(subWindowPosition(sub->size(), room, sub->pos()));
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
