#include "history/comparison.h"

#include "common/linesource.h"

namespace vordane {

PreviousRun::PreviousRun(LineSource &previous, LexiconKind kind, Difference difference)
    : previous_(previous)
    , kind_(kind)
    , difference_(std::move(difference))
{
}

void PreviousRun::evolved(const LexiconEntry &entry, const QString *forms, qsizetype count)
{
    if (entry.shaped && count > 0)
        compare(entry, forms[count - 1]);
}

QString PreviousRun::key(const LexiconEntry &entry) const
{
    switch (kind_) {
    case LexiconKind::Language:
        return entry.code;
    case LexiconKind::Dictionary:
        return entry.meaning;
    case LexiconKind::List:
        break;
    }
    return QString();
}

bool PreviousRun::earlierForm(const LexiconEntry &entry, QString &form)
{
    const QString wanted = key(entry);
    if (inStep_) {
        // Unshaped lines of the earlier lexicon are no entries.
        while (!previous_.atEnd()) {
            const LexiconEntry earlier = readLexiconEntry(previous_.readLine(), kind_);
            if (!earlier.shaped)
                continue;
            if (key(earlier) == wanted) {
                form = earlier.form;
                return true;
            }
            // Out of step: the rest is matched by key.
            inStep_ = false;
            rest_[key(earlier)].push_back(earlier.form);
            break;
        }
        if (inStep_)
            return false;
        while (!previous_.atEnd()) {
            const LexiconEntry earlier = readLexiconEntry(previous_.readLine(), kind_);
            if (earlier.shaped)
                rest_[key(earlier)].push_back(earlier.form);
        }
    }
    const auto found = rest_.find(wanted);
    if (found == rest_.end() || found->empty())
        return false;
    form = found->front();
    found->pop_front();
    return true;
}

void PreviousRun::compare(const LexiconEntry &entry, const QString &now)
{
    QString before;
    if (!earlierForm(entry, before)) {
        ++unmatched_;
        return;
    }
    if (before == now)
        return;
    ++changed_;
    if (difference_)
        difference_(entryLabel(entry, kind_), before, now);
}

} // namespace vordane
