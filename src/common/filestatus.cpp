#include "common/filestatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vordane {

FileStatus FileStatus::failure(FileError error, const QString &path, const QFileDevice &device)
{
    return failure(error, path, device.error() == QFileDevice::NoError ? QString() : device.errorString());
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
    case FileError::TooShort:
        text = QStringLiteral("El archivo «%1» está incompleto: le faltan líneas").arg(name);
        break;
    }
    // As Qt's own examples do: our sentence, then the system's explanation.
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text + QLatin1Char('.');
}

} // namespace vordane
