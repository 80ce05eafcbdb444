#pragma once

#include "transformer/extendedrules.h"

#include <Qsci/qsciscintilla.h>

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace vordane {

class RuleLexer;

// The rule list as an editable text, one rule, definition or comment per
// line, coloured by what each part is (comments, category definitions,
// ">", "/", "_", "#", "?N"). A malformed line carries a wavy underline and
// shows its message when the mouse rests on it. Tab and Shift+Tab move the
// focus, as in every box of the toolkit; Ctrl+Z and Ctrl+Y undo and redo,
// a line or a burst of typing at a time.
class RuleEditor : public QsciScintilla {
    Q_OBJECT
public:
    explicit RuleEditor(QWidget *parent = nullptr);
    ~RuleEditor() override;

    // The lines, cut as a rule file's: a final line end adds no line.
    QStringList rules() const;
    // Shows the lines (replacing the text; the change can be undone).
    void setRules(const QStringList &rules);

    // Marks the malformed lines; an empty list clears every mark.
    void setErrors(const QList<RuleError> &errors);
    // The message of the malformed line `line` (from 0), or the empty text.
    QString errorOnLine(int line) const;
    bool hasErrors() const { return !errors_.isEmpty(); }
    // The message of the first malformed line.
    QString firstError() const;
    // Whether the wavy underline covers the position (in bytes of the text).
    bool underlinedAt(int position) const;

    // The indicator that draws the wavy underline.
    static constexpr int kErrorIndicator = QsciScintillaBase::INDIC_CONTAINER;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showErrorTip(int position, int x, int y);

    RuleLexer *lexer_;
    QMap<int, QString> errors_; // line -> message
};

} // namespace vordane
