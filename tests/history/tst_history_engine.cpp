#include "common/linereader.h"
#include "common/linesource.h"
#include "common/randomsource.h"
#include "common/textcase.h"
#include "common/textsink.h"
#include "history/lexicon.h"
#include "history/mergers.h"
#include "history/stagedrules.h"
#include "roots/languageseparator.h"
#include "clirun.h"
#include "testfiles.h"
#include "transformer/rulefile.h"
#include "transformer/transformationengine.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

namespace {

test::CliRun runCommand(const QStringList &args)
{
    return test::runCliHere(QStringList{QStringLiteral("evolucionar")} + args);
}

QByteArray crlf(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

// The lines of a file as the toolkit reads them.
QStringList fileLines(const QString &path)
{
    QStringList lines;
    LineReader reader(path);
    if (!reader.open().ok())
        return {QStringLiteral("<unreadable>")};
    while (!reader.atEnd())
        lines.append(reader.readLine());
    return lines;
}

// The rows of a table as a spreadsheet program reads them: cells between
// quotation marks may hold the separator and doubled marks.
QList<QStringList> tableRows(const QString &text, QChar separator)
{
    QList<QStringList> rows;
    QStringList row;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                cell += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                cell += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == separator) {
            row.append(std::exchange(cell, QString()));
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            row.append(std::exchange(cell, QString()));
            rows.append(std::exchange(row, QStringList()));
            ++i;
        } else {
            cell += c;
        }
    }
    return rows;
}

// A stage's rules on their own, written apart from the list by hand: the
// marker, every definition and directive above the stage's end, and the
// rules between its "@etapa" line and the next.
QList<QStringList> stagesByHand(const QStringList &list)
{
    QList<QStringList> stages;
    QList<qsizetype> starts;
    for (qsizetype i = 1; i < list.size(); ++i) {
        if (list.at(i).trimmed().startsWith(QLatin1String("@etapa")))
            starts.append(i);
    }
    const auto isRule = [](const QString &line) {
        const QString t = line.trimmed();
        return !t.isEmpty() && !t.startsWith(u';') && !t.startsWith(u'@')
            && !QRegularExpression(QStringLiteral("^[A-Z]\\s*=")).match(t).hasMatch();
    };
    bool rulesAbove = false;
    for (qsizetype i = 1; i < (starts.isEmpty() ? list.size() : starts.first()); ++i)
        rulesAbove = rulesAbove || isRule(list.at(i));
    if (rulesAbove || starts.isEmpty())
        starts.prepend(1);
    for (qsizetype k = 0; k < starts.size(); ++k) {
        const qsizetype end = k + 1 < starts.size() ? starts.at(k + 1) : list.size();
        QStringList stage{list.first()};
        for (qsizetype i = 1; i < end; ++i) {
            const QString &line = list.at(i);
            if (line.trimmed().startsWith(QLatin1String("@etapa")) || (isRule(line) && i < starts.at(k)))
                continue;
            stage.append(line);
        }
        stages.append(stage);
    }
    return stages;
}

const QStringList kStagedList = {
    "@ampliada",
    "V=a,e,i,o,u",
    "m>/_#",
    "@etapa vulgar",
    "u>o/_#",
    "P=p,t,k",
    "@etapa romance",
    "B=b,d,g",
    "P>B/V_V",
    "e>ie/_r ?50",
    "@etapa tardía, final",
    "P=b,d,g",
    "P>/V_V",
};

} // namespace

