#pragma once

#include <QString>

class QFileDevice;

namespace vordane {

// What went wrong with a file, as the file layer reports it.
enum class FileError {
    None,
    EmptyName, // no file name was given
    NotFound, // the file to read does not exist
    IsDirectory, // the name is a folder
    OpenFailed, // exists but cannot be opened for reading
    ReadFailed, // a read failed part way
    CreateFailed, // the file cannot be created or replaced
    WriteFailed, // writing or committing the file failed
    DeviceFailed, // writing to a device failed; `path` describes the device
    TemporaryFailed, // no temporary file can be made; `path` is the temporary folder
    TooShort, // the file ends before the lines its format requires
};

struct FileStatus {
    FileError error = FileError::None;
    QString path;
    QString reason; // what the operating system said, when it said something

    bool ok() const { return error == FileError::None; }
    // A Spanish sentence naming the file and what failed (empty when ok).
    QString message() const;

    static FileStatus success() { return {}; }
    static FileStatus failure(FileError error, const QString &path, const QString &reason = QString())
    {
        return {error, path, reason};
    }
    // A failure with the device's own explanation (permission denied, disk full...).
    static FileStatus failure(FileError error, const QString &path, const QFileDevice &device);
    // A failure with the explanation of a system error number (errno).
    static FileStatus systemFailure(FileError error, const QString &path, int errorNumber);
};

// The system's explanation of a failure, in Spanish for the common reasons
// (no such file, permission denied, disk full, name too long...) from the
// program's own table, as the system gives it otherwise. `reason` is the
// text the system or Qt gave (an English one where no translation is
// installed); `errorNumber` is an errno value.
QString spanishReason(const QString &reason);
QString systemReason(int errorNumber);

} // namespace vordane
