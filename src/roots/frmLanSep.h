#pragma once

#include <QWidget>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vordane {

class PlatformServices;

// The language separator: a language file into origin words and forms.
class frmLanSep : public QWidget {
    Q_OBJECT
public:
    explicit frmLanSep(PlatformServices &services, QWidget *parent = nullptr);

    QGroupBox *fraOri;
    QLineEdit *txtOri;
    QPushButton *cmdExa;
    QGroupBox *fraPOr;
    QLineEdit *txtPOr;
    QPushButton *cmdExa2;
    QRadioButton *optMay;
    QRadioButton *optMin;
    QRadioButton *optNoc;
    QGroupBox *fraDic;
    QLineEdit *txtDic;
    QPushButton *cmdExa3;
    QRadioButton *optMay2;
    QRadioButton *optMin2;
    QRadioButton *optNoc2;
    QPushButton *cmdSep;

private:
    void cmdExa_Click();
    void cmdExa2_Click();
    void cmdExa3_Click();
    void cmdSep_Click();

    PlatformServices &services_;
};

} // namespace vordane
