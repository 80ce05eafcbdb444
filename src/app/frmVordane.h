#pragma once

#include "shell/toollauncher.h"

#include <QMainWindow>
#include <QMargins>
#include <QRect>

class QAction;
class QMdiArea;
class QMenu;

namespace vordane {

class PlatformServices;

// The main window: an MDI frame whose menu opens the tool windows.
class frmVordane : public QMainWindow {
    Q_OBJECT
public:
    explicit frmVordane(PlatformServices &services, QWidget *parent = nullptr);

    QMdiArea *mdiArea() const { return area_; }

    // The About message's text.
    static QString aboutText();

    // The client size the window opens at in a screen area, with the frame
    // a window manager adds: its preferred size, or as much as there is room
    // for (it then opens maximized).
    static QSize openingSize(const QRect &available, const QMargins &frame);

    QMenu *mnuProgramas;
    QAction *mnuGenerador;
    QAction *mnuTransformador;
    QAction *mnuExportador;
    QAction *mnuCreador;
    QAction *mnuCombinador;
    QAction *mnuAdministrador;
    QAction *mnuRaices;
    QAction *mnuRaigen;
    QAction *mnuLansep;
    QAction *mnuTaller;
    QAction *mnuTallerPalabras;
    QAction *mnuSep;
    QAction *mnuExit;
    QAction *mnuAbout;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Whether every tool window with unsaved work may close (each asks).
    bool toolsMayClose();
    void openWithinScreen(const QRect &available);
    void mnuExit_Click();
    void mnuAbout_Click();

    PlatformServices &services_;
    QMdiArea *area_;
    ToolLauncher launcher_;
};

} // namespace vordane
