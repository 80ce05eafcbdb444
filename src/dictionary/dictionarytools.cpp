#include "dictionary/dictionarytools.h"

#include "common/blanks.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "dictionary/wordfile.h"

#include <QDir>

#include <cmath>
#include <memory>
#include <vector>

namespace vordane {

namespace {

constexpr qsizetype kHeadingLines = 4;
constexpr qsizetype kColumnWidth = 40;
constexpr int kColumns = 3;

// Opens the inputs, then the output: nothing is created when an input fails.
FileStatus openInOrder(std::initializer_list<LineReader *> inputs, LineWriter &output)
{
    for (LineReader *input : inputs) {
        if (const FileStatus status = input->open(); !status.ok())
            return status;
    }
    return output.open();
}

ToolResult finish(LineReader &reader, LineWriter &writer)
{
    if (!reader.status().ok())
        return ToolResult::fileFailure(reader.status());
    const FileStatus status = writer.commit();
    return status.ok() ? ToolResult{} : ToolResult::fileFailure(status);
}

// The piece of one column: after the separator's first character up to the
// column end, or the line's start up to the column end when the separator
// is not found; empty when the separator lies beyond the column.
QString columnPiece(const QString &line, const QString &separator, int column)
{
    const qsizetype start = column * kColumnWidth;     // 0-based search start
    const qsizetype end = (column + 1) * kColumnWidth; // 1-based column end
    const qsizetype found = start <= line.size() ? line.indexOf(separator, start) : -1;
    const qsizetype p = found < 0 ? 0 : found + 1;     // 1-based position, 0 when none
    if (end - p <= 0)
        return QString();
    return trimBlanks(line.mid(p, end - p));
}

} // namespace

QString toolResultMessage(const ToolResult &result)
{
    const QString file = QDir::toNativeSeparators(result.path);
    switch (result.problem) {
    case ToolResult::Problem::None:
        return QString();
    case ToolResult::Problem::File:
        return fileErrorMessage(result.status);
    case ToolResult::Problem::EmptySeparator:
        return messages::kEmptySeparator;
    case ToolResult::Problem::ListingTooShort:
        return messages::listingTooShort(file, result.count);
    case ToolResult::Problem::TranslationTooShort:
        return messages::translationTooShort(file, result.count);
    case ToolResult::Problem::FirstRowNotInUse:
        return messages::kFirstRowNotInUse;
    case ToolResult::Problem::RowWithoutFile:
        return messages::rowWithoutFile(result.row);
    case ToolResult::Problem::SourceTooShort:
        return messages::sourceTooShort(file, result.row);
    }
    return QString();
}

ToolResult separateListing(const QString &origin, const QString &destination, const QString &separator)
{
    if (separator.isEmpty())
        return {ToolResult::Problem::EmptySeparator, {}, {}, -1, 0};
    LineReader reader(origin);
    LineWriter writer(destination);
    if (const FileStatus status = openInOrder({&reader}, writer); !status.ok())
        return ToolResult::fileFailure(status);

    qsizetype heading = 0;
    for (; heading < kHeadingLines && !reader.atEnd(); ++heading)
        reader.readLine();
    if (heading < kHeadingLines) {
        if (!reader.status().ok())
            return ToolResult::fileFailure(reader.status());
        return {ToolResult::Problem::ListingTooShort, {}, origin, -1, std::int64_t(heading)};
    }
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        for (int column = 0; column < kColumns; ++column)
            writer.writeLine(columnPiece(line, separator, column));
    }
    return finish(reader, writer);
}

ToolResult copyWithCase(const QString &origin, const QString &destination, CaseOption option)
{
    LineReader reader(origin);
    LineWriter writer(destination);
    if (const FileStatus status = openInOrder({&reader}, writer); !status.ok())
        return ToolResult::fileFailure(status);
    while (!reader.atEnd())
        writer.writeLine(applyCase(reader.readLine(), option));
    return finish(reader, writer);
}

ToolResult combineSources(const std::array<CombinerRow, kCombinerRows> &rows, const QString &destination,
                          RandomSource &random)
{
    if (!rows[0].inUse)
        return {ToolResult::Problem::FirstRowNotInUse, {}, {}, 0, 0};
    for (int i = 0; i < kCombinerRows; ++i) {
        if (rows[std::size_t(i)].inUse && rows[std::size_t(i)].path.isEmpty())
            return {ToolResult::Problem::RowWithoutFile, {}, {}, i, 0};
    }
    std::array<std::unique_ptr<LineReader>, kCombinerRows> sources;
    for (int i = 0; i < kCombinerRows; ++i) {
        if (!rows[std::size_t(i)].inUse)
            continue;
        auto &source = sources[std::size_t(i)];
        source = std::make_unique<LineReader>(rows[std::size_t(i)].path);
        const FileStatus status = source->open();
        if (!status.ok())
            return ToolResult::fileFailure(status);
    }
    LineWriter writer(destination);
    const FileStatus status = writer.open();
    if (!status.ok())
        return ToolResult::fileFailure(status);

    std::array<QString, kCombinerRows> slotLines; // one slot a row, empty until read
    while (!sources[0]->atEnd()) {
        const double r = std::floor(random.nextUnit() * 100) + 1;
        for (int i = 0; i < kCombinerRows; ++i) {
            LineReader *source = sources[std::size_t(i)].get();
            if (!source)
                continue;
            if (source->atEnd()) {
                if (!source->status().ok())
                    return ToolResult::fileFailure(source->status());
                return {ToolResult::Problem::SourceTooShort, {}, rows[std::size_t(i)].path, i, 0};
            }
            slotLines[std::size_t(i)] = source->readLine();
        }
        double acc = 0;
        for (int i = 0; i < kCombinerRows; ++i) {
            const double p = rows[std::size_t(i)].percentage;
            if (acc < r && r <= acc + p)
                writer.writeLine(slotLines[std::size_t(i)]);
            acc += p;
        }
    }
    for (const auto &source : sources) {
        if (source && !source->status().ok())
            return ToolResult::fileFailure(source->status());
    }
    const FileStatus committed = writer.commit();
    return committed.ok() ? ToolResult{} : ToolResult::fileFailure(committed);
}

ToolResult exportDictionary(const QString &origin, const QString &translation, const QString &destination,
                            CaseOption originCase, CaseOption translationCase, bool omit)
{
    LineReader originReader(origin);
    LineReader translationReader(translation);
    LineWriter writer(destination);
    if (const FileStatus status = openInOrder({&originReader, &translationReader}, writer); !status.ok())
        return ToolResult::fileFailure(status);

    const QString kSeparator = kDictionarySeparator.toString();
    QString previous;
    std::int64_t translationLines = 0;
    while (!originReader.atEnd()) {
        const QString o = applyCase(originReader.readLine(), originCase);
        if (translationReader.atEnd()) {
            if (!translationReader.status().ok())
                return ToolResult::fileFailure(translationReader.status());
            return {ToolResult::Problem::TranslationTooShort, {}, translation, -1, translationLines};
        }
        const QString t = applyCase(translationReader.readLine(), translationCase);
        ++translationLines;
        const QStringView trimmedOrigin = trimmedBlanksView(o);
        if (!omit || (!trimmedBlanksView(t).isEmpty() && trimmedOrigin != previous)) {
            // The line "o = t", written in pieces.
            writer.write(o);
            writer.write(kSeparator);
            writer.writeLine(t);
        }
        if (omit)
            previous = trimmedOrigin.toString();
    }
    if (!translationReader.status().ok())
        return ToolResult::fileFailure(translationReader.status());
    return finish(originReader, writer);
}

} // namespace vordane