class tst_HistoryEngine : public QObject {
    Q_OBJECT
private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void stageLines_data();
    void stageLines();
    void lexiconKind_data();
    void lexiconKind();
    void evolve_eachStageAsItsRulesAlone_data();
    void evolve_eachStageAsItsRulesAlone();
    void compare_listsTheChangedEntries_data();
    void compare_listsTheChangedEntries();
    void mergers_matchAnIndependentCount();
    void failures_changeNothing_data();
    void failures_changeNothing();
    void derivedLanguage_goesThroughTheSeparator();
    void featuresAndSyllables_throughStages();
    void example_latinThroughThreeStages();

private:
    QString file(const char *name) const { return dir_->filePath(QLatin1String(name)); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_HistoryEngine::stageLines_data()
{
    QTest::addColumn<QStringList>("list");
    QTest::addColumn<QString>("stages"); // "name@line", or the first fault as "line:position:text"

    const QStringList rules{"@ampliada", "P=p,t", "P>b/a_"};
    QTest::newRow("unnamed first stage") << rules + QStringList{"@etapa uno", "a>e", "@etapa dos dos", "e>i"}
                                         << "@0 uno@3 dos dos@5";
    QTest::newRow("first line a stage") << QStringList{"@ampliada", " @etapa  uno ", "a>e", "@Etapa dos"}
                                        << "uno@1 dos@3";
    QTest::newRow("empty stage") << QStringList{"@ampliada", "@etapa uno", "@etapa dos", "a>e"} << "uno@1 dos@2";
    QTest::newRow("no stages") << rules << "@0";
    QTest::newRow("plain notation") << QStringList{"a>e", "@etapa uno", "e>i"} << "@0";
    QTest::newRow("without a name") << QStringList{"@ampliada", "a>e", "@etapa   "}
                                    << "3:7:@etapa va seguido del nombre de la etapa";
    QTest::newRow("twice") << QStringList{"@ampliada", "@etapa uno", "a>e", "@etapa  uno"}
                           << "4:9:ya hay una etapa «uno», en la línea 2";
    QTest::newRow("block across stages") << QStringList{"@ampliada", "a>e", "@etapa uno", "&e>a"}
                                         << "4:1:una línea que empieza por «&» se une a la regla de encima, y no "
                                            "hay ninguna";
}

void tst_HistoryEngine::stageLines()
{
    QFETCH(QStringList, list);
    QFETCH(QString, stages);
    const StagedRules staged(list);
    if (!staged.validity().ok()) {
        const RuleError error = staged.rules().errors().constFirst();
        QCOMPARE(QStringLiteral("%1:%2:%3").arg(error.line + 1).arg(error.position).arg(error.reason), stages);
        return;
    }
    QStringList found;
    for (qsizetype k = 0; k < staged.stageCount(); ++k)
        found.append(staged.stageName(k) + u'@' + QString::number(staged.stageLine(k)));
    QCOMPARE(found.join(u' '), stages);

    // The whole list applies as the same list without its stage lines,
    // on the same tables: stages never cost the fast path.
    QStringList without = list;
    without.removeIf([](const QString &line) { return line.trimmed().startsWith(QLatin1String("@etapa"), Qt::CaseInsensitive); });
    if (!isExtendedList(list))
        without = list;
    const RuleSet plain(without);
    QCOMPARE(staged.rules().usesGeneralRules(), plain.usesGeneralRules());
    QVERIFY(!staged.rules().usesGeneralRules());
    for (const QString &word : {QStringLiteral("apata"), QStringLiteral("etapa"), QStringLiteral("mae")}) {
        QString a = word;
        QString b = word;
        staged.rules().apply(a);
        plain.apply(b);
        QCOMPARE(a, b);
    }
}

void tst_HistoryEngine::lexiconKind_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("kind");
    const int lan = int(LexiconKind::Language);
    const int dic = int(LexiconKind::Dictionary);
    const int list = int(LexiconKind::List);
    QTest::newRow("language") << QStringList{"ag1:agua:sul", "", "fu1:fuego:pra:x"} << lan;
    QTest::newRow("dictionary") << QStringList{"agua = sul", "fuego = pra", ""} << dic;
    QTest::newRow("one colon") << QStringList{"ag1:agua:sul", "fu1:fuego"} << list;
    QTest::newRow("one unpaired") << QStringList{"agua = sul", "fuego =pra"} << list;
    QTest::newRow("both shapes") << QStringList{"a:b:c = d", "e:f:g"} << lan;
    QTest::newRow("words") << QStringList{"lupum", "vitam"} << list;
    QTest::newRow("only empty lines") << QStringList{"", ""} << list;
}

void tst_HistoryEngine::lexiconKind()
{
    QFETCH(QStringList, lines);
    QFETCH(int, kind);
    StringListSource source(lines);
    QCOMPARE(int(detectLexiconKind(source)), kind);
    // The file is told by its bytes, in either encoding.
    QVERIFY(writeBytes(file("k.txt"), "\xEF\xBB\xBF" + crlf(lines)));
    LexiconKind read = LexiconKind::List;
    QVERIFY(detectLexiconKind(file("k.txt"), read).ok());
    QCOMPARE(int(read), kind);
}

void tst_HistoryEngine::evolve_eachStageAsItsRulesAlone_data()
{
    QTest::addColumn<QStringList>("lexicon");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("until"); // a stage's name, or empty for all

    const QStringList lan{"lu1:lobo:lupum", "vi1:vida:vitam", "ro:rueda, \"bici\":rotam:x", "", "pe:pera:pera",
                          "ka:casa:kasa"};
    const QStringList dic{"lobo = lupum", "vida = vitam", "sin pareja", "pera = pera", "casa = kasa"};
    const QStringList list{"lupum", "vitam", "", "pera", "kasa,kapa", "rotam\tx"};
    const QStringList seed{"--semilla", "7"};
    QTest::newRow("lan tsv") << lan << QStringList{"--etapas", "t.tsv"} + seed << int(LexiconKind::Language)
                             << QString();
    QTest::newRow("lan csv until") << lan << QStringList{"--etapas", "t.CSV", "--hasta", "romance"}
                                   << int(LexiconKind::Language) << "romance";
    QTest::newRow("dic csv") << dic << QStringList{"--etapas", "t.csv", "--formato", "dic"} + seed
                             << int(LexiconKind::Dictionary) << QString();
    QTest::newRow("list tsv until") << list << QStringList{"--etapas", "t.tsv", "--hasta", "vulgar"}
                                    << int(LexiconKind::List) << "vulgar";
    QTest::newRow("list csv") << list << QStringList{"--etapas", "t.csv"} + seed << int(LexiconKind::List)
                              << QString();
}

void tst_HistoryEngine::evolve_eachStageAsItsRulesAlone()
{
    QFETCH(QStringList, lexicon);
    QFETCH(QStringList, options);
    QFETCH(int, kind);
    QFETCH(QString, until);
    QVERIFY(writeRuleFile(file("r.sc"), kStagedList).ok());
    QVERIFY(writeBytes(file("l.txt"), crlf(lexicon)));
    for (QString &option : options) {
        if (option.startsWith(QLatin1String("t.")))
            option = dir_->filePath(option);
    }
    const test::CliRun run = runCommand(QStringList{file("r.sc"), file("l.txt"), file("o.txt")} + options);
    QVERIFY2(run.status == 0, qPrintable(run.err));

    // Each stage's rules alone, one after the other, drawing from one source as the run does.
    const QList<QStringList> stages = stagesByHand(kStagedList);
    const QStringList names{QStringLiteral("(sin nombre)"), QStringLiteral("vulgar"), QStringLiteral("romance"),
                            QStringLiteral("tardía, final")};
    const qsizetype last = until.isEmpty() ? stages.size() - 1 : names.indexOf(until);
    RandomSource random;
    random.seed(options.contains(QStringLiteral("--semilla")) ? 7 : 5489);
    QList<QStringList> expected;
    QStringList derived;
    QStringList header;
    const LexiconKind lexiconKind = LexiconKind(kind);
    if (hasCodes(lexiconKind))
        header.append(QStringLiteral("Código"));
    if (hasMeanings(lexiconKind))
        header.append(QStringLiteral("Significado"));
    expected.append(header + QStringList{QStringLiteral("Original")} + names.mid(0, last + 1));
    for (const QString &line : lexicon) {
        // The fields, taken apart by hand.
        QStringList fields;
        QString form = line;
        if (lexiconKind == LexiconKind::Language) {
            fields = line.split(u':');
            if (fields.size() < 3) {
                derived.append(line);
                expected.append(QStringList{QString(), QString(), line} + QStringList(last + 1, line));
                continue;
            }
            form = fields.at(2);
        } else if (lexiconKind == LexiconKind::Dictionary) {
            const qsizetype at = line.indexOf(QLatin1String(" = "));
            if (at < 0) {
                derived.append(line);
                expected.append(QStringList{QString(), line} + QStringList(last + 1, line));
                continue;
            }
            fields = QStringList{line.left(at)};
            form = line.mid(at + 3);
        }
        QStringList row = fields.mid(0, lexiconKind == LexiconKind::Language ? 2 : fields.size());
        row.append(form);
        for (qsizetype k = 0; k <= last; ++k) {
            QVERIFY(RuleSet(stages.at(k)).apply(form, nullptr, &random));
            row.append(form);
        }
        expected.append(row);
        if (lexiconKind == LexiconKind::Language)
            fields[2] = form;
        derived.append(lexiconKind == LexiconKind::Language ? fields.join(u':')
                           : lexiconKind == LexiconKind::Dictionary ? fields.first() + QStringLiteral(" = ") + form
                                                                    : form);
    }
    QCOMPARE(fileLines(file("o.txt")), derived);
    QVERIFY(readBytes(file("o.txt")).endsWith("\r\n") || derived.isEmpty());

    const QString tablePath = options.at(options.indexOf(QStringLiteral("--etapas")) + 1);
    const QByteArray bytes = readBytes(tablePath);
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    const QChar separator = tablePath.endsWith(QLatin1String(".tsv")) ? u'\t' : u',';
    QCOMPARE(tableRows(QString::fromUtf8(bytes.mid(3)), separator), expected);

    // The whole list with the same seed gives the last stage's forms when every stage runs: the same draws.
    if (until.isEmpty() && lexiconKind == LexiconKind::List) {
        RandomSource whole;
        whole.seed(options.contains(QStringLiteral("--semilla")) ? 7 : 5489);
        for (qsizetype i = 0; i < lexicon.size(); ++i) {
            QString word = lexicon.at(i);
            QVERIFY(RuleSet(kStagedList).apply(word, nullptr, &whole));
            QCOMPARE(word, derived.at(i));
        }
    }
}

void tst_HistoryEngine::compare_listsTheChangedEntries_data()
{
    QTest::addColumn<QStringList>("lexicon");
    QTest::addColumn<QStringList>("previous");
    QTest::addColumn<QStringList>("told"); // the lines on standard error

    // With the rules a>e, each form below with an "a" changes.
    QTest::newRow("lan in step") << QStringList{"c1:uno:pa", "c2:dos:po", "c3:tres:ta"}
                                 << QStringList{"c1:uno:pa", "c2:dos:po", "c3:tres:te"}
                                 << QStringList{"uno: pa → pe", "1 resultado distinto desde la pasada anterior."};
    QTest::newRow("lan out of step") << QStringList{"c0:nuevo:sa", "c1:uno:pa", "c3:tres:ta", "c2:dos:po"}
                                     << QStringList{"c1:uno:pe", "c2:dos:pu", "c3:tres:te"}
                                     << QStringList{"dos: pu → po",
                                                    "1 resultado distinto desde la pasada anterior; 1 entrada "
                                                    "nueva, que no estaba en ella."};
    QTest::newRow("dic repeated meanings") << QStringList{"banco = ba", "banco = bo", "mesa = ma"}
                                           << QStringList{"banco = be", "banco = bi", "mesa = me"}
                                           << QStringList{"banco: bi → bo",
                                                          "1 resultado distinto desde la pasada anterior."};
    QTest::newRow("list by position") << QStringList{"pa", "po", "ta"} << QStringList{"pa", "po"}
                                      << QStringList{"pa: pa → pe",
                                                     "1 resultado distinto desde la pasada anterior; 1 entrada "
                                                     "nueva, que no estaba en ella."};
}

void tst_HistoryEngine::compare_listsTheChangedEntries()
{
    QFETCH(QStringList, lexicon);
    QFETCH(QStringList, previous);
    QFETCH(QStringList, told);
    QVERIFY(writeRuleFile(file("r.sc"), {"@ampliada", "a>e"}).ok());
    QVERIFY(writeBytes(file("l.txt"), crlf(lexicon)));
    QVERIFY(writeBytes(file("o.txt"), crlf(previous)));
    // The earlier result is the output it is replaced by.
    const test::CliRun run = runCommand({file("r.sc"), file("l.txt"), file("o.txt"), "--comparar", file("o.txt")});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err.split(u'\n', Qt::SkipEmptyParts), told);
}

