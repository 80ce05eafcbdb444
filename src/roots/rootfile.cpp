#include "roots/rootfile.h"

#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/textcase.h"
#include "common/textcodec.h"
#include "roots/termino.h"

#include <QFile>
#include <QFileInfo>

namespace vordane {

namespace {

const QString kColon = QStringLiteral(":");

// The 1-based number of the first line whose code matches, 0 when none.
FileStatus findCodeLine(const QString &path, const QString &code, qint64 &lineNumber, TextEncoding &encoding)
{
    LineReader reader(path);
    FileStatus status = reader.open();
    if (!status.ok())
        return status;
    encoding = reader.encoding();
    const QString wanted = toLowerText(code);
    lineNumber = 0;
    for (qint64 n = 1; !reader.atEnd(); ++n) {
        if (toLowerText(Termino(reader.readLine(), kColon, 1)) == wanted) {
            lineNumber = n;
            break;
        }
    }
    return reader.status();
}

// Rewrites the root file from its copy, with the record in place of line
// `replace` (0: added at the end).
FileStatus rewriteFrom(const QString &copy, const QString &path, const QString &record, qint64 replace)
{
    LineReader reader(copy);
    FileStatus status = reader.open();
    if (!status.ok())
        return status;
    LineWriter writer(path);
    status = writer.open();
    if (!status.ok())
        return status;
    if (reader.encoding() == TextEncoding::Utf8)
        writer.forceUtf8(); // keep the file's encoding
    for (qint64 n = 1; !reader.atEnd(); ++n) {
        const QString line = reader.readLine();
        writer.writeLine(n == replace ? record : line);
    }
    if (!reader.status().ok())
        return reader.status();
    if (replace == 0)
        writer.writeLine(record);
    return writer.commit();
}

FileStatus copyFile(const QString &from, const QString &to)
{
    if (QFileInfo(to).isDir())
        return FileStatus::failure(FileError::IsDirectory, to);
    if (QFile::exists(to) && !QFile::remove(to))
        return FileStatus::failure(FileError::CreateFailed, to);
    if (!QFile::copy(from, to))
        return FileStatus::failure(FileError::CreateFailed, to);
    return FileStatus::success();
}

} // namespace

FileStatus ensureRootFile(const QString &path)
{
    if (path.isEmpty())
        return FileStatus::failure(FileError::EmptyName, path);
    if (QFileInfo(path).isDir())
        return FileStatus::failure(FileError::IsDirectory, path);
    QFile file(path);
    if (!file.open(QIODevice::Append))
        return FileStatus::failure(FileError::CreateFailed, path);
    return FileStatus::success();
}

RootLookup lookUpRoot(const QString &path, RootKey field, const QString &key)
{
    RootLookup lookup;
    LineReader reader(path);
    lookup.status = reader.open();
    if (!lookup.status.ok())
        return lookup;
    const QString wanted = toLowerText(key);
    const int number = field == RootKey::Code ? 1 : 2;
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        lookup.fileHasLines = true;
        if (toLowerText(Termino(line, kColon, number)) == wanted) {
            lookup.found = RootRecord::parse(line).lowercased();
            break;
        }
    }
    lookup.status = reader.status();
    if (!lookup.status.ok())
        lookup.found.reset();
    return lookup;
}

FileStatus saveRoot(const QString &path, const RootRecord &record)
{
    const QString line = record.lowercased().toLine();
    qint64 lineNumber = 0;
    TextEncoding encoding = TextEncoding::Windows1252;
    FileStatus status = findCodeLine(path, record.code, lineNumber, encoding);
    if (!status.ok())
        return status;

    const QString copy = temporaryCopyName(path);
    if (lineNumber > 0) {
        status = copyFile(path, copy);
        if (!status.ok())
            return status;
        return rewriteFrom(copy, path, line, lineNumber);
    }

    // A new root goes at the end, in the file's own encoding; a record that
    // does not fit a Windows-1252 file turns the whole file into UTF-8.
    QByteArray bytes;
    if (encoding == TextEncoding::Utf8) {
        bytes = line.toUtf8();
        if (QFileInfo(path).size() == 0)
            bytes.prepend(kUtf8Bom);
    } else if (!appendWindows1252(line, bytes)) {
        return rewriteFrom(path, path, line, 0);
    }
    bytes.append("\r\n");
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append))
        return FileStatus::failure(FileError::CreateFailed, path);
    // A last line without a line end would run into the new root.
    if (file.size() > 0) {
        char last = 0;
        if (!file.seek(file.size() - 1) || !file.getChar(&last))
            return FileStatus::failure(FileError::ReadFailed, path);
        if (last != '\n' && last != '\r')
            bytes.prepend("\r\n");
    }
    if (file.write(bytes) != bytes.size() || !file.flush())
        return FileStatus::failure(FileError::WriteFailed, path);
    return FileStatus::success();
}

} // namespace vordane
