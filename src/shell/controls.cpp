#include "shell/controls.h"

#include <QLabel>
#include <QMenuBar>
#include <QVBoxLayout>

namespace vordane {

QString arrayName(const char *name, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(index);
}

void placeWidget(QWidget *widget, const QString &name, const QRect &geometry)
{
    widget->setObjectName(name);
    QRect rect = geometry;
    if (const auto *label = qobject_cast<QLabel *>(widget); label && !label->wordWrap()) {
        rect.setWidth(std::max(rect.width(), label->sizeHint().width()));
        if (rect.height() == 0) // a label placed by its corner alone sizes itself
            rect.setHeight(label->sizeHint().height());
    }
    widget->setGeometry(rect);
}

QWidget *buildClientArea(QWidget *window, int widthTwips, int heightTwips, QMenuBar *menuBar)
{
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (menuBar)
        layout->setMenuBar(menuBar);
    auto *client = new QWidget(window);
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(twipsSize(widthTwips, heightTwips));
    layout->addWidget(client);
    return client;
}

} // namespace vordane
