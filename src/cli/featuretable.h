#pragma once

#include <QStringList>

namespace vordane {

class Io;

// "vordane-cli rasgos [REGLAS]": the built-in IPA table, or the features,
// diacritics and symbols a rule list declares itself, printed as the
// declarations that would make them.
int runRasgos(const QStringList &args, Io &io);

} // namespace vordane
