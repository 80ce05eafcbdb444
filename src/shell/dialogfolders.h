#pragma once

#include <QString>

#include <memory>

class QSettings;

namespace vordane {

struct FileDialogRequest;

// Where file dialogs open. Each opens in the folder that the last file
// dialog of this run was accepted in; before any was, in the folder of the
// file named in the window's box for it, else in the folder remembered from
// an earlier run, else in the home folder. A proposed file ("Guardar como")
// opens in its own folder.
class DialogFolders {
public:
    // Remembers the folder between runs in the INI file `settingsFile`, or,
    // when it is empty, in the application's own settings.
    explicit DialogFolders(QString settingsFile = QString());
    ~DialogFolders();

    QString startFolder(const FileDialogRequest &request);
    // Takes note of the file an accepted dialog chose.
    void remember(const QString &chosenFile);

private:
    std::unique_ptr<QSettings> settings() const;

    QString settingsFile_;
    QString lastUsed_; // in this run
    QString remembered_; // from an earlier run, read at the first dialog
    bool read_ = false;
};

} // namespace vordane
