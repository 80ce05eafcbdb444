#pragma once

#include "transformer/rulereport.h"

#include <QAbstractTableModel>

#include <cstdint>
#include <memory>
#include <vector>

namespace vordane {

class WorkshopResult;

// Numbers as the workshop shows them: in Spanish whatever the system's
// locale, digits grouped in threes by "." from five digits on (5489,
// 38.354, 1.234.567, as Spanish spelling groups them) and "," before
// the decimals.
QString spanishNumber(qint64 number);
QString spanishNumber(double number, int decimals);
// A count and its noun: "1 palabra", "38.354 palabras".
QString spanishCount(qint64 count, const QString &singular, const QString &plural);

// The words of a workshop run, one row each: its number, its meaning (in a
// lexicon that has them), the word before the rules, after each stage of
// a list divided into stages, and after the rules; a changed word stands
// out. It can show only the words one rule changed, and mark the words
// whose result differs from the run before. The forms the rules made show
// their syllables when the run marks them.
class ResultModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // The columns of a word list through a list without stages; others
    // add their columns between them (see the column functions).
    enum Column { Number, Before, After, ColumnCount };

    explicit ResultModel(QObject *parent = nullptr);

    void setResult(std::shared_ptr<const WorkshopResult> result);
    // Only the words the rule on list line `line` changed; -1 for every word.
    void showChangedBy(qsizetype line);
    qsizetype shownRule() const { return rule_; }
    // The word a row shows (its number in the run), or -1.
    qsizetype wordAt(int row) const;
    // The row that shows a word, or -1.
    int rowOfWord(qsizetype word) const;
    // Marks the words whose result differs from the run before, the earlier result in their tooltip.
    void setShowDifferences(bool show);
    bool showsDifferences() const { return differences_; }

    // Where each column stands: -1 for a column the result does not have.
    int meaningColumn() const { return meaning_ ? 1 : -1; }
    int beforeColumn() const { return meaning_ ? 2 : 1; }
    int stageColumn(qsizetype stage) const
    {
        return stage >= 0 && stage < stages_ ? beforeColumn() + 1 + int(stage) : -1;
    }
    int afterColumn() const { return beforeColumn() + int(stages_) + 1; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString text(qsizetype word, int column) const;
    // The form of a word column as the run made it (without syllable marks).
    QString form(qsizetype word, int column) const;

    std::shared_ptr<const WorkshopResult> result_;
    qsizetype rule_ = -1;
    const std::vector<std::int32_t> *rows_ = nullptr; // the words shown, when not all
    bool meaning_ = false;
    qsizetype stages_ = 0; // stage columns
    bool differences_ = false;
};

// The mergers of a workshop run, one row each: the form, how many entries
// ended in it, and those entries.
class MergerModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Form, Count, Entries, ColumnCount };

    explicit MergerModel(QObject *parent = nullptr);

    void setResult(std::shared_ptr<const WorkshopResult> result);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const WorkshopResult> result_;
};

// The report of a workshop run, one row per rule: its line, its text, how
// many words it changed and the first examples. A rule that changed
// nothing stands out.
class ReportModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Line, Rule, Changed, Examples, ColumnCount };

    explicit ReportModel(QObject *parent = nullptr);

    void setReport(std::vector<RuleReport::Entry> entries);
    const RuleReport::Entry *entry(int row) const;
    // The row of the rule on list line `line`, or -1.
    int rowOfLine(qsizetype line) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<RuleReport::Entry> entries_;
};

} // namespace vordane
