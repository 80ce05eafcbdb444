#include "history/stagetable.h"

#include "common/textsink.h"
#include "history/historymessages.h"

namespace vordane {

namespace {

const QString kLineEnd = QStringLiteral("\r\n");

} // namespace

std::optional<TableFormat> tableFormatFor(const QString &path)
{
    if (path.endsWith(QLatin1String(".tsv"), Qt::CaseInsensitive))
        return TableFormat::Tsv;
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        return TableFormat::Csv;
    return std::nullopt;
}

QString tableCell(const QString &text, TableFormat format)
{
    const QChar separator = format == TableFormat::Tsv ? u'\t' : u',';
    const bool quoted = std::any_of(text.begin(), text.end(), [separator](QChar c) {
        return c == separator || c == u'"' || c == u'\r' || c == u'\n';
    });
    if (!quoted)
        return text;
    QString cell = text;
    cell.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + cell + QLatin1Char('"');
}

StageTable::StageTable(TextSink &out, TableFormat format, LexiconKind kind, const QStringList &stageTitles)
    : out_(out)
    , format_(format)
    , kind_(kind)
    , separator_(format == TableFormat::Tsv ? QStringLiteral("\t") : QStringLiteral(","))
{
    namespace msg = messages::history;
    QStringList headings;
    if (hasCodes(kind))
        headings.append(msg::kCodeColumn);
    if (hasMeanings(kind))
        headings.append(msg::kMeaningColumn);
    headings.append(msg::kOriginalColumn);
    headings.append(stageTitles);
    for (qsizetype i = 0; i < headings.size(); ++i)
        cell(headings.at(i), i == 0);
    out_.append(kLineEnd);
}

void StageTable::cell(const QString &text, bool first)
{
    if (!first)
        out_.append(separator_);
    out_.append(tableCell(text, format_));
}

void StageTable::evolved(const LexiconEntry &entry, const QString *forms, qsizetype count)
{
    bool first = true;
    if (hasCodes(kind_)) {
        cell(entry.code, true);
        first = false;
    }
    if (hasMeanings(kind_)) {
        cell(entry.meaning, first);
        first = false;
    }
    cell(entry.form, first);
    for (qsizetype k = 0; k < count; ++k)
        cell(forms[k]);
    out_.append(kLineEnd);
}

} // namespace vordane
