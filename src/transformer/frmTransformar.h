#pragma once

#include <QWidget>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMenuBar;
class QPushButton;

namespace vordane {

class MultiLineTextBox;
class PlatformServices;

// The word transformer: sound-change rules applied to a list of words.
class frmTransformar : public QWidget {
    Q_OBJECT
public:
    explicit frmTransformar(PlatformServices &services, QWidget *parent = nullptr);

    QMenuBar *menuBar;
    QMenu *mnuFile;
    QAction *mnuOpen;
    QAction *mnuSave;
    QAction *mnuSOpen;
    QAction *mnuSSave;

    QLabel *lblOrigen;
    MultiLineTextBox *txtOrigen;
    QLabel *lblDestino;
    MultiLineTextBox *txtDestino;
    QLabel *lblTrans;
    QListWidget *lstTrans;
    QPushButton *cmdPoner;
    QPushButton *cmdQuitar;
    QPushButton *cmdEliminar;
    QLineEdit *txtTrans;
    QLabel *lblEstado;
    QLineEdit *txtEstado;
    QPushButton *cmdOpen;
    QPushButton *cmdSave;
    QPushButton *cmdClear;
    QPushButton *cmdTrans;
    QCheckBox *chkAdosar;
    QLineEdit *txtDict;
    QPushButton *cmdExaminar;

private:
    void setStatus(const QString &status);
    QListWidgetItem *selectedRule() const;
    void removeRule(QListWidgetItem *item);
    void cmdPoner_Click();
    void cmdQuitar_Click();
    void cmdEliminar_Click();
    void mnuSOpen_Click();
    void mnuSSave_Click();
    void cmdTrans_Click();
    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdClear_Click();
    void cmdExaminar_Click();

    PlatformServices &services_;
};

} // namespace vordane
