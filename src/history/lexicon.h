#pragma once

#include "common/filestatus.h"

#include <QString>

#include <optional>

namespace vordane {

class LineSource;
class TextSink;

// What a lexicon's lines hold, and so which part of each evolves.
enum class LexiconKind {
    Language, // "código:significado:forma" (a .lan file): the form evolves
    Dictionary, // "izquierda = derecha": the right part evolves
    List, // a word on each line: the whole line evolves
};

// The kind a --formato value names ("lan", "dic", "lista").
std::optional<LexiconKind> lexiconKindNamed(const QString &name);
inline bool hasCodes(LexiconKind kind)
{
    return kind == LexiconKind::Language;
}
inline bool hasMeanings(LexiconKind kind)
{
    return kind != LexiconKind::List;
}

// Tells a lexicon's kind from its lines: a language file when every line
// that is not empty has at least two ":", a dictionary when every one
// holds " = ", a word list otherwise (also when every line is empty).
class LexiconKindDetector {
public:
    void line(QStringView line);
    void line(QByteArrayView bytes); // the line's bytes, in Windows-1252 or UTF-8
    // Whether the kind can no longer be anything but a word list.
    bool settled() const { return !language_ && !dictionary_; }
    LexiconKind kind() const;

private:
    template <typename View> void check(View line);
    bool language_ = true;
    bool dictionary_ = true;
    bool any_ = false;
};

// The kind of the lexicon in a file, read to its end (or until it can only
// be a word list).
FileStatus detectLexiconKind(const QString &path, LexiconKind &kind);
LexiconKind detectLexiconKind(LineSource &lines);

// One line of a lexicon.
struct LexiconEntry {
    QString code; // a language file's field 1
    QString meaning; // a language file's field 2, a dictionary line's left part
    QString form; // what evolves; the whole line when the line lacks the kind's shape
    QString rest; // of a language file's line, what follows field 3 (from its ":"), kept
    // False for a line without the kind's shape (an empty line of a
    // language file, a line without " = " in a dictionary): it is kept as
    // it stands and does not evolve.
    bool shaped = true;
};

// How an entry is named in messages: its meaning, or a word list's word.
const QString &entryLabel(const LexiconEntry &entry, LexiconKind kind);

// The fields of a lexicon line. A language line's fields are those the
// field function gives (Termino with ":").
LexiconEntry readLexiconEntry(const QString &line, LexiconKind kind);
// The line of the derived lexicon: the entry with `form` in place of its
// form (an unshaped line as it stands), then CR LF.
void writeLexiconEntry(TextSink &out, const LexiconEntry &entry, const QString &form, LexiconKind kind);
// The line without its line end.
QString lexiconLine(const LexiconEntry &entry, const QString &form, LexiconKind kind);

} // namespace vordane
