#pragma once

#include <QString>

namespace vordane {

// A malformed line of an extended rule list.
struct RuleError {
    qsizetype line = 0; // index of the line in the list (its number is line + 1)
    qsizetype position = 1; // of the fault in the line, in characters from 1
    QString reason; // what is wrong, in Spanish
    QString text; // the line as written

    // "Línea 4 («P>B/V_V_»), posición 8: el entorno tiene más de un «_»."
    QString message() const
    {
        return QStringLiteral("Línea %1 («%2»), posición %3: %4.")
            .arg(QString::number(line + 1), text, QString::number(position), reason);
    }
};

} // namespace vordane
