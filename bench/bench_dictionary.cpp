// The dictionary tools on 100 MB inputs (the combiner on three 100 MB
// sources). Each reports its throughput; the process's peak memory is
// printed at the end, since every tool streams and should stay far below 50 MB.

#include "benchfiles.h"
#include "common/randomsource.h"
#include "dictionary/dictionarytools.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>


namespace {

// About 100 MB a file.
constexpr qint64 kWordLines = 5'500'000;
constexpr qint64 kListingLines = 820'000;

QString wordFile(const char *name, const char *prefix)
{
    return vordane::bench::makeFile(name, kWordLines, [prefix](qint64 i) {
        return QByteArray(prefix)
            + "pal\xe1"
              "bra"
            + QByteArray::number(i);
    });
}

QString listingFile()
{
    return vordane::bench::makeFile("listing.txt", kListingLines, [](qint64 i) {
        if (i < 4)
            return QByteArray("ENCABEZADO");
        const QByteArray n = QByteArray::number(i);
        QByteArray line;
        for (const char *word : {"casa", "perro", "gato"})
            line +=
                (QByteArray(word) + n).leftJustified(17, ' ').append("= counterpart").append(n).leftJustified(40, ' ');
        return line;
    });
}

void reportBytes(benchmark::State &state, qint64 bytes)
{
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Separate(benchmark::State &state)
{
    const QString in = listingFile();
    const QString out = vordane::bench::path("out.txt");
    for (auto _ : state) {
        if (!vordane::separateListing(in, out, QStringLiteral("=")).ok())
            state.SkipWithError("failed");
    }
    reportBytes(state, QFile(in).size());
}

void BM_Upper(benchmark::State &state)
{
    const QString in = wordFile("words0.txt", "a");
    const QString out = vordane::bench::path("out.txt");
    for (auto _ : state) {
        if (!vordane::copyWithCase(in, out, vordane::CaseOption::Upper).ok())
            state.SkipWithError("failed");
    }
    reportBytes(state, QFile(in).size());
}

void BM_Lower(benchmark::State &state)
{
    const QString in = wordFile("words0.txt", "a");
    const QString out = vordane::bench::path("out.txt");
    for (auto _ : state) {
        if (!vordane::copyWithCase(in, out, vordane::CaseOption::Lower).ok())
            state.SkipWithError("failed");
    }
    reportBytes(state, QFile(in).size());
}

void BM_Combine(benchmark::State &state)
{
    std::array<vordane::CombinerRow, vordane::kCombinerRows> rows{};
    rows[0] = {true, wordFile("words0.txt", "a"), 40};
    rows[1] = {true, wordFile("words1.txt", "b"), 30};
    rows[2] = {true, wordFile("words2.txt", "c"), 30};
    const QString out = vordane::bench::path("out.txt");
    vordane::RandomSource random;
    for (auto _ : state) {
        if (!vordane::combineSources(rows, out, random).ok())
            state.SkipWithError("failed");
    }
    reportBytes(state, QFile(rows[0].path).size() + QFile(rows[1].path).size() + QFile(rows[2].path).size());
}

void BM_Export(benchmark::State &state)
{
    const QString origin = wordFile("words0.txt", "a");
    const QString translation = wordFile("words1.txt", "b");
    const QString out = vordane::bench::path("out.txt");
    for (auto _ : state) {
        if (!vordane::exportDictionary(origin, translation, out, vordane::CaseOption::Upper, vordane::CaseOption::Upper,
                                       true)
                 .ok())
            state.SkipWithError("failed");
    }
    reportBytes(state, QFile(origin).size() + QFile(translation).size());
}

// Each tool, file to file, five times over (its files cached by then), median reported.
#define VORDANE_TOOL_BENCHMARK(name)                                                                                   \
    BENCHMARK(name)                                                                                                    \
        ->Unit(benchmark::kMillisecond)                                                                                \
        ->UseRealTime()                                                                                                \
        ->Iterations(1)                                                                                                \
        ->Repetitions(5)                                                                                               \
        ->ReportAggregatesOnly(true)
VORDANE_TOOL_BENCHMARK(BM_Separate);
VORDANE_TOOL_BENCHMARK(BM_Upper);
VORDANE_TOOL_BENCHMARK(BM_Lower);
VORDANE_TOOL_BENCHMARK(BM_Combine);
VORDANE_TOOL_BENCHMARK(BM_Export);

} // namespace

int main(int argc, char **argv)
{
    return vordane::bench::runReportingPeakMemory(argc, argv);
}
