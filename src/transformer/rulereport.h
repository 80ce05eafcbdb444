#pragma once

#include "transformer/transformationengine.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <utility>
#include <vector>

namespace vordane {

class RandomSource;

// What every rule of a run did: how many words each changed, with the first
// examples, and how many words changed in all. Rules that changed nothing
// are listed too, so that dead rules stand out.
class RuleReport final : public RuleObserver {
public:
    // `rules`: every line of the rule file, in order.
    explicit RuleReport(const QStringList &rules);

    void ruleChanged(qsizetype rule, const QString &before, const QString &after) override;
    void wordDone(const QString &before, const QString &after) override;
    void ruleUnsettled(qsizetype rule, const QString &word) override;
    void ruleTooCostly(qsizetype rule, const QString &word) override;
    void ruleWithoutSegment(qsizetype rule, const QString &word, const QString &what) override;
    void wordNotSyllabified(qsizetype rule, const QString &word) override;

    // One rule of the report: in the plain notation every item a run
    // applies (a text without ">" is no rule); in the extended notation
    // every rule line (not the marker, comments or definitions).
    struct Entry {
        qsizetype line = 0; // index in the list; the rule is named by line + 1
        QString text;
        bool isRule = true;
        std::int64_t changed = 0; // words it changed
        QStringList examples; // "before → after", the first kExamples
        std::int64_t unsettled = 0; // words still changing after the last pass of a "{repetida}" rule
        QStringList unsettledExamples; // the first kExamples of them
        std::int64_t tooCostly = 0; // words the rule gave up on
        QStringList tooCostlyExamples;
        std::int64_t withoutSegment = 0; // segments left as they were: no symbol had the values asked
        QStringList withoutSegmentExamples; // "word: p con +sonora"
        std::int64_t unsyllabified = 0; // words the syllable patterns could not cut
        QStringList unsyllabifiedExamples;
    };
    std::vector<Entry> entries() const;
    // What a rule could not do on some words (unsettled, given up, segments
    // no symbol has, words without syllables), each with its examples,
    // joined by "; "; empty when none. A line that is not a rule may have
    // words written without their syllables marked.
    static QStringList warningsOf(const Entry &entry);
    std::int64_t wordsChanged() const { return changed_; }
    std::int64_t wordsUnchanged() const { return unchanged_; }

    // Also keeps, for every rule, which words it changed: their numbers
    // from 0 in the order of the run, for showing those words apart.
    void keepChangedWords();
    // The words the rule on line `line` changed (empty unless kept).
    const std::vector<std::int32_t> &changedWords(qsizetype line) const;

    // The report in Spanish, one line per rule and a final total.
    QString text() const;

    static constexpr int kExamples = 3;

private:
    QStringList rules_;
    std::vector<std::int64_t> counts_;
    std::vector<QStringList> examples_;
    std::vector<std::int64_t> unsettled_;
    std::vector<QStringList> unsettledExamples_;
    std::vector<std::int64_t> tooCostly_;
    std::vector<QStringList> tooCostlyExamples_;
    std::vector<std::int64_t> withoutSegment_;
    std::vector<QStringList> withoutSegmentExamples_;
    std::vector<std::int64_t> unsyllabified_;
    std::vector<QStringList> unsyllabifiedExamples_;
    std::vector<std::vector<std::int32_t>> changedWords_;
    std::int64_t changed_ = 0;
    std::int64_t unchanged_ = 0;
};

// Passes what the rules do on to several observers.
class ObserverGroup final : public RuleObserver {
public:
    void add(RuleObserver *observer) { observers_.push_back(observer); }
    bool isEmpty() const { return observers_.empty(); }
    void ruleChanged(qsizetype rule, const QString &before, const QString &after) override;
    void wordDone(const QString &before, const QString &after) override;
    void ruleUnsettled(qsizetype rule, const QString &word) override;
    void ruleTooCostly(qsizetype rule, const QString &word) override;
    void ruleWithoutSegment(qsizetype rule, const QString &word, const QString &what) override;
    void wordNotSyllabified(qsizetype rule, const QString &word) override;

private:
    std::vector<RuleObserver *> observers_;
};

// The steps of one word through the rules, in Spanish: its form before the
// first rule, then its form after every rule that changed it, with that
// rule's number and text. `rules`: every line of the rule file. Sporadic
// rules draw from `random` (without one, from the default seed).
QString traceWord(const QString &word, const QStringList &rules, RandomSource *random = nullptr);

// Traces words as a run meets them, so that a trace shows what the run did
// to the word (sporadic rules included): the first time each word of
// `words` goes through the rules.
class WordTracer final : public RuleObserver {
public:
    WordTracer(const QStringList &rules, const QStringList &words);

    void ruleChanged(qsizetype rule, const QString &before, const QString &after) override;
    void wordDone(const QString &before, const QString &after) override;

    // Headings shown between the steps of a trace: each (the index of a
    // line, text) before the steps of the rules from that line on.
    void setHeadings(std::vector<std::pair<qsizetype, QString>> headings) { headings_ = std::move(headings); }

    // Whether the run met the word.
    bool traced(const QString &word) const { return traces_.contains(word); }
    // The trace of a word the run met (traceWord's form), or the empty text.
    QString trace(const QString &word) const { return traces_.value(word); }

private:
    const QStringList &rules_;
    QSet<QString> pending_;
    QHash<QString, QString> traces_;
    std::vector<std::pair<qsizetype, QString>> steps_; // of the word going through the rules now
    std::vector<std::pair<qsizetype, QString>> headings_;
};

} // namespace vordane
