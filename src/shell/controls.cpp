#include "shell/controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
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
    } else if (qobject_cast<QCheckBox *>(widget) || qobject_cast<QRadioButton *>(widget)) {
        // A caption that needs a few pixels more than the layout gives it.
        if (!static_cast<QAbstractButton *>(widget)->text().isEmpty())
            rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
    }
    widget->setGeometry(rect);
}

void keepTypedText(QComboBox *combo)
{
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    // The combo box's own reaction to the end of editing looks the text up
    // among the items, case-insensitively, and selects what it finds.
    QObject::disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
}

QStringList listTexts(const QListWidget *list)
{
    QStringList texts;
    texts.reserve(list->count());
    for (int row = 0; row < list->count(); ++row)
        texts.append(list->item(row)->text());
    return texts;
}

void setListTexts(QListWidget *list, const QStringList &texts)
{
    list->clear();
    list->addItems(texts);
}

void appendAndShow(QListWidget *list, const QString &text)
{
    list->addItem(text);
    list->scrollToItem(list->item(list->count() - 1));
}

QFrame *horizontalLine(QWidget *parent)
{
    auto *line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    return line;
}

void setTabOrderChain(const QList<QWidget *> &widgets)
{
    for (qsizetype i = 0; i + 1 < widgets.size(); ++i)
        QWidget::setTabOrder(widgets.at(i), widgets.at(i + 1));
}

int keyCode(const QKeyEvent *event)
{
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) ? kEnterKeyCode : event->key();
}

void showStatus(QLineEdit *box, const QString &status)
{
    box->setText(status);
    box->repaint();
}

std::array<QRadioButton *, 3> buildCaseOptions(QWidget *frame, const std::array<QString, 3> &names,
                                               const QString &unchangedCaption, const QRect &firstTwips, int step)
{
    const std::array<QString, 3> captions{QStringLiteral("Mayúsculas"), QStringLiteral("Minúsculas"), unchangedCaption};
    std::array<QRadioButton *, 3> options{};
    for (std::size_t i = 0; i < options.size(); ++i) {
        options[i] = placeControl(new QRadioButton(captions[i], frame), names[i], firstTwips.left(),
                                  firstTwips.top() + step * int(i), firstTwips.width(), firstTwips.height());
    }
    options[0]->setChecked(true);
    return options;
}

CaseOption chosenCase(const QRadioButton *upper, const QRadioButton *lower)
{
    if (upper->isChecked())
        return CaseOption::Upper;
    if (lower->isChecked())
        return CaseOption::Lower;
    return CaseOption::Unchanged;
}

namespace {

// Enlists the command buttons of one window when it is shown, and presses an
// enlisted button on Enter. A button of a dialog that the window owns belongs
// to that dialog, not to this window.
class EnterPressesButtons final : public QObject {
public:
    explicit EnterPressesButtons(QWidget *window)
        : QObject(window)
        , window_(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == window_ && event->type() == QEvent::Show) {
            for (QPushButton *button : window_->findChildren<QPushButton *>()) {
                if (button->window() != window_->window())
                    continue;
                button->setAutoDefault(false);
                button->setDefault(false);
                button->installEventFilter(this);
            }
        } else if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            auto *button = qobject_cast<QPushButton *>(watched);
            const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
            if (button && keyCode(key) == kEnterKeyCode && modifiers == Qt::NoModifier) {
                if (!key->isAutoRepeat()) // holding Enter presses once, as holding Space does
                    button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget *window_;
};

} // namespace

void pressButtonsWithEnter(QWidget *window)
{
    new EnterPressesButtons(window);
}

namespace {

// Holds a window's client area at its specified size: the window shows all
// of it where there is room, and scrolls it where the screen is smaller.
class ClientScrollArea final : public QScrollArea {
public:
    explicit ClientScrollArea(QWidget *parent)
        : QScrollArea(parent)
    {
        setFrameShape(QFrame::NoFrame);
        // Not a stop of its own in the window's tab order; a control that
        // receives the focus is scrolled into view all the same.
        setFocusPolicy(Qt::NoFocus);
    }

    void holdClient(QWidget *client)
    {
        setWidget(client);
        // Room for the bar across a direction that scrolls, and no more.
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        setMaximumSize(client->size() + QSize(bar, bar));
    }

    // The whole client area (Qt's own hint caps it at a few dozen lines).
    QSize sizeHint() const override { return widget() ? widget()->size() : QScrollArea::sizeHint(); }
};

} // namespace

QWidget *buildClientArea(QWidget *window, int widthTwips, int heightTwips, QMenuBar *menuBar)
{
    pressButtonsWithEnter(window);
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (menuBar)
        layout->setMenuBar(menuBar);
    auto *area = new ClientScrollArea(window);
    area->setObjectName(QStringLiteral("clientScroll"));
    auto *client = new QWidget;
    client->setObjectName(QStringLiteral("clientArea"));
    client->setFixedSize(twipsSize(widthTwips, heightTwips));
    area->holdClient(client);
    layout->addWidget(area);
    return client;
}

} // namespace vordane
