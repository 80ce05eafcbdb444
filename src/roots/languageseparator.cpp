#include "roots/languageseparator.h"

#include "common/atomicfile.h"
#include "common/linereader.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "roots/records.h"

#include <QDir>

namespace vordane {

Outcome separateLanguage(const QString &languagePath, const QString &wordsPath, const QString &dictionaryPath,
                         CaseOption wordsCase, CaseOption dictionaryCase)
{
    return guardMemory([&]() -> Outcome {
        LineReader language(languagePath);
        if (const FileStatus status = language.open(); !status.ok())
            return status;
        if (!wordsPath.isEmpty() && sameFile(wordsPath, dictionaryPath))
            return Outcome::failure(messages::sameOutputs(QDir::toNativeSeparators(wordsPath)));
        LineWriter words(wordsPath);
        if (const FileStatus status = words.open(); !status.ok())
            return status;
        LineWriter dictionary(dictionaryPath);
        if (const FileStatus status = dictionary.open(); !status.ok())
            return status;

        while (!language.atEnd()) {
            const LanguageEntry entry = LanguageEntry::parse(language.readLine());
            words.writeLine(applyCase(entry.word, wordsCase));
            dictionary.writeLine(applyCase(entry.form, dictionaryCase));
        }
        if (!language.status().ok())
            return language.status();
        language.close();
        return commitAll({&words, &dictionary});
    });
}

} // namespace vordane
