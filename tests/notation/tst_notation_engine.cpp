#include "common/linereader.h"
#include "common/randomsource.h"
#include "common/textsink.h"
#include "notation/compiledrules.h"
#include "notation/parser.h"
#include "transformer/extendedrules.h"
#include "transformer/rulefile.h"
#include "transformer/rulereport.h"
#include "transformer/transformationengine.h"

#include "referencematcher.h"

#include <QtTest>

#include <algorithm>
#include <random>

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

// Random extended lists over a, b, c (and spaces in words), for comparing
// the engine with the reference matcher. Left out, because the notation's
// description does not settle them: repetition of parts of several lengths
// (the longest total and the most rounds can differ), captures inside
// "( )", "*" or "+", a capture of an environment's left side used in the
// replacement, one of several environments' captures used outside it, a
// bare "$n" before any binding, "#" and spaces in "{solo X}" rules,
// insertions in blocks, and "{una}" on a block applied at once.
class RandomLists {
public:
    explicit RandomLists(std::uint64_t seed) : random_(seed) {}

    reference::RuleList list()
    {
        list_ = reference::RuleList();
        const QString names = QStringLiteral("DFG");
        for (const QChar name : names) {
            reference::Category c;
            c.written = QString(name);
            QStringList written;
            for (int n = pick(3) + 1; n > 0; --n) {
                if (!list_.categories.empty() && chance(15)) {
                    const reference::Category &earlier = list_.categories.at(std::size_t(pick(int(list_.categories.size()))));
                    written += earlier.written;
                    c.members += earlier.members;
                } else {
                    const QString m = letters(chance(30) ? 2 : 1);
                    written += m;
                    c.members += m;
                }
            }
            list_.definitions += c.written + u'=' + written.join(u',');
            list_.categories.push_back(c);
        }
        for (int n = chance(25) ? pick(2) + 2 : 1; n > 0; --n)
            list_.blocks.push_back(block());
        return list_;
    }

    // The lines of the list as written.
    QStringList lines(const reference::RuleList &list) const
    {
        QStringList out{QStringLiteral("@ampliada")};
        out += list.definitions;
        for (const reference::Block &b : list.blocks) {
            for (std::size_t i = 0; i < b.lines.size(); ++i)
                out += (i > 0 ? QStringLiteral("&") : QString()) + reference::write(list, b.lines[i]) +
                       (i == 0 ? b.options : QString());
        }
        return out;
    }

    QString word(bool spaces)
    {
        QString w = letters(pick(9));
        for (int i = 1; spaces && i + 1 < w.size(); ++i) {
            if (w.at(i - 1) != u' ' && chance(12))
                w[i] = u' ';
        }
        return w;
    }

    bool anySolo(const reference::RuleList &list) const
    {
        return std::any_of(list.blocks.begin(), list.blocks.end(), [](const reference::Block &b) { return b.only >= 0; });
    }

private:
    using Element = reference::Element;
    using Kind = reference::Element::Kind;
    enum class Where { Target, Left, Right }; // the target, or a context's side

    // What a rule has bound so far.
    struct Captures {
        std::vector<int> target; // bound in the target
        std::vector<int> usable; // for a bare "$n" at this point
        std::vector<int> forReplacement;
        std::array<int, 10> category{}; // bound once, at the top of the target, by this category (+1)
        std::array<int, 10> bindings{};
        int next = 1;
    };

    int pick(int n) { return int(random_() % std::uint64_t(n)); }
    bool chance(int percent) { return pick(100) < percent; }
    QString letters(int n)
    {
        QString out;
        while (n-- > 0)
            out += alphabet_.at(pick(int(alphabet_.size())));
        return out;
    }

    int addCategory(const QString &written, const QStringList &members)
    {
        list_.categories.push_back({written, members});
        return int(list_.categories.size()) - 1;
    }

