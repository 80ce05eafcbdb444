#include "common/filestatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>

#include <cerrno>
#include <system_error>

namespace vordane {

namespace {

struct Reason {
    int number;
    const char *spanish;
    const char *qtText = nullptr; // the text Qt itself gives for it, when it has one
};

// The reasons a user meets with files, in the program's own words.
const Reason kReasons[] = {
    {int(std::errc::no_such_file_or_directory), "No existe el archivo o la carpeta", "No such file or directory"},
    {int(std::errc::permission_denied), "Permiso denegado", "Permission denied"},
    {int(std::errc::operation_not_permitted), "Operación no permitida"},
    {int(std::errc::read_only_file_system), "El sistema de archivos es de solo lectura"},
    {int(std::errc::no_space_on_device), "No queda espacio en el dispositivo", "No space left on device"},
    {int(std::errc::file_too_large), "El archivo es demasiado grande"},
    {int(std::errc::is_a_directory), "Es una carpeta"},
    {int(std::errc::not_a_directory), "No es una carpeta"},
    {int(std::errc::filename_too_long), "El nombre del archivo es demasiado largo"},
    {int(std::errc::too_many_links), "Demasiados enlaces"},
    {int(std::errc::too_many_symbolic_link_levels), "Demasiados niveles de enlaces simbólicos"},
    {int(std::errc::file_exists), "El archivo ya existe"},
    {int(std::errc::device_or_resource_busy), "Dispositivo o recurso ocupado"},
    {int(std::errc::text_file_busy), "El archivo está en uso"},
    {int(std::errc::io_error), "Error de entrada/salida"},
    {int(std::errc::too_many_files_open), "Demasiados archivos abiertos", "Too many open files"},
    {int(std::errc::broken_pipe), "Tubería rota"},
    {int(std::errc::no_such_device_or_address), "No existe el dispositivo o la dirección"},
#if defined(EDQUOT)
    {EDQUOT, "Se ha superado la cuota de disco"},
#endif
};

QString systemText(int errorNumber)
{
    return QString::fromLocal8Bit(std::generic_category().message(errorNumber));
}

// Every text the system or Qt gives for those reasons, mapped to ours.
const QHash<QString, QString> &reasonTable()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> texts;
        for (const Reason &reason : kReasons) {
            const QString spanish = QString::fromUtf8(reason.spanish);
            texts.insert(systemText(reason.number), spanish);
            if (reason.qtText) {
                texts.insert(QString::fromLatin1(reason.qtText), spanish);
                texts.insert(QCoreApplication::translate("QIODevice", reason.qtText), spanish);
            }
        }
        return texts;
    }();
    return table;
}

} // namespace

QString systemReason(int errorNumber)
{
    for (const Reason &reason : kReasons) {
        if (reason.number == errorNumber)
            return QString::fromUtf8(reason.spanish);
    }
    return systemText(errorNumber);
}

QString spanishReason(const QString &reason)
{
    return reasonTable().value(reason, reason);
}

FileStatus FileStatus::failure(FileError error, const QString &path, const QFileDevice &device)
{
    return failure(error, path, device.error() == QFileDevice::NoError ? QString() : device.errorString());
}

FileStatus FileStatus::systemFailure(FileError error, const QString &path, int errorNumber)
{
    return failure(error, path, systemReason(errorNumber));
}

QString FileStatus::message() const
{
    const QString name = QDir::toNativeSeparators(path);
    QString text;
    switch (error) {
    case FileError::None:
        return QString();
    case FileError::EmptyName:
        return QStringLiteral("No se ha indicado ningún nombre de archivo.");
    case FileError::NotFound:
        text = QStringLiteral("El archivo «%1» no existe").arg(name);
        break;
    case FileError::IsDirectory:
        text = QStringLiteral("«%1» es una carpeta, no un archivo").arg(name);
        break;
    case FileError::OpenFailed:
        text = QStringLiteral("No se ha podido abrir el archivo «%1»").arg(name);
        break;
    case FileError::ReadFailed:
        text = QStringLiteral("No se ha podido leer el archivo «%1»").arg(name);
        break;
    case FileError::CreateFailed:
        text = QStringLiteral("No se ha podido crear el archivo «%1»").arg(name);
        break;
    case FileError::WriteFailed:
        text = QStringLiteral("No se ha podido escribir el archivo «%1»").arg(name);
        break;
    case FileError::DeviceFailed:
        text = QStringLiteral("No se ha podido escribir en %1").arg(path);
        break;
    case FileError::TemporaryFailed:
        text = QStringLiteral("No se ha podido crear un archivo temporal en la carpeta «%1»").arg(name);
        break;
    case FileError::TooShort:
        text = QStringLiteral("El archivo «%1» está incompleto: le faltan líneas").arg(name);
        break;
    }
    // As Qt's own examples do: our sentence, then the system's explanation.
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + spanishReason(reason);
    return text + QLatin1Char('.');
}

} // namespace vordane
