#include "notation/linetext.h"

namespace vordane::notation {

QString plainName(const QString &name)
{
    QString out;
    for (const QChar c : name.normalized(QString::NormalizationForm_D)) {
        if (c.category() != QChar::Mark_NonSpacing)
            out += c.toLower();
    }
    return out;
}

qsizetype characterPosition(QStringView text, qsizetype unit)
{
    qsizetype position = 1;
    for (qsizetype i = 0; i < unit && i < text.size(); ++i) {
        if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
            ++position;
    }
    return position;
}

char32_t codePointAt(QStringView text, qsizetype at, qsizetype *units)
{
    const QChar c = text.at(at);
    if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text.at(at + 1));
    }
    *units = 1;
    return c.unicode();
}

} // namespace vordane::notation
