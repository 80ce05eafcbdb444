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

// The words of a workshop run, one row each: its number, the word before
// the rules and after them; a changed word stands out. It can show only
// the words one rule changed.
class ResultModel final : public QAbstractTableModel {
    Q_OBJECT
public:
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

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::shared_ptr<const WorkshopResult> result_;
    qsizetype rule_ = -1;
    const std::vector<std::int32_t> *rows_ = nullptr; // the words shown, when not all
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
