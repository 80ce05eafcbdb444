#pragma once

#include "history/evolution.h"

#include <QHash>
#include <QString>

#include <vector>

namespace vordane {

// Entries of a lexicon that sound change made homophones: a merger is a
// final form that two entries with different original forms and different
// meanings both end in (in a word list, which has no meanings, two
// different original forms). It keeps one entry for each distinct final
// form, and every entry of the forms reached more than once.
class MergerFinder final : public EvolutionObserver {
public:
    explicit MergerFinder(LexiconKind kind)
        : kind_(kind)
    {
    }

    void evolved(const LexiconEntry &entry, const QString *forms, qsizetype count) override;
    // An entry and the form it ended in (unshaped lines are no entries).
    void add(const LexiconEntry &entry, const QString &final);

    struct Merger {
        QString form;
        std::vector<LexiconEntry> entries; // every entry that ended in it, in lexicon order
    };
    // The mergers, in the order in which their forms first appear.
    std::vector<Merger> mergers() const;
    qsizetype count() const { return merged_; }

    // "N fusiones:" and one line for each: the form and its entries.
    QString text() const;

private:
    struct Group {
        qsizetype index = 0; // of the form's first entry in the lexicon
        LexiconEntry first;
        std::vector<LexiconEntry> others; // held only for forms reached more than once
        // Some entry shares the first's original but not its meaning, or its meaning but not its original.
        bool otherMeaning = false;
        bool otherOriginal = false;
        bool merged = false;
    };

    LexiconKind kind_;
    QHash<QString, Group> groups_;
    qsizetype entries_ = 0;
    qsizetype merged_ = 0;
};

} // namespace vordane
