#include "common/numbers.h"

#include <QByteArray>
#include <charconv>
#include <cmath>
#include <limits>

#include <algorithm>

namespace vordane {

double readNumber(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;

    // Copy the longest prefix of the form [sign] digits [. digits] as ASCII.
    QByteArray number;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    auto isDigit = [&](qsizetype k) {
        return k < n && text.at(k) >= QLatin1Char('0') && text.at(k) <= QLatin1Char('9');
    };
    bool anyDigit = false;
    while (isDigit(i)) {
        number.append(char(text.at(i).unicode()));
        ++i;
        anyDigit = true;
    }
    if (i < n && text.at(i) == QLatin1Char('.')) {
        ++i;
        number.append('.');
        while (isDigit(i)) {
            number.append(char(text.at(i).unicode()));
            ++i;
            anyDigit = true;
        }
        if (number.endsWith('.'))
            number.chop(1);
    }
    if (!anyDigit)
        return 0.0;
    if (number.isEmpty())
        number.append('0');

    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Overflow when there is a non-zero digit before the point, otherwise
        // a fraction too small for a double.
        const qsizetype point = number.indexOf('.');
        const QByteArray whole = point < 0 ? number : number.left(point);
        const bool large = std::any_of(whole.cbegin(), whole.cend(), [](char c) { return c != '0'; });
        value = large ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int64_t readInteger(const QString &text)
{
    const double value = std::trunc(readNumber(text));
    constexpr double kLimit = 9223372036854775807.0; // rounds to 2^63
    if (value >= kLimit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -kLimit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

QString formatCounter(std::int64_t value)
{
    return QString::number(value);
}

} // namespace vordane
