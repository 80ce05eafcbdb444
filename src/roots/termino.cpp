#include "roots/termino.h"

namespace vordane {

QString Termino(const QString &Fuente, const QString &Separador, std::int64_t Numero)
{
    // An empty separator is found at the start of every rest: every field is empty.
    if (Separador.isEmpty())
        return QString();
    QStringView rest(Fuente);
    QStringView result;
    const auto next = [&] {
        const qsizetype at = rest.indexOf(Separador);
        if (at < 0) {
            result = rest;
            rest = QStringView();
        } else {
            result = rest.left(at);
            rest = rest.mid(at + Separador.size());
        }
    };
    next();
    for (std::int64_t i = 1; i < Numero; ++i) {
        if (rest.isEmpty()) {
            // Every later field of an exhausted text is empty.
            result = QStringView();
            break;
        }
        next();
    }
    return result.toString();
}

int terq(QStringView source, QChar sep, int)
{
    return int(source.count(sep)) + 1;
}

} // namespace vordane
