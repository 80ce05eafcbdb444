// Word generation: the engine into a text (what the window shows), a whole
// "Generar" of the generation window with the text box filled (offscreen),
// and the command line's pipeline: ten million words written to a file as
// they are made, and a million words without repetitions.

#include "benchfiles.h"
#include "common/linewriter.h"
#include "common/randomsource.h"
#include "generator/frmGenerar.h"
#include "generator/frmHacer.h"
#include "generator/generationengine.h"
#include "generator/wordfilters.h"
#include "shell/silentplatformservices.h"

#include "widgetbenchmarkmain.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

namespace {

vordane::Combinacion benchDefinition()
{
    vordane::Combinacion d = vordane::Combinacion::initial();
    d.panels[0] = {"K", "Consonantes",
                   vordane::parseLetterList(QStringLiteral("p,t,k,b,d,g,m,n,s,z,f,v,l,r,h,j,w,y,ch,ts"))};
    d.panels[1] = {"V", "Vocales", {"a", "e", "i", "o", "u"}};
    d.patterns = {"V", "KV", "KVK"};
    return d;
}

void BM_GenerateEngine(benchmark::State &state)
{
    const vordane::Combinacion definition = benchDefinition();
    const vordane::GenerationSettings settings{double(state.range(0)), 1, 1, 4};
    vordane::RandomSource random;
    for (auto _ : state) {
        const auto result = vordane::generateText(definition, settings, random);
        benchmark::DoNotOptimize(result.text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GenerateEngine)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The words written to a file as they are made, as "generar --salida" does;
// with range(1) the run refuses repeated words (--sin-repetir).
void BM_GenerateToFile(benchmark::State &state)
{
    const vordane::Combinacion definition = benchDefinition();
    const vordane::GenerationSettings settings{double(state.range(0)), 1, 1, 4};
    const QString out = vordane::bench::path("generated.txt");
    vordane::RandomSource random;
    for (auto _ : state) {
        vordane::WordFilters filters;
        if (state.range(1))
            filters.refuseRepeats(state.range(0));
        vordane::LineWriter writer(out);
        if (!writer.open().ok()
            || !vordane::generateWords(definition, settings, random, nullptr, writer,
                                       filters.active() ? &filters : nullptr)
                    .outcome.ok()
            || !writer.commit().ok())
            state.SkipWithError("generation failed");
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GenerateToFile)
    ->Args({1'000'000, 0})
    ->Args({1'000'000, 1})
    ->Args({10'000'000, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_GenerateWindow(benchmark::State &state)
{
    vordane::SilentPlatformServices services;
    vordane::frmGenerar generator(services);
    generator.setCombinacion(benchDefinition());
    generator.cmdGenerar->click();
    auto *window = generator.findChild<vordane::frmHacer *>();
    window->txtFilas->setText(QString::number(state.range(0)));
    for (auto _ : state)
        window->cmdGenerar->click();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GenerateWindow)->Arg(1'000'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

VORDANE_WIDGET_BENCHMARK_MAIN()
