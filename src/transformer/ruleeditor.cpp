#include "transformer/ruleeditor.h"

#include "common/linesource.h"

#include <Qsci/qscilexercustom.h>

#include <QColor>
#include <QFont>
#include <QFontDatabase>

#include <array>
#include <vector>

namespace vordane {

namespace {

enum Style {
    kDefault,
    kComment,
    kDefinition,
    kArrow,
    kSlash,
    kPlace,
    kEdge,
    kChance,
    kMarker,
    kCategory,
    kBracket, // [ ] ( )
    kOperator, // * + ! … $n &
    kEscape, // \c
    kOption, // {secuencial}
    kStyleCount
};

// Bytes of a UTF-16 unit in the editor's UTF-8 text (a surrogate pair is four).
int utf8Size(QChar c)
{
    const char16_t u = c.unicode();
    return u < 0x80 ? 1 : u < 0x800 || c.isSurrogate() ? 2 : 3;
}

bool isCategoryName(QChar c)
{
    return c >= u'A' && c <= u'Z';
}

// Where the first character other than a space stands, or -1.
qsizetype firstNonSpace(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) != u' ' && line.at(i) != u'\r' && line.at(i) != u'\n')
            return i;
    }
    return -1;
}

// "X=" (spaces aside): the category's letter, or 0.
QChar definedName(const QString &line)
{
    const qsizetype at = firstNonSpace(line);
    if (at < 0 || !isCategoryName(line.at(at)))
        return QChar();
    for (qsizetype i = at + 1; i < line.size(); ++i) {
        if (line.at(i) != u' ')
            return line.at(i) == u'=' ? line.at(at) : QChar();
    }
    return QChar();
}

} // namespace

// Colours the notation of each line; a list whose first line is the marker
// is in the extended notation, any other in the plain one.
class RuleLexer final : public QsciLexerCustom {
public:
    explicit RuleLexer(QObject *parent)
        : QsciLexerCustom(parent)
    {
        QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        setDefaultFont(font);
        QFont bold = font;
        bold.setBold(true);
        QFont italic = font;
        italic.setItalic(true);
        const std::array<std::pair<QColor, const QFont *>, kStyleCount> looks{{
            {QColor(0x20, 0x20, 0x20), &font}, // default
            {QColor(0x70, 0x70, 0x70), &italic}, // comment
            {QColor(0x80, 0x00, 0x80), &font}, // definition
            {QColor(0x00, 0x00, 0xc0), &bold}, // >
            {QColor(0x00, 0x70, 0x70), &bold}, // /
            {QColor(0xb0, 0x50, 0x00), &bold}, // _
            {QColor(0xc0, 0x00, 0x00), &bold}, // #
            {QColor(0x70, 0x30, 0xa0), &bold}, // ?N
            {QColor(0x00, 0x00, 0x80), &bold}, // @ampliada
            {QColor(0x00, 0x64, 0x00), &font}, // a category
            {QColor(0x00, 0x64, 0x00), &bold}, // brackets
            {QColor(0xa0, 0x00, 0x60), &bold}, // operators
            {QColor(0x50, 0x50, 0x50), &italic}, // an escaped character
            {QColor(0x00, 0x50, 0x90), &italic}, // options
        }};
        for (int style = 0; style < kStyleCount; ++style) {
            setColor(looks[std::size_t(style)].first, style);
            setFont(*looks[std::size_t(style)].second, style);
        }
    }

    const char *language() const override { return "Vordane"; }
    QString description(int style) const override
    {
        static const char *const names[kStyleCount] = {
            "Texto",    "Comentario",          "Categoría", "Flecha",     "Barra",       "Lugar",    "Borde",
            "Probabilidad", "Ampliada", "Nombre de categoría", "Corchetes", "Operadores", "Escapado", "Opciones"};
        return style >= 0 && style < kStyleCount ? QString::fromUtf8(names[style]) : QString();
    }

