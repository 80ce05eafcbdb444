// The language generator over 100,000 roots: 60 % level 1 with "*", the rest
// at levels 2 to 5 with formulas of 2 or 3 parts mixing "*", "#" and "$".

#include "common/randomsource.h"
#include "roots/languagegenerator.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

bool writeLines(const QString &path, const QStringList &lines)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1()) >= 0;
}

void BM_GenerateLanguage(benchmark::State &state)
{
    const int count = int(state.range(0));
    QTemporaryDir dir;
    vordane::RandomSource random;
    QStringList roots;
    QStringList words;
    for (int i = 0; i < count; ++i) {
        const bool first = random.nextIndex(100) < 60;
        QString value = QStringLiteral("*");
        if (!first) {
            QStringList parts;
            const int n = 2 + int(random.nextIndex(2));
            for (int k = 0; k < n; ++k) {
                const auto kind = random.nextIndex(3);
                const int target = int(random.nextIndex(std::uint64_t(count)));
                parts.append(kind == 0 ? QStringLiteral("*") : kind == 1 ? QStringLiteral("#r%1").arg(target)
                                                                          : QStringLiteral("$w%1").arg(target));
            }
            value = parts.join(QLatin1Char('+'));
        }
        const int level = first ? 1 : 2 + int(random.nextIndex(4));
        roots.append(QStringLiteral("r%1:w%1:%2:%3").arg(i).arg(value).arg(level));
    }
    for (int i = 0; i < 3 * count; ++i)
        words.append(QStringLiteral("pal%1").arg(i));
    const QString rad = dir.filePath(QStringLiteral("r.rad"));
    const QString lex = dir.filePath(QStringLiteral("w.lex"));
    const QString lan = dir.filePath(QStringLiteral("o.lan"));
    if (!writeLines(rad, roots) || !writeLines(lex, words)) {
        state.SkipWithError("cannot write inputs");
        return;
    }
    for (auto _ : state) {
        const auto result = vordane::generateLanguage(lex, rad, lan, QStringLiteral("AM"));
        if (!result.outcome.ok())
            state.SkipWithError("generation failed");
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_GenerateLanguage)->Arg(100'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
