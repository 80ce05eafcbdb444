#pragma once

#include <QString>
#include <QStringList>

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

} // namespace vordane
