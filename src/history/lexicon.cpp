#include "history/lexicon.h"

#include "common/linereader.h"
#include "common/linesource.h"
#include "common/textsink.h"

#include <QByteArrayView>

#include <limits>

namespace vordane {

namespace {

const QString kColon = QStringLiteral(":");
const QString kPairing = QStringLiteral(" = ");
const QString kLineEnd = QStringLiteral("\r\n");

char16_t unit(QChar c)
{
    return c.unicode();
}
char16_t unit(char c)
{
    return char16_t(uchar(c));
}

} // namespace

std::optional<LexiconKind> lexiconKindNamed(const QString &name)
{
    if (name == QLatin1String("lan"))
        return LexiconKind::Language;
    if (name == QLatin1String("dic"))
        return LexiconKind::Dictionary;
    if (name == QLatin1String("lista"))
        return LexiconKind::List;
    return std::nullopt;
}

template <typename View> void LexiconKindDetector::check(View line)
{
    if (line.isEmpty())
        return;
    any_ = true;
    if (language_) {
        int colons = 0;
        for (qsizetype i = 0; i < line.size() && colons < 2; ++i)
            colons += unit(line[i]) == u':' ? 1 : 0;
        language_ = colons >= 2;
    }
    if (dictionary_) {
        bool paired = false;
        for (qsizetype i = 1; i + 1 < line.size() && !paired; ++i)
            paired = unit(line[i]) == u'=' && unit(line[i - 1]) == u' ' && unit(line[i + 1]) == u' ';
        dictionary_ = paired;
    }
}

void LexiconKindDetector::line(QStringView line)
{
    check(line);
}

void LexiconKindDetector::line(QByteArrayView bytes)
{
    // ":", " " and "=" are single bytes in both encodings and never part of another character.
    check(bytes);
}

LexiconKind LexiconKindDetector::kind() const
{
    if (any_ && language_)
        return LexiconKind::Language;
    if (any_ && dictionary_)
        return LexiconKind::Dictionary;
    return LexiconKind::List;
}

FileStatus detectLexiconKind(const QString &path, LexiconKind &kind)
{
    LineReader reader(path);
    if (const FileStatus status = reader.open(); !status.ok())
        return status;
    LexiconKindDetector detector;
    while (!detector.settled() && !reader.atEnd())
        detector.line(reader.readLineBytes());
    if (!reader.status().ok())
        return reader.status();
    kind = detector.kind();
    return FileStatus::success();
}

LexiconKind detectLexiconKind(LineSource &lines)
{
    LexiconKindDetector detector;
    while (!detector.settled() && !lines.atEnd())
        detector.line(QStringView(lines.readLine()));
    return detector.kind();
}

LexiconEntry readLexiconEntry(const QString &line, LexiconKind kind)
{
    LexiconEntry entry;
    switch (kind) {
    case LexiconKind::List:
        entry.form = line;
        break;
    case LexiconKind::Dictionary: {
        const qsizetype at = line.indexOf(kPairing);
        if (at < 0) {
            entry.form = line;
            entry.shaped = false;
            break;
        }
        entry.meaning = line.left(at);
        entry.form = line.mid(at + kPairing.size());
        break;
    }
    case LexiconKind::Language: {
        const qsizetype first = line.indexOf(u':');
        const qsizetype second = first < 0 ? -1 : line.indexOf(u':', first + 1);
        if (second < 0) {
            entry.form = line;
            entry.shaped = false;
            break;
        }
        const qsizetype third = line.indexOf(u':', second + 1);
        entry.code = line.left(first);
        entry.meaning = line.sliced(first + 1, second - first - 1);
        entry.form = third < 0 ? line.sliced(second + 1) : line.sliced(second + 1, third - second - 1);
        if (third >= 0)
            entry.rest = line.sliced(third);
        break;
    }
    }
    return entry;
}

void writeLexiconEntry(TextSink &out, const LexiconEntry &entry, const QString &form, LexiconKind kind)
{
    if (!entry.shaped) {
        out.append(entry.form);
    } else if (kind == LexiconKind::Language) {
        out.append(entry.code);
        out.append(kColon);
        out.append(entry.meaning);
        out.append(kColon);
        out.append(form);
        out.append(entry.rest);
    } else if (kind == LexiconKind::Dictionary) {
        out.append(entry.meaning);
        out.append(kPairing);
        out.append(form);
    } else {
        out.append(form);
    }
    out.append(kLineEnd);
}

QString lexiconLine(const LexiconEntry &entry, const QString &form, LexiconKind kind)
{
    StringSink line(std::numeric_limits<qsizetype>::max());
    writeLexiconEntry(line, entry, form, kind);
    return line.take().chopped(kLineEnd.size());
}

} // namespace vordane

namespace vordane {

const QString &entryLabel(const LexiconEntry &entry, LexiconKind kind)
{
    return hasMeanings(kind) && entry.shaped ? entry.meaning : entry.form;
}

} // namespace vordane
