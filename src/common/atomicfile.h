#pragma once

#include "common/filestatus.h"

#include <QFile>
#include <QString>

#include <memory>

namespace vordane {

// A file that replaces its target in one step. The bytes go to a new file
// beside the target (same folder, so the final move is a rename and never a
// copy); commit() moves it over the target. Until then the target is
// untouched, and a writer destroyed without committing leaves nothing behind.
//
// Unlike QSaveFile the new file can be read back (the line writer re-reads
// what it wrote when a file has to change encoding half way), and the work
// can be finished first and committed later, so that an operation with two
// outputs replaces neither until both are complete.
//
// Like QSaveFile: a symbolic link is followed and its target replaced, and a
// replaced file keeps its permissions. A replaced file is synced to disk
// before the move, so that a crash cannot leave the user's old file replaced
// by an empty one; a new file is not (nothing is lost if it is incomplete).
class AtomicFile {
public:
    explicit AtomicFile(const QString &path);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Checks the name and creates the new file beside the target.
    FileStatus open();
    // Where the bytes go; open for reading and writing.
    QFile &device() { return *temporary_; }
    bool isOpen() const { return temporary_ != nullptr; }

    // Starts again from an empty new file (the old one is removed).
    FileStatus restart();

    // Flushes and closes the new file; only commit() or discard() may follow.
    FileStatus finish();
    // Moves the new file over the target (finishing it first when needed).
    FileStatus commit();
    // Removes the new file; the target stays as it was.
    void discard();

    const QString &path() const { return path_; }

private:
    FileStatus createTemporary();

    QString path_;
    QString target_;
    std::unique_ptr<QFile> temporary_;
    bool finished_ = false;
    bool replacing_ = false;
    QFileDevice::Permissions permissions_;
};

// Whether two names denote one file, also when it does not exist yet
// (compared through their folders' canonical paths).
bool sameFile(const QString &first, const QString &second);

} // namespace vordane
