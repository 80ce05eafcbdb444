#pragma once

#include "transformer/extendedrules.h"
#include "transformer/ruleobserver.h"
#include "transformer/wordtext.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace vordane {

// Applies `count` rules to a word in order, each to the word as the ones
// before left it, telling the observer of every change. `passes(i, present)`
// says whether rule i can match a word whose characterMask() is `present`
// (most rules are passed over on that one test); `apply(i, word, before)`
// applies it (when it changes the word and `before` is given, *before
// receives the word as the rule found it); `line(i)` names it for the
// observer. False when the word would grow too long.
template <typename Passes, typename Apply, typename Line>
bool applyInOrder(QString &word, RuleObserver *observer, std::size_t count, const Passes &passes, const Apply &apply,
                  const Line &line)
{
    std::uint64_t present = wordtext::characterMask(word);
    // A rule that changes the word builds a new one: the old one becomes
    // `before` for the observer, without a copy.
    QString before;
    QString *const keep = observer ? &before : nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        if (!passes(i, present))
            continue;
        const RuleEffect effect = apply(i, word, keep);
        if (effect == RuleEffect::TooLong)
            return false;
        if (effect == RuleEffect::Unchanged)
            continue;
        present = wordtext::characterMask(word);
        // A rule may give back the word it started from.
        if (observer && word != before)
            observer->ruleChanged(line(i), before, word);
    }
    return true;
}

} // namespace vordane
