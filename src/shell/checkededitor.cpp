#include "shell/checkededitor.h"

#include "shell/multilinetextbox.h"

#include <QKeyEvent>
#include <QToolTip>

#include <algorithm>

namespace vordane {

namespace {

// Bytes of a UTF-16 unit in the editor's UTF-8 text (a surrogate pair is four).
int utf8Size(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x80 ? 1 : u < 0x800 || c.isSurrogate() ? 2 : 3;
}

} // namespace

CheckedEditor::CheckedEditor(Underline underline, QWidget *parent)
    : QsciScintilla(parent)
    , underline_(underline)
{
}

void CheckedEditor::setUp(QsciLexer *lexer, const QString &widestNumber)
{
    setUpCheckedEditor(this, lexer, widestNumber, kErrorIndicator);
    connect(this, &QsciScintillaBase::SCN_DWELLSTART, this, &CheckedEditor::showErrorTip);
    connect(this, &QsciScintillaBase::SCN_DWELLEND, this, [] { QToolTip::hideText(); });
}

int CheckedEditor::positionOf(int line, int index) const
{
    return int(SendScintilla(SCI_FINDCOLUMN, line, index));
}

void CheckedEditor::setErrors(const QList<RuleError> &errors)
{
    errors_.clear();
    const int length = int(SendScintilla(SCI_GETLENGTH));
    SendScintilla(SCI_SETINDICATORCURRENT, kErrorIndicator);
    SendScintilla(SCI_INDICATORCLEARRANGE, 0, length);
    for (const RuleError &error : errors) {
        const int line = int(error.line);
        if (errors_.contains(line))
            continue;
        errors_.insert(line, error.message());
        const int lineStart = int(SendScintilla(SCI_POSITIONFROMLINE, line));
        const int to = int(SendScintilla(SCI_GETLINEENDPOSITION, line));
        // From the fault to the end of the line, the place the message names
        // stands out (a position past the line's text: the whole line).
        int from = lineStart;
        if (underline_ == Underline::FromFault) {
            const QString text = this->text(line);
            for (qsizetype i = 0; i < std::min<qsizetype>(error.position - 1, text.size()); ++i)
                from += utf8Size(text.at(i));
            if (from >= to)
                from = lineStart;
        }
        if (to > from)
            SendScintilla(SCI_INDICATORFILLRANGE, from, to - from);
    }
}

bool CheckedEditor::underlinedAt(int position) const
{
    return SendScintilla(SCI_INDICATORVALUEAT, kErrorIndicator, position) != 0;
}

void CheckedEditor::keyPressEvent(QKeyEvent *event)
{
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab && !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    QsciScintilla::keyPressEvent(event);
}

void CheckedEditor::showErrorTip(int position, int x, int y)
{
    if (position < 0)
        return;
    const QString message = errorOnLine(int(SendScintilla(SCI_LINEFROMPOSITION, position)));
    if (!message.isEmpty())
        QToolTip::showText(viewport()->mapToGlobal(QPoint(x, y)), message, viewport());
}

} // namespace vordane
