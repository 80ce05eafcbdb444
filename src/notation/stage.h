#pragma once

#include <QString>

namespace vordane::notation {

// A named part of an extended list, begun by a line "@etapa NOMBRE": the
// rules from there to the next such line (or the end).
struct Stage {
    QString name;
    qsizetype line = 0; // index in the list of its "@etapa" line
    qsizetype firstRule = 0; // index of its first rule among the list's rules
};

} // namespace vordane::notation
