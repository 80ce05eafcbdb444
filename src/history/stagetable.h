#pragma once

#include "history/evolution.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace vordane {

class TextSink;

// The two shapes of a stage table: tab-separated or comma-separated values.
enum class TableFormat { Tsv, Csv };

// The shape a table file's extension asks for (.tsv or .csv, in any case).
std::optional<TableFormat> tableFormatFor(const QString &path);

// One cell as the table holds it: a text with the separator, a quotation
// mark or a line end goes between quotation marks, each of its own marks
// doubled; any other text stands as it is.
QString tableCell(const QString &text, TableFormat format);

// Writes the forms of each entry stage by stage as a table a spreadsheet
// program opens as columns: a heading row, then one row per entry: its code
// and meaning where the lexicon has them, its original form, and its form
// after each stage, under the stage's heading. Each row ends in CR LF.
// (The file itself is UTF-8 with a byte-order mark: LineWriter::forceUtf8.)
class StageTable final : public EvolutionObserver {
public:
    StageTable(TextSink &out, TableFormat format, LexiconKind kind, const QStringList &stageTitles);

    void evolved(const LexiconEntry &entry, const QString *forms, qsizetype count) override;

private:
    void cell(const QString &text, bool first = false);

    TextSink &out_;
    TableFormat format_;
    LexiconKind kind_;
    QString separator_;
};

} // namespace vordane
