#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QLabel;
class QLayout;
class QMenu;
class QWidget;

// Pieces the workshop windows (resizable, not of fixed layout) are built of.
namespace vordane {

// The widget, named for tests and screenshots, with its tip if given.
template <typename Widget> Widget *named(Widget *widget, const char *name, const QString &toolTip = QString())
{
    widget->setObjectName(QLatin1String(name));
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

// A pane: its caption (with the control as buddy, or `header` in its place)
// above the control, and `below` under it.
QWidget *pane(QLabel *caption, QWidget *control, QWidget *below = nullptr, QLayout *header = nullptr);

// An entry of a window's menu whose keys work in that window only, not in
// the other tool windows.
QAction *windowAction(QWidget *window, QMenu *menu, const char *name, const QString &caption,
                      const QKeySequence &keys);

} // namespace vordane
