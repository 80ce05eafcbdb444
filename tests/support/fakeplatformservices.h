#pragma once

#include "shell/platformservices.h"

#include <QList>

#include <QQueue>
#include <QString>
#include <functional>

namespace vordane::test {

// Records every dialog, message and clipboard call; file dialogs answer from
// a queue (the empty text, as after a cancel, when the queue is empty).
class FakePlatformServices final : public PlatformServices {
public:
    enum class Kind { Open, Save, Information, Warning, Clipboard, Modal, AskToSave, AskReplace };
    struct Call {
        Kind kind;
        QString title;
        QString filter;
        QString text; // message text, clipboard text, or the dialog's answer
        QString namedFile = {}; // a file dialog's request: the file named in the window's box
        QString proposedFile = {}; // and the file proposed in the dialog
    };

    void answerDialog(const QString &path) { answers_.enqueue(path); }
    // The answer of the next question about unsaved work (Cancel when none is queued).
    void answerSave(SaveChoice choice) { saveAnswers_.enqueue(choice); }
    // The answer of the next question about replacing a list (Cancel when none is queued).
    void answerReplace(ListChoice choice) { listAnswers_.enqueue(choice); }

    QString getOpenFileName(QWidget *parent, const FileDialogRequest &request) override;
    QString getSaveFileName(QWidget *parent, const FileDialogRequest &request) override;
    void information(QWidget *parent, const QString &title, const QString &text) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;
    void setClipboardText(const QString &text) override;
    // Shows the window without waiting; the test drives it, then hides or closes it.
    void showModal(QDialog *dialog) override;
    SaveChoice askToSave(QWidget *parent, const QString &title, const QString &text) override;
    ListChoice askReplaceOrAppend(QWidget *parent, const QString &title, const QString &text) override;

    // Runs while a file dialog is "open", to look at the window meanwhile.
    std::function<void()> duringDialog;

    QList<Call> calls;
    int count(Kind kind) const;
    const Call *last(Kind kind) const;
    QString clipboard;

private:
    QString answer(Kind kind, const FileDialogRequest &request);
    QQueue<QString> answers_;
    QQueue<SaveChoice> saveAnswers_;
    QQueue<ListChoice> listAnswers_;
};

} // namespace vordane::test
