#pragma once

#include "common/filestatus.h"

#include <QString>

#include <new>
#include <utility>

namespace vordane {

// How an operation ended: it succeeded, or a Spanish message says what went
// wrong. Every engine reports through this one shape; the windows show the
// message in a warning box and the command line prints it.
class Outcome {
public:
    Outcome() = default; // success
    // A file status is an outcome: its message, or success.
    Outcome(const FileStatus &status) // NOLINT(google-explicit-constructor)
        : message_(status.message())
    {
    }

    static Outcome failure(QString message)
    {
        Outcome outcome;
        outcome.message_ = std::move(message);
        return outcome;
    }
    static Outcome outOfMemory();

    bool ok() const { return message_.isEmpty(); }
    const QString &message() const { return message_; }

private:
    QString message_;
};

// Runs an engine step and turns an exhausted memory into a failed outcome,
// so that no std::bad_alloc ever reaches the user.
template <typename Function> Outcome guardMemory(Function &&function)
{
    try {
        return std::forward<Function>(function)();
    } catch (const std::bad_alloc &) {
        return Outcome::outOfMemory();
    }
}

} // namespace vordane
