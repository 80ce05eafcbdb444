#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#if defined(__unix__)
#include <sys/resource.h>
#endif

// Input files for the benchmarks, made once per process in a temporary folder.
namespace vordane::bench {

inline const QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString path(const char *name)
{
    return folder().filePath(QLatin1String(name));
}

// Writes `count` lines, line(i) for each (without the line end), CR LF after
// each; returns the file's path, or the empty text when it cannot be written.
template <typename Line> QString makeFile(const char *name, qint64 count, Line line)
{
    const QString file = path(name);
    if (QFile::exists(file))
        return file;
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    QByteArray chunk;
    for (qint64 i = 0; i < count; ++i) {
        chunk += line(i);
        chunk += "\r\n";
        if (chunk.size() > (1 << 20)) {
            if (out.write(chunk) != chunk.size())
                return QString();
            chunk.clear();
        }
    }
    return out.write(chunk) == chunk.size() ? file : QString();
}

// Runs the benchmarks, then prints the process's peak memory (every tool
// streams: it should not grow with the files).
inline int runReportingPeakMemory(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
#if defined(__unix__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory: %.1f MB\n", double(usage.ru_maxrss) / 1024.0);
#endif
    return 0;
}

} // namespace vordane::bench
