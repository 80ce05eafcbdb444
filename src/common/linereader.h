#pragma once

#include "common/filestatus.h"
#include "common/linesource.h"
#include "common/textcodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <bit>
#include <cstdint>

namespace vordane {

// Reads a text file line by line with constant memory (beyond the longest
// line). A line ends at CR LF, at a lone CR or at a lone LF; the line end is
// not part of the line; a last line without a line end still counts, and a
// final line end adds no empty line.
//
// The encoding is settled by one pass over the file before the first line is
// read: a file that is valid UTF-8 throughout and starts with the byte-order
// mark or holds a multi-byte sequence is UTF-8 (the mark is not part of the
// text); any other file is Windows-1252, every byte kept, a mark included.
class LineReader final : public LineSource {
public:
    explicit LineReader(const QString &path);

    // Opens the file; on failure nothing can be read.
    FileStatus open();

    // True when no line is left (an empty file is at its end at once).
    bool atEnd() override { return pos_ == buffer_.size() && !refill(); }
    // The next line; the empty text at the end.
    QString readLine() override;
    // The next line's bytes as the file holds them (byte-order mark excluded),
    // without the line end; valid until the next read.
    QByteArrayView readLineBytes()
    {
        // Most lines end inside the block whose line ends are already known.
        if ((pos_ & ~qsizetype(63)) == maskBlock_) {
            const std::uint64_t ends = mask_ & (~std::uint64_t(0) << (pos_ & 63));
            const qsizetype end = maskBlock_ + std::countr_zero(ends);
            const char *data = buffer_.constData();
            if (ends != 0 && (data[end] == '\n' || end + 1 < buffer_.size())) {
                const qsizetype start = pos_;
                pos_ = end + (data[end] == '\r' && data[end + 1] == '\n' ? 2 : 1);
                return QByteArrayView(data + start, end - start);
            }
        }
        return readLineBytesSlow();
    }
    // Skips the next line without decoding it.
    void skipLine() { readLineBytes(); }

    // Releases the file before the end (it is released at the end anyway).
    void close();

    // A read failure part way through, if any; check it after the last line.
    const FileStatus &status() const { return status_; }
    TextEncoding encoding() const { return encoding_; }
    const QString &path() const { return path_; }

private:
    bool fill();
    // Reads on while the buffer is used up; false at the end of the file.
    bool refill();
    QByteArrayView readLineBytesSlow();
    // The first CR or LF at or after `from`, or -1.
    qsizetype findLineEnd(qsizetype from);
    QString decode(QByteArrayView bytes) const;

    QString path_;
    QFile file_;
    QByteArray buffer_;
    qsizetype pos_ = 0;
    // The line ends of the 64-byte block at maskBlock_ (-1: none known).
    qsizetype maskBlock_ = -1;
    std::uint64_t mask_ = 0;
    bool fileDone_ = true;
    TextEncoding encoding_ = TextEncoding::Windows1252;
    FileStatus status_;
};

} // namespace vordane
