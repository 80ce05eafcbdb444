#pragma once

#include "shell/platformservices.h"

class QFileDialog;

namespace vordane {

// The production services: QFileDialog, QMessageBox and QClipboard.
class QtPlatformServices final : public PlatformServices {
public:
    QString getOpenFileName(QWidget *parent, const FileDialogRequest &request) override;
    QString getSaveFileName(QWidget *parent, const FileDialogRequest &request) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;
    void setClipboardText(const QString &text) override;
    void showModal(QDialog *dialog) override;
    SaveChoice askToSave(QWidget *parent, const QString &title, const QString &text) override;

    // Sets up a dialog as every window uses it; public so the set-up can be checked.
    static void prepareDialog(QFileDialog &dialog, const FileDialogRequest &request, bool save);
};

} // namespace vordane
