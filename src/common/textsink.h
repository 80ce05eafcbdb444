#pragma once

#include <QString>
#include <QStringView>

#include <algorithm>

namespace vordane {

// Where an engine puts the text it produces, piece by piece: a text being
// built for a text box, or a file or standard output written as it goes.
class TextSink {
public:
    virtual ~TextSink() = default;
    virtual void append(QStringView text) = 0;
};

// Builds the text in memory, refusing to grow past a limit (the text then
// stays as it was and overflowed() is true).
class StringSink final : public TextSink {
public:
    explicit StringSink(qsizetype limit)
        : limit_(limit)
    {
    }

    void append(QStringView text) override
    {
        if (overflowed_ || text.size() > limit_ - text_.size()) {
            overflowed_ = true;
            return;
        }
        text_.append(text);
    }

    void reserve(qsizetype size) { text_.reserve(std::min(size, limit_)); }
    bool overflowed() const { return overflowed_; }
    QString take() { return std::move(text_); }
    const QString &text() const { return text_; }

private:
    QString text_;
    qsizetype limit_;
    bool overflowed_ = false;
};

} // namespace vordane
