#include "wordgen/barchart.h"

#include "transformer/workshopmodels.h"

#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace vordane {

namespace {

constexpr int kMargin = 4;

// A round step for about `lines` grid lines up to `most`: 1, 2 or 5 times a power of ten.
double niceStep(double most, int lines)
{
    const double raw = most / lines;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (raw <= factor * power)
            return factor * power;
    }
    return 10 * power;
}

} // namespace

BarChart::BarChart(const QString &title, Unit unit, QWidget *parent)
    : QWidget(parent)
    , title_(title)
    , unit_(unit)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void BarChart::setData(const QStringList &labels, std::vector<Series> series)
{
    labels_ = labels;
    series_ = std::move(series);
    for (Series &one : series_)
        one.values.resize(std::size_t(labels_.size()));
    update();
}

QString BarChart::valueText(double value, bool axis) const
{
    if (unit_ == Unit::Count)
        return spanishNumber(qint64(std::llround(value)));
    // Grid lines of whole steps need no decimals; tool tips show one or two.
    const int decimals = axis ? (value == std::floor(value) ? 0 : 1) : (value < 1 ? 2 : 1);
    return spanishNumber(value, decimals) + QStringLiteral(" %");
}

QString BarChart::groupText(int group) const
{
    if (group < 0 || group >= labels_.size())
        return QString();
    QStringList lines{labels_.at(group)};
    for (const Series &one : series_)
        lines.append(QStringLiteral("%1: %2").arg(one.name, valueText(one.values[std::size_t(group)], false)));
    return lines.join(u'\n');
}

BarChart::Frame BarChart::frame() const
{
    const QFontMetrics metrics = fontMetrics();
    double most = 0;
    for (const Series &one : series_) {
        for (const double value : one.values)
            most = std::max(most, value);
    }
    Frame f;
    f.step = most > 0 ? niceStep(most, 4) : (unit_ == Unit::Count ? 1 : 10);
    if (unit_ == Unit::Count)
        f.step = std::max(1.0, std::round(f.step));
    f.top = std::max(f.step, std::ceil(most / f.step - 1e-9) * f.step);
    const int axisWidth = std::max(metrics.horizontalAdvance(valueText(f.top, true)),
                                   metrics.horizontalAdvance(valueText(f.step, true)));
    const int titleHeight = metrics.height() + 2;
    const int legendHeight = series_.size() > 1 ? metrics.height() + 2 : 0;
    const int labelHeight = metrics.height() + 2;
    // Half a line above the top grid line, for its value.
    f.plot = QRect(QPoint(kMargin + axisWidth + 4, kMargin + titleHeight + legendHeight + metrics.height() / 2),
                   QPoint(width() - 1 - kMargin, height() - 1 - kMargin - labelHeight));
    return f;
}

int BarChart::groupAt(const QPoint &point) const
{
    const Frame f = frame();
    if (labels_.isEmpty() || f.plot.width() <= 0 || point.x() < f.plot.left() || point.x() > f.plot.right()
        || point.y() < f.plot.top() || point.y() > f.plot.bottom() + fontMetrics().height() + 2)
        return -1;
    const double groupWidth = double(f.plot.width()) / double(labels_.size());
    return std::clamp(int((point.x() - f.plot.left()) / groupWidth), 0, int(labels_.size()) - 1);
}

QSize BarChart::minimumSizeHint() const
{
    const QFontMetrics metrics = fontMetrics();
    return QSize(metrics.horizontalAdvance(title_) / 2 + 60, metrics.height() * 6);
}

QSize BarChart::sizeHint() const
{
    return QSize(320, fontMetrics().height() * 12);
}

void BarChart::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    const QFontMetrics metrics = fontMetrics();
    const QColor text = palette().color(QPalette::Text);
    const QColor grid = palette().color(QPalette::Mid);

    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(text);
    painter.drawText(QRect(kMargin, kMargin, width() - 2 * kMargin, metrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                     QFontMetrics(bold).elidedText(title_, Qt::ElideRight, width() - 2 * kMargin));
    painter.setFont(font());

    const Frame f = frame();
    if (f.plot.width() < 4 || f.plot.height() < 4)
        return;

    // The legend, right under the title.
    if (series_.size() > 1) {
        int x = kMargin;
        const int y = kMargin + metrics.height() + 2;
        for (const Series &one : series_) {
            const int box = metrics.height() - 4;
            painter.fillRect(QRect(x, y + 2, box, box), one.color);
            x += box + 4;
            painter.setPen(text);
            painter.drawText(QRect(x, y, metrics.horizontalAdvance(one.name) + 2, metrics.height()),
                             Qt::AlignLeft | Qt::AlignVCenter, one.name);
            x += metrics.horizontalAdvance(one.name) + 12;
        }
    }

    // Grid lines and their values.
    const auto yOf = [&](double value) {
        return f.plot.bottom() - int(std::lround(value / f.top * f.plot.height()));
    };
    for (double value = 0; value <= f.top + f.step / 2; value += f.step) {
        const int y = yOf(value);
        painter.setPen(value == 0 ? text : grid);
        painter.drawLine(f.plot.left(), y, f.plot.right(), y);
        painter.setPen(text);
        painter.drawText(QRect(kMargin, y - metrics.height() / 2, f.plot.left() - kMargin - 4, metrics.height()),
                         Qt::AlignRight | Qt::AlignVCenter, valueText(value, true));
    }
    if (labels_.isEmpty())
        return;

    // The bars, a group per label.
    const double groupWidth = double(f.plot.width()) / double(labels_.size());
    const double gap = std::min(groupWidth * 0.2, 8.0);
    const double barWidth = (groupWidth - gap) / double(std::max<std::size_t>(1, series_.size()));
    for (qsizetype group = 0; group < labels_.size(); ++group) {
        const double left = f.plot.left() + group * groupWidth + gap / 2;
        for (std::size_t s = 0; s < series_.size(); ++s) {
            const double value = series_[s].values[std::size_t(group)];
            if (value <= 0)
                continue;
            const int top = yOf(std::min(value, f.top));
            const int x0 = int(std::lround(left + double(s) * barWidth));
            const int x1 = std::max(x0 + 1, int(std::lround(left + double(s + 1) * barWidth)));
            painter.fillRect(QRect(QPoint(x0, top), QPoint(x1 - 1, f.plot.bottom() - 1)), series_[s].color);
        }
    }

    // The labels, every k-th where they would overlap.
    int widest = 0;
    for (const QString &label : labels_)
        widest = std::max(widest, metrics.horizontalAdvance(label));
    const int every = std::max(1, int(std::ceil((widest + 4) / groupWidth)));
    painter.setPen(text);
    for (qsizetype group = 0; group < labels_.size(); group += every) {
        const int centre = int(std::lround(f.plot.left() + (double(group) + 0.5) * groupWidth));
        const int room = int(groupWidth * every);
        painter.drawText(QRect(centre - room / 2, f.plot.bottom() + 2, room, metrics.height()), Qt::AlignCenter,
                         metrics.elidedText(labels_.at(group), Qt::ElideRight, room));
    }
}

bool BarChart::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = groupText(groupAt(help->pos()));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

} // namespace vordane
