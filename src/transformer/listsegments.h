#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>

namespace vordane {

namespace notation {
class CompiledRules;
class Segmenter;
} // namespace notation

// What an extended rule list says about the segments of words, for showing
// beside them: how its rules cut a text into segments, the features it
// gives a segment and the syllables of a word by its last "@sílabas" line.
// A list in the plain notation, or a malformed one, says nothing: no
// features, and words without syllable marks.
class ListSegments {
public:
    // `lines`: the list as a run applies it (ruleTable).
    explicit ListSegments(const QStringList &lines);
    ~ListSegments();
    ListSegments(const ListSegments &) = delete;
    ListSegments &operator=(const ListSegments &) = delete;

    // Whether any segment has features.
    bool hasFeatures() const;
    // The word with its syllable boundaries written as "." (as
    // "vordane-cli transformar --silabas" writes it).
    QString syllabified(const QString &word) const;
    // The same by the "@sílabas" line in force for the rule of that line.
    QString syllabifiedAfter(const QString &word, qsizetype line) const;
    // The features of a segment ("consonante bilabial oclusiva"); empty for none.
    QString featuresOf(const QString &segment) const;

    struct Span {
        qsizetype start = 0;
        qsizetype length = 0; // 0: none
    };
    // The segment of `word` that holds the character at `at` (in UTF-16
    // units), cut as the rules cut words: declared symbols of several
    // characters and the marks and declared diacritics that follow a base
    // belong to one segment.
    Span segmentAt(QStringView word, qsizetype at) const;

private:
    std::unique_ptr<const notation::CompiledRules> rules_;
    std::unique_ptr<const notation::Segmenter> segmenter_;
};

} // namespace vordane
