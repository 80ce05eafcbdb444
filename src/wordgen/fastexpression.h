#pragma once

#include <QString>
#include <QStringView>

struct pcre2_real_code_16;
struct pcre2_real_match_data_16;

namespace vordane {

// A regular expression of QRegularExpression's syntax (the same library
// underneath), compiled once and matched without allocating anything: a
// word generator tests every word it draws against its filters, and Qt's
// own match object costs far more than matching a short word. One object
// serves one thread at a time.
class FastExpression {
public:
    // `pattern` must have been accepted by QRegularExpression.
    explicit FastExpression(const QString &pattern);
    ~FastExpression();
    FastExpression(FastExpression &&other) noexcept;
    FastExpression &operator=(FastExpression &&other) noexcept;
    FastExpression(const FastExpression &) = delete;
    FastExpression &operator=(const FastExpression &) = delete;

    bool isValid() const { return code_ != nullptr; }
    // Whether it matches anywhere in `text` (valid UTF-16).
    bool foundIn(QStringView text) const;

private:
    pcre2_real_code_16 *code_ = nullptr;
    pcre2_real_match_data_16 *data_ = nullptr;
};

} // namespace vordane
