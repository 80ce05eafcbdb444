// The dictionary tools on 100 MB inputs (the combiner on three 100 MB
// sources). Each reports its throughput; the process's peak memory is
// printed at the end, since every tool streams and should stay far below 50 MB.

#include "common/randomsource.h"
#include "dictionary/dictionarytools.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#if defined(__unix__)
#include <sys/resource.h>
#endif

namespace {

constexpr qint64 kTargetBytes = 100 * 1000 * 1000;

const QTemporaryDir &benchDir()
{
    static QTemporaryDir dir;
    return dir;
}

// Writes a file of about 100 MB, a chunk at a time; `line` gives line i.
template <typename Line>
QString makeFile(const char *name, Line line)
{
    const QString path = benchDir().filePath(QLatin1String(name));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QByteArray chunk;
    qint64 written = 0;
    for (qint64 i = 0; written < kTargetBytes; ++i) {
        chunk += line(i);
        if (chunk.size() > (1 << 20)) {
            written += file.write(chunk);
            chunk.clear();
        }
    }
    file.write(chunk);
    return path;
}

QString wordFile(const char *name, const char *prefix)
{
    return makeFile(name, [prefix](qint64 i) { return QByteArray(prefix) + "pal\xe1" "bra" + QByteArray::number(i) + "\r\n"; });
}

QString listingFile()
{
    return makeFile("listing.txt", [](qint64 i) {
        if (i < 4)
            return QByteArray("ENCABEZADO\r\n");
        const QByteArray n = QByteArray::number(i);
        QByteArray line;
        for (const char *word : {"casa", "perro", "gato"})
            line += (QByteArray(word) + n).leftJustified(17, ' ').append("= counterpart").append(n).leftJustified(40, ' ');
        return line + "\r\n";
    });
}

void reportBytes(benchmark::State &state, qint64 bytes)
{
    state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Separate(benchmark::State &state)
{
    const QString in = listingFile();
    const QString out = benchDir().filePath(QStringLiteral("out.txt"));
    for (auto _ : state) {
        if (!vordane::separateListing(in, out, QStringLiteral("=")).ok())
            state.SkipWithError("failed");
    }
    reportBytes(state, QFile(in).size());
}

void BM_Upper(benchmark::State &state)
{
    const QString in = wordFile("words0.txt", "a");
    const QString out = benchDir().filePath(QStringLiteral("out.txt"));
    for (auto _ : state) {
        if (!vordane::copyWithCase(in, out, vordane::CaseOption::Upper).ok())
            state.SkipWithError("failed");
    }
    reportBytes(state, QFile(in).size());
}

void BM_Lower(benchmark::State &state)
{
    const QString in = wordFile("words0.txt", "a");
    const QString out = benchDir().filePath(QStringLiteral("out.txt"));
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
    const QString out = benchDir().filePath(QStringLiteral("out.txt"));
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
    const QString out = benchDir().filePath(QStringLiteral("out.txt"));
    for (auto _ : state) {
        if (!vordane::exportDictionary(origin, translation, out, vordane::CaseOption::Upper,
                                       vordane::CaseOption::Upper, true).ok())
            state.SkipWithError("failed");
    }
    reportBytes(state, QFile(origin).size() + QFile(translation).size());
}

BENCHMARK(BM_Separate)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Upper)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Lower)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Combine)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
#if defined(__unix__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
#endif
    return 0;
}
