#pragma once

#include <QString>
#include <QWidget>

class QsciScintilla;
class QsciLexer;

namespace vordane {

// The multi-line text box of every window. Its text round-trips exactly
// (CR LF, lone CR and any character stay as set), Enter inserts CR LF, and a
// text of a million lines is taken in a fraction of a second. Tab and
// Shift+Tab move the focus to the next or previous control, as in every
// other box; Ctrl+Tab types a tab, except inside the main window's area,
// where it goes to the next tool window. The editor behind it is an
// implementation detail of this class.
class MultiLineTextBox : public QWidget {
    Q_OBJECT
public:
    enum class ScrollBars { None, Horizontal, Vertical, Both };

    explicit MultiLineTextBox(QWidget *parent = nullptr);

    QString text() const;
    // Without reading the text out (a million lines take a moment).
    bool isEmpty() const;
    void setText(const QString &text);
    void clear();
    bool isReadOnly() const;
    void setReadOnly(bool readOnly);
    // Without a horizontal scroll bar, long lines wrap at word boundaries;
    // a text holding a line too long to lay out quickly (a whole word list
    // joined by commas) is shown unwrapped, with a horizontal scroll bar.
    void setScrollBars(ScrollBars bars);

    // Ctrl+Z takes back one line or one burst of typing (see undoByLineAndPause).
    void setUndoByLineAndPause();

    static constexpr qsizetype kLongestWrappedLine = 20000;

signals:
    void textChanged();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void forwardKey(QKeyEvent *event);
    void applyWrapping(bool wrap);

    QsciScintilla *editor_;
    bool forwarding_ = false;
    bool wrapRequested_ = true;
};

// Ends the editor's undo step at each line break and after a pause in
// typing, as editors do: left alone, the editor merges all consecutive typing
// into one step, and one Ctrl+Z takes back lines typed minutes apart. The
// pause is measured by a timer named "undoPause", a child of the editor.
void undoByLineAndPause(QsciScintilla *editor);
constexpr int kUndoPauseMs = 1000;

// Sets up an editor of a list of lines that the program checks (rules, a
// word generator's definition): Windows line ends, no wrapping, automatic
// indentation or folding, a scroll bar as wide as the longest line seen,
// line numbers as wide as `widestNumber`, indicator `errorIndicator` drawn as
// a red squiggle, tips after the mouse rests 400 ms, and undo by line and
// pause.
void setUpCheckedEditor(QsciScintilla *editor, QsciLexer *lexer, const QString &widestNumber, int errorIndicator);

} // namespace vordane
