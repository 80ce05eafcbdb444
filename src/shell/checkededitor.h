#pragma once

#include "notation/ruleerror.h"

#include <Qsci/qsciscintilla.h>

#include <QList>
#include <QMap>
#include <QString>

class QsciLexer;

namespace vordane {

// An editor of a list of lines the program checks (rules, a word
// generator's definition): a malformed line carries a wavy underline and
// shows its message when the mouse rests on it; Tab and Shift+Tab move the
// focus, as in every box of the toolkit; Ctrl+Z and Ctrl+Y undo and redo a
// line or a burst of typing at a time.
class CheckedEditor : public QsciScintilla {
    Q_OBJECT
public:
    // Where a malformed line's underline starts.
    enum class Underline { WholeLine, FromFault };

    // Marks the malformed lines (the first fault of each); an empty list
    // clears every mark.
    void setErrors(const QList<RuleError> &errors);
    // The message of the malformed line `line` (from 0), or the empty text.
    QString errorOnLine(int line) const { return errors_.value(line); }
    bool hasErrors() const { return !errors_.isEmpty(); }
    // The message of the first malformed line.
    QString firstError() const { return errors_.isEmpty() ? QString() : errors_.first(); }
    // Whether the wavy underline covers the position (in bytes of the text).
    bool underlinedAt(int position) const;
    // The byte position of a character of a line (both from 0).
    int positionOf(int line, int index) const;

    // The indicator that draws the wavy underline.
    static constexpr int kErrorIndicator = QsciScintillaBase::INDIC_CONTAINER;

protected:
    CheckedEditor(Underline underline, QWidget *parent);
    // Called by the subclass once it has made its lexer; line numbers are
    // as wide as `widestNumber`.
    void setUp(QsciLexer *lexer, const QString &widestNumber);
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showErrorTip(int position, int x, int y);

    Underline underline_;
    QMap<int, QString> errors_; // line -> message
};

} // namespace vordane
