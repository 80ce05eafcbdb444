#pragma once

#include "history/evolution.h"

#include <QHash>
#include <QString>

#include <deque>
#include <functional>

namespace vordane {

class LineSource;

// Compares a run with an earlier derived lexicon of the same lexicon (of
// the same kind): each entry's final form with the form the earlier run
// gave it. Entries are matched by their code in a language file, by their
// left part in a dictionary (the n-th entry of a repeated code or left part
// with the n-th in the earlier lexicon), by position in a word list. While
// both go in step, nothing is held; from the first entry out of step, the
// rest of the earlier lexicon is read into memory to match by key.
class PreviousRun final : public EvolutionObserver {
public:
    // Told of every entry whose form differs: its label (meaning, or word),
    // the earlier form and the new one.
    using Difference = std::function<void(const QString &label, const QString &before, const QString &now)>;

    PreviousRun(LineSource &previous, LexiconKind kind, Difference difference);

    void evolved(const LexiconEntry &entry, const QString *forms, qsizetype count) override;
    // An entry and the form it ended in.
    void compare(const LexiconEntry &entry, const QString &now);

    std::int64_t changed() const { return changed_; }
    // Entries the earlier lexicon does not have.
    std::int64_t unmatched() const { return unmatched_; }

private:
    QString key(const LexiconEntry &entry) const;
    // The earlier form of the entry, if the earlier lexicon has it.
    bool earlierForm(const LexiconEntry &entry, QString &form);

    LineSource &previous_;
    LexiconKind kind_;
    Difference difference_;
    bool inStep_ = true;
    QHash<QString, std::deque<QString>> rest_;
    std::int64_t changed_ = 0;
    std::int64_t unmatched_ = 0;
};

} // namespace vordane
