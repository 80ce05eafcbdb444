#include "cli/cliio.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileDevice>
#include <QIODevice>

namespace vordane {

namespace {

const QString kStandardOutput = QStringLiteral("la salida estándar");

FileStatus standardOutputFailure(const QIODevice &out)
{
    return FileStatus::failure(FileError::DeviceFailed, kStandardOutput, out.isOpen() ? out.errorString() : QString());
}

// Writes bytes to standard output and flushes them, reporting any failure.
FileStatus writeOut(QIODevice &out, const QByteArray &bytes)
{
    if (!out.isOpen() || out.write(bytes) != bytes.size())
        return standardOutputFailure(out);
    if (auto *file = qobject_cast<QFileDevice *>(&out); file && !file->flush())
        return standardOutputFailure(out);
    return FileStatus::success();
}

} // namespace

int Io::print(const QString &text)
{
    const FileStatus status = writeOut(out_, text.toUtf8());
    return status.ok() ? kExitOk : fail(status.message());
}

void Io::message(const QString &text)
{
    // Nothing is left to tell the user when standard error itself fails.
    if (err_.isOpen()) {
        err_.write((text + QLatin1Char('\n')).toUtf8());
        if (auto *file = qobject_cast<QFileDevice *>(&err_))
            file->flush();
    }
}

int Io::fail(const QString &text)
{
    message(text);
    return kExitFailed;
}

int Io::done(const QString &text)
{
    if (verbose_)
        message(text);
    return kExitOk;
}

int Io::report(const Outcome &outcome, const QString &doneText)
{
    return outcome.ok() ? done(doneText) : fail(outcome.message());
}

CommandOutput::CommandOutput(Io &io, const QCommandLineParser &parser, bool holdBack)
    : io_(io)
    , toFile_(parser.isSet(QStringLiteral("salida")))
    , file_(parser.value(QStringLiteral("salida")))
    , holdBack_(holdBack && !toFile_)
{
}

FileStatus CommandOutput::open()
{
    if (toFile_) {
        writer_ = std::make_unique<LineWriter>(file_);
        return writer_->open();
    }
    if (!io_.out().isOpen())
        return standardOutputFailure(io_.out());
    if (!holdBack_) {
        writer_ = std::make_unique<LineWriter>(io_.out(), kStandardOutput);
        return writer_->open();
    }
    const QString folder = QDir::tempPath();
    spool_ = std::make_unique<TemporaryFile>();
    if (const FileStatus status = spool_->create(folder, folder, TemporaryFile::Use::Scratch); !status.ok())
        return FileStatus::failure(FileError::TemporaryFailed, folder, status.reason);
    const QString spoolName =
        QStringLiteral("un archivo temporal de la carpeta «%1»").arg(QDir::toNativeSeparators(folder));
    writer_ = std::make_unique<LineWriter>(spool_->device(), spoolName);
    return writer_->open();
}

Outcome CommandOutput::commit()
{
    if (toFile_) {
        writer_->write(QStringLiteral("\r\n")); // as the window's "Guardar" ends the text
        return writer_->commit();
    }
    if (const FileStatus status = writer_->finish(); !status.ok() || !spool_)
        return status;
    QFile &spool = spool_->device();
    if (!spool.seek(0))
        return FileStatus::failure(FileError::DeviceFailed, writer_->path(), spool);
    while (!spool.atEnd()) {
        const QByteArray chunk = spool.read(1024 * 1024);
        if (chunk.isEmpty())
            return FileStatus::failure(FileError::DeviceFailed, writer_->path(), spool);
        if (const FileStatus status = writeOut(io_.out(), chunk); !status.ok())
            return status;
    }
    return Outcome();
}

} // namespace vordane
