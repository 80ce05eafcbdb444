#include "common/linewriter.h"

#include "common/textcodec.h"

#include <QFileDevice>
#include <QIODevice>
#include <QStringList>

#include <cstring>

namespace vordane {

namespace {
constexpr qsizetype kBufferSize = 1024 * 1024;
constexpr qsizetype kCopyChunk = 1024 * 1024;
} // namespace

LineWriter::LineWriter(const QString &path)
    : path_(path)
{
}

LineWriter::LineWriter(QIODevice &device, const QString &description)
    : path_(description)
    , device_(&device)
    , utf8_(true)
{
}

LineWriter::~LineWriter() = default;

FileStatus LineWriter::open()
{
    buffer_.resize(std::size_t(kBufferSize));
    if (device_) {
        if (!device_->isOpen() || !device_->isWritable())
            return FileStatus::failure(FileError::DeviceFailed, path_, device_->errorString());
        return FileStatus::success();
    }
    file_ = std::make_unique<AtomicFile>(path_);
    const FileStatus status = file_->open();
    if (!status.ok())
        file_.reset();
    return status;
}

void LineWriter::fail(const FileStatus &status)
{
    if (failure_.ok())
        failure_ = status;
    size_ = 0;
}

char *LineWriter::roomAfterFlush(qsizetype size)
{
    flushBuffer();
    size_ = 0; // written, or dropped after a failure
    if (size > qsizetype(buffer_.size()))
        buffer_.resize(std::size_t(size));
    return buffer_.data() + size_;
}

void LineWriter::write(QStringView text)
{
    if (failed())
        return;
    if (!utf8_) {
        char *out = room(text.size());
        if (toWindows1252(text, out)) {
            size_ += text.size();
            return;
        }
        switchToUtf8();
    }
    // The encoder keeps a high surrogate that ends one piece for the next.
    char *out = room(utf8Encoder_.requiredSpace(text.size()));
    size_ = utf8Encoder_.appendToBuffer(out, text) - buffer_.data();
    if (!text.isEmpty())
        halfPending_ = text.back().isHighSurrogate();
}

void LineWriter::endHalfCharacter()
{
    utf8Encoder_.resetState();
    halfPending_ = false;
    write(QStringView(u"\uFFFD"));
}

void LineWriter::writeLine(QStringView text)
{
    write(text);
    endLine();
}

void LineWriter::writeBytes(QByteArrayView windows1252, const ByteTable *table)
{
    if (failed())
        return;
    if (utf8_) {
        QByteArray bytes = windows1252.toByteArray();
        if (table)
            mapBytes(*table, bytes.data(), bytes.size());
        write(decodeWindows1252(bytes.constData(), bytes.size()));
        return;
    }
    const qsizetype size = windows1252.size();
    char *out = room(size);
    const auto *in = reinterpret_cast<const unsigned char *>(windows1252.data());
    if (table) {
        for (qsizetype i = 0; i < size; ++i)
            out[i] = char((*table)[in[i]]);
    } else if (size > 0) { // an empty view may have no data at all
        std::memcpy(out, in, std::size_t(size));
    }
    size_ += size;
}

void LineWriter::writeLineBytes(QByteArrayView windows1252, const ByteTable *table)
{
    writeBytes(windows1252, table);
    endLine();
}

void LineWriter::forceUtf8()
{
    if (!utf8_)
        switchToUtf8();
}

void LineWriter::flushBuffer()
{
    if (failed() || size_ == 0)
        return;
    QIODevice *device = device_ ? device_ : (file_ ? &file_->device() : nullptr);
    if (!device) {
        fail(FileStatus::failure(FileError::CreateFailed, path_));
        return;
    }
    if (device->write(buffer_.data(), size_) != size_) {
        if (device_)
            fail(FileStatus::failure(FileError::DeviceFailed, path_, device->errorString()));
        else
            fail(FileStatus::failure(FileError::WriteFailed, path_, file_->device()));
        return;
    }
    size_ = 0;
}

void LineWriter::switchToUtf8()
{
    // Everything so far is Windows-1252: rewrite it behind a byte-order mark
    // into a second new file, which takes the first's place.
    utf8_ = true;
    if (failed() || !file_)
        return;
    flushBuffer();
    if (failed())
        return;
    const FileStatus status = file_->rewrite([this](QFile &old, QFile &converted) {
        QByteArray bytes(kUtf8Bom);
        QStringEncoder encoder(QStringEncoder::Utf8);
        for (;;) {
            if (converted.write(bytes) != bytes.size())
                return FileStatus::failure(FileError::WriteFailed, path_, converted);
            const QByteArray chunk = old.read(kCopyChunk);
            if (chunk.isEmpty())
                return old.atEnd() ? FileStatus::success() : FileStatus::failure(FileError::WriteFailed, path_, old);
            bytes = encoder.encode(decodeWindows1252(chunk.constData(), chunk.size()));
        }
    });
    if (!status.ok())
        fail(status);
}

FileStatus LineWriter::finish()
{
    if (halfPending_)
        endHalfCharacter();
    flushBuffer();
    if (failed())
        return failure_;
    if (device_) {
        if (auto *file = qobject_cast<QFileDevice *>(device_); file && !file->flush())
            fail(FileStatus::failure(FileError::DeviceFailed, path_, file->errorString()));
        return failure_;
    }
    if (!file_)
        return FileStatus::failure(FileError::CreateFailed, path_);
    const FileStatus status = file_->finish();
    if (!status.ok())
        fail(status);
    return failure_;
}

FileStatus LineWriter::commit()
{
    const FileStatus status = finish();
    if (!status.ok() || device_)
        return status;
    const FileStatus committed = file_->commit();
    if (!committed.ok())
        fail(committed);
    return committed;
}

FileStatus commitAll(std::initializer_list<LineWriter *> writers)
{
    for (LineWriter *writer : writers) {
        if (const FileStatus status = writer->finish(); !status.ok())
            return status;
    }
    for (LineWriter *writer : writers) {
        if (const FileStatus status = writer->commit(); !status.ok())
            return status;
    }
    return FileStatus::success();
}

FileStatus writeLines(const QString &path, const QStringList &lines)
{
    LineWriter writer(path);
    FileStatus status = writer.open();
    if (!status.ok())
        return status;
    for (const QString &line : lines)
        writer.writeLine(line);
    return writer.commit();
}

FileStatus saveTextBox(const QString &path, QStringView text)
{
    LineWriter writer(path);
    FileStatus status = writer.open();
    if (!status.ok())
        return status;
    writer.writeLine(text);
    return writer.commit();
}

} // namespace vordane
