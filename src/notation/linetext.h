#pragma once

#include <QString>
#include <QStringView>

// Small readings of a rule list's text shared by its readers.
namespace vordane::notation {

// Lower case without accents: names and options may be written either way.
QString plainName(const QString &name);

// The character (1-based) at UTF-16 unit `unit` of `text`: a surrogate pair
// is one character.
qsizetype characterPosition(QStringView text, qsizetype unit);

// The code point at `at`, and in *units how many UTF-16 units it takes.
char32_t codePointAt(QStringView text, qsizetype at, qsizetype *units);

} // namespace vordane::notation
