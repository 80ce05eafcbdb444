#pragma once

#include "notation/ruleerror.h"

#include <Qsci/qsciscintilla.h>

#include <QList>
#include <QMap>
#include <QString>

namespace vordane {

class DefinitionLexer;

// The text of a word-generator definition (".gen"), coloured by what each
// part of a line is: comments, categories, directives, weights, optional
// parts and alternatives, escaped characters, and the sound changes after
// "@cambios". A malformed line carries a wavy underline from the place of
// its fault to its end and shows its message when the mouse rests on it.
// Tab and Shift+Tab move the focus; Ctrl+Z and Ctrl+Y undo and redo a line
// or a burst of typing at a time.
class DefinitionEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit DefinitionEditor(QWidget *parent = nullptr);
    ~DefinitionEditor() override;

    // Marks the malformed lines; an empty list clears every mark.
    void setErrors(const QList<RuleError> &errors);
    // The message of the malformed line `line` (from 0), or the empty text.
    QString errorOnLine(int line) const { return errors_.value(line); }
    bool hasErrors() const { return !errors_.isEmpty(); }
    QString firstError() const { return errors_.isEmpty() ? QString() : errors_.first(); }
    // Whether the wavy underline covers the position (in bytes of the text).
    bool underlinedAt(int position) const;
    // The byte position of a character of a line (both from 0).
    int positionOf(int line, int index) const;

    enum Style { kDefault, kComment, kCategory, kDirective, kWeight, kOperator, kEscape, kRules, kStyleCount };

    static constexpr int kErrorIndicator = QsciScintillaBase::INDIC_CONTAINER;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showErrorTip(int position, int x, int y);

    DefinitionLexer *lexer_;
    QMap<int, QString> errors_; // line -> message
};

} // namespace vordane