void tst_HistoryEngine::mergers_matchAnIndependentCount()
{
    // Many short forms through rules that fold sounds together; meanings and
    // originals repeat, so that groups hold pairs that share one or the other.
    QStringList lexicon;
    RandomSource random;
    random.seed(3);
    const QString letters = QStringLiteral("ptkbdgaeiou");
    for (int i = 0; i < 3000; ++i) {
        QString form;
        for (int n = 2 + int(random.nextUnit() * 3); n > 0; --n)
            form += letters.at(qsizetype(random.nextUnit() * double(letters.size())));
        lexicon.append(QStringLiteral("c%1:m%2:%3").arg(i).arg(int(random.nextUnit() * 400)).arg(form));
    }
    const QStringList rules{"@ampliada", "@etapa una", "[p,t,k]>[b,d,g]", "@etapa dos", "[e,i]>i", "[o,u]>u"};
    QVERIFY(writeRuleFile(file("r.sc"), rules).ok());
    QVERIFY(writeBytes(file("l.lan"), crlf(lexicon)));
    const test::CliRun run = runCommand({file("r.sc"), file("l.lan"), file("o.lan"), "--informe"});
    QCOMPARE(run.status, 0);

    // Every pair of entries, compared by brute force.
    const QStringList out = fileLines(file("o.lan"));
    QHash<QString, QList<QStringList>> byForm;
    QStringList order;
    for (qsizetype i = 0; i < lexicon.size(); ++i) {
        const QString final = out.at(i).section(u':', 2);
        if (!byForm.contains(final))
            order.append(final);
        byForm[final].append(lexicon.at(i).split(u':'));
    }
    QStringList merged;
    for (const QString &form : order) {
        const QList<QStringList> &group = byForm.value(form);
        bool found = false;
        for (qsizetype a = 0; a < group.size() && !found; ++a) {
            for (qsizetype b = a + 1; b < group.size() && !found; ++b)
                found = group[a][1] != group[b][1] && group[a][2] != group[b][2];
        }
        if (found)
            merged.append(form);
    }
    QVERIFY(merged.size() > 10);
    const QString heading = QStringLiteral("%1 fusiones:").arg(merged.size());
    QVERIFY2(run.err.contains(heading), qPrintable(run.err.right(300)));
    const QStringList told = run.err.section(heading, 1).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(told.size(), merged.size());
    for (qsizetype i = 0; i < merged.size(); ++i) {
        QVERIFY(told.at(i).startsWith(QStringLiteral("  ") + merged.at(i) + QStringLiteral(" ← ")));
        QCOMPARE(told.at(i).count(u'('), byForm.value(merged.at(i)).size());
    }

    // Only original and meaning told apart: a word list (no meanings) merges
    // different words, and one meaning, or one original, twice is no merger.
    MergerFinder words(LexiconKind::List);
    MergerFinder pairs(LexiconKind::Dictionary);
    for (const auto &[meaning, original, final] : std::initializer_list<std::array<const char *, 3>>{
             {"a", "x", "f"}, {"b", "x", "f"}, {"a", "y", "f"}, {"c", "z", "g"}, {"c", "w", "g"}}) {
        const LexiconEntry entry{QString(), QLatin1String(meaning), QLatin1String(original), QString(), true};
        words.add(entry, QLatin1String(final));
        pairs.add(entry, QLatin1String(final));
    }
    QCOMPARE(words.count(), 2);
    QCOMPARE(pairs.count(), 1); // (b, x) and (a, y) differ in both
    QCOMPARE(pairs.text(), QStringLiteral("1 fusión:\n  f ← a (x), b (x), a (y)\n"));
}

