#pragma once

#include "common/filestatus.h"
#include "notation/ruleerror.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <vector>

namespace vordane {

class RuleSet;

// A word-generator definition (a ".gen" text), as read by parseWordDefinition().
//
// Lines: comments (blank, or starting with ";"), categories "X=m1,m2:3,..."
// and directives "@nombre ...". Spaces do not count in categories and lists
// ("\ " is a space); "\c" is the character c itself anywhere.
//
// Categories: X one letter A-Z, defined once. A member may hold several
// characters; "∅" is the empty member; a member that names a category
// defined above stands for its members, in their order (without their
// weights). "m:W" gives a member the weight W (any positive number); in a
// category where some members have weights the others weigh 1; equal
// members add their weights. A category without weights takes them from the
// fall-off law of the last "@caída" above it, by the rank k (from 1) of each
// member among n:
//   @caída 0            w(k) = 1 (the default: equal chance)
//   @caída N (1-99)     w(k) = (1 - N/100)^(k-1), each N % less likely than the one before
//   @caída zipf         w(k) = 1/k
//   @caída gusein-zade  w(k) = ln(n+1) - ln(k) (the rank-frequency law p(k) = (ln(n+1) - ln k)/n)
//
// Shapes: "@formas CV, CVC:2, V" (weights as above, 1 without one): category
// letters, literals (any other character, "\C" for a capital), "(P)" present
// with the chance of the last "@opcional N" above (50 % by default) or
// "(P)?N" with N %, "{P|Q|...}" one of the alternatives with equal chance,
// "∅" nothing. "@inicial", "@media", "@final" (first, middle and last
// syllable of words of two or more) and "@única" (words of one syllable)
// replace "@formas" where given.
// Length: "@longitud 1:1, 2:4, 3:3" syllables with weights, "@longitud 2-4"
// equal chance, "@longitud 3"; 0 to kMaxSyllables; "1-3" by default.
// Filters: "@rechazar EXPRESIÓN" (repeatable) a regular expression in which
// "{X}" stands for any member of category X; a word holding a match is drawn
// again. "@cambios" ends the definition: the rest of the lines are a rule
// list in the extended notation (without its "@ampliada" line; the
// categories above stand defined for it, empty members left out);
// "@cambios ARCHIVO" takes a rule file (either notation) beside the
// definition instead. "@alfabeto a,b,c,ch,..." is the sorting order (by
// default the members of the categories in the order they first appear).
struct WordDefinition {
    static constexpr int kMaxSyllables = 100;

    struct Member {
        QString text; // empty for "∅"
        double weight = 1;
    };
    struct Category {
        QChar name;
        std::vector<Member> members;
        qsizetype line = 0;
    };
    // One element of a shape.
    struct Node {
        enum class Kind { Literal, Category, Optional, Choice } kind = Kind::Literal;
        QString text; // Literal
        int category = -1; // Category: index in categories
        double probability = 0.5; // Optional: from 0 to 1
        std::vector<std::vector<Node>> branches; // Optional: one; Choice: the alternatives
    };
    struct Shape {
        QString text; // as written
        double weight = 1;
        std::vector<Node> nodes;
    };
    enum Position { Any, Initial, Middle, Final, Single, kPositions };
    struct ShapeList {
        std::vector<Shape> shapes;
        qsizetype line = -1; // -1: not given
    };
    struct Length {
        int syllables = 1;
        double weight = 1;
    };
    struct Rejection {
        QString text; // as written
        QString pattern; // with "{X}" expanded
        qsizetype line = 0;
    };

    std::vector<Category> categories;
    std::array<ShapeList, kPositions> shapes;
    std::vector<Length> lengths;
    std::vector<Rejection> rejections;
    // The sound changes, parsed; null without "@cambios".
    std::shared_ptr<const RuleSet> changes;
    QStringList changeRules; // their lines ("@ampliada" first for an inline list)
    qsizetype changesLine = -1;
    QStringList alphabet; // the sorting order: "@alfabeto", or the members of the categories in order

    const Category *category(QChar name) const;
    // The shapes a syllable takes at a position (its own list, or "@formas").
    const ShapeList &shapesAt(Position position) const;
};

struct ParsedWordDefinition {
    WordDefinition definition;
    QList<RuleError> errors; // line-numbered; any error refuses the definition whole

    bool ok() const { return errors.isEmpty(); }
    // Every error, one a line, as the command line and message boxes show them.
    QString message() const;
};

// Reads a definition from its lines. `folder` is where "@cambios ARCHIVO"
// looks for the file (the definition's own folder; the current one when empty).
ParsedWordDefinition parseWordDefinition(const QStringList &lines, const QString &folder = QString());
// The same from a text, cut at CR LF, CR or LF.
ParsedWordDefinition parseWordDefinitionText(const QString &text, const QString &folder = QString());
// Reads a ".gen" file into lines (UTF-8, or Windows-1252 as every file).
FileStatus readWordDefinitionFile(const QString &path, QStringList &lines);

} // namespace vordane
