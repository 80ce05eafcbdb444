#include "common/blanks.h"
#include "common/numbers.h"
#include "common/randomsource.h"
#include "common/textcase.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace vordane;

class tst_Common : public QObject {
    Q_OBJECT
private slots:
    void readNumber_data();
    void readNumber();
    void readNumber_hugeTexts();
    void readInteger_truncatesAndClamps();

    void trimBlanks_data();
    void trimBlanks();

    void caseConversion_data();
    void caseConversion();
    void caseConversion_keepsLength();

    void random_startSequenceIsFixed();
    void random_seededSequencesArePinned();
    void random_engineIsTheStandardOne();
    void random_seedRules();
    void random_indexBounds();
};

void tst_Common::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("integer") << "42" << 42.0;
    QTest::newRow("leading blanks") << "   7" << 7.0;
    QTest::newRow("decimal point") << "3.25" << 3.25;
    QTest::newRow("trailing text") << "12abc" << 12.0;
    QTest::newRow("trailing blanks and text") << "5 6" << 5.0;
    QTest::newRow("not a number") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("only blanks") << "   " << 0.0;
    QTest::newRow("negative") << "-10" << -10.0;
    QTest::newRow("explicit plus") << "+8" << 8.0;
    QTest::newRow("blank then sign") << "  -2.5x" << -2.5;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "4." << 4.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("comma is not a decimal point") << "3,5" << 3.0;
    QTest::newRow("tab is not a blank") << "\t9" << 0.0;
    QTest::newRow("two points") << "1.2.3" << 1.2;
    QTest::newRow("exponent is not read") << "1e3" << 1.0;
    QTest::newRow("non-ascii digits are not read") << QString::fromUtf8("\xd9\xa3") << 0.0;
}

void tst_Common::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(vordane::readNumber(text), expected);
}

void tst_Common::readNumber_hugeTexts()
{
    QVERIFY(std::isinf(vordane::readNumber(QString(400, QLatin1Char('9')))));
    QVERIFY(vordane::readNumber(QStringLiteral("-") + QString(400, QLatin1Char('9'))) < 0);
    QCOMPARE(vordane::readNumber(QStringLiteral("0.") + QString(400, QLatin1Char('0')) + QStringLiteral("1")), 0.0);
    QCOMPARE(vordane::readNumber(QString(100000, QLatin1Char('0')) + QStringLiteral("12")), 12.0);
}

void tst_Common::readInteger_truncatesAndClamps()
{
    QCOMPARE(readInteger(QStringLiteral("3.9")), std::int64_t(3));
    QCOMPARE(readInteger(QStringLiteral("-3.9")), std::int64_t(-3));
    QCOMPARE(readInteger(QString(30, QLatin1Char('9'))), std::numeric_limits<std::int64_t>::max());
    QCOMPARE(readInteger(QStringLiteral("-") + QString(30, QLatin1Char('9'))),
             std::numeric_limits<std::int64_t>::min());
    QCOMPARE(formatCounter(1234567), QStringLiteral("1234567"));
    QCOMPARE(formatCounter(-5), QStringLiteral("-5"));
}

void tst_Common::trimBlanks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("both");
    QTest::addColumn<QString>("leading");
    QTest::newRow("spaces around") << "  ab  "
                                   << "ab"
                                   << "ab  ";
    QTest::newRow("tab is kept") << "  x\t "
                                 << "x\t"
                                 << "x\t ";
    QTest::newRow("only spaces") << "    "
                                 << ""
                                 << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("inner spaces kept") << " a b "
                                       << "a b"
                                       << "a b ";
    QTest::newRow("no-break space kept") << QString::fromUtf8("\xc2\xa0"
                                                              "a ")
                                         << QString::fromUtf8("\xc2\xa0"
                                                              "a")
                                         << QString::fromUtf8("\xc2\xa0"
                                                              "a ");
}

void tst_Common::trimBlanks()
{
    QFETCH(QString, text);
    QFETCH(QString, both);
    QFETCH(QString, leading);
    QCOMPARE(vordane::trimBlanks(text), both);
    QCOMPARE(trimmedBlanks(QStringView(text)).toString(), both);
    QCOMPARE(trimmedBlanks(QByteArrayView(text.toLatin1())).toByteArray(), both.toLatin1());
    QCOMPARE(trimLeadingBlanks(text), leading);
    QCOMPARE(leadingBlanksRemoved(QStringView(text)).toString(), leading);
}

void tst_Common::caseConversion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("lower");
    QTest::newRow("ñandú") << QString::fromUtf8("ñandú") << QString::fromUtf8("ÑANDÚ") << QString::fromUtf8("ñandú");
    QTest::newRow("ÁRBOL") << QString::fromUtf8("ÁRBOL") << QString::fromUtf8("ÁRBOL") << QString::fromUtf8("árbol");
    QTest::newRow("pingüino") << QString::fromUtf8("pingüino") << QString::fromUtf8("PINGÜINO")
                              << QString::fromUtf8("pingüino");
    QTest::newRow("sharp s stays") << QString::fromUtf8("straße") << QString::fromUtf8("STRAßE")
                                   << QString::fromUtf8("straße");
    QTest::newRow("micro sign stays") << QString::fromUtf8("µm") << QString::fromUtf8("µM") << QString::fromUtf8("µm");
    QTest::newRow("y diaeresis within code page")
        << QString::fromUtf8("ÿ") << QString::fromUtf8("Ÿ") << QString::fromUtf8("ÿ");
    QTest::newRow("š and œ") << QString::fromUtf8("šœ") << QString::fromUtf8("ŠŒ") << QString::fromUtf8("šœ");
    QTest::newRow("eng outside code page")
        << QString::fromUtf8("ŋa") << QString::fromUtf8("ŊA") << QString::fromUtf8("ŋa");
    QTest::newRow("digits and signs") << "a1 = b2!"
                                      << "A1 = B2!"
                                      << "a1 = b2!";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void tst_Common::caseConversion()
{
    QFETCH(QString, text);
    QFETCH(QString, upper);
    QFETCH(QString, lower);
    QCOMPARE(toUpperText(text), upper);
    QCOMPARE(toLowerText(text), lower);
    QCOMPARE(toLowerText(upper), toLowerText(text));
}

