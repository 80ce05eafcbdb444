#include "shell/tightstyle.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>

#include <algorithm>

namespace vordane {

namespace {

// A line edit keeps 2 pixels on either side of its text and 1 for the caret.
constexpr int kLineEditChrome = 2 * 2 + 1;

int oneCharacterWidth(const QFontMetrics &metrics)
{
    return std::max(metrics.horizontalAdvance(QLatin1Char('W')), metrics.horizontalAdvance(QLatin1Char('M')))
        + kLineEditChrome;
}

// Fusion elides a title this many pixels short of its place, though the
// window has already cut it to fit.
constexpr int kFusionTitleSlack = 14;

// Narrower than this, the arrow is hard to see and to hit.
int minimumArrowWidth(const QFontMetrics &metrics)
{
    return std::max(9, metrics.height() * 3 / 4);
}

class TightStyle : public QProxyStyle {
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget) const override
    {
        if (control == CC_GroupBox && sub == SC_GroupBoxFrame) {
            if (const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option); box && box->text.isEmpty()) {
                QStyleOptionGroupBox captioned(*box);
                captioned.text = QStringLiteral(" ");
                return QProxyStyle::subControlRect(control, &captioned, sub, widget);
            }
        }
        QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
        if (control == CC_TitleBar && sub == SC_TitleBarLabel && drawingTitleBar_)
            return rect.adjusted(-kFusionTitleSlack / 2, 0, kFusionTitleSlack - kFusionTitleSlack / 2, 0);
        if (control != CC_ComboBox || option->direction != Qt::LeftToRight)
            return rect;
        if (sub == SC_ComboBoxArrow)
            rect.setLeft(rect.left() + arrowSaving(option, widget));
        else if (sub == SC_ComboBoxEditField)
            rect.setRight(rect.right() + arrowSaving(option, widget));
        return rect;
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        // Some styles lift the frame of a group box that has no caption;
        // drawn as for any group box, it stays where the captioned ones are.
        if (element == PE_FrameGroupBox && qobject_cast<const QGroupBox *>(widget))
            widget = nullptr;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override
    {
        // While Fusion draws a title bar its label is as much wider, on both
        // sides, as it then elides the title short: the centred title keeps its place.
        const bool widen = control == CC_TitleBar && baseStyle()->name() == QLatin1String("fusion");
        drawingTitleBar_ = widen;
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        drawingTitleBar_ = false;
    }

    // How much narrower than the base style's the arrow is drawn, so that the
    // text area holds one whole character.
    int arrowSaving(const QStyleOptionComplex *option, const QWidget *widget) const
    {
        const QRect edit = QProxyStyle::subControlRect(CC_ComboBox, option, SC_ComboBoxEditField, widget);
        const QRect arrow = QProxyStyle::subControlRect(CC_ComboBox, option, SC_ComboBoxArrow, widget);
        const int missing = oneCharacterWidth(option->fontMetrics) - edit.width();
        const int spare = arrow.width() - minimumArrowWidth(option->fontMetrics);
        return std::clamp(missing, 0, std::max(0, spare));
    }

private:
    mutable bool drawingTitleBar_ = false;
};

// One style for every tight control; it lives as long as the application.
TightStyle *tightStyle()
{
    static QPointer<TightStyle> style;
    if (!style) {
        style = new TightStyle;
        style->setParent(qApp);
    }
    return style;
}

} // namespace

void fitOneCharacter(QComboBox *combo)
{
    TightStyle *style = tightStyle();
    combo->setStyle(style);
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.frame = combo->hasFrame();
    option.subControls = QStyle::SC_All;
    const int edit = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
    const int missing = oneCharacterWidth(combo->fontMetrics()) - edit;
    if (missing > 0) {
        const QRect geometry = combo->geometry();
        combo->setGeometry(geometry.adjusted(-missing, 0, 0, 0));
    }
}

void keepFrameInLine(QGroupBox *frame)
{
    frame->setStyle(tightStyle());
}

void keepTitleWhole(QMdiSubWindow *window)
{
    window->setStyle(tightStyle());
}

} // namespace vordane
