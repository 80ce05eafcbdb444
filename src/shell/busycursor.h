#pragma once

#include <QWidget>

namespace vordane {

// Shows the hourglass over a window for as long as it lives.
class BusyCursor {
public:
    explicit BusyCursor(QWidget *window)
        : window_(window)
    {
        window_->setCursor(Qt::WaitCursor);
    }
    ~BusyCursor() { window_->unsetCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    QWidget *window_;
};

} // namespace vordane
