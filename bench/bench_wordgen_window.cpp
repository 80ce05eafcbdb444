// The word workshop: from "Otra tanda" to the new sample of 100 words and
// its charts (10,000 hidden words) on show and painted, with the definition
// of the whole-process comparison (weights, positional shapes, an optional
// part, two filters), and optionally sound changes.

#include "shell/silentplatformservices.h"
#include "widgetbenchmarkmain.h"
#include "wordgen/definitioneditor.h"
#include "wordgen/frmTallerPalabras.h"

#include <QAction>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTimer>

#include <algorithm>

namespace {

const QString kDefinition = QStringLiteral("C=p:5,t:5,k:4,b,d,g,m:3,n:4,s:4,z,f,v,l:3,r:3,ñ,ch,ts\r\n"
                                           "@caída 15\r\n"
                                           "V=a,e,i,o,u,á,é,í\r\n"
                                           "@inicial CV, V, CVC\r\n"
                                           "@media CV:3, CVC\r\n"
                                           "@final CV(C), V\r\n"
                                           "@única CVC, CV\r\n"
                                           "@longitud 1:1, 2:4, 3:3, 4:1\r\n"
                                           "@rechazar (.)\\1\r\n"
                                           "@rechazar ^ts|ch$\r\n");

void BM_WordWorkshopRefresh(benchmark::State &state)
{
    vordane::SilentPlatformServices services;
    vordane::frmTallerPalabras window(services);
    window.resize(window.sizeHint());
    window.show();
    int shown = 0;
    QObject::connect(&window, &vordane::frmTallerPalabras::sampleShown, [&shown] { ++shown; });
    window.txtDefinicion->setText(
        kDefinition + (state.range(0) ? QStringLiteral("@cambios\r\nP=p,t,k\r\nB=b,d,g\r\nP>B/V_V\r\n") : QString()));
    while (shown == 0 || window.isSampling() || window.isSampleDue())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // A timer that should fire every 5 ms: the longest gap between its ticks
    // is the longest the interface thread was kept from its events.
    qint64 longestStall = 0;
    QElapsedTimer sinceTick;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] { longestStall = std::max(longestStall, sinceTick.restart()); });
    for (auto _ : state) {
        const int before = shown;
        sinceTick.start();
        ticker.start();
        window.mnuOtraTanda->trigger();
        while (shown == before)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        window.repaint(); // the sample and the charts painted
        ticker.stop();
        if (window.lstMuestra->count() != 100)
            state.SkipWithError("no sample");
    }
    state.counters["longest_stall_ms"] = double(longestStall);
}
BENCHMARK(BM_WordWorkshopRefresh)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

VORDANE_WIDGET_BENCHMARK_MAIN()
