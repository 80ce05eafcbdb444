#include "dictionary/dictionarytools.h"

#include "common/blanks.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "common/textcodec.h"
#include "dictionary/wordfile.h"

#include <QDir>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace vordane {

namespace {

constexpr qsizetype kHeadingLines = 4;
constexpr qsizetype kColumnWidth = 40;
constexpr int kColumns = 3;
const QByteArray kSeparatorBytes = QByteArrayLiteral(" = ");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

const QString kSeparatorText = QStringLiteral(" = ");

// Opens the inputs, then the output: nothing is created when an input fails.
FileStatus openInOrder(std::initializer_list<LineReader *> inputs, LineWriter &output)
{
    for (LineReader *input : inputs) {
        if (const FileStatus status = input->open(); !status.ok())
            return status;
    }
    return output.open();
}

bool allWindows1252(std::initializer_list<const LineReader *> inputs)
{
    return std::all_of(inputs.begin(), inputs.end(),
                       [](const LineReader *input) { return input->encoding() == TextEncoding::Windows1252; });
}

// Checks the inputs, releases them (so that the output may replace one of
// them on any platform) and commits the output.
Outcome finish(std::initializer_list<LineReader *> inputs, LineWriter &output)
{
    for (LineReader *input : inputs) {
        if (!input->status().ok())
            return input->status();
        input->close();
    }
    return output.commit();
}

// The piece of one column: after the separator's first character up to the
// column end, or the line's start up to the column end when the separator
// is not found; empty when the separator lies beyond the column. Works on
// characters and, for Windows-1252 files, on bytes alike.
template <typename View> View columnPiece(View line, View separator, int column)
{
    const qsizetype start = column * kColumnWidth; // 0-based search start
    const qsizetype end = (column + 1) * kColumnWidth; // 1-based column end
    const qsizetype found = !separator.isEmpty() && start <= line.size() ? line.indexOf(separator, start) : -1;
    const qsizetype p = found < 0 ? 0 : found + 1; // 1-based position, 0 when none
    if (end - p <= 0 || p >= line.size())
        return View();
    return trimmedBlanks(line.sliced(p, std::min(end - p, line.size() - p)));
}

// The same piece of a line holding characters beyond U+FFFF, each of which
// counts as one character (two UTF-16 units) in the columns.
QStringView columnPieceByCharacter(QStringView line, QStringView separator, int column)
{
    std::vector<qsizetype> starts; // the unit where each character starts, then the line's end
    starts.reserve(std::size_t(line.size()) + 1);
    for (qsizetype i = 0; i < line.size(); ++i) {
        starts.push_back(i);
        if (line.at(i).isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate())
            ++i;
    }
    starts.push_back(line.size());
    const qsizetype characters = qsizetype(starts.size()) - 1;
    const qsizetype start = column * kColumnWidth;
    const qsizetype end = (column + 1) * kColumnWidth;
    qsizetype found = -1;
    if (!separator.isEmpty() && start <= characters) {
        const qsizetype unit = line.indexOf(separator, starts[std::size_t(start)]);
        if (unit >= 0) // the character that holds the unit
            found = qsizetype(std::upper_bound(starts.begin(), starts.end(), unit) - starts.begin()) - 1;
    }
    const qsizetype p = found < 0 ? 0 : found + 1;
    if (end - p <= 0 || p >= characters)
        return QStringView();
    const qsizetype from = starts[std::size_t(p)];
    return trimmedBlanks(line.sliced(from, starts[std::size_t(std::min(end, characters))] - from));
}

bool holdsSurrogates(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

} // namespace

Outcome separateListing(const QString &origin, const QString &destination, const QString &separator)
{
    if (separator.isEmpty())
        return Outcome::failure(messages::kEmptySeparator);
    return guardMemory([&]() -> Outcome {
        LineReader reader(origin);
        LineWriter writer(destination);
        if (const FileStatus status = openInOrder({&reader}, writer); !status.ok())
            return status;

        qsizetype heading = 0;
        for (; heading < kHeadingLines && !reader.atEnd(); ++heading)
            reader.skipLine();
        if (heading < kHeadingLines) {
            if (!reader.status().ok())
                return reader.status();
            return Outcome::failure(messages::listingTooShort(shown(origin), heading));
        }
        if (reader.encoding() == TextEncoding::Windows1252) {
            // A separator outside the code page cannot occur in the file: it is never found.
            QByteArray sep;
            const bool fits = appendWindows1252(separator, sep);
            while (!reader.atEnd()) {
                const QByteArrayView line = reader.readLineBytes();
                for (int column = 0; column < kColumns; ++column)
                    writer.writeLineBytes(columnPiece(line, fits ? QByteArrayView(sep) : QByteArrayView(), column));
            }
        } else {
            while (!reader.atEnd()) {
                const QString line = reader.readLine();
                const bool wide = holdsSurrogates(line);
                for (int column = 0; column < kColumns; ++column) {
                    writer.writeLine(wide ? columnPieceByCharacter(line, separator, column)
                                          : columnPiece(QStringView(line), QStringView(separator), column));
                }
            }
        }
        return finish({&reader}, writer);
    });
}

Outcome copyWithCase(const QString &origin, const QString &destination, CaseOption option)
{
    return guardMemory([&]() -> Outcome {
        LineReader reader(origin);
        LineWriter writer(destination);
        if (const FileStatus status = openInOrder({&reader}, writer); !status.ok())
            return status;
        if (reader.encoding() == TextEncoding::Windows1252) {
            const ByteTable &table = windows1252CaseTable(option);
            while (!reader.atEnd())
                writer.writeLineBytes(reader.readLineBytes(), &table);
        } else {
            while (!reader.atEnd())
                writer.writeLine(applyCase(reader.readLine(), option));
        }
        return finish({&reader}, writer);
    });
}

Outcome combineSources(const std::array<CombinerRow, kCombinerRows> &rows, const QString &destination,
                       RandomSource &random)
{
    if (!rows[0].inUse)
        return Outcome::failure(messages::kFirstRowNotInUse);
    for (int i = 0; i < kCombinerRows; ++i) {
        if (rows[std::size_t(i)].inUse && rows[std::size_t(i)].path.isEmpty())
            return Outcome::failure(messages::rowWithoutFile(i));
    }
    return guardMemory([&]() -> Outcome {
        std::array<std::unique_ptr<LineReader>, kCombinerRows> sources;
        bool bytes = true; // every source in use is Windows-1252
        for (int i = 0; i < kCombinerRows; ++i) {
            if (!rows[std::size_t(i)].inUse)
                continue;
            auto &source = sources[std::size_t(i)];
            source = std::make_unique<LineReader>(rows[std::size_t(i)].path);
            if (const FileStatus status = source->open(); !status.ok())
                return status;
            bytes = bytes && source->encoding() == TextEncoding::Windows1252;
        }
        LineWriter writer(destination);
        if (const FileStatus status = writer.open(); !status.ok())
            return status;

        // One slot a row, empty until read. A byte view stays valid until its
        // source reads again, that is until the next pass.
        std::array<QString, kCombinerRows> textSlots;
        std::array<QByteArrayView, kCombinerRows> byteSlots;
        while (!sources[0]->atEnd()) {
            const double r = std::floor(random.nextUnit() * 100) + 1;
            for (int i = 0; i < kCombinerRows; ++i) {
                LineReader *source = sources[std::size_t(i)].get();
                if (!source)
                    continue;
                if (source->atEnd()) {
                    if (!source->status().ok())
                        return source->status();
                    return Outcome::failure(messages::sourceTooShort(shown(rows[std::size_t(i)].path), i));
                }
                if (bytes)
                    byteSlots[std::size_t(i)] = source->readLineBytes();
                else
                    textSlots[std::size_t(i)] = source->readLine();
            }
            double acc = 0;
            for (int i = 0; i < kCombinerRows; ++i) {
                const double p = rows[std::size_t(i)].percentage;
                if (acc < r && r <= acc + p) {
                    if (bytes)
                        writer.writeLineBytes(byteSlots[std::size_t(i)]);
                    else
                        writer.writeLine(textSlots[std::size_t(i)]);
                }
                acc += p;
            }
        }
        for (const auto &source : sources) {
            if (source && !source->status().ok())
                return source->status();
            if (source)
                source->close();
        }
        return writer.commit();
    });
}

namespace {

// Copies a view into a line kept from one pass to the next, reusing its room.
template <typename Line, typename View> void assign(Line &line, View view)
{
    line.resize(view.size());
    std::copy(view.begin(), view.end(), line.begin());
}

// A line that is only looked at while its reader stands still (no omission).
void assign(QByteArrayView &line, QByteArrayView view)
{
    line = view;
}

// The export loop over characters or, for Windows-1252 files, bytes. `Line`
// holds a converted line (reused, so that no line costs an allocation), or
// is a view of the line as read when nothing needs a converted copy;
// `View` looks at one.
template <typename Line, typename View, typename Read, typename Convert, typename Write>
Outcome exportLines(LineReader &origin, LineReader &translation, bool omit, Read read, Convert convertOrigin,
                    Convert convertTranslation, Write write)
{
    Line o;
    Line t;
    Line previous;
    std::int64_t translationLines = 0;
    while (!origin.atEnd()) {
        convertOrigin(read(origin), o);
        if (translation.atEnd()) {
            if (!translation.status().ok())
                return translation.status();
            return Outcome::failure(messages::translationTooShort(shown(translation.path()), translationLines));
        }
        convertTranslation(read(translation), t);
        ++translationLines;
        const View trimmedOrigin = trimmedBlanks(View(o));
        if (!omit || (!trimmedBlanks(View(t)).isEmpty() && trimmedOrigin != View(previous)))
            write(o, t);
        if (omit)
            assign(previous, trimmedOrigin);
    }
    return Outcome();
}

} // namespace

Outcome exportDictionary(const QString &origin, const QString &translation, const QString &destination,
                         CaseOption originCase, CaseOption translationCase, bool omit)
{
    return guardMemory([&]() -> Outcome {
        LineReader originReader(origin);
        LineReader translationReader(translation);
        LineWriter writer(destination);
        if (const FileStatus status = openInOrder({&originReader, &translationReader}, writer); !status.ok())
            return status;

        Outcome outcome;
        if (allWindows1252({&originReader, &translationReader}) && !omit) {
            // Nothing compared: each line is case-mapped as it is written, not copied first.
            const ByteTable *originTable = &windows1252CaseTable(originCase);
            const ByteTable *translationTable = &windows1252CaseTable(translationCase);
            const auto asRead = [](QByteArrayView line, QByteArrayView &kept) { kept = line; };
            outcome = exportLines<QByteArrayView, QByteArrayView>(
                originReader, translationReader, omit, [](LineReader &r) { return r.readLineBytes(); }, asRead, asRead,
                [&](QByteArrayView o, QByteArrayView t) {
                    writer.writeBytes(o, originTable);
                    writer.writeBytes(kSeparatorBytes);
                    writer.writeLineBytes(t, translationTable);
                });
        } else if (allWindows1252({&originReader, &translationReader})) {
            const auto converter = [](CaseOption option) {
                return [table = &windows1252CaseTable(option)](QByteArrayView line, QByteArray &converted) {
                    converted.resize(line.size());
                    char *out = converted.data();
                    for (qsizetype i = 0; i < line.size(); ++i)
                        out[i] = char((*table)[static_cast<unsigned char>(line[i])]);
                };
            };
            outcome = exportLines<QByteArray, QByteArrayView>(
                originReader, translationReader, omit, [](LineReader &r) { return r.readLineBytes(); },
                converter(originCase), converter(translationCase),
                [&](const QByteArray &o, const QByteArray &t) {
                    writer.writeBytes(o);
                    writer.writeBytes(kSeparatorBytes);
                    writer.writeLineBytes(t);
                });
        } else {
            const auto converter = [](CaseOption option) {
                return [option](const QString &line, QString &converted) { converted = applyCase(line, option); };
            };
            outcome = exportLines<QString, QStringView>(
                originReader, translationReader, omit, [](LineReader &r) { return r.readLine(); },
                converter(originCase), converter(translationCase),
                [&](const QString &o, const QString &t) {
                    writer.write(o);
                    writer.write(kSeparatorText);
                    writer.writeLine(t);
                });
        }
        if (!outcome.ok())
            return outcome;
        return finish({&originReader, &translationReader}, writer);
    });
}

} // namespace vordane
