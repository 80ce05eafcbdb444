#include "shell/filefilter.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace vordane {

QStringList toQtNameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        result.append(parts.at(i) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    }
    return result;
}

QString filterExtension(const QString &filter, int index)
{
    const QString patterns = filter.section(QLatin1Char('|'), 2 * index + 1, 2 * index + 1);
    const QString first = patterns.section(QLatin1Char(';'), 0, 0).trimmed();
    static const QRegularExpression plainExtension(QStringLiteral("^\\*(\\.[^*?\\[\\].]+)$"));
    const QRegularExpressionMatch match = plainExtension.match(first);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString withExtension(const QString &path, const QString &extension)
{
    if (path.isEmpty() || extension.isEmpty() || QFileInfo(path).fileName().contains(QLatin1Char('.')))
        return path;
    return path + extension;
}

} // namespace vordane
