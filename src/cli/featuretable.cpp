#include "cli/featuretable.h"

#include "cli/cliio.h"
#include "notation/features.h"
#include "transformer/extendedrules.h"
#include "transformer/rulefile.h"

#include <QDir>

namespace vordane {

int runRasgos(const QStringList &args, Io &io)
{
    if (args.isEmpty()) {
        QList<RuleError> errors;
        const notation::FeatureTable table =
            notation::readFeatures({kExtendedMarker, QStringLiteral("@rasgos ipa")}, errors);
        QString text = QStringLiteral("; La tabla que carga «@rasgos ipa»: rasgos, diacríticos y símbolos.\n");
        for (const QString &line : table.declarations(true))
            text += line + QLatin1Char('\n');
        return io.print(text);
    }
    const QString file = QDir::toNativeSeparators(args.at(0));
    QStringList lines;
    if (const FileStatus status = readRuleFile(args.at(0), lines); !status.ok())
        return io.fail(status.message());
    if (lines.value(0) != kExtendedMarker)
        return io.fail(QStringLiteral("«%1» no es una lista @ampliada: no declara rasgos.").arg(file));
    QList<RuleError> errors;
    const notation::FeatureTable table = notation::readFeatures(lines, errors);
    if (!errors.isEmpty()) {
        for (const RuleError &error : errors)
            io.message(error.message());
        return io.fail(QStringLiteral("La lista «%1» tiene errores en sus rasgos.").arg(file));
    }
    QString text;
    if (table.hasTable())
        text += QStringLiteral("; La lista carga la tabla ipa («vordane-cli rasgos» la muestra).\n");
    for (const QString &line : table.declarations(false))
        text += line + QLatin1Char('\n');
    if (text.isEmpty())
        io.message(QStringLiteral("La lista «%1» no declara rasgos.").arg(file));
    return io.print(text);
}

} // namespace vordane