    // A category to use: a defined one, or one written in the rule.
    int category(bool singleSegments, bool edges)
    {
        std::vector<int> defined;
        for (int i = 0; i < 3; ++i) {
            const QStringList &m = list_.categories.at(std::size_t(i)).members;
            if (!singleSegments || std::all_of(m.begin(), m.end(), [](const QString &s) { return s.size() == 1; }))
                defined.push_back(i);
        }
        if (!defined.empty() && !(edges && chance(40)) && chance(50))
            return defined.at(std::size_t(pick(int(defined.size()))));
        QStringList written;
        QStringList members;
        for (int n = pick(3) + 1; n > 0; --n) {
            if (edges && chance(30) && !members.contains(QStringLiteral("#"))) {
                written += QStringLiteral("#");
                members += QStringLiteral("#");
            } else if (!singleSegments && chance(15)) {
                const int d = pick(3);
                written += list_.categories.at(std::size_t(d)).written;
                members += list_.categories.at(std::size_t(d)).members;
            } else {
                const QString m = letters(singleSegments || chance(70) ? 1 : 2);
                written += m;
                members += m;
            }
        }
        // "[ab]" is "[a,b]": a lone member of several letters needs company,
        // and so does a lone edge.
        if (members.size() == 1 && (members.front().size() != 1 || members.front() == u"#")) {
            written += QStringLiteral("a");
            members += QStringLiteral("a");
        }
        const bool plain = std::all_of(written.begin(), written.end(),
                                       [](const QString &m) { return m.size() == 1 && m.at(0).isLower(); });
        return addCategory(u'[' + written.join(plain && chance(40) ? QString() : QStringLiteral(",")) + u']', members);
    }

    int sized(int size)
    {
        // Whether a category writes only the letters allowed here.
        const auto written = [&](const QStringList &members) {
            return std::all_of(members.begin(), members.end(), [&](const QString &m) {
                return std::all_of(m.begin(), m.end(), [&](QChar c) { return alphabet_.contains(c); });
            });
        };
        if (size == 1) {
            const QString m = letters(1);
            return addCategory(u'[' + m + u']', {m});
        }
        for (int i = 0; i < 3; ++i) {
            const QStringList &members = list_.categories.at(std::size_t(i)).members;
            if (members.size() == size && written(members) && chance(50))
                return i;
        }
        QStringList members;
        for (int n = 0; n < size; ++n)
            members += letters(chance(80) ? 1 : 2);
        return addCategory(u'[' + members.join(u',') + u']', members);
    }

    Element literal(QChar c)
    {
        Element e;
        e.literal = c;
        return e;
    }

    // One segment: a letter, a category of one-segment members, "[]" or "!E".
    Element oneSegment()
    {
        Element e;
        switch (pick(4)) {
        case 0:
            return literal(QChar(u'a' + pick(3)));
        case 1:
            e.kind = Kind::Category;
            e.category = category(true, false);
            return e;
        case 2:
            e.kind = Kind::Any;
            return e;
        default:
            return negation();
        }
    }

    Element negation()
    {
        Element e;
        e.kind = Kind::Not;
        if (chance(50))
            e.literal = QChar(u'a' + pick(3));
        else
            e.category = category(chance(50), false);
        return e;
    }

