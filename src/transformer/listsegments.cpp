#include "transformer/listsegments.h"

#include "notation/compiledrules.h"
#include "notation/parser.h"
#include "transformer/extendedrules.h"

#include <vector>

namespace vordane {

ListSegments::ListSegments(const QStringList &lines)
{
    if (!isExtendedList(lines) || hasMisplacedMarker(lines))
        return;
    notation::ParsedList parsed = notation::parseList(lines);
    if (!parsed.errors.isEmpty())
        return;
    // The segmenter the rules are compiled with, kept to cut words as they do.
    segmenter_ = std::make_unique<const notation::Segmenter>(parsed.segmenter);
    rules_ = std::make_unique<const notation::CompiledRules>(std::move(parsed));
}

ListSegments::~ListSegments() = default;

bool ListSegments::hasFeatures() const
{
    return rules_ && !rules_->features().isEmpty();
}

QString ListSegments::syllabified(const QString &word) const
{
    return rules_ ? rules_->syllabified(word) : word;
}

QString ListSegments::syllabifiedAfter(const QString &word, qsizetype line) const
{
    return rules_ ? rules_->syllabifiedAfter(word, line) : word;
}

QString ListSegments::featuresOf(const QString &segment) const
{
    return rules_ ? rules_->featuresOf(segment) : QString();
}

ListSegments::Span ListSegments::segmentAt(QStringView word, qsizetype at) const
{
    if (!segmenter_ || at < 0 || at >= word.size())
        return {};
    std::vector<notation::SegmentId> ids;
    notation::LocalSegments local;
    std::vector<qsizetype> ends;
    segmenter_->cutWord(word, ids, local, &ends);
    qsizetype start = 0;
    for (const qsizetype end : ends) {
        if (at < end)
            return {start, end - start};
        start = end;
    }
    return {};
}

} // namespace vordane
