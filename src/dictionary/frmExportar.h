#pragma once

#include <QWidget>

#include <array>

class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace vordane {

class PlatformServices;

// The dictionary exporter: two parallel lists into "origin = translation" lines.
class frmExportar : public QWidget {
    Q_OBJECT
public:
    explicit frmExportar(PlatformServices &services, QWidget *parent = nullptr);

    QGroupBox *fraOriginal;
    QLineEdit *txtOrigen;
    QPushButton *cmdExaminar1;
    std::array<QRadioButton *, 3> optForma1; // upper, lower, unchanged
    QGroupBox *fraTraduccion; // object name "fraTraducción"
    QLineEdit *txtTraduccion;
    QPushButton *cmdExaminar2;
    std::array<QRadioButton *, 3> optForma2;
    QGroupBox *fraDestino;
    QLineEdit *txtDestino;
    QPushButton *cmdExaminar3;
    QCheckBox *chkOmitir;
    QPushButton *cmdExportar;

private:
    void cmdExaminar1_Click();
    void cmdExaminar2_Click();
    void cmdExaminar3_Click();
    void cmdExportar_Click();

    PlatformServices &services_;
};

} // namespace vordane
