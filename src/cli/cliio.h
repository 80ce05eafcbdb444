#pragma once

#include "cli/clirunner.h"
#include "common/linewriter.h"
#include "common/outcome.h"
#include "common/temporaryfile.h"

#include <QString>

#include <memory>

class QCommandLineParser;
class QIODevice;

namespace vordane {

// A usage error found while a command reads its options: exit status 2.
struct UsageError {
    QString message;
};

// Standard output and standard error of one command line.
class Io {
public:
    Io(QIODevice &out, QIODevice &err)
        : out_(out)
        , err_(err)
    {
    }

    QIODevice &out() { return out_; }
    void setVerbose(bool verbose) { verbose_ = verbose; }

    // Text for standard output (help, version); a failed write is a failure.
    int print(const QString &text);
    // A message on standard error.
    void message(const QString &text);
    int fail(const QString &text);
    // Success, told on standard error with --verbose.
    int done(const QString &text);
    int report(const Outcome &outcome, const QString &doneText);

private:
    QIODevice &out_;
    QIODevice &err_;
    bool verbose_ = false;
};

// Where a command's text goes: the file of --salida, written as the window's
// "Guardar" writes it (the text, then one CR LF) and replaced only on
// success; or standard output, as the text is made. With `holdBack`,
// standard output receives nothing unless the whole command succeeds (the
// text waits in a temporary file meanwhile, one without a name where the
// system allows it). An empty --salida is refused as an empty file name is
// everywhere.
class CommandOutput {
public:
    CommandOutput(Io &io, const QCommandLineParser &parser, bool holdBack = false);

    FileStatus open();
    LineWriter &writer() { return *writer_; }
    // Ends the text and hands it over.
    Outcome commit();

private:
    Io &io_;
    bool toFile_;
    QString file_;
    bool holdBack_;
    std::unique_ptr<TemporaryFile> spool_;
    std::unique_ptr<LineWriter> writer_;
};

} // namespace vordane
