#pragma once

#include <QString>

class QDialog;
class QWidget;

namespace vordane {

// What a window asks of a file dialog: the filter in the toolkit's
// "label|pattern|label|pattern" form and, where one is given, a title.
struct FileDialogRequest {
    QString filter;
    QString title; // empty: the platform's default title
    // The file named in the window's box for this dialog, if any: the first
    // dialog of a run opens in its folder. Its name is not proposed.
    QString namedFile = {};
    // A file proposed in the dialog's name box, in its own folder ("Guardar como").
    QString proposedFile = {};
};

// What to do with unsaved work before it is closed.
enum class SaveChoice { Save, Discard, Cancel };

// What to do with a list that already has items when a file brings more.
enum class ListChoice { Replace, Append, Cancel };

// Dialogs, message boxes and the clipboard, owned by the shell and handed to
// every window, so that tests can answer them without a person.
class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Show the Open or Save dialog with an empty file name (or the one
    // proposed); the full path chosen, or the empty text when the user
    // cancels. It opens in the folder of the file dialog used last. The Save dialog adds
    // the chosen filter's first extension to a name typed without one; an
    // existing file is replaced without a question.
    virtual QString getOpenFileName(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual QString getSaveFileName(QWidget *parent, const FileDialogRequest &request) = 0;

    // Modal message boxes with a single OK button.
    virtual void information(QWidget *parent, const QString &title, const QString &text) = 0;
    virtual void warning(QWidget *parent, const QString &title, const QString &text) = 0;

    virtual void setClipboardText(const QString &text) = 0;

    // Shows a window modally: returns once it is hidden or closed. (Tests
    // show it without waiting and drive it afterwards.)
    virtual void showModal(QDialog *dialog) = 0;

    // Asks whether to save unsaved work before it is closed: "Guardar",
    // "No guardar" or "Cancelar" (also Escape).
    virtual SaveChoice askToSave(QWidget *parent, const QString &title, const QString &text) = 0;

    // Asks whether a file's items replace a list's items or go after them:
    // "Sustituir", "Añadir" or "Cancelar" (also Escape).
    virtual ListChoice askReplaceOrAppend(QWidget *parent, const QString &title, const QString &text) = 0;
};

} // namespace vordane
