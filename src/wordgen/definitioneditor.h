#pragma once

#include "shell/checkededitor.h"

namespace vordane {

class DefinitionLexer;

// The text of a word-generator definition (".gen"), coloured by what each
// part of a line is: comments, categories, directives, weights, optional
// parts and alternatives, escaped characters, and the sound changes after
// "@cambios". A malformed line is underlined from the place of its fault to
// its end.
class DefinitionEditor : public CheckedEditor {
    Q_OBJECT
public:
    explicit DefinitionEditor(QWidget *parent = nullptr);
    ~DefinitionEditor() override;

    enum Style { kDefault, kComment, kCategory, kDirective, kWeight, kOperator, kEscape, kRules, kStyleCount };

private:
    DefinitionLexer *lexer_;
};

} // namespace vordane
