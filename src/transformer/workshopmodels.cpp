#include "transformer/workshopmodels.h"

#include "transformer/workshoprun.h"

#include <QBrush>
#include <QColor>
#include <QFont>

#include <algorithm>
#include <limits>

namespace vordane {

namespace {

const QColor kChangedBackground(0xe6, 0xf0, 0xff);
// A result that differs from the run before: it must stand out from a changed word.
const QColor kDifferentBackground(0xff, 0xe9, 0x9e);
const QColor kDeadBackground(0xff, 0xe8, 0xe0);
const QColor kDeadText(0x90, 0x30, 0x20);

// Digits grouped in threes from five digits on.
QString grouped(QString digits)
{
    if (digits.size() > 4) {
        for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
            digits.insert(i, u'.');
    }
    return digits;
}

QFont boldFont()
{
    QFont font;
    font.setBold(true);
    return font;
}

} // namespace

QString spanishNumber(qint64 number)
{
    const quint64 magnitude = number < 0 ? 0 - quint64(number) : quint64(number);
    const QString digits = grouped(QString::number(magnitude));
    return number < 0 ? QLatin1Char('-') + digits : digits;
}

QString spanishNumber(double number, int decimals)
{
    const QString plain = QString::number(number, 'f', decimals);
    const qsizetype point = plain.indexOf(u'.');
    const bool negative = plain.startsWith(u'-');
    const qsizetype start = negative ? 1 : 0;
    QString text = grouped(plain.sliced(start, (point < 0 ? plain.size() : point) - start));
    if (point >= 0)
        text += QLatin1Char(',') + plain.sliced(point + 1);
    return negative ? QLatin1Char('-') + text : text;
}

QString spanishCount(qint64 count, const QString &singular, const QString &plural)
{
    return QStringLiteral("%1 %2").arg(spanishNumber(count), count == 1 ? singular : plural);
}

ResultModel::ResultModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ResultModel::setResult(std::shared_ptr<const WorkshopResult> result)
{
    beginResetModel();
    result_ = std::move(result);
    rule_ = -1;
    rows_ = nullptr;
    meaning_ = result_ && result_->isLexicon() && hasMeanings(result_->kind());
    stages_ = result_ && result_->hasStages() ? result_->stageCount() : 0;
    endResetModel();
}

void ResultModel::showChangedBy(qsizetype line)
{
    beginResetModel();
    rule_ = result_ ? line : -1;
    rows_ = rule_ >= 0 ? &result_->report().changedWords(rule_) : nullptr;
    endResetModel();
}

void ResultModel::setShowDifferences(bool show)
{
    if (show == differences_)
        return;
    differences_ = show;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole, Qt::ToolTipRole});
}

qsizetype ResultModel::wordAt(int row) const
{
    if (!result_ || row < 0 || row >= rowCount())
        return -1;
    return rows_ ? qsizetype((*rows_)[std::size_t(row)]) : row;
}

int ResultModel::rowOfWord(qsizetype word) const
{
    if (!result_ || word < 0)
        return -1;
    if (!rows_)
        return word < rowCount() ? int(word) : -1;
    // The words of one rule are in the order of the run.
    const auto found = std::lower_bound(rows_->begin(), rows_->end(), word);
    return found != rows_->end() && *found == word && found - rows_->begin() < rowCount() ? int(found - rows_->begin())
                                                                                          : -1;
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !result_)
        return 0;
    // A view counts its rows in int: more words than that are not shown.
    const qsizetype rows = rows_ ? qsizetype(rows_->size()) : result_->size();
    return int(std::min<qsizetype>(rows, std::numeric_limits<int>::max()));
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : afterColumn() + 1;
}

QString ResultModel::form(qsizetype word, int column) const
{
    if (column == beforeColumn())
        return result_->before(word);
    if (column == afterColumn())
        return result_->after(word);
    return result_->stageForm(word, column - beforeColumn() - 1);
}

QString ResultModel::text(qsizetype word, int column) const
{
    if (column == Number)
        return spanishNumber(qint64(word) + 1);
    if (column == meaningColumn())
        return result_->shaped(word) ? result_->entry(word).meaning : QString();
    if (column == beforeColumn())
        return result_->before(word);
    if (column == afterColumn())
        return result_->shown(result_->after(word));
    return result_->shown(result_->stageForm(word, column - beforeColumn() - 1));
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    const qsizetype word = wordAt(index.row());
    if (word < 0)
        return {};
    const int column = index.column();
    const bool changed = result_->changed(word);
    const bool differs = differences_ && result_->differs(word);
    switch (role) {
    case Qt::DisplayRole:
        return text(word, column);
    case Qt::ToolTipRole: {
        QString tip = changed ? QStringLiteral("%1 → %2").arg(result_->before(word), text(word, afterColumn()))
                              : QStringLiteral("Sin cambios");
        if (!result_->shaped(word))
            tip = QStringLiteral("No es una entrada del léxico: se copia tal cual");
        if (differs)
            tip += QStringLiteral("\nEn la pasada anterior: %1").arg(result_->shown(result_->previousAfter(word)));
        return tip;
    }
    case Qt::FontRole: {
        // The result, and each stage that changed the word, in bold.
        const bool stage = column > beforeColumn() && column < afterColumn();
        if (column == afterColumn())
            return changed ? QVariant(boldFont()) : QVariant();
        // By the forms themselves: marks set the first stage apart from the word before.
        if (stage && result_->stageForm(word, column - beforeColumn() - 1) != form(word, column - 1))
            return QVariant(boldFont());
        return {};
    }
    case Qt::BackgroundRole:
        if (differs)
            return QVariant(QBrush(kDifferentBackground));
        return changed ? QVariant(QBrush(kChangedBackground)) : QVariant();
    case Qt::TextAlignmentRole:
        return column == Number ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    default:
        return {};
    }
}

