#include "wordgen/fastexpression.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <utility>

namespace vordane {

FastExpression::FastExpression(const QString &pattern)
{
    int error = 0;
    PCRE2_SIZE offset = 0;
    code_ = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()), PCRE2_SIZE(pattern.size()), PCRE2_UTF,
                          &error, &offset, nullptr);
    if (!code_)
        return;
    // Without the compiler for this processor the interpreter matches.
    pcre2_jit_compile(code_, PCRE2_JIT_COMPLETE);
    data_ = pcre2_match_data_create_from_pattern(code_, nullptr);
    if (!data_) {
        pcre2_code_free(code_);
        code_ = nullptr;
    }
}

FastExpression::~FastExpression()
{
    pcre2_match_data_free(data_);
    pcre2_code_free(code_);
}

FastExpression::FastExpression(FastExpression &&other) noexcept
    : code_(std::exchange(other.code_, nullptr))
    , data_(std::exchange(other.data_, nullptr))
{
}

FastExpression &FastExpression::operator=(FastExpression &&other) noexcept
{
    std::swap(code_, other.code_);
    std::swap(data_, other.data_);
    return *this;
}

bool FastExpression::foundIn(QStringView text) const
{
    static const char16_t empty[1] = {0};
    const auto *subject = text.isEmpty() ? empty : text.utf16();
    const int result = pcre2_match(code_, reinterpret_cast<PCRE2_SPTR>(subject), PCRE2_SIZE(text.size()), 0,
                                   PCRE2_NO_UTF_CHECK, data_, nullptr);
    return result >= 0;
}

} // namespace vordane
