#include "common/linewriter.h"

#include "common/textcodec.h"

#include <QFileInfo>
#include <QStringList>

namespace vordane {

namespace {
constexpr qsizetype kFlushAt = 1024 * 1024;
constexpr qsizetype kCopyChunk = 1024 * 1024;

std::unique_ptr<QTemporaryFile> openSpool()
{
    auto spool = std::make_unique<QTemporaryFile>();
    if (!spool->open())
        return nullptr;
    return spool;
}

bool writeAll(QIODevice &device, const QByteArray &bytes)
{
    return device.write(bytes) == bytes.size();
}
} // namespace

LineWriter::LineWriter(const QString &path)
    : path_(path)
{
}

LineWriter::~LineWriter()
{
    if (target_)
        target_->cancelWriting();
}

FileStatus LineWriter::open()
{
    if (path_.isEmpty())
        return FileStatus::failure(FileError::EmptyName, path_);
    if (QFileInfo(path_).isDir())
        return FileStatus::failure(FileError::IsDirectory, path_);
    target_ = std::make_unique<QSaveFile>(path_);
    if (!target_->open(QIODevice::WriteOnly)) {
        target_.reset();
        return FileStatus::failure(FileError::CreateFailed, path_);
    }
    spool_ = openSpool();
    if (!spool_) {
        target_->cancelWriting();
        target_.reset();
        return FileStatus::failure(FileError::CreateFailed, path_);
    }
    return FileStatus::success();
}

void LineWriter::write(const QString &text)
{
    if (failed_ || !target_)
        return;
    if (!utf8_ && !appendWindows1252(text, buffer_)) {
        switchToUtf8();
        if (failed_)
            return;
    }
    if (utf8_)
        buffer_.append(text.toUtf8());
    if (buffer_.size() >= kFlushAt)
        flushBuffer();
}

void LineWriter::writeLine(const QString &text)
{
    write(text);
    if (failed_ || !target_)
        return;
    buffer_.append("\r\n", 2);
}

void LineWriter::forceUtf8()
{
    if (!utf8_ && target_)
        switchToUtf8();
}

void LineWriter::flushBuffer()
{
    if (failed_ || buffer_.isEmpty())
        return;
    if (!writeAll(*spool_, buffer_))
        failed_ = true;
    buffer_.clear();
}

void LineWriter::switchToUtf8()
{
    // Everything so far is Windows-1252: re-encode it behind a byte-order mark.
    flushBuffer();
    auto converted = openSpool();
    if (failed_ || !converted || !spool_->seek(0)) {
        failed_ = true;
        return;
    }
    bool ok = writeAll(*converted, QByteArray(kUtf8Bom));
    while (ok && !spool_->atEnd()) {
        const QByteArray chunk = spool_->read(kCopyChunk);
        ok = !chunk.isEmpty() && writeAll(*converted, decodeWindows1252(chunk.constData(), chunk.size()).toUtf8());
    }
    if (!ok) {
        failed_ = true;
        return;
    }
    spool_ = std::move(converted);
    utf8_ = true;
}

FileStatus LineWriter::commit()
{
    if (!target_)
        return FileStatus::failure(FileError::CreateFailed, path_);
    flushBuffer();
    bool ok = !failed_ && spool_->flush() && spool_->seek(0);
    while (ok && !spool_->atEnd()) {
        const QByteArray chunk = spool_->read(kCopyChunk);
        ok = !chunk.isEmpty() && writeAll(*target_, chunk);
    }
    ok = ok && target_->commit();
    if (!ok)
        target_->cancelWriting();
    target_.reset();
    spool_.reset();
    return ok ? FileStatus::success() : FileStatus::failure(FileError::WriteFailed, path_);
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

FileStatus writeText(const QString &path, const QString &text)
{
    LineWriter writer(path);
    FileStatus status = writer.open();
    if (!status.ok())
        return status;
    writer.write(text);
    return writer.commit();
}

} // namespace vordane
