#pragma once

#include "shell/platformservices.h"

#include <memory>

class QFileDialog;
class QMessageBox;

namespace vordane {

class DialogFolders;

// The production services: QFileDialog, QMessageBox and QClipboard.
class QtPlatformServices final : public PlatformServices {
public:
    // The folder file dialogs last used is remembered between runs in the
    // INI file `settingsFile`, or, when it is empty, in the program's settings.
    explicit QtPlatformServices(const QString &settingsFile = QString());
    ~QtPlatformServices() override;

    QString getOpenFileName(QWidget *parent, const FileDialogRequest &request) override;
    QString getSaveFileName(QWidget *parent, const FileDialogRequest &request) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;
    void setClipboardText(const QString &text) override;
    void showModal(QDialog *dialog) override;
    SaveChoice askToSave(QWidget *parent, const QString &title, const QString &text) override;

    // Sets up a dialog as every window uses it, opening in `folder` (the
    // current one when empty); public so the set-up can be checked.
    static void prepareDialog(QFileDialog &dialog, const FileDialogRequest &request, bool save,
                              const QString &folder = QString());
    // The path an accepted dialog hands back: in a Save dialog, a name typed
    // without extension gets the chosen filter's first one.
    static QString chosenFile(const QFileDialog &dialog, const FileDialogRequest &request);
    // Makes a message box at least as wide as a window manager's title bar
    // needs to show its title whole.
    static void makeRoomForTitle(QMessageBox &box);

    ListChoice askReplaceOrAppend(QWidget *parent, const QString &title, const QString &text) override;

private:
    QString runDialog(QWidget *parent, const FileDialogRequest &request, bool save);

    std::unique_ptr<DialogFolders> folders_;
};

} // namespace vordane
