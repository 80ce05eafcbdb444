#pragma once

#include "generator/combinacion.h"

#include <QPointer>
#include <QWidget>

#include <array>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;

namespace vordane {

class PlatformServices;
class frmEditar;
class frmHacer;

// The word generator's definition window: eight letter classes and the
// syllable patterns, edited in place.
class frmGenerar : public QWidget {
    Q_OBJECT
public:
    explicit frmGenerar(PlatformServices &services, QWidget *parent = nullptr);

    // The definition as the controls hold it, and the controls set from one.
    Combinacion combinacion() const;
    void setCombinacion(const Combinacion &definition);

    // Letter-list text of panel i, and panel i's letters replaced from a text.
    QString vaciar(int i) const;
    void llenar(int i, const QString &text);

    PlatformServices &services() const { return services_; }

    QMenuBar *menuBar;
    QMenu *mnuFile;
    QAction *mnuOpen;
    QAction *mnuSave;

    std::array<QGroupBox *, Combinacion::kPanels> Frame;
    std::array<QLabel *, Combinacion::kPanels> lblIdent;
    std::array<QComboBox *, Combinacion::kPanels> cmbIdent;
    std::array<QLabel *, Combinacion::kPanels> lblDescrip;
    std::array<QLineEdit *, Combinacion::kPanels> txtDescrip;
    std::array<QListWidget *, Combinacion::kPanels> lstLetras;
    std::array<QPushButton *, Combinacion::kPanels> cmdEditar;

    QLabel *lblSilabas;
    QListWidget *lstSilabas;
    QLineEdit *txtSilaba;
    QPushButton *cmdAgregar;
    QPushButton *cmdExtraer;
    QPushButton *cmdEliminar;
    QPushButton *cmdLimpiar;
    QPushButton *cmdGenerar;

private:
    void buildPanel(QWidget *client, int i, int left, int top);
    void txtDescrip_Change(int i);
    void cmdAgregar_Click();
    void cmdExtraer_Click();
    void cmdEliminar_Click();
    void cmdLimpiar_Click();
    void cmdEditar_Click(int i);
    void cmdGenerar_Click();
    void mnuOpen_Click();
    void mnuSave_Click();

    PlatformServices &services_;
    QPointer<frmEditar> editor_;
    QPointer<frmHacer> hacer_;
};

} // namespace vordane
