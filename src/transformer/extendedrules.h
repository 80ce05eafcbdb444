#pragma once

#include "notation/ruleerror.h"
#include "notation/stage.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace vordane {

namespace notation {
class CompiledRules;
}

class RandomSource;
class RuleObserver;

// The first item of a rule list written in the extended notation.
inline const QString kExtendedMarker = QStringLiteral("@ampliada");
// Whether a rule list uses the extended notation.
bool isExtendedList(const QStringList &items);
// Whether the marker stands on a line other than the first: such a list is
// refused in either notation, since its lines below the marker would
// otherwise be read in the wrong one.
bool hasMisplacedMarker(const QStringList &items);

// An extended list holds at most this many rules (comments and definitions
// do not count).
inline constexpr qsizetype kMaxExtendedRules = 10'000;

// Every line below the first that holds the marker, as a fault of the list.
QList<RuleError> misplacedMarkers(const QStringList &items);

// What one rule did to a word.
enum class RuleEffect { Unchanged, Changed, TooLong };

// The rules of a list in the extended notation, compiled once for a run.
//
// Lines: the marker; comments (empty, blank, or starting with ";");
// category definitions "X=m1,m2,..." (X one letter A-Z; a member naming a
// category defined above stands for its members; a later definition of a
// name replaces the earlier one for the lines below it); every other line
// is a rule "OBJETIVO>SUSTITUTO[/ENTORNO][//EXCEPCION][ ?N]". Spaces do not
// count anywhere in these lines, except that one must come before "?N".
//
// A letter A-Z that names a category defined above the rule stands for any
// one of its members; any other character is itself. In the target a
// category takes, among the members that let the rule apply at a place,
// the longest (the first written among equals), categories left to right;
// the k-th category of the replacement gives the member of the same index
// as the k-th category of the target. "#" first (last) in the target ties
// it to the word's start (end), and the replacement carries the same mark
// (#k>#g, o#>u#). An environment or exception is "left_right", "#" first
// or last marking the word's edge. A rule finds its matches on the word as
// it stands before the rule, left to right and without overlaps, keeps
// those where its environment fits and its exception does not, and
// replaces them all at once. "?N": each match changes with probability
// N %, one draw of the run's random source per match (none for ?100).
class ExtendedRules {
public:
    // `lines`: the whole list, the marker first.
    explicit ExtendedRules(const QStringList &lines);
    ~ExtendedRules();
    ExtendedRules(const ExtendedRules &) = delete;
    ExtendedRules &operator=(const ExtendedRules &) = delete;

    // Every malformed line; a list with any is refused as a whole.
    const QList<RuleError> &errors() const { return errors_; }

    qsizetype size() const;
    // The index in the list of the line that holds rule `rule`.
    qsizetype lineOf(qsizetype rule) const;
    bool hasSporadicRules() const;
    // Whether any rule is applied until the word stops changing ("{repetida}").
    bool hasRepeatedRules() const;
    bool usesGeneralRules() const { return !basic_ && general_ != nullptr; }
    // The "@etapa" lines of the list, in order; they change nothing in how
    // its rules apply.
    const std::vector<notation::Stage> &stages() const { return stages_; }

    // Applies every rule in order, each to the word as the ones before left
    // it, and tells the observer of every change. False when the word would
    // grow past `maxLength` (the word is then left as the rules before that
    // one made it). Sporadic rules draw from `random`, which may be null
    // when there are none.
    bool apply(QString &word, RuleObserver *observer, RandomSource *random, qsizetype maxLength) const;

    // A word with its syllable boundaries written as "." by the last
    // "@sílabas" line (see CompiledRules::syllabified).
    QString syllabified(const QString &word, RuleObserver *observer = nullptr) const;
    // The features of a segment as the list gives them ("consonante
    // bilabial oclusiva"), for showing beside it; empty for none.
    QString featuresOf(const QString &segment) const;

    // Whether a line of an extended list is a rule (not the marker, a
    // comment or a definition).
    static bool isRuleLine(const QString &line);

    struct Category;
    struct Piece;
    struct Step;
    struct Sequence;
    struct Context;
    struct Rule;
    struct Prefilter;

private:
    class Parser;
    class Matcher;

    // One rule applied to the word; when it changes the word and `before`
    // is given, *before receives the word as the rule found it.
    RuleEffect applyRule(const Rule &rule, Matcher &matcher, QString &word, QString *before, RandomSource *random,
                         qsizetype maxLength) const;

    // Lists that say only what the first extended notation said run on the
    // tables below for words of plain characters (no combining marks, no
    // spaces), where both give the same result; everything else runs on
    // the general compiled rules.
    bool basic_ = false;
    std::unique_ptr<const notation::CompiledRules> general_;

    std::vector<Category> categories_;
    std::vector<Rule> rules_;
    std::vector<Prefilter> prefilters_; // one per rule, kept apart so that passing rules over stays in the cache
    QList<RuleError> errors_;
    std::vector<notation::Stage> stages_;
    bool sporadic_ = false;
};

} // namespace vordane
