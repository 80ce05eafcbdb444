#pragma once

#include <QString>

namespace vordane {

// What went wrong with a file, as engines report it. Windows and the command
// line turn it into a Spanish message with fileErrorMessage().
enum class FileError {
    None,
    EmptyName,   // no file name was given
    NotFound,    // the file to read does not exist
    IsDirectory, // the name is a folder
    OpenFailed,  // exists but cannot be opened for reading
    ReadFailed,  // a read failed part way
    CreateFailed,// the file cannot be created or replaced
    WriteFailed, // writing or committing the file failed
    TooShort,    // the file ends before the lines its format requires
};

struct FileStatus {
    FileError error = FileError::None;
    QString path;

    bool ok() const { return error == FileError::None; }
    static FileStatus success() { return {}; }
    static FileStatus failure(FileError error, const QString &path) { return {error, path}; }
};

// Checks that a file to be read exists, is a file and can be opened.
FileStatus checkReadable(const QString &path);

// A Spanish sentence naming the file and what failed.
QString fileErrorMessage(const FileStatus &status);

} // namespace vordane
