#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

namespace vordane {

// A small bar chart painted by hand: one group of bars per label, one bar
// per series in each group, a value axis with a few grid lines and a legend.
// Labels that do not fit under their group are thinned out; every bar's
// values show in a tool tip. Meant for a few dozen groups that change often,
// so it paints only what is asked and keeps no scene of items.
class BarChart : public QWidget {
    Q_OBJECT
public:
    enum class Unit { Percent, Count };
    struct Series {
        QString name;
        QColor color;
        std::vector<double> values; // one per label; percentages (0-100) or counts
    };

    explicit BarChart(const QString &title, Unit unit = Unit::Percent, QWidget *parent = nullptr);

    void setData(const QStringList &labels, std::vector<Series> series);
    void clear() { setData({}, {}); }

    const QString &title() const { return title_; }
    const QStringList &labels() const { return labels_; }
    const std::vector<Series> &series() const { return series_; }
    // What the tool tip of a group says: its label and each series' value.
    QString groupText(int group) const;
    // The group under a point of the widget, or -1.
    int groupAt(const QPoint &point) const;

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    struct Frame {
        QRect plot; // where the bars go
        double top = 1; // the value at the top of the plot
        double step = 1; // between grid lines
    };
    Frame frame() const;
    QString valueText(double value, bool axis) const;

    QString title_;
    Unit unit_;
    QStringList labels_;
    std::vector<Series> series_;
};

} // namespace vordane
