#include "transformer/transformationengine.h"

#include "common/linesource.h"

namespace vordane {

namespace {

// Position of pattern in word at or after from (0-based), or -1. Words are
// short, so a plain scan beats the general search.
qsizetype findFrom(const QString &word, const QString &pattern, qsizetype from)
{
    const qsizetype n = pattern.size();
    const qsizetype last = word.size() - n;
    if (n == 0)
        return from <= word.size() ? from : -1;
    const QChar *w = word.constData();
    const QChar *p = pattern.constData();
    const QChar first = p[0];
    for (qsizetype i = from; i <= last; ++i) {
        if (w[i] != first)
            continue;
        qsizetype k = 1;
        while (k < n && w[i + k] == p[k])
            ++k;
        if (k == n)
            return i;
    }
    return -1;
}

} // namespace

QStringList ruleTable(const QStringList &items)
{
    return items.mid(0, kMaxRulesPerRun);
}

RuleSet::RuleSet(const QStringList &rules)
{
    const QChar mark = QLatin1Char('#');
    for (const QString &text : rules) {
        const qsizetype divider = text.indexOf(QLatin1Char('>'));
        if (divider < 0)
            continue;
        Rule rule;
        rule.pattern = text.left(divider);
        rule.replacement = text.mid(divider + 1);
        if (!text.contains(mark)) {
            // An empty pattern with an empty replacement changes nothing.
            if (!rule.pattern.isEmpty() || !rule.replacement.isEmpty())
                rules_.push_back(std::move(rule));
            continue;
        }
        rule.kind = Rule::Kind::Edge;
        QString pattern = rule.pattern;
        QString replacement = rule.replacement;
        if (pattern.startsWith(mark)) {
            pattern.remove(0, 1);
            replacement.remove(0, 1);
            rule.initial = true;
            rule.initialPattern = pattern;
            rule.initialReplacement = replacement;
        }
        // The word-final step sees the pattern and replacement as the initial step left them.
        if (pattern.endsWith(mark)) {
            pattern.chop(1);
            replacement.chop(1);
            rule.final = true;
            rule.finalPattern = pattern;
            rule.finalReplacement = replacement;
        }
        if (rule.initial || rule.final)
            rules_.push_back(std::move(rule));
    }
}

void RuleSet::applyPlain(const Rule &rule, QString &word)
{
    const qsizetype patternSize = rule.pattern.size();
    // Resume after the inserted replacement; an empty pattern also steps over
    // the character it was inserted before, so that every rule ends.
    const qsizetype step = rule.replacement.size() + (patternSize == 0 ? 1 : 0);
    qsizetype from = 0;
    for (;;) {
        const qsizetype m = findFrom(word, rule.pattern, from);
        if (m < 0)
            return;
        word.replace(m, patternSize, rule.replacement);
        from = m + step;
    }
}

void RuleSet::applyEdge(const Rule &rule, QString &word)
{
    if (rule.initial && word.startsWith(rule.initialPattern))
        word.replace(0, rule.initialPattern.size(), rule.initialReplacement);
    if (rule.final && word.endsWith(rule.finalPattern))
        word.replace(word.size() - rule.finalPattern.size(), rule.finalPattern.size(), rule.finalReplacement);
}

void RuleSet::apply(QString &word) const
{
    for (const Rule &rule : rules_) {
        if (rule.kind == Rule::Kind::Plain)
            applyPlain(rule, word);
        else
            applyEdge(rule, word);
    }
}

QString TransformarPalabra(const QString &word, const QStringList &rules)
{
    QString result = word;
    RuleSet(rules).apply(result);
    return result;
}

QString TransformarTexto(const QString &source, const QStringList &rules, LineSource *dictionary)
{
    const RuleSet ruleSet(rules);
    const QString separator = QStringLiteral(" = ");
    const QString lineEnd = QStringLiteral("\r\n");
    QString result;
    result.reserve(source.size() + source.size() / 2);

    const qsizetype length = source.size();
    qsizetype i = 0;
    QString word;
    while (i < length) {
        const qsizetype comma = source.indexOf(QLatin1Char(','), i);
        const qsizetype end = comma < 0 ? length : comma;
        word = source.sliced(i, end - i);
        ruleSet.apply(word);
        if (dictionary) {
            if (dictionary->atEnd())
                break;
            result += dictionary->readLine();
            result += separator;
        }
        result += word;
        result += lineEnd;
        i = end + 1;
    }
    return result;
}

} // namespace vordane
