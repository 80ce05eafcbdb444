#pragma once

#include "common/atomicfile.h"
#include "common/filestatus.h"
#include "common/textcase.h"
#include "common/textsink.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringEncoder>
#include <QStringView>

#include <initializer_list>
#include <memory>
#include <vector>

class QIODevice;

namespace vordane {

// Writes text as it comes, with constant memory.
//
// To a file: the file is replaced only when commit() succeeds (AtomicFile);
// destroying the writer without committing leaves the target untouched and
// nothing behind. The file is Windows-1252 while every character fits that
// code page. The first character that does not fit turns the whole file into
// UTF-8 with a byte-order mark, text already written included, so that no
// character is ever lost.
//
// To an open device (standard output): UTF-8 without a byte-order mark, as a
// terminal expects; nothing to commit, but every failed write or flush is
// reported.
class LineWriter final : public TextSink {
public:
    explicit LineWriter(const QString &path);
    // `description` names the device in messages ("la salida estándar").
    LineWriter(QIODevice &device, const QString &description);
    ~LineWriter() override;
    LineWriter(const LineWriter &) = delete;
    LineWriter &operator=(const LineWriter &) = delete;

    // Checks that the target can be created; touches nothing on failure.
    FileStatus open();

    // Text as it stands, with no line end added.
    void write(QStringView text);
    // A line: the text, then CR LF.
    void writeLine(QStringView text);
    void append(QStringView text) override { write(text); }
    // Bytes already in Windows-1252 (tools that work on such files byte by
    // byte), each byte b written as (*table)[b] when a table is given.
    void writeBytes(QByteArrayView windows1252, const ByteTable *table = nullptr);
    void writeLineBytes(QByteArrayView windows1252, const ByteTable *table = nullptr);

    // Writes the whole file as UTF-8 with a byte-order mark, whatever it holds.
    void forceUtf8();
    bool isUtf8() const { return utf8_; }
    // A write failed; the failure is reported by finish() or commit().
    bool failed() const { return !failure_.ok(); }

    // Everything written and flushed, the target not yet replaced.
    FileStatus finish();
    // Replaces the target with what was written (finishing first).
    FileStatus commit();

    const QString &path() const { return path_; }

private:
    // Room for `size` more bytes at the end of the buffer (flushing it first when needed).
    char *room(qsizetype size)
    {
        if (size_ + size <= qsizetype(buffer_.size()))
            return buffer_.data() + size_;
        return roomAfterFlush(size);
    }
    char *roomAfterFlush(qsizetype size);
    void endLine()
    {
        if (failed())
            return;
        if (halfPending_)
            endHalfCharacter();
        char *out = room(2);
        out[0] = '\r';
        out[1] = '\n';
        size_ += 2;
    }
    void flushBuffer();
    // A piece of text ended with the first half of a character beyond U+FFFF
    // and no second half came: U+FFFD takes its place, never half a character.
    void endHalfCharacter();
    void switchToUtf8();
    void fail(const FileStatus &status);

    QString path_;
    std::unique_ptr<AtomicFile> file_;
    QIODevice *device_ = nullptr;
    std::vector<char> buffer_; // bytes not yet written: the first size_ of them
    qsizetype size_ = 0;
    QStringEncoder utf8Encoder_{QStringEncoder::Utf8};
    bool utf8_ = false;
    bool halfPending_ = false; // the encoder holds a first half
    FileStatus failure_;
};

// Finishes every writer, then commits them one after the other: a failure
// before the first commit changes none of their files.
FileStatus commitAll(std::initializer_list<LineWriter *> writers);

// Writes lines as a word file: each line, then CR LF.
FileStatus writeLines(const QString &path, const QStringList &lines);
// Saves a text box: its text exactly as it stands, then one CR LF.
FileStatus saveTextBox(const QString &path, QStringView text);

} // namespace vordane
