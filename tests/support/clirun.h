#pragma once

#include "cli/clirunner.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace vordane::test {

// What a run of the command line in this process gave.
struct CliRun {
    int status;
    QByteArray out;
    QString err;
};

// Runs `vordane-cli ARGS...` in this process, its outputs caught.
inline CliRun runCliHere(const QStringList &args)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int status = runCli(QStringList{QStringLiteral("vordane-cli")} + args, out, err);
    return {status, out.data(), QString::fromUtf8(err.data())};
}

} // namespace vordane::test