    void styleText(int start, int end) override
    {
        QsciScintilla *ed = editor();
        if (!ed)
            return;
        const int firstLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, start));
        const int lastLine = int(ed->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, end));
        const bool extended = trimmedLine(ed, 0) == kExtendedMarker;
        // The categories defined above the first line to colour.
        std::array<bool, 26> defined{};
        if (extended) {
            for (int line = 1; line < firstLine; ++line) {
                if (const QChar name = definedName(ed->text(line)); !name.isNull())
                    defined[std::size_t(name.unicode() - u'A')] = true;
            }
        }
        startStyling(int(ed->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, firstLine)));
        for (int line = firstLine; line <= lastLine; ++line) {
            const QString text = ed->text(line);
            std::vector<int> styles(std::size_t(text.size()), kDefault);
            if (extended)
                styleExtended(line, text, styles, defined);
            else
                stylePlain(text, styles);
            // Runs of one style, measured in the editor's bytes.
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
    static QString trimmedLine(QsciScintilla *ed, int line)
    {
        QString text = ed->text(line);
        while (text.endsWith(u'\n') || text.endsWith(u'\r'))
            text.chop(1);
        return text;
    }

    static void stylePlain(const QString &text, std::vector<int> &styles)
    {
        const qsizetype arrow = text.indexOf(u'>');
        if (arrow < 0) { // no rule: it does nothing
            std::fill(styles.begin(), styles.end(), int(kComment));
            return;
        }
        styles[std::size_t(arrow)] = kArrow;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.at(i) == u'#')
                styles[std::size_t(i)] = kEdge;
        }
    }

    static void styleExtended(int line, const QString &text, std::vector<int> &styles, std::array<bool, 26> &defined)
    {
        const qsizetype first = firstNonSpace(text);
        if (line == 0) {
            std::fill(styles.begin(), styles.end(), int(kMarker));
            return;
        }
        if (first < 0 || text.at(first) == u';') {
            std::fill(styles.begin(), styles.end(), int(kComment));
            return;
        }
        if (const QChar name = definedName(text); !name.isNull()) {
            std::fill(styles.begin(), styles.end(), int(kDefinition));
            styles[std::size_t(first)] = kCategory;
            defined[std::size_t(name.unicode() - u'A')] = true;
            return;
        }
        if (text.at(first) == u'@') { // a directive
            std::fill(styles.begin(), styles.end(), int(kMarker));
            return;
        }
        bool chance = false;
        bool option = false;
        bool bracket = false; // inside "[...]"
        QChar previous; // the last character other than a space
        for (qsizetype i = 0; i < text.size(); previous = text.at(i) == u' ' ? previous : text.at(i), ++i) {
            const QChar c = text.at(i);
            int style = kDefault;
            if (c == u'\\' && i + 1 < text.size()) {
                styles[std::size_t(i)] = kEscape;
                styles[std::size_t(++i)] = kEscape;
                continue;
            }
            if (c == u'{')
                option = true;
            if (option) {
                styles[std::size_t(i)] = kOption;
                option = c != u'}';
                continue;
            }
            if (c == u'?')
                chance = true;
            if (chance && c != u' ' && c != u'\r' && c != u'\n')
                style = kChance;
            else if (chance)
                chance = false;
            else if (c == u'[' || c == u']' || c == u'(' || c == u')') {
                style = kBracket;
                bracket = c == u'[' || (bracket && c != u']');
            } else if (c == u'-' && bracket && (previous == u'[' || previous == u','))
                style = kOperator; // a value's sign in a matrix, "[-nasal]", as its "+"
            else if (c == u'*' || c == u'+' || c == u'!' || c == u'\u2026' || c == u'.'
                     || (c == u'&' && i == first))
                style = kOperator;
            else if (c == u'$' && i + 1 < text.size() && text.at(i + 1).isDigit()) {
                styles[std::size_t(i)] = kOperator;
                styles[std::size_t(++i)] = kOperator;
                continue;
            } else if (c == u'$' && i + 1 < text.size() && text.at(i + 1).isLetter()) {
                // A feature variable, "$lugar", coloured as a capture is.
                styles[std::size_t(i)] = kOperator;
                while (i + 1 < text.size() && (text.at(i + 1).isLetter() || text.at(i + 1).isMark()))
                    styles[std::size_t(++i)] = kOperator;
                continue;
            } else if (c == u'>')
                style = kArrow;
            else if (c == u'/')
                style = kSlash;
            else if (c == u'_')
                style = kPlace;
            else if (c == u'#')
                style = kEdge;
            else if (isCategoryName(c) && defined[std::size_t(c.unicode() - u'A')])
                style = kCategory;
            styles[std::size_t(i)] = style;
        }
    }
};

RuleEditor::RuleEditor(QWidget *parent)
    : CheckedEditor(Underline::WholeLine, parent)
    , lexer_(new RuleLexer(this))
{
    setUp(lexer_, QStringLiteral("99999"));
}

RuleEditor::~RuleEditor() = default;

QStringList RuleEditor::rules() const
{
    const QString all = text();
    TextLineSource lines(all);
    QStringList rules;
    while (!lines.atEnd())
        rules.append(lines.readLine());
    return rules;
}

void RuleEditor::setRules(const QStringList &rules)
{
    setText(rules.join(QStringLiteral("\r\n")));
}

} // namespace vordane
