#pragma once

#include "common/filestatus.h"

#include <QFile>
#include <QString>

#include <memory>

namespace vordane {

// A new file in a given folder, for bytes that may never be kept. Where the
// system allows it (Linux) the file has no name while it is written, so that
// not even a killed process leaves it behind; elsewhere it has a short
// random name (11 characters, whatever the target's name), removed when the
// object goes or when an interrupting signal ends the process (see
// removeTemporariesOnSignals).
class TemporaryFile {
public:
    // Kept: the file may be given a name later, to be renamed over a target.
    // Scratch: it never needs one (where it must be created with a name, the
    // name is removed at once where the system allows it).
    enum class Use { Kept, Scratch };

    TemporaryFile() = default;
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    // Creates the file in `folder`; messages name `shownPath`, the file the
    // bytes are meant for.
    FileStatus create(const QString &folder, const QString &shownPath, Use use = Use::Kept);
    // Open for reading and writing, positioned at its start when created.
    QFile &device() { return *file_; }

    // Gives the file a name in its folder: `wanted` where it is given and
    // free (a new file then appears complete in one step, nothing to
    // rename), otherwise a short random name, where it can be renamed over
    // its target. Where a file without a name cannot be linked into the
    // folder, its bytes are copied into a new named file (synced to disk
    // with `sync`): a new file, whose attributes are the default ones.
    FileStatus giveName(bool sync, const QString &wanted = QString());
    // The name given (empty while it has none).
    const QString &fileName() const { return name_; }
    // Closes the file, leaving its name: it is no longer a temporary (it
    // was renamed over its target).
    void release();
    // Closes and removes the file.
    void remove();

    // For tests: whether files may be made without a name (where the system
    // allows it); without, every file is made as on other systems.
    static void allowUnnamedFiles(bool allowed);

private:
    FileStatus createNamed(const QString &shownPath);
    void adopt(int handle);
    void close();

    QString folder_;
    QString shown_;
    QString name_;
    std::unique_ptr<QFile> file_;
    int handle_ = -1; // the file's descriptor, owned, where the system has them
    int slot_ = -1; // its place among the names a signal removes
};

// In a program that calls it once at start: SIGINT, SIGTERM, SIGHUP and
// SIGPIPE first remove every named temporary file of the process, then end
// it as they would have (a signal that the program was started with ignored
// stays ignored). Does nothing where the system has no such signals.
void removeTemporariesOnSignals();

} // namespace vordane
