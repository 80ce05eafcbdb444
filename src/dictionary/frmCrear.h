#pragma once

#include <QWidget>

#include <array>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vordane {

class PlatformServices;

// The dictionary creator: counterparts out of a three-column listing, and
// upper- or lower-case copies of word files.
class frmCrear : public QWidget {
    Q_OBJECT
public:
    explicit frmCrear(PlatformServices &services, QWidget *parent = nullptr);

    std::array<QLabel *, 2> lblEtiqueta;
    std::array<QLineEdit *, 2> txtArch; // 0: origin, 1: destination
    QPushButton *cmdOrigex;
    QPushButton *cmdDestex;
    QFrame *Line1;
    QPushButton *cmdSeparar;
    QLineEdit *txtSep;
    QPushButton *cmdMayus;
    QPushButton *cmdMinus;

private:
    void cmdOrigex_Click();
    void cmdDestex_Click();
    void cmdSeparar_Click();
    void cmdMayus_Click();
    void cmdMinus_Click();

    PlatformServices &services_;
};

} // namespace vordane
