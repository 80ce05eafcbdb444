// Word generation: the engine alone, and a whole "Generar" of the generation
// window with the text box filled (offscreen).

#include "common/randomsource.h"
#include "generator/frmGenerar.h"
#include "generator/frmHacer.h"
#include "generator/generationengine.h"
#include "shell/platformservices.h"

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
        const auto result = vordane::generateWords(definition, settings, random);
        benchmark::DoNotOptimize(result.text.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_GenerateEngine)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

class NoServices final : public vordane::PlatformServices {
public:
    QString getOpenFileName(QWidget *, const vordane::FileDialogRequest &) override { return {}; }
    QString getSaveFileName(QWidget *, const vordane::FileDialogRequest &) override { return {}; }
    void information(QWidget *, const QString &, const QString &) override {}
    void warning(QWidget *, const QString &, const QString &) override {}
    void setClipboardText(const QString &) override {}
    void showModal(QDialog *dialog) override { dialog->show(); }
};

void BM_GenerateWindow(benchmark::State &state)
{
    NoServices services;
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

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
