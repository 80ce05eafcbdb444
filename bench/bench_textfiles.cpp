// Throughput of the word-file reader and writer on a generated file.

#include "common/linereader.h"
#include "common/linewriter.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 2'000'000;

const QTemporaryDir &benchDir()
{
    static QTemporaryDir dir;
    return dir;
}

QString sampleFile()
{
    static const QString path = [] {
        const QString file = benchDir().filePath(QStringLiteral("words.txt"));
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return QString();
        QByteArray chunk;
        for (int i = 0; i < kLines; ++i) {
            chunk += "palabra\xf1" + QByteArray::number(i) + " = traducci\xf3n\r\n";
            if (chunk.size() > (1 << 20)) {
                out.write(chunk);
                chunk.clear();
            }
        }
        out.write(chunk);
        return file;
    }();
    return path;
}

void BM_ReadLines(benchmark::State &state)
{
    const QString file = sampleFile();
    for (auto _ : state) {
        vordane::LineReader reader(file);
        if (!reader.open().ok()) {
            state.SkipWithError("cannot open");
            return;
        }
        qsizetype total = 0;
        while (!reader.atEnd())
            total += reader.readLine().size();
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * QFile(file).size());
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

void BM_WriteLines(benchmark::State &state)
{
    const QString file = benchDir().filePath(QStringLiteral("out.txt"));
    const QString line = QString::fromUtf8("palabraña12345 = traducción");
    for (auto _ : state) {
        vordane::LineWriter writer(file);
        if (!writer.open().ok()) {
            state.SkipWithError("cannot create");
            return;
        }
        for (int i = 0; i < kLines; ++i)
            writer.writeLine(line);
        if (!writer.commit().ok())
            state.SkipWithError("cannot commit");
    }
    state.SetBytesProcessed(state.iterations() * QFile(file).size());
}
BENCHMARK(BM_WriteLines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
