#pragma once

#include "shell/platformservices.h"
#include "shell/windowfit.h"

#include <QDialog>

namespace vordane {

// Services for running windows without a person (screenshots, benchmarks):
// every file dialog is cancelled, messages go nowhere, modal windows are
// shown without waiting, unsaved work is not saved, nothing is added to a list.
class SilentPlatformServices final : public PlatformServices {
public:
    QString getOpenFileName(QWidget *, const FileDialogRequest &) override { return {}; }
    QString getSaveFileName(QWidget *, const FileDialogRequest &) override { return {}; }
    void information(QWidget *, const QString &, const QString &) override { }
    void warning(QWidget *, const QString &, const QString &) override { }
    void setClipboardText(const QString &) override { }
    void showModal(QDialog *dialog) override
    {
        fitWindow(dialog, availableScreenArea(dialog));
        dialog->show();
    }
    SaveChoice askToSave(QWidget *, const QString &, const QString &) override { return SaveChoice::Discard; }
    ListChoice askReplaceOrAppend(QWidget *, const QString &, const QString &) override { return ListChoice::Cancel; }
};

} // namespace vordane
