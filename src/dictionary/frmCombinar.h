#pragma once

#include "dictionary/dictionarytools.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vordane {

class PlatformServices;

// The dictionary combiner: up to ten parallel lists mixed line by line by percentages.
class frmCombinar : public QWidget {
    Q_OBJECT
public:
    explicit frmCombinar(PlatformServices &services, QWidget *parent = nullptr);

    // The index of the last row in use.
    int ultimaFila = 1;

    std::array<QCheckBox *, kCombinerRows> Utilizo;
    std::array<QLineEdit *, kCombinerRows> txtNombre;
    std::array<QPushButton *, kCombinerRows> cmdExaminar;
    std::array<QLineEdit *, kCombinerRows> cmdPorcenta; // a text box despite its name
    std::array<QLabel *, kCombinerRows> Label1;
    std::array<QFrame *, 2> ln;
    QLineEdit *txtDestino;
    QPushButton *txtExaDes; // a button despite its name
    QPushButton *txtCombinar; // a button despite its name

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void cmdExaminar_Click(int index);
    void txtExaDes_Click();
    void Utilizo_Click(int index);
    void cmdPorcenta_KeyDown(int index, int keyCode);
    void txtCombinar_Click();
    void takeIntoUse(int k);
    void takeOutOfUse(int k);

    PlatformServices &services_;
};

} // namespace vordane
