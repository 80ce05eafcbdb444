#include "shell/multilinetextbox.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QEvent>
#include <QKeyEvent>
#include <QTimer>
#include <QVBoxLayout>

namespace vordane {

MultiLineTextBox::MultiLineTextBox(QWidget *parent)
    : QWidget(parent)
    , editor_(new QsciScintilla(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(editor_);
    setFocusProxy(editor_);
    setFocusPolicy(Qt::StrongFocus);

    // A plain text box: no margins, highlighting, folding or caret line.
    editor_->setUtf8(true);
    editor_->setEolMode(QsciScintilla::EolWindows);
    editor_->setEolVisibility(false);
    for (int margin = 0; margin < 5; ++margin)
        editor_->setMarginWidth(margin, 0);
    editor_->setFolding(QsciScintilla::NoFoldStyle);
    editor_->setBraceMatching(QsciScintilla::NoBraceMatch);
    editor_->setAutoIndent(false);
    editor_->setAutoCompletionSource(QsciScintilla::AcsNone);
    editor_->setWhitespaceVisibility(QsciScintilla::WsInvisible);
    editor_->setIndentationGuides(false);
    editor_->setCaretLineVisible(false);
    editor_->setFont(font());
    editor_->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    setScrollBars(ScrollBars::None);

    editor_->installEventFilter(this);
    connect(editor_, &QsciScintilla::textChanged, this, &MultiLineTextBox::textChanged);
}

void MultiLineTextBox::setUndoByLineAndPause()
{
    undoByLineAndPause(editor_);
}

void undoByLineAndPause(QsciScintilla *editor)
{
    auto *pause = new QTimer(editor);
    pause->setObjectName(QStringLiteral("undoPause"));
    pause->setSingleShot(true);
    pause->setInterval(kUndoPauseMs);
    // An empty action between two edits keeps the editor from merging them.
    const auto endStep = [editor] {
        editor->beginUndoAction();
        editor->endUndoAction();
    };
    QObject::connect(pause, &QTimer::timeout, editor, endStep);
    QObject::connect(editor, &QsciScintilla::textChanged, pause, qOverload<>(&QTimer::start));
    QObject::connect(editor, &QsciScintillaBase::SCN_CHARADDED, editor, [endStep](int c) {
        if (c == '\n' || c == '\r')
            endStep();
    });
}

bool MultiLineTextBox::isEmpty() const
{
    return editor_->length() == 0;
}

QString MultiLineTextBox::text() const
{
    return editor_->text();
}

namespace {
bool hasLineLongerThan(const QString &text, qsizetype limit)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            run = 0;
        else if (++run > limit)
            return true;
    }
    return false;
}
} // namespace

void MultiLineTextBox::setText(const QString &text)
{
    if (wrapRequested_)
        applyWrapping(!hasLineLongerThan(text, kLongestWrappedLine));
    editor_->setText(text);
}

void MultiLineTextBox::applyWrapping(bool wrap)
{
    editor_->setWrapMode(wrap ? QsciScintilla::WrapWord : QsciScintilla::WrapNone);
    editor_->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETHSCROLLBAR, wrap ? 0 : 1);
}

void MultiLineTextBox::clear()
{
    editor_->clear();
}

bool MultiLineTextBox::isReadOnly() const
{
    return editor_->isReadOnly();
}

void MultiLineTextBox::setReadOnly(bool readOnly)
{
    editor_->setReadOnly(readOnly);
}

void MultiLineTextBox::setScrollBars(ScrollBars bars)
{
    const bool horizontal = bars == ScrollBars::Horizontal || bars == ScrollBars::Both;
    const bool vertical = bars == ScrollBars::Vertical || bars == ScrollBars::Both;
    wrapRequested_ = !horizontal;
    applyWrapping(wrapRequested_);
    editor_->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    editor_->SendScintilla(QsciScintillaBase::SCI_SETVSCROLLBAR, vertical ? 1 : 0);
}

// Keys sent to the box itself (as tests do) reach the editor.
// A key the editor ignores propagates back to the box: the guard stops there.
void MultiLineTextBox::keyPressEvent(QKeyEvent *event)
{
    forwardKey(event);
}

void MultiLineTextBox::keyReleaseEvent(QKeyEvent *event)
{
    forwardKey(event);
}

void MultiLineTextBox::forwardKey(QKeyEvent *event)
{
    if (forwarding_) {
        event->ignore();
        return;
    }
    forwarding_ = true;
    QCoreApplication::sendEvent(editor_, event);
    forwarding_ = false;
}

bool MultiLineTextBox::eventFilter(QObject *watched, QEvent *event)
{
    // The editor keeps Tab for itself; here it moves the focus, so that a
    // person heading for the next control adds no tab to the text.
    if (watched == editor_ && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool tab = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (tab && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            const bool forward = key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier);
            focusNextPrevChild(forward);
            return true;
        }
        if (tab && key->modifiers() == Qt::ControlModifier) {
            editor_->SendScintilla(QsciScintillaBase::SCI_TAB);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MultiLineTextBox::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        editor_->setFont(font());
    QWidget::changeEvent(event);
}

void setUpCheckedEditor(QsciScintilla *editor, QsciLexer *lexer, const QString &widestNumber, int errorIndicator)
{
    editor->setUtf8(true);
    editor->setEolMode(QsciScintilla::EolWindows);
    editor->setLexer(lexer);
    editor->setAutoIndent(false);
    editor->setAutoCompletionSource(QsciScintilla::AcsNone);
    editor->setBraceMatching(QsciScintilla::NoBraceMatch);
    editor->setFolding(QsciScintilla::NoFoldStyle);
    editor->setWrapMode(QsciScintilla::WrapNone);
    // The horizontal scroll bar as wide as the longest line seen, not a fixed width.
    editor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
    editor->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    // Line numbers: messages name lines by their number.
    editor->setMarginType(0, QsciScintilla::NumberMargin);
    editor->setMarginWidth(0, widestNumber);
    editor->setMarginsFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    for (int margin = 1; margin < 5; ++margin)
        editor->setMarginWidth(margin, 0);
    editor->SendScintilla(QsciScintillaBase::SCI_INDICSETSTYLE, errorIndicator, QsciScintillaBase::INDIC_SQUIGGLE);
    editor->SendScintilla(QsciScintillaBase::SCI_INDICSETFORE, errorIndicator, QColor(Qt::red));
    editor->SendScintilla(QsciScintillaBase::SCI_SETMOUSEDWELLTIME, 400);
    undoByLineAndPause(editor);
}

} // namespace vordane