    // `bare`: a "$n" may stand here (not right after an element, where it
    // would bind that element).
    Element element(Where where, Captures &cap, bool bare)
    {
        const bool context = where != Where::Target;
        Element e;
        const int roll = pick(100);
        if (roll < 30) {
            e = literal(QChar(u'a' + pick(3)));
        } else if (roll < 34) {
            e = literal(solo_ ? QChar(u'a' + pick(3)) : QChar(u' '));
        } else if (roll < 52) {
            e.kind = Kind::Category;
            e.category = category(false, context && !solo_ && chance(20));
        } else if (roll < 57) {
            e.kind = Kind::Any;
        } else if (roll < 63) {
            e = negation();
        } else if (roll < 70) {
            e.kind = Kind::Optional;
            for (int n = pick(2) + 1; n > 0; --n) {
                Element inner;
                if (chance(70)) {
                    inner = oneSegment();
                } else {
                    inner.kind = Kind::Category;
                    inner.category = category(false, false);
                }
                e.group.push_back(inner);
            }
        } else if (roll < 80) {
            e.kind = chance(50) ? Kind::Star : Kind::Plus;
            for (int n = chance(30) ? 2 : 1; n > 0; --n)
                e.group.push_back(oneSegment());
        } else if (roll < 88 && context) {
            e.kind = Kind::Ellipsis;
            e.threeDots = chance(30);
        } else if (roll < 94 && bare && !cap.usable.empty()) {
            e.kind = Kind::Backref;
            e.backref = cap.usable.at(std::size_t(pick(int(cap.usable.size()))));
        } else {
            e = literal(QChar(u'a' + pick(3)));
        }
        const bool canCapture = e.kind != Kind::Ellipsis && e.kind != Kind::Backref &&
                                !(e.kind == Kind::Literal && e.literal == u' ') &&
                                !(e.kind == Kind::Category &&
                                  list_.categories.at(std::size_t(e.category)).members.contains(QStringLiteral("#")));
        if (canCapture && chance(18)) {
            if (!cap.usable.empty() && chance(20)) {
                e.capture = cap.usable.at(std::size_t(pick(int(cap.usable.size()))));
            } else if (cap.next <= 9) {
                e.capture = cap.next++;
                cap.usable.push_back(e.capture);
                if (where == Where::Target)
                    cap.target.push_back(e.capture);
            }
            if (e.capture > 0) {
                const std::size_t n = std::size_t(e.capture);
                ++cap.bindings[n];
                cap.category[n] = where == Where::Target && e.kind == Kind::Category ? e.category + 1 : 0;
            }
        }
        return e;
    }

    static bool bareAllowed(const reference::Pattern &p)
    {
        return p.empty() || p.back().capture > 0 || p.back().kind == Kind::Backref;
    }

    static bool consumes(const Element &e)
    {
        return e.kind == Kind::Literal || e.kind == Kind::Category || e.kind == Kind::Any || e.kind == Kind::Not ||
               (e.kind == Kind::Plus && std::any_of(e.group.begin(), e.group.end(), consumes));
    }

    reference::Pattern pattern(Where where, int most, Captures &cap)
    {
        reference::Pattern p;
        for (int n = pick(most + 1); n > 0; --n)
            p.push_back(element(where, cap, bareAllowed(p)));
        return p;
    }

    // An environment or an exception; `rule` learns the capture numbers it
    // used, and with `lone` the captures of its right side, which the
    // replacement and the exceptions may use (the order in which the left
    // side is tried is not described).
    reference::Context context(Captures &rule, bool lone)
    {
        Captures cap = rule;
        reference::Context c;
        Element edge;
        edge.kind = Kind::Edge;
        c.left = pattern(Where::Left, 2, cap);
        if (!solo_ && chance(15) && (c.left.empty() || c.left.front().kind != Kind::Backref))
            c.left.insert(c.left.begin(), edge);
        const std::size_t leftBound = cap.usable.size();
        c.right = pattern(Where::Right, 2, cap);
        if (!solo_ && chance(15))
            c.right.push_back(edge);
        if (lone) {
            for (std::size_t i = leftBound; i < cap.usable.size(); ++i)
                rule.forReplacement.push_back(cap.usable[i]);
        }
        rule.next = cap.next;
        rule.bindings = cap.bindings; // "Y$n" needs n bound once
        if (lone)
            rule.usable = cap.usable;
        return c;
    }

