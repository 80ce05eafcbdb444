#pragma once

#include <QString>

#include <cstdint>

namespace vordane {

// Reads the decimal number at the start of a text typed by the user: leading
// blanks are skipped, an optional sign, digits with "." as the decimal point.
// Anything after the number is ignored; a text that does not begin with a
// number reads as 0. A number too large for a double reads as +/- infinity.
double readNumber(const QString &text);

// readNumber() truncated towards zero and clamped to the 64-bit range, for
// counts typed in boxes (infinity clamps, NaN cannot occur).
std::int64_t readInteger(const QString &text);

// Counters are written back as plain decimal integers.
QString formatCounter(std::int64_t value);

} // namespace vordane
