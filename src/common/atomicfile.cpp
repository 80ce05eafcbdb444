#include "common/atomicfile.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <system_error>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <filesystem>
#if defined(Q_OS_WIN)
#include <io.h>
#endif
#endif

namespace vordane {

namespace {

// As many links as the system itself follows in one name.
constexpr int kMaxLinks = 40;
constexpr qint64 kCopyChunk = 1024 * 1024;

bool syncToDisk(QFile &file)
{
    const int fd = file.handle();
    if (fd < 0)
        return true; // nothing to sync on this platform
#if defined(Q_OS_WIN)
    return _commit(fd) == 0;
#else
    return ::fsync(fd) == 0;
#endif
}

#if defined(Q_OS_UNIX)

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

// Follows symbolic links from `path` to the name they lead to (which may not
// exist yet), so that a link keeps pointing to the replaced file. Tells
// whether a link lies in /proc, where links name open files rather than
// paths. Returns 0 or an errno value.
int followLinks(const QString &path, QString &target, bool &throughProcess)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int links = 0;; ++links) {
        const QByteArray name = native(current);
        struct stat info { };
        if (::lstat(name.constData(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            target = current;
            return 0;
        }
        if (links == kMaxLinks)
            return ELOOP;
        const QString folder = QFileInfo(current).absolutePath();
        if (QFileInfo(folder).canonicalFilePath().startsWith(QLatin1String("/proc/")))
            throughProcess = true;
        char destination[4096];
        const ssize_t size = ::readlink(name.constData(), destination, sizeof destination);
        if (size < 0)
            return errno;
        if (std::size_t(size) == sizeof destination)
            return ENAMETOOLONG;
        current = QDir(folder).absoluteFilePath(QFile::decodeName(QByteArray(destination, qsizetype(size))));
    }
}

#else

// Follows symbolic links as QSaveFile does; an empty name after a loop.
QString followLinks(const QString &path)
{
    QFileInfo info(path);
    for (int links = 0; links < kMaxLinks && info.isSymLink(); ++links)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? QString() : info.absoluteFilePath();
}

#endif

} // namespace

AtomicFile::AtomicFile(const QString &path)
    : path_(path)
{
}

AtomicFile::~AtomicFile()
{
    discard();
}

FileStatus AtomicFile::open()
{
    discard();
    if (path_.isEmpty())
        return FileStatus::failure(FileError::EmptyName, path_);
    FileStatus status = inspectTarget();
    if (status.ok()) {
        temporary_ = std::make_unique<TemporaryFile>();
        status = createTemporary(*temporary_);
    }
    if (!status.ok()) {
        discard();
        return status;
    }
    finished_ = false;
    return status;
}

FileStatus AtomicFile::createTemporary(TemporaryFile &file) const
{
    if (kind_ != Kind::Direct)
        return file.create(folder_, path_);
    const FileStatus status = file.create(folder_, path_, TemporaryFile::Use::Scratch);
    return status.ok() ? status : FileStatus::failure(FileError::TemporaryFailed, folder_, status.reason);
}

#if defined(Q_OS_UNIX)

FileStatus AtomicFile::inspectTarget()
{
    struct stat info { };
    if (::stat(native(path_).constData(), &info) != 0) {
        const int error = errno;
        if (error != ENOENT) // a loop of links, a name too long, a folder that cannot be searched...
            return FileStatus::systemFailure(error == ELOOP ? FileError::WriteFailed : FileError::CreateFailed, path_,
                                             error);
        // A new file, made where the links lead.
        kind_ = Kind::New;
        bool throughProcess = false;
        if (const int failed = followLinks(path_, target_, throughProcess))
            return FileStatus::systemFailure(FileError::CreateFailed, path_, failed);
        folder_ = QFileInfo(target_).absolutePath();
        return FileStatus::success();
    }
    if (S_ISDIR(info.st_mode))
        return FileStatus::failure(FileError::IsDirectory, path_);
    if (!S_ISREG(info.st_mode))
        return openDirect(false);
    bool throughProcess = false;
    if (const int failed = followLinks(path_, target_, throughProcess))
        return FileStatus::systemFailure(FileError::WriteFailed, path_, failed);
    if (throughProcess) // /dev/stdout redirected to a file: written as the shell opened it
        return openDirect(true);

    // The toolkit writes a file by opening it: what the process may not open
    // for writing (read-only, another user's) it does not replace either.
    const int handle = ::open(native(target_).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0)
        return FileStatus::systemFailure(FileError::WriteFailed, path_, errno);
    struct stat opened { };
    const bool known = ::fstat(handle, &opened) == 0;
    const int error = errno;
    ::close(handle);
    if (!known)
        return FileStatus::systemFailure(FileError::WriteFailed, path_, error);
    if (!S_ISREG(opened.st_mode)) // turned into something else meanwhile
        return openDirect(false);
    kind_ = Kind::Replace;
    folder_ = QFileInfo(target_).absolutePath();
    mode_ = opened.st_mode & 07777;
    owner_ = opened.st_uid;
    group_ = opened.st_gid;
    return FileStatus::success();
}

FileStatus AtomicFile::openDirect(bool append)
{
    kind_ = Kind::Direct;
    folder_ = QDir::tempPath();
    // A pipe opened for writing waits for its reader, as a shell's ">" does.
    directHandle_ = ::open(native(path_).constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC | (append ? O_APPEND : 0));
    if (directHandle_ < 0)
        return FileStatus::systemFailure(FileError::WriteFailed, path_, errno);
    direct_ = std::make_unique<QFile>();
    direct_->open(directHandle_, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle);
    return FileStatus::success();
}

FileStatus AtomicFile::keepAttributes()
{
    // Owner first: a change of owner clears the set-user-ID and set-group-ID bits.
    const int handle = temporary_->device().handle();
    if ((owner_ != ::geteuid() || group_ != ::getegid()) && ::fchown(handle, owner_, group_) != 0) {
        // Not allowed to give the file away: the group alone, where the process belongs to it.
        if (::fchown(handle, uid_t(-1), group_) != 0) {
        }
    }
    if (::fchmod(handle, mode_) != 0)
        return FileStatus::systemFailure(FileError::WriteFailed, path_, errno);
    return FileStatus::success();
}

FileStatus AtomicFile::moveOverTarget()
{
    if (::rename(native(temporary_->fileName()).constData(), native(target_).constData()) != 0)
        return FileStatus::systemFailure(FileError::WriteFailed, path_, errno);
    return FileStatus::success();
}

#else

FileStatus AtomicFile::inspectTarget()
{
    target_ = followLinks(path_);
    if (target_.isEmpty())
        return FileStatus::systemFailure(FileError::WriteFailed, path_, int(std::errc::too_many_symbolic_link_levels));
    const QFileInfo info(target_);
    folder_ = info.absolutePath();
    if (info.isDir())
        return FileStatus::failure(FileError::IsDirectory, path_);
    if (!info.exists()) {
        kind_ = Kind::New;
        return FileStatus::success();
    }
    if (!info.isFile())
        return openDirect(false);
    QFile probe(target_);
    if (!probe.open(QIODevice::WriteOnly | QIODevice::Append))
        return FileStatus::failure(FileError::WriteFailed, path_, probe);
    kind_ = Kind::Replace;
    permissions_ = info.permissions();
    return FileStatus::success();
}

FileStatus AtomicFile::openDirect(bool append)
{
    Q_UNUSED(append);
    kind_ = Kind::Direct;
    folder_ = QDir::tempPath();
    direct_ = std::make_unique<QFile>(path_);
    if (!direct_->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return FileStatus::failure(FileError::WriteFailed, path_, *direct_);
    return FileStatus::success();
}

FileStatus AtomicFile::keepAttributes()
{
    if (!temporary_->device().setPermissions(permissions_))
        return FileStatus::failure(FileError::WriteFailed, path_, temporary_->device());
    return FileStatus::success();
}

FileStatus AtomicFile::moveOverTarget()
{
    const auto nativePath = [](const QString &path) {
        return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
    };
    temporary_->device().close(); // no platform renames an open file everywhere
    std::error_code error;
    std::filesystem::rename(nativePath(temporary_->fileName()), nativePath(target_), error);
    if (error)
        return FileStatus::failure(FileError::WriteFailed, path_, QString::fromLocal8Bit(error.message()));
    return FileStatus::success();
}

#endif

FileStatus AtomicFile::writeIntoTarget()
{
    QFile &bytes = temporary_->device();
    if (!bytes.seek(0))
        return FileStatus::failure(FileError::WriteFailed, path_, bytes);
    for (;;) {
        const QByteArray chunk = bytes.read(kCopyChunk);
        if (chunk.isEmpty())
            break;
        if (direct_->write(chunk) != chunk.size())
            return FileStatus::failure(FileError::WriteFailed, path_, *direct_);
    }
    if (bytes.error() != QFileDevice::NoError)
        return FileStatus::failure(FileError::WriteFailed, path_, bytes);
    return FileStatus::success();
}

FileStatus AtomicFile::rewrite(const std::function<FileStatus(QFile &from, QFile &to)> &copy)
{
    if (!temporary_ || finished_)
        return FileStatus::failure(FileError::WriteFailed, path_);
    auto fresh = std::make_unique<TemporaryFile>();
    FileStatus status = createTemporary(*fresh);
    QFile &old = temporary_->device();
    if (status.ok() && !old.seek(0))
        status = FileStatus::failure(FileError::WriteFailed, path_, old);
    if (status.ok())
        status = copy(old, fresh->device());
    if (status.ok())
        temporary_ = std::move(fresh); // the old new file is removed
    return status;
}

FileStatus AtomicFile::finish()
{
    if (!temporary_)
        return FileStatus::failure(FileError::CreateFailed, path_);
    if (finished_)
        return FileStatus::success();
    QFile &file = temporary_->device();
    FileStatus status;
    if (!file.flush())
        status = FileStatus::failure(FileError::WriteFailed, path_, file);
    else if (kind_ == Kind::Replace && !syncToDisk(file))
        status = FileStatus::systemFailure(FileError::WriteFailed, path_, errno);
    if (!status.ok()) {
        discard();
        return status;
    }
    finished_ = true;
    return FileStatus::success();
}

FileStatus AtomicFile::commit()
{
    FileStatus status = finish();
    if (!status.ok())
        return status;
    if (kind_ == Kind::Direct) {
        status = writeIntoTarget();
    } else {
        // The attributes first, so that the file's name shows it complete;
        // again where giving it a name made a copy.
        const bool replacing = kind_ == Kind::Replace;
        if (replacing)
            status = keepAttributes();
        const int handle = temporary_->device().handle();
        if (status.ok())
            status = temporary_->giveName(replacing, replacing ? QString() : target_);
        if (status.ok() && replacing && temporary_->device().handle() != handle)
            status = keepAttributes();
        if (status.ok() && temporary_->fileName() != target_)
            status = moveOverTarget();
        if (status.ok())
            temporary_->release();
    }
    discard();
    return status;
}

void AtomicFile::discard()
{
    temporary_.reset();
    direct_.reset();
#if defined(Q_OS_UNIX)
    if (directHandle_ >= 0)
        ::close(directHandle_);
    directHandle_ = -1;
#endif
}

bool sameFile(const QString &first, const QString &second)
{
    const auto canonical = [](const QString &path) {
        const QFileInfo info(path);
        if (info.exists())
            return info.canonicalFilePath();
        const QString folder = info.absoluteDir().canonicalPath();
        return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : QDir(folder).filePath(info.fileName());
    };
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    constexpr Qt::CaseSensitivity kCase = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity kCase = Qt::CaseSensitive;
#endif
    return QString::compare(canonical(first), canonical(second), kCase) == 0;
}

} // namespace vordane