QVariant ResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return {};
    if (role == Qt::ToolTipRole && stageColumn(0) >= 0 && section >= stageColumn(0) && section < afterColumn())
        return QStringLiteral("Cada palabra tras la etapa «%1»").arg(result_->stageTitle(section - stageColumn(0)));
    if (role != Qt::DisplayRole)
        return {};
    if (section == Number)
        return QStringLiteral("N.º");
    if (section == meaningColumn())
        return QStringLiteral("Significado");
    if (section == beforeColumn())
        return QStringLiteral("Antes");
    if (section == afterColumn())
        return QStringLiteral("Después");
    return result_->stageTitle(section - beforeColumn() - 1);
}

MergerModel::MergerModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void MergerModel::setResult(std::shared_ptr<const WorkshopResult> result)
{
    beginResetModel();
    result_ = std::move(result);
    endResetModel();
}

int MergerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !result_ ? 0 : int(result_->mergers().size());
}

int MergerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MergerModel::data(const QModelIndex &index, int role) const
{
    if (!result_ || index.row() < 0 || index.row() >= rowCount())
        return {};
    const MergerFinder::Merger &merger = result_->mergers()[std::size_t(index.row())];
    const bool meanings = hasMeanings(result_->kind());
    const auto entries = [&] {
        QStringList texts;
        for (const LexiconEntry &entry : merger.entries)
            texts.append(meanings ? QStringLiteral("%1 (%2)").arg(entry.meaning, entry.form) : entry.form);
        return texts.join(QStringLiteral(", "));
    };
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Form:
            return result_->shown(merger.form);
        case Count:
            return spanishNumber(qint64(merger.entries.size()));
        default:
            return entries();
        }
    case Qt::ToolTipRole:
        return QStringLiteral("%1 ← %2").arg(result_->shown(merger.form), entries());
    case Qt::TextAlignmentRole:
        return index.column() == Count ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    default:
        return {};
    }
}

QVariant MergerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const names[ColumnCount] = {"Forma", "Entradas", "Acaban en ella"};
    return QString::fromUtf8(names[section]);
}

ReportModel::ReportModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ReportModel::setReport(std::vector<RuleReport::Entry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    endResetModel();
}

const RuleReport::Entry *ReportModel::entry(int row) const
{
    return row >= 0 && std::size_t(row) < entries_.size() ? &entries_[std::size_t(row)] : nullptr;
}

int ReportModel::rowOfLine(qsizetype line) const
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].line == line)
            return int(i);
    }
    return -1;
}

int ReportModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(entries_.size());
}

int ReportModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ReportModel::data(const QModelIndex &index, int role) const
{
    const RuleReport::Entry *rule = entry(index.row());
    if (!rule)
        return {};
    const bool dead = rule->isRule && rule->changed == 0;
    // What the rule could not do on some words follows its examples.
    const QString warnings = RuleReport::warningsOf(*rule).join(QStringLiteral("; "));
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Line:
            return QString::number(rule->line + 1);
        case Rule:
            return rule->text;
        case Changed:
            return rule->isRule ? spanishNumber(qint64(rule->changed)) : QStringLiteral("no es una regla");
        default: {
            QStringList shown = rule->examples;
            if (!warnings.isEmpty())
                shown.append(QStringLiteral("Aviso: ") + warnings);
            return shown.join(QStringLiteral("; "));
        }
        }
    case Qt::ToolTipRole: {
        QString tip;
        if (!rule->isRule)
            tip = QStringLiteral("Le falta «>»: no cambia nada.");
        else if (dead)
            tip = QStringLiteral("Esta regla no ha cambiado ninguna palabra.");
        else
            tip = QStringLiteral("%1. Pulse para ver solo esas palabras.")
                      .arg(spanishCount(rule->changed, QStringLiteral("palabra cambiada"),
                                        QStringLiteral("palabras cambiadas")));
        return warnings.isEmpty() ? tip : tip + QStringLiteral("\nAviso: ") + warnings + u'.';
    }
    case Qt::BackgroundRole:
        return dead || !rule->isRule ? QVariant(QBrush(kDeadBackground)) : QVariant();
    case Qt::ForegroundRole:
        return dead || !rule->isRule ? QVariant(QBrush(kDeadText)) : QVariant();
    case Qt::TextAlignmentRole:
        return index.column() == Line || (index.column() == Changed && rule->isRule)
            ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter))
            : QVariant();
    default:
        return {};
    }
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char *const names[ColumnCount] = {"Línea", "Regla", "Cambiadas", "Ejemplos"};
    return QString::fromUtf8(names[section]);
}

} // namespace vordane
