#pragma once

#include <QByteArray>
#include <QString>

namespace vordane::test {

// Exact bytes of a file (empty when it cannot be read).
QByteArray readBytes(const QString &path);
// Writes exact bytes; false on failure.
bool writeBytes(const QString &path, const QByteArray &bytes);

} // namespace vordane::test
