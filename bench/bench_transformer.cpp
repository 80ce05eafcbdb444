// The transformer: a run of 1,000,000 words through 100 rules (the engine
// alone, plain and extended notation; and the command line's pipeline, word
// file to file, plain and with the rule report), one long word through rules
// that change its length (both notations), and "Abrir" of a 10 MB word list
// into the source box (offscreen); the workshop window's refresh.

#include "benchfiles.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/randomsource.h"
#include "common/textsink.h"
#include "shell/multilinetextbox.h"
#include "shell/silentplatformservices.h"
#include "transformer/frmTaller.h"
#include "transformer/ruleeditor.h"
#include "transformer/rulefile.h"
#include "transformer/rulereport.h"
#include "transformer/transformationengine.h"
#include "transformer/workshoprun.h"

#include "widgetbenchmarkmain.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

QString randomWords(int count, vordane::RandomSource &random)
{
    static const QString letters = QStringLiteral("ptkbdgmnslraeiou");
    QString text;
    text.reserve(count * 8);
    for (int i = 0; i < count; ++i) {
        const int length = 4 + int(random.nextIndex(7));
        for (int k = 0; k < length; ++k)
            text += letters.at(qsizetype(random.nextIndex(std::uint64_t(letters.size()))));
        text += QLatin1Char(',');
    }
    return text;
}

// 100 rules: plain and edge, some with empty parts, some without ">".
QStringList benchRules()
{
    QStringList rules;
    const QStringList plain{"p>b", "t>d", "k>g", "ai>e", "au>o", "nn>n", "sr>rr", "a>", "mb>m", "ou>u"};
    const QStringList edge{"#k>#g", "o#>u#", "#a>#ha", "s#>#", "#>#e", "e#>i#", "#pt>#t", "#s>#es", "n#>#", "#i>#y"};
    for (int i = 0; i < 5; ++i) {
        rules += plain;
        rules += edge;
    }
    return rules;
}

