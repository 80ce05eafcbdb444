#include "common/linereader.h"
#include "common/randomsource.h"
#include "common/textsink.h"
#include "notation/compiledrules.h"
#include "notation/parser.h"
#include "transformer/extendedrules.h"
#include "transformer/rulefile.h"
#include "transformer/rulereport.h"
#include "transformer/transformationengine.h"

#include <QtTest>

using namespace vordane;

namespace {

const QStringList kHead{"@ampliada", "V=a,e,i,o,u", "C=p,t,k,b,d,g,m,n,s,r,l", "P=p,t,k", "B=b,d,g"};

QString run(const QString &word, const QStringList &rules)
{
    const RuleSet set(kHead + rules);
    if (!set.ok())
        return set.validity().message();
    QString out = word;
    RandomSource random;
    set.apply(out, nullptr, &random);
    return out;
}

// The general compiled rules alone, without the tables of the first notation.
QString general(const QString &word, const QStringList &list)
{
    notation::ParsedList parsed = notation::parseList(list);
    if (!parsed.errors.isEmpty())
        return parsed.errors.constFirst().message();
    const notation::CompiledRules rules(std::move(parsed));
    QString out = word;
    RandomSource random;
    rules.apply(out, nullptr, &random, kMaxWordLength);
    return out;
}

} // namespace

class tst_NotationEngine : public QObject {
    Q_OBJECT
private slots:
    void elements_data();
    void elements();
    void errors_data();
    void errors();
    void general_agreesWithTheFirstNotationsTables();
    void pathological_patternsStayPolynomial();
    void repeated_unsettledWordsAreReported();
    void example_latinToItalian();
};

void tst_NotationEngine::elements_data()
{
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QStringList &rules, const char *word, const char *expected) {
        QTest::newRow(name) << rules << QString::fromUtf8(word) << QString::fromUtf8(expected);
    };
    row("escaped character", {"a\\+b>c"}, "xa+by", "xcy");
    row("escaped space is a space", {"a\\ b>c"}, "a b", "c");
    row("inline category", {"[p,t,k]>[b,d,g]/V_V"}, "pataka", "padaga");
    row("inline category without commas", {"[ptk]>[bdg]/V_V"}, "pataka", "padaga");
    row("inline category naming one", {"[C,h]>x/_#"}, "pah", "pax");
    row("edge as a member", {"s>z/[#,a]_"}, "sas", "zaz");
    row("any segment", {"[]>x/_#"}, "abc", "abx");
    row("negation", {"a>e/_!n"}, "anat", "anet");
    row("negated category", {"k>g/!V_"}, "akka", "akga");
    row("optional present", {"a>e/_(n)t"}, "ant", "ent");
    row("optional absent", {"a>e/_(n)t"}, "at", "et");
    row("zero or more", {"a>e/_n*t"}, "annnt", "ennnt");
    row("one or more", {"n+>n"}, "annna", "ana");
    row("repeated group", {"(ab)*c>x"}, "ababc", "x");
    row("ellipsis", {"a>e/_…i"}, "pasti", "pesti");
    row("ellipsis without the i", {"a>e/_…i"}, "pasto", "pasto");
    row("three dots", {"a>e/_...i"}, "pasti", "pesti");
    row("gemination", {"C$1>$1$1/V_V"}, "ata", "atta");
    row("degemination", {"C$1$1>$1"}, "atta", "ata");
    row("metathesis", {"C$1V$2>$2$1"}, "pa", "ap");
    row("total assimilation", {"n>$1/_C$1"}, "anta", "atta");
    row("index by capture", {"P$1>B$1/V_V"}, "apa", "aba");
    row("capture bound twice", {"V$1>/V$1_"}, "aab", "ab");
    row("several environments", {"a>e/_i/_u"}, "ai au ao", "ei eu ao");
    row("several exceptions", {"a>e//_i/_u"}, "ai ao", "ai eo");
    row("block swaps", {"a>e", "&e>a"}, "pate", "peta");
    row("simultaneous by default", {"a>b/a_"}, "aaa", "abb");
    row("sequential", {"a>b/a_ {secuencial}"}, "aaa", "aba");
    row("right to left", {"a>b/_a {inversa}"}, "aaa", "aba");
    row("repeated until stable", {"ab>b {repetida}"}, "aaab", "b");
    row("only the first", {"a>e {una}"}, "aaa", "eaa");
    row("only the last", {"a>e {una, inversa}"}, "aaa", "aae");
    row("options in two braces", {"a>e {una} {inversa}"}, "aaa", "aae");
    row("accents optional", {"a>b/a_ {simultanea}"}, "aaa", "abb");
    row("vowel harmony over consonants", {"[e,i]>[a,u]/[a,o,u]_ {solo V, secuencial}"}, "kotine", "kotuna");
    row("harmony simultaneous", {"[e,i]>[a,u]/[a,o,u]_ {solo V}"}, "kotine", "kotune");
    row("deletion seen alone", {"a>/V_ {solo V}"}, "pata", "pat");
    row("declared symbol is one segment", {"@símbolos tʃ", "t>d"}, "tʃata", "tʃada");
    row("symbol matched whole", {"@simbolos tʃ", "tʃ>ʃ"}, "tʃat", "ʃat");
    row("combining mark joins its letter", {"a>e"}, "a\xcc\x81" "a", "\xc3\xa1" "e");
    row("canonically equivalent", {"\xc3\xa1>e"}, "pa\xcc\x81", "pe");
    row("words on a line", {"#p>#b"}, "pa pa", "ba ba");
    row("edges at spaces", {"a>e/_#"}, "la pa", "le pe");
    row("sandhi across a space", {"a\\ p>a\\ b"}, "la pa", "la ba");
    row("any never matches a space", {"a[]>x"}, "a b", "a b");
}

