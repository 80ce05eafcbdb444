#pragma once

#include <QStringList>

namespace vordane::notation {

// The built-in IPA table that "@rasgos ipa" loads, written as the
// declarations a list would use: its features, diacritics and symbols.
const QStringList &ipaTableLines();

} // namespace vordane::notation