void tst_Common::caseConversion_keepsLength()
{
    // Every UTF-16 unit converts on its own, so lengths and positions never change.
    QString all;
    for (char16_t c = 1; c < 0xD800; ++c)
        all.append(QChar(c));
    QCOMPARE(toUpperText(all).size(), all.size());
    QCOMPARE(toLowerText(all).size(), all.size());
    // A character beyond U+FFFF is one character: it changes case as a whole
    // (a Deseret letter), or stays (an emoji, or half of a character alone).
    const QString small = QString::fromUtf8("a\xf0\x90\x90\xa8\xf0\x9f\x98\x80");
    const QString capital = QString::fromUtf8("A\xf0\x90\x90\x80\xf0\x9f\x98\x80");
    QCOMPARE(toUpperText(small), capital);
    QCOMPARE(toLowerText(capital), small);
    const QString halves = small.mid(2, 1) + QLatin1Char('x') + small.mid(1, 1);
    QCOMPARE(toUpperText(halves), small.mid(2, 1) + QLatin1Char('X') + small.mid(1, 1));
}

namespace {
QList<std::uint64_t> draws(RandomSource &source, int count, std::uint64_t n)
{
    QList<std::uint64_t> result;
    for (int i = 0; i < count; ++i)
        result.append(source.nextIndex(n));
    return result;
}
} // namespace

void tst_Common::random_startSequenceIsFixed()
{
    RandomSource source;
    QCOMPARE(source.nextUnit(), 0.7868209548678019);
    QCOMPARE(source.nextUnit(), 0.2504803406880286);
    QCOMPARE(draws(source, 8, 1000), (QList<std::uint64_t>{710, 946, 19, 404, 251, 22, 520, 344}));

    RandomSource again;
    again.seed(1);
    again.reset();
    QCOMPARE(again.nextUnit(), 0.7868209548678019);
}

void tst_Common::random_seededSequencesArePinned()
{
    RandomSource source;
    source.seed(0);
    QCOMPARE(draws(source, 8, 1000), (QList<std::uint64_t>{159, 992, 39, 597, 542, 57, 631, 423}));
    source.seed(42);
    QCOMPARE(draws(source, 8, 1000), (QList<std::uint64_t>{755, 639, 752, 136, 903, 94, 574, 372}));
    source.seed(42);
    QCOMPARE(source.nextUnit(), 0.75515553295453897);
    source.seed(2.5);
    QCOMPARE(draws(source, 4, 100), (QList<std::uint64_t>{28, 53, 87, 4}));
}

void tst_Common::random_engineIsTheStandardOne()
{
    // The 10000th value of a default-constructed mt19937_64 is fixed by the C++ standard.
    std::mt19937_64 engine;
    engine.discard(9999);
    QCOMPARE(engine(), std::uint64_t(9981545732273789042ULL));

    // Draws are the engine's top 53 bits scaled to [0, 1).
    RandomSource source;
    std::mt19937_64 reference;
    for (int i = 0; i < 100; ++i)
        QCOMPARE(source.nextUnit(), double(reference() >> 11) / 9007199254740992.0);
}

void tst_Common::random_seedRules()
{
    QCOMPARE(RandomSource::seedValue(0.0), std::uint64_t(0));
    QCOMPARE(RandomSource::seedValue(-0.0), std::uint64_t(0));
    QCOMPARE(RandomSource::seedValue(42.0), std::uint64_t(42));
    QCOMPARE(RandomSource::seedValue(-1.0), std::numeric_limits<std::uint64_t>::max());
    QCOMPARE(RandomSource::seedValue(0.5), std::uint64_t(0x3FE0000000000000ULL));
    QCOMPARE(RandomSource::seedValue(std::numeric_limits<double>::infinity()), std::uint64_t(0x7FF0000000000000ULL));
    QVERIFY(RandomSource::seedValue(0.5) != RandomSource::seedValue(-0.5));

    RandomSource a;
    RandomSource b;
    a.seed(-0.0);
    b.seed(0.0);
    QCOMPARE(a.nextUnit(), b.nextUnit());
    a.seed(42);
    b.seed(42.0);
    std::mt19937_64 reference(42);
    QCOMPARE(a.nextUnit(), double(reference() >> 11) / 9007199254740992.0);
}

void tst_Common::random_indexBounds()
{
    RandomSource a;
    RandomSource b;
    // n = 0 answers 0 but still consumes a draw.
    QCOMPARE(a.nextIndex(0), std::uint64_t(0));
    b.nextUnit();
    QCOMPARE(a.nextUnit(), b.nextUnit());

    for (int i = 0; i < 10000; ++i) {
        QVERIFY(a.nextIndex(7) < 7);
        QCOMPARE(a.nextIndex(1), std::uint64_t(0));
    }
    const std::uint64_t huge = std::numeric_limits<std::uint64_t>::max();
    for (int i = 0; i < 1000; ++i)
        QVERIFY(a.nextIndex(huge) < huge);
}

QTEST_APPLESS_MAIN(tst_Common)
#include "tst_common.moc"