void tst_HistoryEngine::failures_changeNothing_data()
{
    QTest::addColumn<QStringList>("rules");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    const QStringList good{"@ampliada", "@etapa uno", "a>e"};
    QTest::newRow("stage without name") << QStringList{"@ampliada", "@etapa"} << QStringList() << 1
                                        << "Línea 2 («@etapa»), posición 7: @etapa va seguido del nombre";
    QTest::newRow("unknown stage") << good << QStringList{"--hasta", "dos"} << 1
                                   << "no tiene ninguna etapa «dos»; sus etapas son: uno.";
    QTest::newRow("no stages") << QStringList{"a>e"} << QStringList{"--hasta", "uno"} << 1
                               << "no tiene etapas";
    QTest::newRow("missing previous") << good << QStringList{"--comparar", "nada.lan"} << 1 << "nada.lan";
    QTest::newRow("unknown format") << good << QStringList{"--formato", "xls"} << 2 << "lan, dic o lista";
    QTest::newRow("table extension") << good << QStringList{"--etapas", "t.txt"} << 2 << ".tsv o .csv";
}

void tst_HistoryEngine::failures_changeNothing()
{
    QFETCH(QStringList, rules);
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, message);
    QVERIFY(writeRuleFile(file("r.sc"), rules).ok());
    QVERIFY(writeBytes(file("l.lan"), "c:m:pa\r\n"));
    QVERIFY(writeBytes(file("o.lan"), "antes\r\n"));
    for (QString &option : options) {
        if (option.contains(u'.'))
            option = dir_->filePath(option);
    }
    const test::CliRun run = runCommand(QStringList{file("r.sc"), file("l.lan"), file("o.lan"), "--etapas", file("e.tsv")}
                               + options);
    QCOMPARE(run.status, status);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(readBytes(file("o.lan")), QByteArray("antes\r\n"));
    QVERIFY(!QFile::exists(file("e.tsv")));
}

