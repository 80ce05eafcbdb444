#pragma once

#include "common/outcome.h"
#include "transformer/transformationengine.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace vordane {

class RandomSource;
class RuleObserver;

// A rule list divided into the stages its "@etapa NOMBRE" lines begin.
//
// The rules above the first "@etapa" line, if there are any, form an
// unnamed first stage; a list without "@etapa" lines (and every list in the
// plain notation) is one unnamed stage. Applied stage by stage, a word goes
// through the same rules in the same order, with the same draws of the
// sporadic rules, as through the whole list: each stage's rules keep their
// line numbers, the categories defined above them and the list's symbols.
class StagedRules {
public:
    // `lines`: every line of the rule file.
    explicit StagedRules(const QStringList &lines);
    ~StagedRules();
    StagedRules(const StagedRules &) = delete;
    StagedRules &operator=(const StagedRules &) = delete;

    // The whole list (the stages make no difference to it).
    const RuleSet &rules() const { return *whole_; }
    // The list's lines as the report and traces name them.
    const QStringList &lines() const { return lines_; }
    Outcome validity() const { return whole_->validity(); }

    qsizetype stageCount() const { return qsizetype(stages_.size()); }
    // The name after "@etapa"; empty for the unnamed first stage.
    const QString &stageName(qsizetype stage) const { return stages_[std::size_t(stage)].name; }
    // The heading of a stage's column: its name, or "(sin nombre)".
    QString stageTitle(qsizetype stage) const;
    // The names of the named stages, in order.
    QStringList stageNames() const;
    // The stage of that name, or -1.
    qsizetype findStage(const QString &name) const;
    // The index in the list of a stage's "@etapa" line (0 for the unnamed stage).
    qsizetype stageLine(qsizetype stage) const { return stages_[std::size_t(stage)].line; }
    // The stage that holds the line of that index.
    qsizetype stageOfLine(qsizetype line) const;
    // The rules of one stage alone, numbered by their lines in the list.
    const RuleSet &stageRules(qsizetype stage) const { return *stages_[std::size_t(stage)].rules; }

    bool hasSporadicRules() const { return whole_->hasSporadicRules(); }

    // Applies the stages from the first through `last`, each to the word as
    // the one before left it; forms[k] receives the word after stage k.
    // False when the word would grow too long (then the forms from that
    // stage on are not set). Sporadic rules draw from `random`; without one,
    // from a source of the default seed made for this word alone, as
    // RuleSet::apply does.
    bool apply(QString &word, qsizetype last, QString *forms, RuleObserver *observer = nullptr,
               RandomSource *random = nullptr) const;

private:
    struct Stage {
        QString name;
        qsizetype line = 0;
        std::shared_ptr<const RuleSet> rules;
    };

    QStringList lines_;
    std::shared_ptr<const RuleSet> whole_;
    std::vector<Stage> stages_;
};

} // namespace vordane
