#pragma once

#include <QStringList>

class QIODevice;

namespace vordane {

// Exit statuses of the command line.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Runs one command line (arguments[0] is the program name): the subcommand
// does what its window does, through the same engine. Text results go to
// `out` as they are made, messages and usage to `err`, help and the version
// to `out`. A failed write to `out` (or an `out` that is not open) is a
// failure of the command.
int runCli(const QStringList &arguments, QIODevice &out, QIODevice &err);

} // namespace vordane