void tst_HistoryEngine::derivedLanguage_goesThroughTheSeparator()
{
    QVERIFY(writeRuleFile(file("r.sc"), {"@ampliada", "@etapa una", "u>ŭ", "@etapa dos", "p>b", "ŭ>u"}).ok());
    // Windows-1252 in and out; a form beyond it turns the derived file to UTF-8.
    QVERIFY(writeBytes(file("l.lan"), "lu1:lobo:lupum\r\nca:ca\xF1\x61:pa:x\r\n"));
    QVERIFY(runCommand({file("r.sc"), file("l.lan"), file("o.lan")}).status == 0);
    QCOMPARE(readBytes(file("o.lan")), QByteArray("lu1:lobo:lubum\r\nca:ca\xF1\x61:ba:x\r\n"));
    QVERIFY(runCommand({file("r.sc"), file("l.lan"), file("o.lan"), "--hasta", "una"}).status == 0);
    QCOMPARE(readBytes(file("o.lan")), "\xEF\xBB\xBF" + QStringLiteral("lu1:lobo:lŭpŭm\r\nca:caña:pa:x\r\n").toUtf8());
    QVERIFY(separateLanguage(file("o.lan"), file("p.lex"), file("d.dic"), CaseOption::Unchanged,
                             CaseOption::Unchanged)
                .ok());
    QCOMPARE(fileLines(file("p.lex")), QStringList({"lobo", "caña"}));
    QCOMPARE(fileLines(file("d.dic")), QStringList({"lŭpŭm", "pa"}));
}

