#include "wordgen/definitioneditor.h"


#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>
#include <QFontDatabase>

#include <array>
#include <vector>

namespace vordane {

namespace {

// Bytes of a UTF-16 unit in the editor's UTF-8 text (a surrogate pair is four).
int utf8Size(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x80 ? 1 : u < 0x800 || c.isSurrogate() ? 2 : 3;
}

bool isCapital(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

QString withoutLineEnd(QString text)
{
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

qsizetype firstNonSpace(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (!line.at(i).isSpace())
            return i;
    }
    return -1;
}

// "@cambios" alone: the lines below it are rules.
bool startsInlineChanges(const QString &line)
{
    return line.trimmed() == QStringLiteral("@cambios");
}

} // namespace

class DefinitionLexer final : public QsciLexerCustom {
public:
    explicit DefinitionLexer(QObject *parent)
        : QsciLexerCustom(parent)
    {
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        setDefaultFont(font);
        QFont bold = font;
        bold.setBold(true);
        QFont italic = font;
        italic.setItalic(true);
        using E = DefinitionEditor;
        const std::array<std::pair<QColor, const QFont *>, E::kStyleCount> looks{{
            {QColor(0x20, 0x20, 0x20), &font}, // default
            {QColor(0x70, 0x70, 0x70), &italic}, // comment
            {QColor(0x00, 0x64, 0x00), &bold}, // category
            {QColor(0x00, 0x00, 0x80), &bold}, // directive
            {QColor(0x70, 0x30, 0xa0), &font}, // weight
            {QColor(0xa0, 0x00, 0x60), &bold}, // ( ) { } | ? = ,
            {QColor(0x50, 0x50, 0x50), &italic}, // \c
            {QColor(0x00, 0x50, 0x90), &font}, // sound changes
        }};
        for (int style = 0; style < E::kStyleCount; ++style) {
            setColor(looks[std::size_t(style)].first, style);
            setFont(*looks[std::size_t(style)].second, style);
        }
    }

    const char *language() const override { return "VordaneGen"; }
    QString description(int style) const override
    {
        static const char *const names[DefinitionEditor::kStyleCount] = {
            "Texto", "Comentario", "Categoría", "Directiva", "Peso", "Operador", "Escapado", "Cambios"};
        return style >= 0 && style < DefinitionEditor::kStyleCount ? QString::fromUtf8(names[style]) : QString();
    }

    void styleText(int start, int end) override
    {
        QsciScintilla *ed = editor();
        if (!ed)
            return;
        const int firstLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
        const int lastLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
        bool changes = false;
        for (int line = 0; line < firstLine && !changes; ++line)
            changes = startsInlineChanges(ed->text(line));
        startStyling(int(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstLine)));
        for (int line = firstLine; line <= lastLine; ++line) {
            const QString text = ed->text(line);
            std::vector<int> styles(std::size_t(text.size()), DefinitionEditor::kDefault);
            styleLine(withoutLineEnd(text), styles, changes);
            if (!changes)
                changes = startsInlineChanges(text);
            for (qsizetype i = 0; i < text.size();) {
                const int style = styles[std::size_t(i)];
                int bytes = 0;
                for (; i < text.size() && styles[std::size_t(i)] == style; ++i)
                    bytes += utf8Size(text.at(i));
                setStyling(bytes, style);
            }
        }
    }

private:
    static void styleLine(const QString &text, std::vector<int> &styles, bool changes)
    {
        using E = DefinitionEditor;
        const qsizetype first = firstNonSpace(text);
        if (first < 0)
            return;
        if (text.at(first) == u';') {
            std::fill(styles.begin(), styles.begin() + text.size(), int(E::kComment));
            return;
        }
        if (changes) {
            std::fill(styles.begin(), styles.begin() + text.size(), int(E::kRules));
            return;
        }
        qsizetype at = first;
        bool expression = false;
        if (text.at(first) == u'@') {
            while (at < text.size() && !text.at(at).isSpace())
                styles[std::size_t(at++)] = E::kDirective;
            expression = text.mid(first, at - first) == QStringLiteral("@rechazar");
        } else if (isCapital(text.at(first))) {
            const qsizetype equals = text.indexOf(u'=', first);
            if (equals > 0 && text.mid(first + 1, equals - first - 1).trimmed().isEmpty()) {
                styles[std::size_t(first)] = E::kCategory;
                styles[std::size_t(equals)] = E::kOperator;
                at = equals + 1;
            }
        }
        for (qsizetype i = at; i < text.size(); ++i) {
            const QChar c = text.at(i);
            if (c == u'\\' && i + 1 < text.size()) {
                styles[std::size_t(i)] = E::kEscape;
                styles[std::size_t(++i)] = E::kEscape;
            } else if (expression) {
                // In a regular expression only "{X}" is the definition's own.
                if (c == u'{' && i + 2 < text.size() && isCapital(text.at(i + 1)) && text.at(i + 2) == u'}') {
                    styles[std::size_t(i)] = E::kOperator;
                    styles[std::size_t(i + 1)] = E::kCategory;
                    styles[std::size_t(i + 2)] = E::kOperator;
                    i += 2;
                }
            } else if (c == u':' || (c == u'?' && i > at)) {
                styles[std::size_t(i)] = c == u':' ? E::kWeight : E::kOperator;
                while (i + 1 < text.size() && (text.at(i + 1).isDigit() || text.at(i + 1) == u'.'))
                    styles[std::size_t(++i)] = E::kWeight;
            } else if (c == u'(' || c == u')' || c == u'{' || c == u'}' || c == u'|' || c == u',' || c == u'-') {
                styles[std::size_t(i)] = E::kOperator;
            } else if (isCapital(c)) {
                styles[std::size_t(i)] = E::kCategory;
            }
        }
    }
};

DefinitionEditor::DefinitionEditor(QWidget *parent)
    : CheckedEditor(Underline::FromFault, parent)
    , lexer_(new DefinitionLexer(this))
{
    setUp(lexer_, QStringLiteral("9999"));
}

DefinitionEditor::~DefinitionEditor() = default;

} // namespace vordane
