#include "common/temporaryfile.h"

#include <QByteArray>
#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <system_error>
#include <vector>

#if defined(Q_OS_UNIX)
#include <atomic>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vordane {

namespace {

constexpr int kNameAttempts = 100;
bool gUnnamedAllowed = true;

// ".vd" and eight random letters or digits: short enough beside any name.
QString randomName()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString name = QStringLiteral(".vd") + QString(8, QLatin1Char('x'));
    for (qsizetype i = 3; i < name.size(); ++i)
        name[i] = QLatin1Char(kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet - 1))]);
    return name;
}

#if defined(Q_OS_UNIX)

// The names an interrupting signal removes: fixed buffers, so that the
// handler needs neither memory nor locks. A slot's name is complete before
// the slot is marked used.
constexpr int kSlots = 32;
constexpr std::size_t kMaxName = 4096;
char gNames[kSlots][kMaxName];
volatile std::sig_atomic_t gUsed[kSlots];

int registerName(const QString &path)
{
    const QByteArray bytes = QFile::encodeName(path);
    if (std::size_t(bytes.size()) >= kMaxName)
        return -1;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (gUsed[slot] == 0) {
            std::memcpy(gNames[slot], bytes.constData(), std::size_t(bytes.size()) + 1);
            std::atomic_signal_fence(std::memory_order_seq_cst);
            gUsed[slot] = 1;
            return slot;
        }
    }
    return -1; // not removed by a signal; still removed by the object
}

void unregisterName(int &slot)
{
    if (slot >= 0)
        gUsed[slot] = 0;
    slot = -1;
}

extern "C" void removeTemporariesAndEnd(int signal)
{
    const int savedErrno = errno;
    for (int slot = 0; slot < kSlots; ++slot) {
        if (gUsed[slot] != 0)
            ::unlink(gNames[slot]);
    }
    errno = savedErrno;
    // The handler was reset to the default action on entry: the signal now
    // ends the process as if it had never been caught.
    ::raise(signal);
}

// Writes all of `size` bytes, through interruptions and short writes.
bool writeAll(int handle, const char *data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(handle, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= std::size_t(written);
    }
    return true;
}

// Copies the whole of one file into another, from their starts.
bool copyContent(int from, int to)
{
    if (::lseek(from, 0, SEEK_SET) != 0)
        return false;
    std::vector<char> buffer(1024 * 1024);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (!writeAll(to, buffer.data(), std::size_t(got)))
            return false;
    }
}

#endif

} // namespace

TemporaryFile::~TemporaryFile()
{
    remove();
}

void TemporaryFile::adopt(int handle)
{
    handle_ = handle;
    file_ = std::make_unique<QFile>();
    file_->open(handle, QIODevice::ReadWrite | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
}

FileStatus TemporaryFile::create(const QString &folder, const QString &shownPath, Use use)
{
    remove();
    folder_ = folder;
    shown_ = shownPath;
#if defined(Q_OS_UNIX)
#if defined(Q_OS_LINUX) && defined(O_TMPFILE)
    if (gUnnamedAllowed) {
        const int handle = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
        if (handle >= 0) {
            adopt(handle);
            return FileStatus::success();
        }
        // Only a file system without unnamed files calls for a name.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return FileStatus::systemFailure(FileError::CreateFailed, shownPath, errno);
    }
#endif
    FileStatus status = createNamed(shownPath);
    if (status.ok() && use == Use::Scratch) {
        ::unlink(QFile::encodeName(name_).constData()); // open files live on without a name
        unregisterName(slot_);
        name_.clear();
    }
    return status;
#else
    Q_UNUSED(use);
    return createNamed(shownPath);
#endif
}

FileStatus TemporaryFile::createNamed(const QString &shownPath)
{
    const QDir folder(folder_);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString name = folder.filePath(randomName());
#if defined(Q_OS_UNIX)
        const int handle = ::open(QFile::encodeName(name).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle < 0) {
            if (errno == EEXIST)
                continue;
            return FileStatus::systemFailure(FileError::CreateFailed, shownPath, errno);
        }
        name_ = name;
        slot_ = registerName(name);
        adopt(handle);
        return FileStatus::success();
#else
        auto file = std::make_unique<QFile>(name);
        if (file->open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            name_ = name;
            file_ = std::move(file);
            return FileStatus::success();
        }
        if (!file->exists())
            return FileStatus::failure(FileError::CreateFailed, shownPath, *file);
#endif
    }
    return FileStatus::systemFailure(FileError::CreateFailed, shownPath, int(std::errc::file_exists));
}

FileStatus TemporaryFile::giveName(bool sync, const QString &wanted)
{
    if (!file_)
        return FileStatus::failure(FileError::CreateFailed, shown_);
    if (!name_.isEmpty())
        return FileStatus::success();
#if defined(Q_OS_LINUX)
    // Through /proc for everyone, or straight from the descriptor where the
    // process may (/proc not mounted).
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(handle_);
    const auto link = [&](const QString &name) {
        const QByteArray encoded = QFile::encodeName(name);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, encoded.constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        return errno != EEXIST && ::linkat(handle_, "", AT_FDCWD, encoded.constData(), AT_EMPTY_PATH) == 0;
    };
    if (!wanted.isEmpty() && link(wanted)) {
        name_ = wanted; // the result itself: no signal removes it
        return FileStatus::success();
    }
    const QDir folder(folder_);
    for (int attempt = 0; attempt < kNameAttempts && (attempt == 0 || errno == EEXIST); ++attempt) {
        const QString name = folder.filePath(randomName());
        if (link(name)) {
            name_ = name;
            slot_ = registerName(name);
            return FileStatus::success();
        }
    }
#else
    Q_UNUSED(wanted);
#endif
#if defined(Q_OS_UNIX)
    // The bytes move to a file with a name.
    const int unnamed = handle_;
    file_.reset();
    handle_ = -1;
    FileStatus status = createNamed(shown_);
    if (status.ok() && (!copyContent(unnamed, handle_) || (sync && ::fsync(handle_) != 0))) {
        status = FileStatus::systemFailure(FileError::WriteFailed, shown_, errno);
        remove();
    }
    ::close(unnamed);
    return status;
#else
    Q_UNUSED(sync);
    return FileStatus::failure(FileError::CreateFailed, shown_);
#endif
}

void TemporaryFile::close()
{
    file_.reset();
#if defined(Q_OS_UNIX)
    if (handle_ >= 0)
        ::close(handle_);
#endif
    handle_ = -1;
}

void TemporaryFile::release()
{
    close();
#if defined(Q_OS_UNIX)
    unregisterName(slot_);
#endif
    name_.clear();
}

void TemporaryFile::remove()
{
    close();
    if (!name_.isEmpty()) {
#if defined(Q_OS_UNIX)
        ::unlink(QFile::encodeName(name_).constData());
        unregisterName(slot_);
#else
        QFile::remove(name_);
#endif
    }
    name_.clear();
}

void TemporaryFile::allowUnnamedFiles(bool allowed)
{
    gUnnamedAllowed = allowed;
}

void removeTemporariesOnSignals()
{
#if defined(Q_OS_UNIX)
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        struct sigaction current { };
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler == SIG_IGN)
            continue;
        struct sigaction action { };
        action.sa_handler = removeTemporariesAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_NODEFER;
        ::sigaction(signal, &action, nullptr);
    }
#endif
}

} // namespace vordane