void tst_HistoryEngine::featuresAndSyllables_throughStages()
{
    // Declarations and the "@sílabas" line in force stand for every stage;
    // a word without syllables is said, as of the rule that needed them.
    QVERIFY(writeRuleFile(file("r.sc"), {"@ampliada", "@rasgos ipa", "V=a,e,i,o,u", "C=p,t,k,b,d,g,m,n,s,l,r",
                                         "@sílabas (C)(C)|V|(C)(C)", "@etapa lenición",
                                         "[-sonora,oclusiva]>[+sonora]/V_V", "@etapa alargamiento",
                                         "[vocal]>[+larga]/_C.", "[+nasal]>[$lugar]/_[$lugar,-silábica]"})
                .ok());
    QVERIFY(writeBytes(file("l.lan"), "pa:padre:pata\r\nca:campo:kanpo\r\npr:prisa:prst\r\n"));
    const test::CliRun run
        = runCommand({file("r.sc"), file("l.lan"), file("o.lan"), "--etapas", file("e.tsv")});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    QCOMPARE(fileLines(file("o.lan")), QStringList({"pa:padre:pada", "ca:campo:kaːmpo", "pr:prisa:prst"}));
    const QList<QStringList> table = tableRows(QString::fromUtf8(readBytes(file("e.tsv")).mid(3)), u'\t');
    QCOMPARE(table, (QList<QStringList>{{"Código", "Significado", "Original", "lenición", "alargamiento"},
                                         {"pa", "padre", "pata", "pada", "pada"},
                                         {"ca", "campo", "kanpo", "kanpo", "kaːmpo"},
                                         {"pr", "prisa", "prst", "prst", "prst"}}));
    QVERIFY2(run.err.contains(QStringLiteral("línea 9 («[vocal]>[+larga]/_C.»): 1 palabra se deja sin cambiar")),
             qPrintable(run.err));
}