    reference::Rule rule(bool inBlock)
    {
        reference::Rule r;
        Captures cap;
        const bool insertion = !inBlock && chance(10);
        if (!insertion) {
            while (!std::any_of(r.target.begin(), r.target.end(), consumes))
                r.target.push_back(element(Where::Target, cap, bareAllowed(r.target)));
            if (!solo_) {
                r.atStart = chance(8);
                r.atEnd = chance(8);
            }
        }
        // Categories of the target in the index mapping, in order.
        std::vector<int> mappedSizes;
        for (const Element &e : r.target) {
            if (e.kind == Kind::Category)
                mappedSizes.push_back(int(list_.categories.at(std::size_t(e.category)).members.size()));
        }
        cap.forReplacement = cap.target;
        const int environments = insertion ? pick(2) + 1 : (chance(50) ? 0 : pick(2) + 1);
        for (int n = 0; n < environments; ++n)
            r.environments.push_back(context(cap, environments == 1));
        // Exceptions may use what the target and a lone environment bound.
        if (environments != 1)
            cap.usable = cap.target;
        for (int n = chance(60) ? 0 : pick(2) + 1; n > 0; --n)
            r.exceptions.push_back(context(cap, false));
        // The replacement.
        std::vector<reference::Output> out;
        if (!mappedSizes.empty() && chance(50)) {
            for (int k = 0, n = pick(int(mappedSizes.size())) + 1; k < n; ++k)
                out.push_back({reference::Output::Kind::Mapped, {}, sized(mappedSizes[std::size_t(k)]), 0});
        } else {
            std::vector<int> indexable;
            for (const int n : cap.target) {
                if (cap.bindings[std::size_t(n)] == 1 && cap.category[std::size_t(n)] > 0)
                    indexable.push_back(n);
            }
            if (!indexable.empty() && chance(60)) {
                const int n = indexable.at(std::size_t(pick(int(indexable.size()))));
                const int size = int(list_.categories.at(std::size_t(cap.category[std::size_t(n)] - 1)).members.size());
                out.push_back({reference::Output::Kind::Indexed, {}, sized(size), n});
            }
        }
        for (int n = pick(3); n > 0 || (insertion && out.empty()); --n) {
            reference::Output o;
            if (!cap.forReplacement.empty() && chance(35)) {
                o.kind = reference::Output::Kind::Captured;
                o.capture = cap.forReplacement.at(std::size_t(pick(int(cap.forReplacement.size()))));
            } else {
                o.text = letters(1);
            }
            // Mapped categories keep their order among themselves; "$n" right
            // after a category would be "Y$n".
            const int at = pick(int(out.size()) + 1);
            if (o.kind == reference::Output::Kind::Captured && at > 0 &&
                out[std::size_t(at - 1)].kind == reference::Output::Kind::Mapped) {
                o.kind = reference::Output::Kind::Text;
                o.text = letters(1);
            }
            out.insert(out.begin() + at, o);
        }
        r.replacement = out;
        alphabet_ = QStringLiteral("abc");
        return r;
    }

    reference::Block block()
    {
        reference::Block b;
        QStringList options;
        solo_ = chance(12);
        switch (pick(4)) {
        case 0:
            b.scan = reference::Scan::Sequential;
            options += QStringLiteral("secuencial");
            break;
        case 1:
            b.scan = reference::Scan::Inverse;
            options += QStringLiteral("inversa");
            break;
        default:
            if (chance(20))
                options += chance(50) ? QStringLiteral("simultánea") : QStringLiteral("simultanea");
        }
        const int lines = chance(25) ? pick(2) + 2 : 1;
        if (chance(15) && (lines == 1 || b.scan != reference::Scan::Simultaneous)) {
            b.once = true;
            options += QStringLiteral("una");
        }
        if (chance(10)) {
            b.repeated = true;
            options += QStringLiteral("repetida");
        }
        if (solo_) {
            // Without commas, which would divide the options.
            b.only = category(true, false);
            reference::Category &only = list_.categories.at(std::size_t(b.only));
            if (only.written.startsWith(u'['))
                only.written = u'[' + only.members.join(QString()) + u']';
            options += QStringLiteral("solo ") + list_.categories.at(std::size_t(b.only)).written;
        }
        for (int n = 0; n < lines; ++n)
            b.lines.push_back(rule(lines > 1));
        std::shuffle(options.begin(), options.end(), random_);
        if (!options.isEmpty()) {
            b.options = chance(50) ? QStringLiteral(" {") + options.join(QStringLiteral(", ")) + u'}'
                                   : QStringLiteral(" {") + options.join(QStringLiteral("} {")) + u'}';
        }
        if (chance(10))
            b.options = chance(50) ? b.options + QStringLiteral(" ?100") : QStringLiteral(" ?100") + b.options;
        return b;
    }

