#pragma once

#include <QString>

#include <cstdint>

namespace vordane {

// Field number `Numero` (from 1) of `Fuente` split at the text `Separador`.
// A number of 1 or less gives the first field, a number beyond the last
// field the empty text; a text without separator is its own first field.
QString Termino(const QString &Fuente, const QString &Separador, std::int64_t Numero);

// The number of pieces of source split at sep: one more than the number of
// separators, empty pieces included. Only cl = 0 is defined.
int terq(QStringView source, QChar sep, int cl = 0);

} // namespace vordane
