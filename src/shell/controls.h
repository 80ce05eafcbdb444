#pragma once

#include "common/textcase.h"
#include "shell/twips.h"

#include <QString>
#include <QWidget>

#include <array>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLineEdit;
class QListWidget;
class QMenuBar;
class QRadioButton;

namespace vordane {

// The object name of a control-array element: "cmbIdent(3)".
QString arrayName(const char *name, int index);

// Names a control and places it in its parent at a twips rectangle. A label,
// check box or option button grows to the right when its caption would not
// fit, so that no caption is clipped by a font wider than the one the
// layout was drawn for.
void placeWidget(QWidget *widget, const QString &name, const QRect &geometry);

template <typename Widget>
Widget *placeControl(Widget *widget, const QString &name, int left, int top, int width, int height)
{
    placeWidget(widget, name, twipsRect(left, top, width, height));
    return widget;
}

template <typename Widget>
Widget *placeControl(Widget *widget, const char *name, int left, int top, int width, int height)
{
    return placeControl(widget, QLatin1String(name), left, top, width, height);
}

// Makes an editable combo box keep exactly the text typed into it: no
// completion, and leaving the box (Tab, Enter, a click elsewhere) neither
// picks the list item that matches the text without regard to case nor
// counts as choosing an item. Only choosing from the list does that.
void keepTypedText(QComboBox *combo);

// The texts of a list box, top to bottom, and the list box filled with texts.
QStringList listTexts(const QListWidget *list);
void setListTexts(QListWidget *list, const QStringList &texts);

// Appends a text to a list box and scrolls the list so that it shows it.
void appendAndShow(QListWidget *list, const QString &text);

// A horizontal line control.
QFrame *horizontalLine(QWidget *parent);

// Tab order through the widgets in the order given.
void setTabOrderChain(const QList<QWidget *> &widgets);

// Enter (either key) as key code 13, any other key as its Qt key.
int keyCode(const QKeyEvent *event);
inline constexpr int kEnterKeyCode = 13;

// Shows a status text at once, even while a handler keeps the event loop waiting.
void showStatus(QLineEdit *box, const QString &status);

// The three case options of a frame, one under the other from (left, top) in
// steps of `step` twips: "Mayúsculas", "Minúsculas" and `unchangedCaption`,
// named names[0..2]; "Mayúsculas" selected.
std::array<QRadioButton *, 3> buildCaseOptions(QWidget *frame, const std::array<QString, 3> &names,
                                               const QString &unchangedCaption, const QRect &firstTwips, int step);

// The case option an "upper / lower / unchanged" group of option buttons selects.
CaseOption chosenCase(const QRadioButton *upper, const QRadioButton *lower);

// Makes Enter, like Space, press whichever command button of the window has
// the focus, and leaves no button as a dialog's default, so that Enter in a
// box never presses a button. Takes effect for the buttons the window holds
// when it is shown.
void pressButtonsWithEnter(QWidget *window);

// Gives a window a client area of the given size in twips, below an optional
// menu bar, and returns it: controls are placed inside it. The client area
// keeps that size; a window made smaller than it (a small screen) scrolls it.
// Enter presses the window's buttons (pressButtonsWithEnter).
QWidget *buildClientArea(QWidget *window, int widthTwips, int heightTwips, QMenuBar *menuBar = nullptr);

} // namespace vordane
