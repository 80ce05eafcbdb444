#include "shell/workshopparts.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QVBoxLayout>

namespace vordane {

QWidget *pane(QLabel *caption, QWidget *control, QWidget *below, QLayout *header)
{
    auto *widget = new QWidget;
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    caption->setBuddy(control);
    if (header)
        layout->addLayout(header);
    else
        layout->addWidget(caption);
    layout->addWidget(control, 1);
    if (below)
        layout->addWidget(below);
    return widget;
}

QAction *windowAction(QWidget *window, QMenu *menu, const char *name, const QString &caption,
                      const QKeySequence &keys)
{
    QAction *action = named(menu->addAction(caption), name);
    action->setShortcut(keys);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    window->addAction(action);
    return action;
}

} // namespace vordane
