// A lexicon's history: 1,000,000 language-file entries through 100 extended
// rules in three stages, file to file as "evolucionar --etapas" runs them,
// beside "transformar" of the same forms through the same rules.

#include "benchfiles.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/randomsource.h"
#include "history/evolution.h"
#include "history/stagedrules.h"
#include "history/stagetable.h"
#include "transformer/transformationengine.h"

#include <benchmark/benchmark.h>

namespace {

constexpr qint64 kEntries = 1'000'000;

QByteArray randomForm(vordane::RandomSource &random)
{
    static const char letters[] = "ptkbdgmnslraeiou";
    QByteArray word;
    for (std::uint64_t n = 4 + random.nextIndex(7); n > 0; --n)
        word += letters[random.nextIndex(16)];
    return word;
}

// The same forms as a language file and as a word list.
QString languageFile()
{
    vordane::RandomSource random;
    return vordane::bench::makeFile("lexicon.lan", kEntries, [&random](qint64 i) {
        return "c" + QByteArray::number(i) + ":m" + QByteArray::number(i) + ":" + randomForm(random);
    });
}
QString wordFile()
{
    vordane::RandomSource random;
    return vordane::bench::makeFile("forms.lex", kEntries, [&random](qint64) { return randomForm(random); });
}

// 100 extended rules, ten rules ten times; with `stages`, "@etapa" lines
// after the 33rd and the 66th.
QStringList stagedRules(bool stages)
{
    QStringList rules{"@ampliada", "V=a,e,i,o,u", "P=p,t,k", "B=b,d,g", "F=s", "N=m,n", "L=l,r", "C=P,B,F,N,L"};
    const QStringList ten{"P>B/V_V", "B>/V_V//_L", "e>ie/C_C ?50", "o>ue/C_C//_N", "m>n/_#",
                          ">e/#_sP", "u>o/_#//l_", "N>/V_#",       "C>/_C//L_",    "ai>e/C_"};
    if (stages)
        rules += QStringLiteral("@etapa antigua");
    for (int i = 0; i < 100; ++i) {
        if (stages && (i == 33 || i == 66))
            rules += i == 33 ? QStringLiteral("@etapa media") : QStringLiteral("@etapa moderna");
        rules += ten.at(i % 10);
    }
    return rules;
}

// range(0) 0: "transformar" of the forms; 1: "evolucionar" of the language
// file; 2: the same with the stage table.
void BM_EvolveLanguage(benchmark::State &state)
{
    const QString lexicon = languageFile();
    const QString words = wordFile();
    const vordane::StagedRules staged(stagedRules(true));
    const vordane::RuleSet whole(stagedRules(false));
    const QString out = vordane::bench::path("evolved.lan");
    const QString table = vordane::bench::path("evolved.tsv");
    for (auto _ : state) {
        vordane::RandomSource random;
        bool ok = true;
        if (state.range(0) == 0) {
            vordane::LineReader reader(words);
            vordane::LineWriter writer(out);
            ok = reader.open().ok() && writer.open().ok()
                && vordane::transformWordList(reader, whole, nullptr, writer, nullptr, &random).ok()
                && writer.commit().ok();
        } else {
            vordane::LineReader reader(lexicon);
            vordane::LineWriter writer(out);
            vordane::LineWriter tableWriter(table);
            ok = reader.open().ok() && writer.open().ok() && tableWriter.open().ok();
            tableWriter.forceUtf8();
            QStringList titles;
            for (qsizetype k = 0; k < staged.stageCount(); ++k)
                titles += staged.stageTitle(k);
            vordane::StageTable stageTable(tableWriter, vordane::TableFormat::Tsv, vordane::LexiconKind::Language,
                                           titles);
            std::vector<vordane::EvolutionObserver *> observers;
            if (state.range(0) == 2)
                observers.push_back(&stageTable);
            ok = ok
                && vordane::evolveLexicon(reader, vordane::LexiconKind::Language, staged, staged.stageCount() - 1,
                                          &writer, observers, nullptr, &random)
                       .ok()
                && (state.range(0) == 2 ? vordane::commitAll({&writer, &tableWriter}) : writer.commit()).ok();
        }
        if (!ok)
            state.SkipWithError("run failed");
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
    state.SetLabel(state.range(0) == 0 ? "transformar, the forms"
                       : state.range(0) == 1 ? "evolucionar, 3 stages"
                                             : "evolucionar, 3 stages --etapas");
}
BENCHMARK(BM_EvolveLanguage)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    return vordane::bench::runReportingPeakMemory(argc, argv);
}
