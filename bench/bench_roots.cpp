// The language generator, root file and word list to language file and its
// copy, over 100,000 and 1,000,000 roots: 60 % level 1 with "*", the rest at
// levels 2 to 5 with formulas of 2 or 3 parts mixing "*", "#" and "$". The
// process's peak memory is printed at the end.

#include "benchfiles.h"
#include "common/randomsource.h"
#include "roots/languagegenerator.h"

#include <benchmark/benchmark.h>


namespace {

void BM_GenerateLanguage(benchmark::State &state)
{
    const qint64 count = state.range(0);
    vordane::RandomSource random;
    const QByteArray suffix = QByteArray::number(count);
    const QString rad = vordane::bench::makeFile(("roots" + suffix + ".rad").constData(), count, [&](qint64 i) {
        const bool first = random.nextIndex(100) < 60;
        QByteArray value = "*";
        if (!first) {
            QByteArrayList parts;
            for (std::uint64_t n = 2 + random.nextIndex(2); n > 0; --n) {
                const auto kind = random.nextIndex(3);
                const QByteArray target = QByteArray::number(qulonglong(random.nextIndex(std::uint64_t(count))));
                parts.append(kind == 0 ? QByteArray("*") : (kind == 1 ? "#r" : "$w") + target);
            }
            value = parts.join('+');
        }
        const QByteArray level = first ? "1" : QByteArray::number(qulonglong(2 + random.nextIndex(4)));
        const QByteArray n = QByteArray::number(i);
        return "r" + n + ":w" + n + ":" + value + ":" + level;
    });
    const QString lex = vordane::bench::makeFile(("words" + suffix + ".lex").constData(), 3 * count,
                                                 [](qint64 i) { return "pal" + QByteArray::number(i); });
    const QString lan = vordane::bench::path("language.lan");
    for (auto _ : state) {
        const auto result = vordane::generateLanguage(lex, rad, lan, QStringLiteral("AM"));
        if (!result.outcome.ok())
            state.SkipWithError("generation failed");
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_GenerateLanguage)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return vordane::bench::runReportingPeakMemory(argc, argv);
}
