#include "dictionary/wordfile.h"

#include "common/linereader.h"

namespace vordane {

FileStatus readWordList(const QString &path, WordList &entries)
{
    LineReader reader(path);
    FileStatus status = reader.open();
    if (!status.ok())
        return status;
    WordList read;
    while (!reader.atEnd())
        read.append(reader.readLine());
    if (!reader.status().ok())
        return reader.status();
    entries = std::move(read);
    return status;
}

} // namespace vordane
