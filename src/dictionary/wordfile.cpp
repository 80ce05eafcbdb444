#include "dictionary/wordfile.h"

#include "common/linereader.h"
#include "common/linewriter.h"

namespace vordane {

QString DictionaryEntry::toLine() const
{
    return left + kDictionarySeparator + right;
}

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

FileStatus writeWordList(const QString &path, const WordList &entries)
{
    return writeLines(path, entries);
}

} // namespace vordane
