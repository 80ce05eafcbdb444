#include "generator/combinacion.h"

#include "common/linereader.h"
#include "common/linewriter.h"

namespace vordane {

Combinacion Combinacion::initial()
{
    Combinacion definition;
    for (int i = 0; i < kPanels; ++i)
        definition.panels[std::size_t(i)].identifier = QChar(u'A' + i);
    return definition;
}

QString letterListText(const QStringList &letters)
{
    return letters.join(QLatin1Char(','));
}

QStringList parseLetterList(const QString &text)
{
    if (text.isEmpty())
        return {};
    return text.split(QLatin1Char(','));
}

FileStatus readLngFile(const QString &path, Combinacion &definition)
{
    LineReader reader(path);
    FileStatus status = reader.open();
    if (!status.ok())
        return status;
    QStringList fixed;
    while (fixed.size() < kLngFixedLines && !reader.atEnd())
        fixed.append(reader.readLine());
    if (fixed.size() < kLngFixedLines)
        return FileStatus::failure(FileError::TooShort, path);

    Combinacion read;
    for (int i = 0; i < Combinacion::kPanels; ++i) {
        Panel &panel = read.panels[std::size_t(i)];
        panel.description = fixed.at(i);
        panel.identifier = fixed.at(Combinacion::kPanels + i);
        panel.letters = parseLetterList(fixed.at(2 * Combinacion::kPanels + i));
    }
    while (!reader.atEnd())
        read.patterns.append(reader.readLine());
    if (!reader.status().ok())
        return reader.status();
    definition = std::move(read);
    return status;
}

FileStatus writeLngFile(const QString &path, const Combinacion &definition)
{
    LineWriter writer(path);
    FileStatus status = writer.open();
    if (!status.ok())
        return status;
    for (const Panel &panel : definition.panels)
        writer.writeLine(panel.description);
    for (const Panel &panel : definition.panels)
        writer.writeLine(panel.identifier);
    for (const Panel &panel : definition.panels)
        writer.writeLine(letterListText(panel.letters));
    for (const QString &pattern : definition.patterns)
        writer.writeLine(pattern);
    return writer.commit();
}

} // namespace vordane
