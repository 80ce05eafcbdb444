#pragma once

#include "common/outcome.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vordane {

class PlatformServices;
struct RootRecord;

// The root creator: looks up and saves roots of one root file, one at a time.
class frmRaices : public QWidget {
    Q_OBJECT
public:
    explicit frmRaices(PlatformServices &services, QWidget *parent = nullptr);

    QLabel *lblArc;
    QLineEdit *txtArc;
    QPushButton *cmdExa;
    QFrame *linSep;
    QLabel *lblCod;
    QLineEdit *txtCod;
    QLabel *lblPal;
    QLineEdit *txtPal;
    QLabel *cmdVal; // a label despite its name
    QLineEdit *txtVal;
    QLabel *lblNiv;
    QComboBox *cmbNiv;
    QPushButton *cmdLim;
    QPushButton *cmdGuardar;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cmdExa_Click();
    void txtArc_Change();
    void txtArc_LostFocus();
    void txtCod_LostFocus();
    void txtPal_LostFocus();
    void txtCod_KeyDown(int keyCode);
    void txtPal_KeyDown(int keyCode);
    void cmdGuardar_Click();
    void cmdLim_Click();

    void lookUpByCode();
    void lookUpByWord(bool full);
    // The root file named in the box, or the empty text after warning that there is none.
    QString rootFile();
    // Shows a failure (titled with the window); true on success.
    bool report(const Outcome &outcome);

    PlatformServices &services_;
};

} // namespace vordane
