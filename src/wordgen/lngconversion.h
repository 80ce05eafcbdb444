#pragma once

#include "common/outcome.h"
#include "generator/combinacion.h"

#include <QString>

namespace vordane {

struct LngConversion {
    Outcome outcome;
    QString text; // the ".gen" definition, lines ending with CR LF
};

// A combination of the word generator written as a definition that draws
// words with the same chances: each class whose identifier is one character
// (the last one of an identifier, as the generator draws) becomes a
// category (its identifier where that is a capital A-Z, another free
// letter otherwise) whose members weigh as often as they are repeated; the
// patterns become "@formas", each weighing as often as it is repeated;
// "'c" becomes the literal c; a character that repeats the previous piece
// becomes a category of that piece repeated (the same member twice). The
// syllables follow the generator's count: `minimum` (whole part), then
// floor(r * (maximum - minimum)) + 1 more when that is positive, as
// "@longitud" with those chances.
LngConversion convertCombinacion(const Combinacion &definition, double minimum = 1, double maximum = 4);

} // namespace vordane
