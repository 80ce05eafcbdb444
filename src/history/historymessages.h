#pragma once

#include "common/messages.h"

#include <QString>
#include <QStringList>

// The texts of a lexicon's evolution through the stages of a rule list.
namespace vordane::messages::history {

// Faults of an "@etapa" line.
inline const QString kStageWithoutName = QStringLiteral("@etapa va seguido del nombre de la etapa");
inline QString duplicateStage(const QString &name, qsizetype firstLine)
{
    return QStringLiteral("ya hay una etapa «%1», en la línea %2").arg(name, QString::number(firstLine + 1));
}

// --hasta naming a stage the list does not have.
inline QString unknownStage(const QString &name, const QStringList &stages)
{
    if (stages.isEmpty())
        return QStringLiteral("La lista de reglas no tiene etapas (líneas «@etapa NOMBRE»): no hay ninguna «%1».")
            .arg(name);
    return QStringLiteral("La lista de reglas no tiene ninguna etapa «%1»; sus etapas son: %2.")
        .arg(name, stages.join(QStringLiteral(", ")));
}

// The heading of the column of rules before the first "@etapa" line.
inline const QString kUnnamedStage = QStringLiteral("(sin nombre)");
// Column headings of the stage table.
inline const QString kCodeColumn = QStringLiteral("Código");
inline const QString kMeaningColumn = QStringLiteral("Significado");
inline const QString kOriginalColumn = QStringLiteral("Original");

// A stage in the trace of a word.
inline QString traceStage(const QString &name)
{
    return QStringLiteral("  Etapa %1:\n").arg(name);
}

// Words whose result differs from an earlier run, and how many.
inline QString changedSince(const QString &label, const QString &before, const QString &now)
{
    return QStringLiteral("%1: %2 → %3").arg(label, before, now);
}
inline QString changedCount(std::int64_t changed, std::int64_t unmatched)
{
    QString text = QStringLiteral("%1 desde la pasada anterior")
                       .arg(counted(changed, QStringLiteral("resultado distinto"),
                                    QStringLiteral("resultados distintos")));
    if (unmatched > 0)
        text += QStringLiteral("; %1 en ella")
                    .arg(counted(unmatched, QStringLiteral("entrada nueva, que no estaba"),
                                 QStringLiteral("entradas nuevas, que no estaban")));
    return text + QLatin1Char('.');
}

// Entries that ended in one form.
inline QString mergerCount(std::int64_t count)
{
    return counted(count, QStringLiteral("fusión"), QStringLiteral("fusiones"));
}

inline QString unknownFormat(const QString &value)
{
    return QStringLiteral("--formato admite lan, dic o lista, no «%1».").arg(value);
}
inline QString unknownTableKind(const QString &path)
{
    return QStringLiteral("La tabla de etapas «%1» debe terminar en .tsv o .csv.").arg(path);
}

} // namespace vordane::messages::history
