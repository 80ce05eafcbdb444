#pragma once

#include "transformer/transformationengine.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

namespace vordane {

// What every rule of a run did: how many words each changed, with the first
// examples, and how many words changed in all. Rules that changed nothing
// are listed too, so that dead rules stand out.
class RuleReport final : public RuleObserver {
public:
    // `rules`: every line of the rule file, in order.
    explicit RuleReport(const QStringList &rules);

    void ruleChanged(qsizetype rule, const QString &before, const QString &after) override;
    void wordDone(const QString &before, const QString &after) override;

    // The report in Spanish, one line per rule and a final total.
    QString text() const;

    static constexpr int kExamples = 3;

private:
    QStringList rules_;
    std::vector<std::int64_t> counts_;
    std::vector<QStringList> examples_;
    std::int64_t changed_ = 0;
    std::int64_t unchanged_ = 0;
};

// The steps of one word through the rules, in Spanish: its form before the
// first rule, then its form after every rule that changed it, with that
// rule's number and text. `rules`: every line of the rule file.
QString traceWord(const QString &word, const QStringList &rules);

} // namespace vordane
