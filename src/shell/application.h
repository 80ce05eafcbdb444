#pragma once

#include <QApplication>

namespace vordane {

class PlatformServices;

// The program's application object. Engines report memory that ran out as a
// failed outcome; should an allocation fail anywhere else while an event is
// handled (a text box asked to hold more than there is memory for), the
// user is told so and the program goes on, instead of ending.
class Application : public QApplication {
public:
    Application(int &argc, char **argv, PlatformServices &services);
    bool notify(QObject *receiver, QEvent *event) override;

private:
    PlatformServices &services_;
};

} // namespace vordane
