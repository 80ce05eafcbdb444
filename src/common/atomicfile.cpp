#include "common/atomicfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <filesystem>
#include <system_error>

#if defined(Q_OS_WIN)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace vordane {

namespace {

std::filesystem::path nativePath(const QString &path)
{
#if defined(Q_OS_WIN)
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// Follows symbolic links the way QSaveFile does, so that a link keeps
// pointing to the replaced file.
QString resolveLinks(const QString &path)
{
    QFileInfo info(path);
    for (int depth = 0; depth < 128 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

QString randomSuffix()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix(7, QLatin1Char('.'));
    for (qsizetype i = 1; i < suffix.size(); ++i)
        suffix[i] = QLatin1Char(kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet - 1))]);
    return suffix;
}

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
    if (path_.isEmpty())
        return FileStatus::failure(FileError::EmptyName, path_);
    target_ = resolveLinks(path_);
    const QFileInfo info(target_);
    if (info.isDir())
        return FileStatus::failure(FileError::IsDirectory, path_);
    replacing_ = info.exists();
    if (replacing_)
        permissions_ = info.permissions();
    return createTemporary();
}

FileStatus AtomicFile::createTemporary()
{
    // A fresh name beside the target, created only if it does not exist, so
    // that the new file gets the usual permissions of a new file.
    QString reason;
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto file = std::make_unique<QFile>(target_ + randomSuffix());
        if (file->open(QIODevice::ReadWrite | QIODevice::NewOnly | QIODevice::Unbuffered)) {
            temporary_ = std::move(file);
            finished_ = false;
            return FileStatus::success();
        }
        reason = file->errorString();
        if (!file->exists())
            break; // not a name clash: the folder is missing or not writable
    }
    return FileStatus::failure(FileError::CreateFailed, path_, reason);
}

FileStatus AtomicFile::restart()
{
    discard();
    return createTemporary();
}

FileStatus AtomicFile::finish()
{
    if (!temporary_)
        return FileStatus::failure(FileError::CreateFailed, path_);
    if (finished_)
        return FileStatus::success();
    if (!temporary_->flush() || (replacing_ && !syncToDisk(*temporary_))) {
        const FileStatus status = FileStatus::failure(FileError::WriteFailed, path_, *temporary_);
        discard();
        return status;
    }
    temporary_->close();
    finished_ = true;
    return FileStatus::success();
}

FileStatus AtomicFile::commit()
{
    if (const FileStatus status = finish(); !status.ok())
        return status;
    if (replacing_ && !temporary_->setPermissions(permissions_)) {
        const FileStatus status = FileStatus::failure(FileError::WriteFailed, path_, *temporary_);
        discard();
        return status;
    }
    std::error_code error;
    std::filesystem::rename(nativePath(temporary_->fileName()), nativePath(target_), error);
    if (error) {
        const FileStatus status =
            FileStatus::failure(FileError::WriteFailed, path_, QString::fromLocal8Bit(error.message()));
        discard();
        return status;
    }
    temporary_.reset();
    return FileStatus::success();
}

void AtomicFile::discard()
{
    if (!temporary_)
        return;
    temporary_->close();
    temporary_->remove();
    temporary_.reset();
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
