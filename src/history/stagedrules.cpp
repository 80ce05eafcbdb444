#include "history/stagedrules.h"

#include "common/randomsource.h"
#include "history/historymessages.h"
#include "notation/parser.h"

#include <algorithm>
#include <optional>

namespace vordane {

StagedRules::StagedRules(const QStringList &lines)
    : lines_(lines)
    , whole_(std::make_shared<const RuleSet>(ruleTable(lines)))
{
    const std::vector<notation::Stage> &named = whole_->ok() ? whole_->stages() : std::vector<notation::Stage>();
    if (named.empty()) {
        stages_.push_back({QString(), 0, whole_});
        return;
    }
    // Each stage runs the list with every rule outside it blanked out:
    // its rules keep their line numbers, and the categories and symbols
    // of the list stand as they do for the whole list.
    const auto stageList = [&](qsizetype from, qsizetype to) {
        QStringList part = lines_;
        for (qsizetype i = 1; i < part.size(); ++i) {
            const QString &line = part.at(i);
            if (notation::isStageLine(line) || ((i < from || i >= to) && notation::isRuleLine(line)))
                part[i] = QString();
        }
        return std::make_shared<const RuleSet>(part);
    };
    if (named.front().firstRule > 0)
        stages_.push_back({QString(), 0, stageList(1, named.front().line)});
    for (std::size_t k = 0; k < named.size(); ++k) {
        const qsizetype end = k + 1 < named.size() ? named[k + 1].line : lines_.size();
        stages_.push_back({named[k].name, named[k].line, stageList(named[k].line, end)});
    }
}

StagedRules::~StagedRules() = default;

QString StagedRules::stageTitle(qsizetype stage) const
{
    const QString &name = stageName(stage);
    return name.isEmpty() ? messages::history::kUnnamedStage : name;
}

QStringList StagedRules::stageNames() const
{
    QStringList names;
    for (const Stage &stage : stages_) {
        if (!stage.name.isEmpty())
            names.append(stage.name);
    }
    return names;
}

qsizetype StagedRules::findStage(const QString &name) const
{
    if (name.isEmpty())
        return -1;
    const auto found = std::find_if(stages_.begin(), stages_.end(), [&](const Stage &s) { return s.name == name; });
    return found == stages_.end() ? -1 : qsizetype(found - stages_.begin());
}

qsizetype StagedRules::stageOfLine(qsizetype line) const
{
    const auto after = std::upper_bound(stages_.begin(), stages_.end(), line,
                                        [](qsizetype l, const Stage &stage) { return l < stage.line; });
    return std::max(qsizetype(0), qsizetype(after - stages_.begin()) - 1);
}

bool StagedRules::apply(QString &word, qsizetype last, QString *forms, RuleObserver *observer,
                        RandomSource *random) const
{
    last = std::min(last, stageCount() - 1);
    // One source for every stage, so that the word draws as it would through the whole list.
    std::optional<RandomSource> own;
    if (!random && last > 0 && hasSporadicRules())
        random = &own.emplace();
    for (qsizetype k = 0; k <= last; ++k) {
        if (!stages_[std::size_t(k)].rules->apply(word, observer, random))
            return false;
        forms[k] = word;
    }
    return true;
}

} // namespace vordane
