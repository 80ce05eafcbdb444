#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <algorithm>

namespace vordane {

// A sequence of lines read one at a time: a file (LineReader) or a list.
class LineSource {
public:
    virtual ~LineSource() = default;
    virtual bool atEnd() = 0;
    virtual QString readLine() = 0;
};

class StringListSource final : public LineSource {
public:
    explicit StringListSource(QStringList lines)
        : lines_(std::move(lines))
    {
    }
    bool atEnd() override { return next_ >= lines_.size(); }
    QString readLine() override { return atEnd() ? QString() : lines_.at(next_++); }

private:
    QStringList lines_;
    qsizetype next_ = 0;
};

// The lines of a text held in memory, cut as a file's lines are: at CR LF,
// a lone CR or a lone LF; a final line end adds no line. The text must
// outlive the source.
class TextLineSource final : public LineSource {
public:
    explicit TextLineSource(QStringView text)
        : text_(text)
    {
    }
    bool atEnd() override { return next_ >= text_.size(); }
    QString readLine() override
    {
        if (atEnd())
            return QString();
        qsizetype end = next_;
        while (end < text_.size() && text_[end] != u'\r' && text_[end] != u'\n')
            ++end;
        const QString line = text_.sliced(next_, end - next_).toString();
        next_ = end < text_.size() && text_[end] == u'\r' && end + 1 < text_.size() && text_[end + 1] == u'\n'
            ? end + 2
            : end + 1;
        return line;
    }
    // How much of the text has been read, in characters.
    qsizetype position() const { return std::min(next_, text_.size()); }

private:
    QStringView text_;
    qsizetype next_ = 0;
};

} // namespace vordane
