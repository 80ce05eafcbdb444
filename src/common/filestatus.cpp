#include "common/filestatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vordane {

FileStatus checkReadable(const QString &path)
{
    if (path.isEmpty())
        return FileStatus::failure(FileError::EmptyName, path);
    const QFileInfo info(path);
    if (info.isDir())
        return FileStatus::failure(FileError::IsDirectory, path);
    if (!info.exists())
        return FileStatus::failure(FileError::NotFound, path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return FileStatus::failure(FileError::OpenFailed, path);
    return FileStatus::success();
}

QString fileErrorMessage(const FileStatus &status)
{
    const QString name = QDir::toNativeSeparators(status.path);
    switch (status.error) {
    case FileError::None:
        return QString();
    case FileError::EmptyName:
        return QStringLiteral("No se ha indicado ningún nombre de archivo.");
    case FileError::NotFound:
        return QStringLiteral("El archivo «%1» no existe.").arg(name);
    case FileError::IsDirectory:
        return QStringLiteral("«%1» es una carpeta, no un archivo.").arg(name);
    case FileError::OpenFailed:
        return QStringLiteral("No se ha podido abrir el archivo «%1».").arg(name);
    case FileError::ReadFailed:
        return QStringLiteral("No se ha podido leer el archivo «%1».").arg(name);
    case FileError::CreateFailed:
        return QStringLiteral("No se ha podido crear el archivo «%1».").arg(name);
    case FileError::WriteFailed:
        return QStringLiteral("No se ha podido escribir el archivo «%1».").arg(name);
    case FileError::TooShort:
        return QStringLiteral("El archivo «%1» está incompleto: le faltan líneas.").arg(name);
    }
    return QString();
}

} // namespace vordane
