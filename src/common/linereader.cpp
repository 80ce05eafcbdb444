#include "common/linereader.h"

#include <QFileInfo>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
#include <emmintrin.h>
#endif

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
    if (path_.isEmpty())
        return status_ = FileStatus::failure(FileError::EmptyName, path_);
    const QFileInfo info(path_);
    if (info.isDir())
        return status_ = FileStatus::failure(FileError::IsDirectory, path_);
    if (!info.exists())
        return status_ = FileStatus::failure(FileError::NotFound, path_);
    if (!file_.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return status_ = FileStatus::failure(FileError::OpenFailed, path_, file_);

    // Settle the encoding. The first chunk is kept as the start of the
    // buffer, so a small file is read once.
    buffer_.resize(kChunk);
    const qint64 first = file_.read(buffer_.data(), kChunk);
    buffer_.resize(std::max<qint64>(first, 0));
    Utf8Scanner scanner;
    scanner.feed(buffer_.constData(), buffer_.size());
    bool readFailed = first < 0;
    if (first == kChunk && scanner.isValid()) {
        QByteArray chunk(kChunk, Qt::Uninitialized);
        qint64 got = 0;
        while (scanner.isValid() && (got = file_.read(chunk.data(), kChunk)) > 0)
            scanner.feed(chunk.constData(), got);
        readFailed = got < 0;
        if (!readFailed && !file_.seek(buffer_.size()))
            readFailed = true;
    }
    if (readFailed) {
        status_ = FileStatus::failure(FileError::ReadFailed, path_, file_);
        file_.close();
        buffer_.clear();
        return status_;
    }
    scanner.finish();
    const bool marked = buffer_.startsWith(kUtf8Bom);
    encoding_ =
        scanner.isValid() && (marked || scanner.sawMultiByte()) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    pos_ = encoding_ == TextEncoding::Utf8 && marked ? 3 : 0;
    fileDone_ = buffer_.size() < kChunk;
    if (fileDone_)
        file_.close();
    return status_;
}

void LineReader::close()
{
    file_.close();
    fileDone_ = true;
    buffer_.clear();
    pos_ = 0;
    maskBlock_ = -1;
}

bool LineReader::fill()
{
    if (fileDone_)
        return false;
    if (pos_ > 0) {
        buffer_.remove(0, pos_);
        pos_ = 0;
    }
    maskBlock_ = -1; // the blocks have moved
    const qsizetype old = buffer_.size();
    buffer_.resize(old + kChunk);
    const qint64 got = file_.read(buffer_.data() + old, kChunk);
    buffer_.resize(old + std::max<qint64>(got, 0));
    if (got <= 0) {
        fileDone_ = true;
        if (got < 0)
            status_ = FileStatus::failure(FileError::ReadFailed, path_, file_);
        file_.close();
        return false;
    }
    return true;
}

bool LineReader::refill()
{
    while (pos_ == buffer_.size()) {
        if (!fill())
            return false;
    }
    return true;
}

namespace {

// Bit i set when byte i of the 64 at `data` is CR or LF.
std::uint64_t lineEndMask(const char *data)
{
#if defined(__SSE2__) || defined(_M_X64) || defined(_M_AMD64)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    std::uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + 16 * k));
        const __m128i ends = _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf));
        mask |= std::uint64_t(std::uint32_t(_mm_movemask_epi8(ends))) << (16 * k);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (int i = 0; i < 64; ++i)
        mask |= std::uint64_t(data[i] == '\r' || data[i] == '\n') << i;
    return mask;
#endif
}

} // namespace

qsizetype LineReader::findLineEnd(qsizetype from)
{
    // The line ends of a block of 64 bytes are found at once and kept, so
    // that each line costs a few instructions, however short it is.
    const char *data = buffer_.constData();
    const qsizetype size = buffer_.size();
    qsizetype block = from & ~qsizetype(63);
    for (;;) {
        if (block >= size)
            return -1;
        if (block != maskBlock_) {
            maskBlock_ = block;
            if (block + 64 <= size) {
                mask_ = lineEndMask(data + block);
            } else {
                mask_ = 0; // the buffer's last bytes: known only up to its end
                for (qsizetype i = block; i < size; ++i)
                    mask_ |= std::uint64_t(data[i] == '\r' || data[i] == '\n') << (i - block);
            }
        }
        const std::uint64_t ends = from > block ? mask_ & (~std::uint64_t(0) << (from - block)) : mask_;
        if (ends != 0)
            return block + std::countr_zero(ends);
        block += 64;
    }
}

QByteArrayView LineReader::readLineBytesSlow()
{
    if (atEnd())
        return {};
    qsizetype searched = 0; // bytes of the line already known to hold no line end
    for (;;) {
        const qsizetype end = findLineEnd(pos_ + searched);
        if (end >= 0) {
            // A CR at the very end of the buffer may be followed by LF in the next chunk.
            // Search again from the CR once more data (or the end) is known.
            if (buffer_.at(end) == '\r' && end + 1 == buffer_.size() && !fileDone_) {
                searched = end - pos_;
                fill();
                continue;
            }
            const qsizetype start = pos_;
            qsizetype next = end + 1;
            if (buffer_.at(end) == '\r' && next < buffer_.size() && buffer_.at(next) == '\n')
                ++next;
            pos_ = next;
            return QByteArrayView(buffer_.constData() + start, end - start);
        }
        searched = buffer_.size() - pos_;
        if (!fill()) {
            const qsizetype start = pos_;
            pos_ = buffer_.size();
            return QByteArrayView(buffer_.constData() + start, pos_ - start);
        }
    }
}

QString LineReader::readLine()
{
    return decode(readLineBytes());
}

QString LineReader::decode(QByteArrayView bytes) const
{
    if (encoding_ == TextEncoding::Utf8)
        return QString::fromUtf8(bytes);
    return decodeWindows1252(bytes.data(), bytes.size());
}

} // namespace vordane
