#pragma once

#include <QString>
#include <QStringList>

namespace vordane {

// A rule file of SCA² carried over into the extended notation.
struct Sca2Import {
    // The list, "@ampliada" first; every carried-over line of the original
    // stands as a "; " comment above what it became, and a line that could
    // not be carried over stays as such a comment, with the reason.
    QStringList lines;
    // "Línea N («texto»): razón." for each line not carried over (N counted
    // from 1 in the original).
    QStringList problems;
    // Original lines that became rules: sound changes and rewrites.
    int rules = 0;
};

// Converts the lines of an SCA² rule file: categories "V=aeiou", rewrites
// "lh|ʎ" and sound changes "target/replacement/environment[/exception]".
// Rewrites become the first rules (they are also applied to the categories
// and sound changes, as the original does); with `rewriteOnOutput` they are
// applied back, last, from the output form to the input form. Pure text to
// text: nothing is read or written here.
Sca2Import importSca2(const QStringList &lines, bool rewriteOnOutput);

} // namespace vordane