    std::mt19937_64 random_;
    reference::RuleList list_;
    QString alphabet_ = QStringLiteral("abc");
    // The block being written.
    bool solo_ = false;
};

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
    void general_matchesTheReference();
    void general_knownCases_data();
    void general_knownCases();
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
    row("@tono x", 1, "directiva desconocida «@tono»");
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
    // (A word without b would be passed over before any search.)
    const QString as(3000, u'a');
    const QString cb = QStringLiteral("cb");
    QCOMPARE(run(as + cb, {"(a*)*b>x"}), as + QStringLiteral("cx"));
    QCOMPARE(run(as + cb, {"a*a*a*a*b>x"}), as + QStringLiteral("cx"));
    QCOMPARE(run(as + cb, {"a>x/_…a…a…a…b"}), QString(2997, u'x') + QStringLiteral("aaacb"));
    QCOMPARE(run(as + u'b', {"(a*)*b>x"}), QStringLiteral("x"));
    // Captures compared inside a repetition are polynomial, not linear:
    // a shorter word.
    const QString shorter(100, u'a');
    const QString bc = QStringLiteral("bc");
    QCOMPARE(run(shorter + bc, {"([]$1)+$1$1c>x"}), shorter + bc);
    QCOMPARE(run(shorter + QStringLiteral("aab"), {"([]$1)+$1$1b>x"}), QStringLiteral("x"));
    // Long captures compared within nested repetition would cost cubic
    // time: the rule gives the word up, and says so, instead of hanging.
    const QString long10k(2'000, u'a');
    const QStringList costly = kHead + QStringList{"(a+)+$1b>x"};
    RuleReport report(costly);
    QString word = long10k + cb;
    RandomSource random;
    QVERIFY(RuleSet(costly).apply(word, &report, &random));
    QCOMPARE(word, long10k + cb);
    QCOMPARE(report.entries().front().tooCostly, 1);
    QVERIFY2(report.text().contains(QStringLiteral("1 palabra se deja sin cambiar")), qPrintable(report.text()));
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

void tst_NotationEngine::general_matchesTheReference()
{
    // Random lists through the engine and through a matcher that tries every
    // way, on short words. VORDANE_REFERENCE_SEED and _ROUNDS run other
    // rounds; VORDANE_REFERENCE_ALL reports every disagreement, not only the
    // first.
    const std::uint64_t seed = qEnvironmentVariableIsSet("VORDANE_REFERENCE_SEED")
                                   ? qEnvironmentVariable("VORDANE_REFERENCE_SEED").toULongLong()
                                   : 26;
    const int rounds = qEnvironmentVariableIsSet("VORDANE_REFERENCE_ROUNDS")
                           ? qEnvironmentVariableIntValue("VORDANE_REFERENCE_ROUNDS")
                           : 1500;
    const bool all = qEnvironmentVariableIsSet("VORDANE_REFERENCE_ALL");
    RandomLists lists(seed);
    int compared = 0;
    int changed = 0;
    int undetermined = 0;
    int disagreements = 0;
    for (int round = 0; round < rounds; ++round) {
        const reference::RuleList list = lists.list();
        const QStringList lines = lists.lines(list);
        const RuleSet set(lines);
        if (!set.ok()) {
            ++disagreements;
            const QString report = QStringLiteral("round %1: «%2» refused: %3")
                                       .arg(round)
                                       .arg(lines.mid(1).join(QStringLiteral(" · ")), set.validity().message());
            if (!all)
                QFAIL(qPrintable(report));
            qWarning().noquote() << report;
            continue;
        }
        const reference::Reference reference(list);
        // Half the rounds read contexts by sweeping the whole word, as long words are.
        notation::CompiledRules::setSweepFrom(round % 2 ? 0 : notation::CompiledRules::kSweepFrom);
        for (int n = 0; n < 4; ++n) {
            const QString word = lists.word(!lists.anySolo(list));
            const reference::Result expected = reference.apply(word);
            if (!expected.undetermined.isEmpty()) {
                ++undetermined;
                continue;
            }
            QString got = word;
            set.apply(got);
            ++compared;
            changed += expected.word != word;
            if (got == expected.word)
                continue;
            ++disagreements;
            const QString report = QStringLiteral("round %1: «%2» through «%3»: «%4», expected «%5»")
                                       .arg(round)
                                       .arg(word, lines.mid(1).join(QStringLiteral(" · ")), got, expected.word);
            if (!all)
                QFAIL(qPrintable(report));
            qWarning().noquote() << report;
        }
    }
    notation::CompiledRules::setSweepFrom(notation::CompiledRules::kSweepFrom);
    qInfo("seed %llu: %d words compared, %d changed, %d left open by the description, %d disagreements",
          static_cast<unsigned long long>(seed), compared, changed, undetermined, disagreements);
    QCOMPARE(disagreements, 0);
    // The comparison must mean something: most words settled, many changed.
    QVERIFY(compared > rounds * 3);
    QVERIFY(changed > compared / 4);
}

void tst_NotationEngine::general_knownCases_data()
{
    // Cases where the engine and the reference matcher disagreed. With a
    // fault named, the reference follows the notation's description and the
    // engine does not yet: expected failures, left out of the random lists.
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("fault");
    const auto row = [](const char *name, const QStringList &rules, const char *word, const char *expected,
                        const char *fault) {
        QTest::newRow(name) << rules << QString::fromUtf8(word) << QString::fromUtf8(expected)
                            << QString::fromUtf8(fault);
    };
    row("left side's capture used on the right", {"c>/b$1_$1"}, "bcb", "bb", "");
    row("left side's capture used on the left", {">b/a$1$1_"}, "aa", "aab", "");
    row("exception's left side capture", {"c>//b$1_$1"}, "bcb", "bcb", "");
    row("bare capture in the target right to left", {"[]$1$1>x {inversa}"}, "aab", "xb", "");
    row("solo category with commas", {"a>e {solo [a,e]}"}, "pate", "pete", "");
    row("solo scan does not see what it wrote outside X", {"c>b//[]_ {secuencial, solo [c]}"}, "cc", "bb", "");
    row("exception judged on every way the environment fits", {"a>/_…[]$1//_$1"}, "abc", "bc", "");
    row("right to left takes the longest", {"(ab)*(b)c>x {inversa}"}, "abc", "x", "");
    row("an environment's binding keeps the target's member", {"D=b,a", "F=c,d", "D$1>F/_[F,b]$1"}, "bb", "cb", "");
}

void tst_NotationEngine::general_knownCases()
{
    QFETCH(QStringList, rules);
    QFETCH(QString, word);
    QFETCH(QString, expected);
    QFETCH(QString, fault);
    if (!fault.isEmpty())
        QEXPECT_FAIL("", qPrintable(fault), Continue);
    QCOMPARE(run(word, rules), expected);
}

QTEST_GUILESS_MAIN(tst_NotationEngine)
#include "tst_notation_engine.moc"