// 100 rules of the extended notation: categories, environments, exceptions,
// insertions, deletions and a sporadic rule; ten rules ten times, as the
// plain list above repeats its own.
QStringList extendedBenchRules()
{
    QStringList rules{"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "F=s", "N=m,n", "L=l,r", "C=P,B,F,N,L"};
    const QStringList ten{"P>B/V_V", "B>/V_V//_L", "e>ie/C_C ?50", "o>ue/C_C//_N", "m>n/_#",
                          ">e/#_sP", "u>o/_#//l_", "N>/V_#",       "C>/_C//L_",    "ai>e/C_"};
    for (int i = 0; i < 10; ++i)
        rules += ten;
    return rules;
}

// 100 rules with the later elements of the notation: inline categories,
// negation, optional parts, repetition, ellipses, captures, several
// environments, blocks and the ways of applying a rule.
QStringList grownBenchRules()
{
    QStringList rules{"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "F=s", "N=m,n", "L=l,r", "C=P,B,F,N,L"};
    const QStringList ten{"[p,t,k]>[b,d,g]/V_V",
                          "C$1$1>$1",
                          "e>i/_…i",
                          "s>z/V_(N)V",
                          "o>u/_C+#",
                          "a>e/_!C/_#//k_",
                          "ai>e",
                          "&au>o",
                          "[e,i]>[a,u]/[a,o,u]_ {solo V, secuencial}",
                          "n>$1/_P$1 {inversa}"};
    for (int i = 0; i < 10; ++i)
        rules += ten;
    return rules;
}

// 100 rules with feature matrices, a variable and syllables over the IPA
// table; ten rules ten times.
QStringList featureBenchRules()
{
    QStringList rules{"@ampliada", "@rasgos ipa", "V=a,e,i,o,u", "C=p,t,k,b,d,g,m,n,s,l,r",
                      "@sílabas (C)(C)|V|(C)(C)"};
    const QStringList ten{"[-sonora,oclusiva]>[+sonora]/V_V",
                          "[+nasal]>[$lugar]/_[$lugar,-silábica]",
                          "[vocal]>[+larga]/_C.",
                          "[+larga]>[-larga]/_C#",
                          "[+sonora,oclusiva]>[-sonora]/_.",
                          "e>i/_.[vocal]",
                          "[+lateral]>r/_.C",
                          "s>h/_.",
                          "h>s/_.",
                          "[vocal,+larga]>[-larga]"};
    for (int i = 0; i < 10; ++i)
        rules += ten;
    return rules;
}

// range(0) 0: the plain list; 1: the extended one; 2: the grown one; 3: the
// one with features and syllables.
void BM_TransformText(benchmark::State &state)
{
    vordane::RandomSource random;
    const QString source = randomWords(1'000'000, random);
    const QStringList rules = state.range(0) == 3 ? featureBenchRules()
        : state.range(0) == 2                     ? grownBenchRules()
        : state.range(0)                          ? extendedBenchRules()
                                                  : benchRules();
    const vordane::RuleSet ruleSet(rules);
    for (auto _ : state) {
        vordane::StringSink result(vordane::kMaxResultLength);
        if (!vordane::TransformarTexto(source, ruleSet, nullptr, result).ok())
            state.SkipWithError("transformation failed");
        benchmark::DoNotOptimize(result.text().data());
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
    state.SetLabel(state.range(0) == 3   ? "100 feature rules"
                   : state.range(0) == 2 ? "100 grown rules"
                   : state.range(0)      ? "100 extended rules"
                                         : "100 plain rules");
}
BENCHMARK(BM_TransformText)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// A word list through the rules into a file, as "transformar --palabras
// --salida" does; range(0) 1 adds the per-rule report of --informe.
void BM_TransformWordList(benchmark::State &state)
{
    vordane::RandomSource random;
    const QString words = vordane::bench::makeFile("words1m.lex", 1'000'000, [&random](qint64) {
        static const char letters[] = "ptkbdgmnslraeiou";
        QByteArray word;
        for (std::uint64_t n = 4 + random.nextIndex(7); n > 0; --n)
            word += letters[random.nextIndex(16)];
        return word;
    });
    const QStringList rules = benchRules();
    const vordane::RuleSet ruleSet(rules);
    const QString out = vordane::bench::path("transformed.txt");
    for (auto _ : state) {
        vordane::LineReader reader(words);
        vordane::LineWriter writer(out);
        vordane::RuleReport report(rules);
        if (!reader.open().ok() || !writer.open().ok()
            || !vordane::transformWordList(reader, ruleSet, nullptr, writer, state.range(0) ? &report : nullptr).ok()
            || !writer.commit().ok())
            state.SkipWithError("transformation failed");
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_TransformWordList)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One word of range(0) characters through ten rules that change its length:
// an insertion before every character, letters doubled and deleted.
void BM_LongWordInsertions(benchmark::State &state)
{
    const QString word(state.range(0), QLatin1Char('a'));
    const vordane::RuleSet rules({">x", "a>bb", "x>", "b>c", "c>dd", "d>e", "#>#y", "e#>ff#", "f>g", "y>"});
    for (auto _ : state) {
        QString result = word;
        if (!vordane::TransformarPalabra(result, rules))
            state.SkipWithError("too long");
        benchmark::DoNotOptimize(result.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LongWordInsertions)->Arg(1'000'000)->Arg(2'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One word of range(0) characters through ten extended rules with
// categories and environments, insertions and deletions.
void BM_LongWordExtended(benchmark::State &state)
{
    const QString word = QStringLiteral("pata").repeated(state.range(0) / 4);
    const vordane::RuleSet rules({"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "P>B/V_V", ">h/V_B", "B>/h_",
                                  "a>aa/_h", "h>/a_a", "V>e//_#", ">x/#_", "e>i/_#", "aa>a", "#x>#"});
    for (auto _ : state) {
        QString result = word;
        if (!rules.apply(result))
            state.SkipWithError("too long");
        benchmark::DoNotOptimize(result.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LongWordExtended)->Arg(1'000'000)->Arg(2'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// Patterns that would take exponential time in a naive backtracker, on a
// word of range(1) characters: range(0) picks the pattern.
void BM_PathologicalPattern(benchmark::State &state)
{
    static const char *const patterns[] = {"(a*)*b>x", "a*a*a*a*b>x", "a>x/_…a…a…a…b", "(a+)+$1b>x"};
    const char *pattern = patterns[state.range(0)];
    // With a b: a word without one would be passed over before any search.
    const QString word = QString(state.range(1), QLatin1Char('a')) + QStringLiteral("cb");
    const vordane::RuleSet rules({"@ampliada", QString::fromUtf8(pattern)});
    for (auto _ : state) {
        QString result = word;
        rules.apply(result);
        benchmark::DoNotOptimize(result.data());
    }
    state.SetLabel(pattern);
}
BENCHMARK(BM_PathologicalPattern)
    ->Args({0, 10'000})
    ->Args({1, 10'000})
    ->Args({2, 10'000})
    ->Args({3, 1'000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One word of range(0) characters through ten rules using the later
// elements of the notation.
void BM_LongWordGrown(benchmark::State &state)
{
    const QString word = QStringLiteral("pata kasa").repeated(state.range(0) / 9);
    const vordane::RuleSet rules({"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "C=P,B,s,k", "[p,t]>[b,d]/V_V",
                                  "C$1>$1$1/V_V", "a>e/_!C", "s>z/V_(a)V", "e>i/_C+#", "e>a//_…x",
                                  "C$1$1>$1 {secuencial}", "&z>s", "i>o/_\\ {inversa}", "[a,o]>[e,u]/V_ {solo V}"});
    for (auto _ : state) {
        QString result = word;
        if (!rules.apply(result))
            state.SkipWithError("too long");
        benchmark::DoNotOptimize(result.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LongWordGrown)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One line of range(0) characters through ten rules with features and
// syllables.
void BM_LongWordFeatures(benchmark::State &state)
{
    const QString word = QStringLiteral("pata kasa").repeated(state.range(0) / 9);
    const vordane::RuleSet rules(featureBenchRules().mid(0, 15));
    for (auto _ : state) {
        QString result = word;
        if (!rules.apply(result))
            state.SkipWithError("too long");
        benchmark::DoNotOptimize(result.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LongWordFeatures)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OpenWordList(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("words.lex"));
    {
        vordane::RandomSource random;
        QString words = randomWords(1'200'000, random);
        words.replace(QLatin1Char(','), QStringLiteral("\r\n"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(words.toLatin1()) < 0) {
            state.SkipWithError("cannot write the word list");
            return;
        }
    }
    vordane::MultiLineTextBox box;
    for (auto _ : state) {
        QString source;
        if (!vordane::readWordsAsSource(path, source).ok()) {
            state.SkipWithError("cannot read the word list");
            return;
        }
        box.setText(source);
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
    state.counters["MB"] = double(QFile(path).size()) / 1e6;
}
BENCHMARK(BM_OpenWordList)->Unit(benchmark::kMillisecond);

// The workshop window: from an edit of its 100 rules (run at once, as F5
// does, without the pause after typing) to the result, report and trace on
// show, over range(0) words. "longest_stall_ms" is the longest the window
// kept the interface thread busy in one go meanwhile: its responsiveness.
// (An edit of the words also reads them out of their box first: about 0.1 s
// for a million.)
// Answers every Open dialog with one file.
class OpenOneFile final : public vordane::PlatformServices {
public:
    explicit OpenOneFile(QString path)
        : path_(std::move(path))
    {
    }
    QString getOpenFileName(QWidget *, const vordane::FileDialogRequest &) override { return path_; }
    QString getSaveFileName(QWidget *, const vordane::FileDialogRequest &) override { return {}; }
    void information(QWidget *, const QString &, const QString &) override { }
    void warning(QWidget *, const QString &, const QString &) override { }
    void setClipboardText(const QString &) override { }
    void showModal(QDialog *) override { }
    vordane::SaveChoice askToSave(QWidget *, const QString &, const QString &) override
    {
        return vordane::SaveChoice::Discard;
    }
    vordane::ListChoice askReplaceOrAppend(QWidget *, const QString &, const QString &) override
    {
        return vordane::ListChoice::Cancel;
    }

private:
    QString path_;
};

// range(0) words; range(1) 0: a word list through the 100 extended rules;
// 1: a language file (code, meaning, form) through the same rules in three
// stages, with a column per stage, the mergers and the comparison with the
// run before on.
void BM_WorkshopRefresh(benchmark::State &state)
{
    const bool history = state.range(1) != 0;
    vordane::RandomSource random;
    QString words = randomWords(int(state.range(0)), random);
    QString lexicon;
    if (history) {
        const QByteArray name = "workshop" + QByteArray::number(state.range(0)) + ".lan";
        qsizetype at = 0;
        lexicon = vordane::bench::makeFile(name.constData(), state.range(0), [&](qint64 i) {
            const qsizetype comma = words.indexOf(QLatin1Char(','), at);
            const QString word = words.sliced(at, comma - at);
            at = comma + 1;
            return QStringLiteral("c%1:significado %1:%2").arg(i).arg(word).toUtf8();
        });
    }
    OpenOneFile services(lexicon);
    vordane::frmTaller window(services);
    window.resize(window.sizeHint());
    window.show();
    QStringList rules = extendedBenchRules();
    if (history) {
        // Three stages of about a third of the rules each.
        rules.insert(8 + 66, QStringLiteral("@etapa tres"));
        rules.insert(8 + 33, QStringLiteral("@etapa dos"));
        rules.insert(8, QStringLiteral("@etapa uno"));
        window.mnuAbrirLexico->trigger();
        window.chkCambios->setChecked(true);
    } else {
        words.replace(QLatin1Char(','), QStringLiteral("\r\n"));
        window.txtPalabras->setText(words);
    }
    int shown = 0;
    QObject::connect(&window, &vordane::frmTaller::resultShown, [&shown] { ++shown; });
    // A timer that should fire every 5 ms: the longest gap between its ticks
    // is the longest the interface thread was kept from its events.
    qint64 longestStall = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
    // A first run reads the words out of their box, as after any edit of the words.
    window.txtReglas->setRules(rules);
    window.mnuAplicar->trigger();
    while (shown == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    for (auto _ : state) {
        // An edit of the last rule, then the run; with the comparison on, one
        // that gives some words another result each time.
        if (history)
            rules.last() =
                rules.last() == QStringLiteral("r>l/_#") ? QStringLiteral("l>r/_#") : QStringLiteral("r>l/_#");
        else
            rules.last() =
                rules.last() == QStringLiteral("ai>e/C_") ? QStringLiteral("ai>ei/C_") : QStringLiteral("ai>e/C_");
        window.txtReglas->setRules(rules);
        const int before = shown;
        sinceTick.start();
        ticker.start();
        window.mnuAplicar->trigger();
        while (shown == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        ticker.stop();
        const vordane::WorkshopResult *result = window.result();
        if (!result || result->size() != state.range(0)
            || (history && (result->stageCount() != 3 || !result->compared())))
            state.SkipWithError("no result");
    }
    state.counters["longest_stall_ms"] = double(longestStall);
    if (history && window.result())
        state.counters["different"] = double(window.result()->differentCount());
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetLabel(history ? "language file, 3 stages, comparison on" : "word list");
}
BENCHMARK(BM_WorkshopRefresh)
    ->Args({100'000, 0})
    ->Args({1'000'000, 0})
    ->Args({100'000, 1})
    ->Args({1'000'000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The text box taking a text of a million CR LF lines.
void BM_TextBoxMillionLines(benchmark::State &state)
{
    QString text;
    for (int i = 0; i < 1'000'000; ++i)
        text += QStringLiteral("palabra%1\r\n").arg(i);
    vordane::MultiLineTextBox box;
    box.setScrollBars(vordane::MultiLineTextBox::ScrollBars::Both);
    for (auto _ : state) {
        box.setText(text);
        benchmark::DoNotOptimize(box.isReadOnly());
    }
}
BENCHMARK(BM_TextBoxMillionLines)->Unit(benchmark::kMillisecond);

} // namespace

VORDANE_WIDGET_BENCHMARK_MAIN()
