#include "common/linereader.h"

#include <algorithm>
#include <cstring>

namespace vordane {

namespace {
constexpr qsizetype kChunk = 256 * 1024;
}

LineReader::LineReader(const QString &path)
    : path_(path)
    , file_(path)
{
}

FileStatus LineReader::open()
{
    status_ = checkReadable(path_);
    if (!status_.ok())
        return status_;
    if (!file_.open(QIODevice::ReadOnly)) {
        status_ = FileStatus::failure(FileError::OpenFailed, path_);
        return status_;
    }

    // Settle the encoding: a byte-order mark, or valid UTF-8 holding at least
    // one multi-byte sequence, means UTF-8; anything else is Windows-1252.
    QByteArray chunk(kChunk, Qt::Uninitialized);
    qint64 got = file_.read(chunk.data(), chunk.size());
    const bool marked = got >= 3 && std::memcmp(chunk.constData(), kUtf8Bom, 3) == 0;
    Utf8Scanner scanner;
    while (!marked && got > 0) {
        scanner.feed(chunk.constData(), got);
        if (!scanner.isValid())
            break;
        got = file_.read(chunk.data(), chunk.size());
    }
    if (got < 0 || !file_.seek(marked ? 3 : 0)) {
        status_ = FileStatus::failure(FileError::ReadFailed, path_);
        file_.close();
        return status_;
    }
    scanner.finish();
    encoding_ = (marked || (scanner.isValid() && scanner.sawMultiByte())) ? TextEncoding::Utf8
                                                                         : TextEncoding::Windows1252;
    fileDone_ = false;
    return status_;
}

bool LineReader::fill()
{
    if (fileDone_)
        return false;
    if (pos_ > 0) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    const qsizetype old = buffer_.size();
    buffer_.resize(old + kChunk);
    const qint64 got = file_.read(buffer_.data() + old, kChunk);
    if (got <= 0) {
        buffer_.resize(old);
        fileDone_ = true;
        if (got < 0)
            status_ = FileStatus::failure(FileError::ReadFailed, path_);
        file_.close();
        return false;
    }
    buffer_.resize(old + qsizetype(got));
    return true;
}

bool LineReader::atEnd()
{
    while (pos_ == buffer_.size()) {
        if (!fill())
            return true;
    }
    return false;
}

QString LineReader::readLine()
{
    if (atEnd())
        return QString();
    qsizetype searchFrom = pos_;
    for (;;) {
        const char *begin = buffer_.constData();
        const char *end = begin + buffer_.size();
        const char *hit = std::find_if(begin + searchFrom, end, [](char b) { return b == '\r' || b == '\n'; });
        if (hit != end) {
            const qsizetype at = hit - begin;
            // A CR at the very end of the buffer may be followed by LF in the next chunk.
            if (*hit == '\r' && at + 1 == buffer_.size() && !fileDone_) {
                const qsizetype offset = at - pos_;
                fill();
                searchFrom = pos_ + offset;
                if (searchFrom + 1 >= buffer_.size()) {
                    // no more data: a lone CR ends the line
                    QString line = decode(buffer_.constData() + pos_, offset);
                    pos_ = buffer_.size();
                    return line;
                }
                continue;
            }
            QString line = decode(begin + pos_, at - pos_);
            qsizetype next = at + 1;
            if (*hit == '\r' && next < buffer_.size() && buffer_.at(next) == '\n')
                ++next;
            pos_ = next;
            return line;
        }
        const qsizetype offset = buffer_.size() - pos_;
        if (!fill()) {
            QString line = decode(buffer_.constData() + pos_, buffer_.size() - pos_);
            pos_ = buffer_.size();
            return line;
        }
        searchFrom = pos_ + offset;
    }
}

QString LineReader::decode(const char *data, qsizetype size) const
{
    if (encoding_ == TextEncoding::Utf8)
        return QString::fromUtf8(data, size);
    return decodeWindows1252(data, size);
}

} // namespace vordane