void tst_NotationEngine::elements()
{
    QFETCH(QStringList, rules);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QCOMPARE(run(word, rules), expected);
}

void tst_NotationEngine::errors_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char *line, int position, const char *reason) {
        QTest::newRow(line) << QString::fromUtf8(line) << position << QString::fromUtf8(reason);
    };
    row("[a,b>c", 1, "«[» sin su «]»");
    row("a]>c", 2, "«]» sin su «[»");
    row("(a>c", 1, "«(» sin su «)»");
    row("a)>c", 2, "«)» sin su «(»");
    row("()>c", 1, "«()» no contiene nada");
    row("a>$1", 3, "la captura $1 no se liga");
    row("a>b/_$2", 6, "la captura $2 no se liga");
    row("a$>b", 2, "«$» va seguido de un número");
    row("!>a", 1, "«!» va delante");
    row("*a>b", 1, "«*» y «+» repiten");
    row("a**>b", 3, "«*» y «+» repiten");
    row("…a>b", 1, "«…» solo puede ir en un entorno");
    row("a>(b)", 3, "el sustituto solo lleva");
    row("a>b*", 4, "el sustituto solo lleva");
    row("a>b {rapida}", 6, "opción desconocida");
    row("a>b {solo}", 6, "{solo X} pide");
    row("a>b {una", 5, "«{» sin su «}»");
    row("a.b>c", 2, "«.» queda reservado");
    row("a,b>c", 2, "«,» tiene un sentido");
    row("a>b/", 4, "el entorno no tiene «_»");
    row("P$1>V$1", 5, "V$1 pide que la captura $1 se ligue a una categoría de 5 miembros");
    row("[p,t]>[b,d,g]", 7, "la categoría [b,d,g] tiene 3 miembros y su pareja del objetivo, [p,t], tiene 2 miembros");
    row("@ampliada", 1, "la marca «@ampliada» tiene que ser la primera línea de la lista");
    row("@rasgo x", 1, "directiva desconocida «@rasgo»");
    row("a>b\\", 4, "«\\» al final de la línea");
}

void tst_NotationEngine::errors()
{
    QFETCH(QString, line);
    QFETCH(int, position);
    QFETCH(QString, reason);
    const RuleSet set(kHead + QStringList{"a>e", line, "o>u"});
    QCOMPARE(set.errors().size(), 1);
    const RuleError &error = set.errors().constFirst();
    QCOMPARE(error.line, 6);
    QVERIFY2(error.reason.startsWith(reason), qPrintable(error.reason));
    QCOMPARE(error.position, position);
}

