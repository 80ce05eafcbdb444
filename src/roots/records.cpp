#include "roots/records.h"

#include "common/textcase.h"
#include "roots/termino.h"

namespace vordane {

namespace {
const QString kColon = QStringLiteral(":");
}

RootRecord RootRecord::parse(const QString &line)
{
    return {Termino(line, kColon, 1), Termino(line, kColon, 2), Termino(line, kColon, 3), Termino(line, kColon, 4)};
}

QString RootRecord::toLine() const
{
    return code + kColon + word + kColon + value + kColon + level;
}

RootRecord RootRecord::lowercased() const
{
    return {toLowerText(code), toLowerText(word), toLowerText(value), toLowerText(level)};
}

LanguageEntry LanguageEntry::parse(const QString &line)
{
    return {Termino(line, kColon, 1), Termino(line, kColon, 2), Termino(line, kColon, 3)};
}

} // namespace vordane