void tst_HistoryEngine::example_latinThroughThreeStages()
{
    const QString examples = QStringLiteral(VORDANE_EXAMPLES_DIR);
    const test::CliRun run = runCommand({examples + "/latin-castellano-etapas.sc", examples + "/latin.lan", file("c.lan"),
                                "--etapas", file("e.tsv"), "--informe"});
    QVERIFY2(run.status == 0, qPrintable(run.err));
    // The stages end where the undivided list does.
    QStringList rules;
    QVERIFY(readRuleFile(examples + "/latin-castellano.sc", rules).ok());
    const RuleSet whole(rules);
    const QStringList lexicon = fileLines(examples + "/latin.lan");
    const QStringList derived = fileLines(file("c.lan"));
    QCOMPARE(derived.size(), 32);
    for (qsizetype i = 0; i < lexicon.size(); ++i) {
        QString word = lexicon.at(i).section(u':', 2);
        whole.apply(word);
        QCOMPARE(derived.at(i), lexicon.at(i).section(u':', 0, 1) + u':' + word);
    }
    QCOMPARE(derived.at(3), QStringLiteral("fu4:fuego:fuego"));
    QVERIFY(run.err.contains(QStringLiteral("1 fusión:\n  malo ← manzana (mālum), malo (malum)")));
    const QList<QStringList> table = tableRows(QString::fromUtf8(readBytes(file("e.tsv")).mid(3)), u'\t');
    QCOMPARE(table.first(), QStringList({"Código", "Significado", "Original", "latín vulgar", "romance",
                                         "castellano antiguo"}));
    QCOMPARE(table.at(12), QStringList({"hi12", "hijo", "fīlium", "fīju", "fījo", "hijo"}));
}

QTEST_GUILESS_MAIN(tst_HistoryEngine)
#include "tst_history_engine.moc"
