#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Input files for the benchmarks, made once per process in a temporary folder.
namespace vordane::bench {

inline const QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString path(const char *name)
{
    return folder().filePath(QLatin1String(name));
}

// Writes `count` lines, line(i) for each (without the line end), CR LF after
// each; returns the file's path, or the empty text when it cannot be written.
template <typename Line> QString makeFile(const char *name, qint64 count, Line line)
{
    const QString file = path(name);
    if (QFile::exists(file))
        return file;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    QByteArray chunk;
    for (qint64 i = 0; i < count; ++i) {
        chunk += line(i);
        chunk += "\r\n";
        if (chunk.size() > (1 << 20)) {
            if (out.write(chunk) != chunk.size())
                return QString();
            chunk.clear();
        }
    }
    return out.write(chunk) == chunk.size() ? file : QString();
}

} // namespace vordane::bench
