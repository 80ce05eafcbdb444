#pragma once

#include "notation/features.h"
#include "notation/ruleerror.h"
#include "notation/segments.h"
#include "notation/stage.h"
#include "notation/syllables.h"
#include "notation/syntax.h"

#include <QList>
#include <QStringList>

#include <vector>

namespace vordane::notation {

// A rule list read whole: its symbols, categories and rules, and every
// malformed line (the first fault of each).
struct ParsedList {
    Segmenter segmenter;
    std::vector<Category> categories;
    std::vector<RuleSyntax> rules;
    QList<RuleError> errors;
    // The "@etapa" lines, in order.
    std::vector<Stage> stages;
    // Whether every rule says only what the first extended notation said
    // (RuleSyntax::basic) and no symbols are declared.
    bool basic = true;
    // Features of the segments ("@rasgo", "@símbolo", "@diacrítico",
    // "@rasgos ipa") and the matrices of the rules.
    FeatureTable features;
    std::vector<MatrixSyntax> matrices;
    // The "@sílabas" lines in order; the classes their patterns name
    // (SyllableSpec::classIds index `syllableClasses`: a segment, a
    // category or a matrix node).
    std::vector<SyllableSpec> syllables;
    std::vector<Node> syllableClasses;
    // The "@sílabas" line in force below the last rule, -1 for none.
    int finalSyllables = -1;
};

// Reads an extended list, `lines[0]` being its marker.
ParsedList parseList(const QStringList &lines);

// Whether a line of an extended list is a rule (not a comment, a category or
// a directive).
bool isRuleLine(const QString &line);

// Whether a line is an "@etapa" line; `name`, when given, receives the
// stage's name (the rest of the line without its outer blanks).
bool isStageLine(const QString &line, QString *name = nullptr);

} // namespace vordane::notation
