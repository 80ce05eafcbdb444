#pragma once

#include "common/filestatus.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>

#include <memory>

namespace vordane {

// Writes a text file that replaces its target only when commit() succeeds;
// destroying the writer without committing leaves the target untouched.
//
// The file is Windows-1252 while every character fits that code page. The
// first character that does not fit turns the whole file into UTF-8 with a
// byte-order mark, text already written included, so no character is lost.
// Text is spooled to a temporary file, so memory does not grow with the output.
class LineWriter {
public:
    explicit LineWriter(const QString &path);
    ~LineWriter();
    LineWriter(const LineWriter &) = delete;
    LineWriter &operator=(const LineWriter &) = delete;

    // Checks the target can be created; touches nothing on failure.
    FileStatus open();

    // A line: the text, then CR LF.
    void writeLine(const QString &text);
    // Text as it stands, with no line end added.
    void write(const QString &text);

    // Writes the whole file as UTF-8 with a byte-order mark, whatever it holds.
    void forceUtf8();
    bool isUtf8() const { return utf8_; }

    // Replaces the target with what was written.
    FileStatus commit();

    const QString &path() const { return path_; }

private:
    void flushBuffer();
    void switchToUtf8();

    QString path_;
    std::unique_ptr<QSaveFile> target_;
    std::unique_ptr<QTemporaryFile> spool_;
    QByteArray buffer_;
    bool utf8_ = false;
    bool failed_ = false;
};

// Writes lines as a word file: each line, then CR LF.
FileStatus writeLines(const QString &path, const QStringList &lines);
// Writes a text exactly as it stands (a text box's contents).
FileStatus writeText(const QString &path, const QString &text);

} // namespace vordane
