// The word generator with weights: the engine alone (words drawn with
// weights, positional shapes, an optional part and two filters), the same
// with sound changes, and the command line's pipeline writing ten million
// words to a file as they are made.

#include "benchfiles.h"
#include "common/linewriter.h"
#include "common/randomsource.h"
#include "generator/wordfilters.h"
#include "wordgen/worddefinition.h"
#include "wordgen/wordgenerator.h"
#include "wordgen/wordrun.h"

#include <benchmark/benchmark.h>

namespace {

// The alphabet of the whole-process comparison with "generar".
const QString kDefinition = QStringLiteral("C=p:5,t:5,k:4,b,d,g,m:3,n:4,s:4,z,f,v,l:3,r:3,ñ,ch,ts\n"
                                           "@caída 15\n"
                                           "V=a,e,i,o,u,á,é,í\n"
                                           "@inicial CV, V, CVC\n"
                                           "@media CV:3, CVC\n"
                                           "@final CV(C), V\n"
                                           "@única CVC, CV\n"
                                           "@longitud 1:1, 2:4, 3:3, 4:1\n"
                                           "@rechazar (.)\\1\n"
                                           "@rechazar ^ts|ch$\n");

vordane::WordDefinition definition(const QString &extra = QString())
{
    return vordane::parseWordDefinitionText(kDefinition + extra).definition;
}

void BM_WordgenEngine(benchmark::State &state)
{
    const vordane::WordDefinition d =
        definition(state.range(0) ? QStringLiteral("@cambios\nP=p,t,k\nB=b,d,g\nP>B/V_V\n") : QString());
    vordane::WordGenerator generator(d);
    vordane::RandomSource random;
    std::int64_t words = 0;
    for (auto _ : state) {
        for (int i = 0; i < 100'000; ++i) {
            if (!generator.next(random))
                state.SkipWithError("gave up");
            benchmark::DoNotOptimize(generator.word().data());
        }
        words += 100'000;
    }
    state.SetItemsProcessed(words);
}
BENCHMARK(BM_WordgenEngine)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// As "palabras --salida" writes them.
void BM_WordgenToFile(benchmark::State &state)
{
    const vordane::WordDefinition d = definition();
    const QString out = vordane::bench::path("words.txt");
    vordane::RandomSource random;
    for (auto _ : state) {
        vordane::WordRunOptions options;
        options.count = state.range(0);
        vordane::WordFilters filters;
        vordane::LineWriter writer(out);
        if (!writer.open().ok() || !vordane::runWordGeneration(d, options, random, filters, writer).outcome.ok()
            || !writer.commit().ok())
            state.SkipWithError("generation failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WordgenToFile)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
