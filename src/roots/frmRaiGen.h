#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vordane {

class PlatformServices;

// The language generator: a root file and a word list into a language file.
class frmRaiGen : public QWidget {
    Q_OBJECT
public:
    explicit frmRaiGen(PlatformServices &services, QWidget *parent = nullptr);

    QLabel *lblPal;
    QLineEdit *txtPal;
    QPushButton *cmdExa;
    QLabel *lblRad;
    QLineEdit *txtRad;
    QPushButton *cmdExa2;
    QLabel *lblOut;
    QLineEdit *txtOut;
    QPushButton *cmdExa3;
    QLabel *lblOrd;
    QComboBox *cmbOrd;
    QPushButton *cmdGen;

private:
    void cmdExa_Click();
    void cmdExa2_Click();
    void cmdExa3_Click();
    void cmdGen_Click();

    PlatformServices &services_;
};

} // namespace vordane
