#pragma once

#include "notation/ruleerror.h"
#include "notation/segments.h"
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
    // Whether every rule says only what the first extended notation said
    // (RuleSyntax::basic) and no symbols are declared.
    bool basic = true;
};

// Reads an extended list, `lines[0]` being its marker.
ParsedList parseList(const QStringList &lines);

// Whether a line of an extended list is a rule (not a comment, a category or
// a directive).
bool isRuleLine(const QString &line);

} // namespace vordane::notation
