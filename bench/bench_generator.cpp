// Word generation: the engine alone, and a whole "Generar" of the generation
// window with the text box filled (offscreen).

#include "common/randomsource.h"
#include "generator/frmGenerar.h"
#include "generator/frmHacer.h"
#include "generator/generationengine.h"
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
    d.panels[0] = {"K", "Consonantes", vordane::parseLetterList(
        QStringLiteral("p,t,k,b,d,g,m,n,s,z,f,v,l,r,h,j,w,y,ch,ts"))};
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
BENCHMARK(BM_GenerateEngine)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void BM_GenerateWindow(benchmark::State &state)
{
    vordane::SilentPlatformServices services;
    vordane::frmGenerar generator(services);
    generator.setCombinacion(benchDefinition());
    generator.cmdGenerar->click();
    vordane::frmHacer *window = generator.generationWindow();
    window->txtFilas->setText(QString::number(state.range(0)));
    for (auto _ : state)
        window->cmdGenerar->click();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GenerateWindow)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace

VORDANE_WIDGET_BENCHMARK_MAIN()
