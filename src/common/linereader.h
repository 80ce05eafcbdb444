#pragma once

#include "common/filestatus.h"
#include "common/linesource.h"
#include "common/textcodec.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace vordane {

// Reads a text file line by line with constant memory (beyond the longest
// line). A line ends at CR LF, at a lone CR or at a lone LF; the line end is
// not part of the line; a last line without a line end still counts, and a
// final line end adds no empty line. The encoding is settled by one pass over
// the file before the first line is read.
class LineReader final : public LineSource {
public:
    explicit LineReader(const QString &path);

    // Opens the file; on failure nothing can be read.
    FileStatus open();

    // True when no line is left (an empty file is at its end at once).
    bool atEnd() override;
    // The next line; the empty text at the end.
    QString readLine() override;

    // A read failure part way through, if any; check it after the last line.
    const FileStatus &status() const { return status_; }
    TextEncoding encoding() const { return encoding_; }
    const QString &path() const { return path_; }

private:
    bool fill();
    QString decode(const char *data, qsizetype size) const;

    QString path_;
    QFile file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    bool fileDone_ = true;
    TextEncoding encoding_ = TextEncoding::Windows1252;
    FileStatus status_;
};

} // namespace vordane
