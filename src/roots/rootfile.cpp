#include "roots/rootfile.h"

#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/textcase.h"
#include "common/textcodec.h"
#include "roots/termino.h"

#include <QFile>
#include <QFileInfo>

#include <array>

namespace vordane {

namespace {

const QString kColon = QStringLiteral(":");

// Where a root file stands before a save.
struct RootFileScan {
    FileStatus status;
    qint64 codeLine = 0; // 1-based number of the first line with the code, 0 when none
    TextEncoding encoding = TextEncoding::Windows1252;
};

RootFileScan findCodeLine(const QString &path, const QString &code)
{
    RootFileScan scan;
    LineReader reader(path);
    scan.status = reader.open();
    if (!scan.status.ok())
        return scan;
    scan.encoding = reader.encoding();
    const QString wanted = toLowerText(code);
    for (qint64 n = 1; !reader.atEnd(); ++n) {
        if (toLowerText(Termino(reader.readLine(), kColon, 1)) == wanted) {
            scan.codeLine = n;
            break;
        }
    }
    scan.status = reader.status();
    return scan;
}

// Copies a file's bytes unchanged; `last` receives its last byte (-1 when empty).
FileStatus copyBytes(const QString &from, LineWriter &to, int &last)
{
    QFile file(from);
    if (!file.open(QIODevice::ReadOnly))
        return FileStatus::failure(FileError::OpenFailed, from, file);
    last = -1;
    for (;;) {
        const QByteArray chunk = file.read(1024 * 1024);
        if (chunk.isEmpty())
            break;
        to.writeBytes(chunk);
        last = static_cast<unsigned char>(chunk.back());
    }
    if (file.error() != QFileDevice::NoError)
        return FileStatus::failure(FileError::ReadFailed, from, file);
    return FileStatus::success();
}

// Writes every line of the root file anew, in the file's encoding, with the
// record in place of line `replace` (0: added at the end).
FileStatus rewrite(const QString &path, LineWriter &writer, const QString &record, qint64 replace, bool utf8)
{
    LineReader reader(path);
    if (const FileStatus status = reader.open(); !status.ok())
        return status;
    if (utf8)
        writer.forceUtf8();
    for (qint64 n = 1; !reader.atEnd(); ++n) {
        const QString line = reader.readLine();
        writer.writeLine(n == replace ? record : line);
    }
    if (replace == 0)
        writer.writeLine(record);
    return reader.status();
}

Outcome checkFields(const RootRecord &record)
{
    const std::array<std::pair<const QString *, const char *>, 4> fields{
        {{&record.code, "Código"}, {&record.word, "Palabra"}, {&record.value, "Valor"}, {&record.level, "Nivel"}}};
    for (const auto &[text, name] : fields) {
        if (text->contains(u'\r') || text->contains(u'\n'))
            return Outcome::failure(messages::fieldWithLineBreak(QString::fromUtf8(name)));
    }
    return Outcome();
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
        return FileStatus::failure(FileError::CreateFailed, path, file);
    return FileStatus::success();
}

RootLookup lookUpRoot(const QString &path, RootKey field, const QString &key)
{
    RootLookup lookup;
    lookup.outcome = guardMemory([&]() -> Outcome {
        LineReader reader(path);
        if (const FileStatus status = reader.open(); !status.ok())
            return status;
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
        return reader.status();
    });
    if (!lookup.outcome.ok())
        lookup.found.reset();
    return lookup;
}

Outcome saveRoot(const QString &path, const RootRecord &record)
{
    if (const Outcome fields = checkFields(record); !fields.ok())
        return fields;
    return guardMemory([&]() -> Outcome {
        const QString line = record.lowercased().toLine();
        const RootFileScan scan = findCodeLine(path, record.code);
        if (!scan.status.ok())
            return scan.status;
        const bool utf8 = scan.encoding == TextEncoding::Utf8;

        LineWriter root(path);
        if (scan.codeLine > 0) {
            // In place: the copy first holds the file as it was.
            LineWriter copy(temporaryCopyName(path));
            int last = -1;
            FileStatus status = copy.open();
            if (status.ok())
                status = copyBytes(path, copy, last);
            if (status.ok())
                status = root.open();
            if (status.ok())
                status = rewrite(path, root, line, scan.codeLine, utf8);
            return status.ok() ? commitAll({&copy, &root}) : status;
        }

        if (const FileStatus status = root.open(); !status.ok())
            return status;
        // A new root goes at the end, in the file's own encoding, every
        // earlier byte kept; a record that does not fit a Windows-1252 file
        // turns the whole file into UTF-8.
        QByteArray bytes;
        if (!utf8 && !appendWindows1252(line, bytes)) {
            if (const FileStatus status = rewrite(path, root, line, 0, true); !status.ok())
                return status;
            return root.commit();
        }
        if (utf8)
            bytes = line.toUtf8();
        int last = -1;
        if (const FileStatus status = copyBytes(path, root, last); !status.ok())
            return status;
        // A last line without a line end would run into the new root.
        if (last >= 0 && last != '\n' && last != '\r')
            root.writeBytes("\r\n");
        root.writeLineBytes(bytes);
        return root.commit();
    });
}

} // namespace vordane
