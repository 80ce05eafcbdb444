#pragma once

#include "common/filestatus.h"
#include "common/temporaryfile.h"

#include <QFile>
#include <QString>

#include <functional>
#include <memory>

namespace vordane {

// A file that replaces its target in one step. The bytes go to a new file
// beside the target (same folder, so the final move is a rename and never a
// copy); commit() moves it over the target. Until then the target is
// untouched, and a writer destroyed without committing leaves nothing behind.
// Where the system allows it (Linux) the new file has no name until the
// commit, so that not even a killed process leaves it behind; elsewhere its
// name is short (any name the system accepts for the target can be written).
//
// Unlike QSaveFile the new file can be read back (the line writer re-reads
// what it wrote when a file has to change encoding half way), and the work
// can be finished first and committed later, so that an operation with two
// outputs replaces neither until both are complete.
//
// What is not a plain file to replace:
// - A symbolic link is followed and its target replaced (the link stays); a
//   loop of links is refused.
// - An existing target that the process cannot open for writing (read-only,
//   another user's) is refused, as writing into it would be.
// - A replaced file keeps its permission bits (set-user-ID and set-group-ID
//   included) and, where the process may set them, its owner and group. It
//   is a new file: other hard links to the old one keep the old text.
// - A target that is not a regular file (a device, a pipe, a socket, or a
//   file reached through /proc, such as /dev/stdout) is never replaced: the
//   bytes gather in the temporary folder and are written into it, in place,
//   at the commit.
// A replaced file is synced to disk before the move, so that a crash cannot
// leave the user's old file replaced by an empty one; a new file is not
// (nothing is lost if it is incomplete).
class AtomicFile {
public:
    explicit AtomicFile(const QString &path);
    ~AtomicFile();
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // Checks the name and the target, and creates the new file.
    FileStatus open();
    // Where the bytes go; open for reading and writing.
    QFile &device() { return temporary_->device(); }
    bool isOpen() const { return temporary_ != nullptr; }

    // Writes the text anew: `copy` fills a second new file from the first
    // (positioned at its start); when it succeeds the second takes the
    // first's place, otherwise the first stays.
    FileStatus rewrite(const std::function<FileStatus(QFile &from, QFile &to)> &copy);

    // Flushes the new file; only commit() or discard() may follow.
    FileStatus finish();
    // Moves the new file over the target (finishing it first when needed).
    FileStatus commit();
    // Removes the new file; the target stays as it was.
    void discard();

    const QString &path() const { return path_; }

private:
    enum class Kind { New, Replace, Direct };

    FileStatus inspectTarget();
    FileStatus createTemporary(TemporaryFile &file) const;
    FileStatus openDirect(bool append);
    FileStatus keepAttributes();
    FileStatus moveOverTarget();
    FileStatus writeIntoTarget();

    QString path_;
    QString target_; // where the links lead
    QString folder_; // where the new file lives
    Kind kind_ = Kind::New;
    std::unique_ptr<TemporaryFile> temporary_;
    bool finished_ = false;
    std::unique_ptr<QFile> direct_; // the target itself, open for writing (Kind::Direct)
#if defined(Q_OS_UNIX)
    int directHandle_ = -1;
    unsigned mode_ = 0; // of the replaced file
    unsigned owner_ = 0;
    unsigned group_ = 0;
#else
    QFileDevice::Permissions permissions_;
#endif
};

// Whether two names denote one file, also when it does not exist yet
// (compared through their folders' canonical paths).
bool sameFile(const QString &first, const QString &second);

} // namespace vordane
