#pragma once

#include "notation/segments.h"

#include <QList>
#include <QString>

#include <vector>

// A rule list of the extended notation as it is written: categories and
// rules, read into trees by the parser.
namespace vordane::notation {

// A member of a category: segments, or the word's edge (only in
// environments and exceptions).
struct Member {
    std::vector<SegmentId> segments;
    bool edge = false;
};

struct Category {
    QString name; // "V", or "[p,t,k]" for one written inline
    std::vector<Member> members; // as written: their indices pair categories
    // Member indices in the order they are tried: the longest first, the
    // first written among equals.
    std::vector<int> tryOrder;
    bool singleSegments = true; // every member one segment
};

// One element of a pattern.
struct Node {
    enum class Kind {
        Segment, // the segment itself
        Category, // one member of a category
        Any, // "[]": any one segment
        Not, // "!E": one segment that the category does not match
        Optional, // "(P)": P or nothing, P preferred
        Repeat, // "E*", "E+", "(P)*", "(P)+": as many as can be, at least `minimum`
        Ellipsis, // "…": any run of segments, the shortest first
        Edge, // "#": the edge of a word
        Backref, // "$n": the text capture n holds
        Matrix, // "[+sonora,labial]": one segment with those features (`matrix`); `negated` for "![...]"
        Boundary, // ".": a syllable boundary ("!." where there is none: `negated`)
    };
    Kind kind = Kind::Segment;
    SegmentId segment = 0;
    int category = -1;
    int slot = -1; // Category: its place in the index mapping, -1 for none
    int minimum = 0; // Repeat
    std::vector<Node> children; // Optional, Repeat
    int capture = 0; // 1-9: binds that capture to the text matched here
    int backref = 0; // Backref
    int matrix = -1; // Matrix: its index in the list's matrices
    bool negated = false; // Matrix, Boundary
    int place = -1; // a target element whose place a replacement matrix reads: its hidden register pair
};
using Pattern = std::vector<Node>;

// "left_right": an environment or an exception.
struct Context {
    Pattern left;
    Pattern right;
};

// One element of a replacement.
struct Output {
    enum class Kind {
        Segments, // written as they are
        Mapped, // the member of `category` with the index the target's category of `slot` matched
        Captured, // the text of capture `capture`
        Indexed, // the member of `category` with the index of the member capture `capture` matched
        Changed, // the segment of target element `element` (or of capture `capture`) with matrix `matrix`'s values set
        Boundary, // "." written: a syllable boundary
    };
    Kind kind = Kind::Segments;
    std::vector<SegmentId> segments;
    int category = -1;
    int slot = -1;
    int capture = 0;
    int matrix = -1; // Changed
    int element = -1; // Changed: the target element (0-based), -1 when from a capture
    int hidden = -1; // Changed from an element: the register pair that records its place
};

// A feature matrix of a rule: what a segment must (not) have, the category
// it must also belong to ("[V,+larga]"), and the variables it binds or
// reads ("[$lugar]": per rule, variable k is the value of `variables[k]`).
struct MatrixSyntax {
    QString text;
    qsizetype unit = 0; // where it stands in its line
    std::vector<int> values; // ValueIds: required in a pattern, set in a replacement
    std::vector<int> forbidden; // "!v"
    int category = -1;
    std::vector<std::pair<int, int>> variables; // (FeatureId, the rule's variable)
};

enum class Scan { Simultaneous, Sequential, Inverse };

struct RuleSyntax {
    qsizetype line = 0; // index of the line in the list
    bool joinsAbove = false; // "&": one rule with the lines above it
    Pattern target;
    bool atStart = false; // "#" first in the target
    bool atEnd = false;
    std::vector<Output> replacement;
    std::vector<Context> environments; // any may fit; none: anywhere
    std::vector<Context> exceptions; // none may fit
    int percent = 100;
    Scan scan = Scan::Simultaneous;
    bool repeated = false;
    bool once = false;
    int only = -1; // "{solo X}": the category of the segments the rule sees
    int onlyMatrix = -1; // or the matrix they match ("{solo [+consonante]}")
    int slotCount = 0; // categories of the target in the index mapping
    int captures = 0; // the highest capture number used
    int variables = 0; // "$rasgo" variables of its matrices
    int hiddenPlaces = 0; // target elements whose place a replacement matrix reads
    int syllables = -1; // the "@sílabas" line in force (ParsedList::syllables), -1 for none
    bool usesBoundaries = false; // "." anywhere in it
    // Whether the target begins (ends) with ".": a boundary it matched there is replaced.
    bool boundaryFirst = false;
    bool boundaryLast = false;
    // Whether an environment has "." just left of the place: a boundary
    // there stays before what an insertion writes.
    bool boundaryLeftOfPlace = false;
    // Whether it says only what the first extended notation said: literals,
    // categories, "#", one environment, one exception and "?N".
    bool basic = true;
};

} // namespace vordane::notation
