#include "roots/languageseparator.h"

#include "common/linereader.h"
#include "common/linewriter.h"
#include "roots/termino.h"

namespace vordane {

FileStatus separateLanguage(const QString &languagePath, const QString &wordsPath, const QString &dictionaryPath,
                            CaseOption wordsCase, CaseOption dictionaryCase)
{
    LineReader language(languagePath);
    FileStatus status = language.open();
    if (!status.ok())
        return status;
    LineWriter words(wordsPath);
    status = words.open();
    if (!status.ok())
        return status;
    LineWriter dictionary(dictionaryPath);
    status = dictionary.open();
    if (!status.ok())
        return status;

    const QString colon = QStringLiteral(":");
    while (!language.atEnd()) {
        const QString line = language.readLine();
        words.writeLine(applyCase(Termino(line, colon, 2), wordsCase));
        dictionary.writeLine(applyCase(Termino(line, colon, 3), dictionaryCase));
    }
    if (!language.status().ok())
        return language.status();
    status = dictionary.commit();
    if (!status.ok())
        return status;
    return words.commit();
}

} // namespace vordane