void tst_NotationEngine::general_agreesWithTheFirstNotationsTables()
{
    // Lists of the first extended notation run on its own tables for plain
    // words, and on the general compiled rules for the rest: on plain words
    // both must give the same (the tables are checked against a brute-force
    // reference of their own).
    const QStringList head{"@ampliada", "V=a,b", "W=ab,c", "Z=b,ca,a", "Y=c,ab,b"};
    RandomSource random;
    random.seed(QRandomGenerator::global()->generate());
    const auto pick = [&](const QString &from) {
        return from.at(qsizetype(random.nextIndex(std::uint64_t(from.size()))));
    };
    const auto text = [&](int longest, const QString &from) {
        QString out;
        for (std::uint64_t n = random.nextIndex(std::uint64_t(longest) + 1); n > 0; --n)
            out += pick(from);
        return out;
    };
    const auto context = [&]() {
        QString out = text(2, QStringLiteral("abcVWZ")) + QLatin1Char('_') + text(2, QStringLiteral("abcVWZ"));
        if (random.nextIndex(4) == 0)
            out.prepend(u'#');
        if (random.nextIndex(4) == 0)
            out.append(u'#');
        return out;
    };
    int changed = 0;
    for (int round = 0; round < 3000; ++round) {
        QStringList rules;
        for (std::uint64_t k = random.nextIndex(3) + 1; k > 0; --k) {
            QString target = text(3, QStringLiteral("abcVWZY"));
            QString replacement = text(2, QStringLiteral("abc"));
            for (const QChar c : std::as_const(target)) {
                if (c != u'V' && c != u'W' && c != u'Z' && c != u'Y')
                    continue;
                if (random.nextIndex(3) == 0)
                    break;
                replacement += pick(c == u'V' || c == u'W' ? QStringLiteral("VW") : QStringLiteral("ZY"));
            }
            const QString environment = target.isEmpty() || random.nextIndex(2) == 0 ? context() : QString();
            const QString exception = random.nextIndex(3) == 0 ? context() : QString();
            if (!target.isEmpty() && random.nextIndex(6) == 0) {
                target.prepend(u'#');
                replacement.prepend(u'#');
            }
            if (!target.isEmpty() && random.nextIndex(6) == 0) {
                target.append(u'#');
                replacement.append(u'#');
            }
            QString rule = target + QLatin1Char('>') + replacement;
            if (!environment.isEmpty())
                rule += QLatin1Char('/') + environment;
            if (!exception.isEmpty())
                rule += QStringLiteral("//") + exception;
            rules.append(rule);
        }
        const QString word = text(10, QStringLiteral("abc"));
        const RuleSet set(head + rules);
        QVERIFY2(set.ok(), qPrintable(rules.join(u' ')));
        QString expected = word;
        set.apply(expected);
        const QString got = general(word, head + rules);
        QVERIFY2(got == expected, qPrintable(QStringLiteral("«%1» through «%2»: «%3», expected «%4»")
                                                 .arg(word, rules.join(QStringLiteral(" · ")), got, expected)));
        changed += got != word;
    }
    QVERIFY2(changed > 500, qPrintable(QString::number(changed)));
}

void tst_NotationEngine::pathological_patternsStayPolynomial()
{
    // Patterns that make a naive backtracker take exponential time, on a
    // long word: they must end, with the right result.
    const QString as(3000, u'a');
    QCOMPARE(run(as, {"(a*)*b>x"}), as);
    QCOMPARE(run(as, {"a*a*a*a*b>x"}), as);
    QCOMPARE(run(as, {"a>x/_…a…a…a…b"}), as);
    QCOMPARE(run(as + u'b', {"(a*)*b>x"}), QStringLiteral("x"));
    // Captures compared inside a repetition are polynomial, not linear:
    // a shorter word.
    const QString shorter(300, u'a');
    QCOMPARE(run(shorter, {"([]$1)*$1$1b>x"}), shorter);
    QCOMPARE(run(shorter + QStringLiteral("aab"), {"([]$1)+$1$1b>x"}), QStringLiteral("x"));
}

void tst_NotationEngine::repeated_unsettledWordsAreReported()
{
    // A block that swaps a and b never settles: after the last pass the
    // word stays as that pass left it, and the report says so.
    const QStringList rules = kHead + QStringList{"a>b {repetida}", "&b>a", "o>u {repetida}"};
    const RuleSet set(rules);
    QVERIFY(set.ok());
    QVERIFY(set.hasRepeatedRules());
    RuleReport report(rules);
    QString word = QStringLiteral("abo");
    RandomSource random;
    QVERIFY(set.apply(word, &report, &random));
    QCOMPARE(word, QStringLiteral("abu")); // an even number of swaps
    const std::vector<RuleReport::Entry> entries = report.entries();
    QCOMPARE(entries.front().unsettled, 1);
    QCOMPARE(entries.front().unsettledExamples, QStringList{"abo"});
    QCOMPARE(entries.back().unsettled, 0);
    QVERIFY2(report.text().contains(QStringLiteral("1 palabra sigue cambiando tras 100 pasadas")), qPrintable(report.text()));
}

void tst_NotationEngine::example_latinToItalian()
{
    // The installed example with captures, options, a block and symbols
    // does what its comments say.
    QStringList rules;
    QVERIFY(readRuleFile(QStringLiteral(VORDANE_EXAMPLES_DIR "/latin-italiano.sc"), rules).ok());
    const RuleSet set(rules);
    QVERIFY2(set.ok(), qPrintable(set.validity().message()));
    LineReader words(QStringLiteral(VORDANE_EXAMPLES_DIR "/latin-italiano.lex"));
    QVERIFY(words.open().ok());
    StringSink out(kMaxResultLength);
    QVERIFY(transformWordList(words, set, nullptr, out).ok());
    QCOMPARE(out.text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts),
             QString::fromUtf8("notte otto sette fatto letto sonno sasso skritto pieno piano kiave fiamma fiore "
                               "tʃena dʒente piede buono fuoko ruota akkʷa kʷando lupo amiko patʃe")
                 .split(u' '));
}

QTEST_GUILESS_MAIN(tst_NotationEngine)
#include "tst_notation_engine.moc"
