#include "common/blanks.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/randomsource.h"
#include "roots/languagegenerator.h"
#include "roots/languageseparator.h"
#include "roots/records.h"
#include "roots/rootfile.h"
#include "roots/termino.h"
#include "testfiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

Q_DECLARE_METATYPE(vordane::RootRecord)

class tst_RootsEngine : public QObject {
    Q_OBJECT
private slots:
    void init();

    void termino_data();
    void termino();
    void terq_countsPieces();
    void records_parseAndFormat();

    void saveRoot_newAndReplaced();
    void saveRoot_colonsShiftFields();
    void saveRoot_keepsFilesIntact();
    void saveRoot_refusesLineBreaksInFields_data();
    void saveRoot_refusesLineBreaksInFields();
    void saveRoot_appendKeepsEveryEarlierByte();
    void saveRoot_markedFileWithAStrayByte();
    void lookUp_byCodeAndWord();

    void generate_examples_data();
    void generate_examples();
    void generate_temporaryCopy();
    void generate_wordListRunsOut();
    void generate_failuresWriteNothing();
    void generate_runawayFormsStopWithAMessage();
    void generate_largeFileMatchesReference();

    void separate_fieldsAndCase();
    void separate_failuresWriteNothing();
    void separate_sameOutputTwiceIsRefused();

private:
    QString file(const QString &name) const { return dir_->filePath(name); }
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_RootsEngine::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
}

void tst_RootsEngine::termino_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<qint64>("number");
    QTest::addColumn<QString>("field");
    QTest::newRow("second of three") << "ab:cd:ef"
                                     << ":" << qint64(2) << "cd";
    QTest::newRow("third of two") << "ab:cd"
                                  << ":" << qint64(3) << "";
    QTest::newRow("no separator") << "ab"
                                  << ":" << qint64(1) << "ab";
    QTest::newRow("after final separator") << "ab:"
                                           << ":" << qint64(2) << "";
    QTest::newRow("plus, third") << "#a+*+x"
                                 << "+" << qint64(3) << "x";
    QTest::newRow("number 0 gives the first") << "ab:cd"
                                              << ":" << qint64(0) << "ab";
    QTest::newRow("negative number") << "ab:cd"
                                     << ":" << qint64(-7) << "ab";
    QTest::newRow("empty fields") << "::x"
                                  << ":" << qint64(3) << "x";
    QTest::newRow("text after fourth colon") << "a:b:c:1:extra"
                                             << ":" << qint64(4) << "1";
    QTest::newRow("multi-character separator") << "a = b = c"
                                               << " = " << qint64(2) << "b";
    QTest::newRow("overlapping separator") << "a::::b"
                                           << "::" << qint64(3) << "b";
    QTest::newRow("huge number") << "a:b"
                                 << ":" << qint64(1) << "a";
    QTest::newRow("far beyond the end") << "a:b"
                                        << ":" << std::numeric_limits<qint64>::max() << "";
    QTest::newRow("empty separator") << "abc"
                                     << "" << qint64(1) << "";
    QTest::newRow("empty source") << ""
                                  << ":" << qint64(1) << "";
    QTest::newRow("blanks kept") << " a : b "
                                 << ":" << qint64(2) << " b ";
}

void tst_RootsEngine::termino()
{
    QFETCH(QString, source);
    QFETCH(QString, separator);
    QFETCH(qint64, number);
    QFETCH(QString, field);
    QCOMPARE(Termino(source, separator, number), field);
}

void tst_RootsEngine::terq_countsPieces()
{
    QCOMPARE(terq(QStringLiteral("#ag1+in"), QLatin1Char('+')), 2);
    QCOMPARE(terq(QStringLiteral(""), QLatin1Char('+')), 1);
    QCOMPARE(terq(QStringLiteral("++"), QLatin1Char('+')), 3);
    QCOMPARE(terq(QStringLiteral("abc"), QLatin1Char('+')), 1);
}

void tst_RootsEngine::records_parseAndFormat()
{
    const RootRecord root = RootRecord::parse(QStringLiteral("Ag1:Agua:*:1"));
    QCOMPARE(root, (RootRecord{"Ag1", "Agua", "*", "1"}));
    QCOMPARE(root.lowercased().toLine(), QStringLiteral("ag1:agua:*:1"));
    QCOMPARE(RootRecord::parse(QStringLiteral("x")), (RootRecord{"x", "", "", ""}));
    QCOMPARE(LanguageEntry::parse(QStringLiteral("ag1:agua:sul ")), (LanguageEntry{"ag1", "agua", "sul "}));
    QCOMPARE(temporaryCopyName(QStringLiteral("raices.rad")), QStringLiteral("raices.rad.tmp"));
}

void tst_RootsEngine::saveRoot_newAndReplaced()
{
    const QString rad = file("raices.rad");
    QVERIFY(ensureRootFile(rad).ok());
    QCOMPARE(readBytes(rad), QByteArray());
    QVERIFY(saveRoot(rad, {"Ag1", "Agua", "*", "1"}).ok());
    QCOMPARE(readBytes(rad), QByteArray("ag1:agua:*:1\r\n"));
    QVERIFY(!QFile::exists(file("raices.rad.tmp")));
    QVERIFY(saveRoot(rad, {"fu1", QString::fromUtf8("FUEGO Ñ"), "*", "1"}).ok());
    QVERIFY(saveRoot(rad, {"ti1", "tierra", "*", "1"}).ok());
    const QByteArray before = readBytes(rad);
    QCOMPARE(before, QByteArray("ag1:agua:*:1\r\nfu1:fuego \xf1:*:1\r\nti1:tierra:*:1\r\n"));

    // The same code in other letters replaces the line in place; the copy holds the old file.
    QVERIFY(saveRoot(rad, {"FU1", "Llama", "#ag1+x", "2"}).ok());
    QCOMPARE(readBytes(rad), QByteArray("ag1:agua:*:1\r\nfu1:llama:#ag1+x:2\r\nti1:tierra:*:1\r\n"));
    QCOMPARE(readBytes(file("raices.rad.tmp")), before);

    // A file whose last line has no line end: the new root starts a line of its own.
    QVERIFY(writeBytes(rad, "a:b:c:1"));
    QVERIFY(saveRoot(rad, {"d", "e", "f", "1"}).ok());
    QCOMPARE(readBytes(rad), QByteArray("a:b:c:1\r\nd:e:f:1\r\n"));

    // A root that does not fit Windows-1252 turns the file into UTF-8, nothing lost.
    QVERIFY(saveRoot(rad, {"n1", QString::fromUtf8("ŋa"), "*", "1"}).ok());
    QCOMPARE(readBytes(rad),
             QByteArray("\xef\xbb\xbf"
                        "a:b:c:1\r\nd:e:f:1\r\nn1:\xc5\x8b"
                        "a:*:1\r\n"));
    QVERIFY(saveRoot(rad, {"n2", QString::fromUtf8("ñ"), "*", "1"}).ok());
    QVERIFY(readBytes(rad).endsWith("n2:\xc3\xb1:*:1\r\n"));
    QVERIFY(saveRoot(rad, {"D", "g", "h", "3"}).ok());
    QVERIFY(readBytes(rad).startsWith("\xef\xbb\xbf"
                                      "a:b:c:1\r\nd:g:h:3\r\n"));
}

void tst_RootsEngine::saveRoot_colonsShiftFields()
{
    const QString rad = file("c.rad");
    QVERIFY(ensureRootFile(rad).ok());
    QVERIFY(saveRoot(rad, {"x1", "a:b", "*", "1"}).ok());
    QCOMPARE(readBytes(rad), QByteArray("x1:a:b:*:1\r\n"));
    const RootLookup lookup = lookUpRoot(rad, RootKey::Code, QStringLiteral("x1"));
    QVERIFY(lookup.found);
    QCOMPARE(*lookup.found, (RootRecord{"x1", "a", "b", "*"}));
}

void tst_RootsEngine::saveRoot_keepsFilesIntact()
{
    const auto failure = [](FileError error, const QString &path) {
        return FileStatus::failure(error, path).message();
    };
    QCOMPARE(saveRoot(QString(), {"a", "b", "c", "1"}).message(), failure(FileError::EmptyName, QString()));
    QCOMPARE(saveRoot(file("missing.rad"), {"a", "b", "c", "1"}).message(),
             failure(FileError::NotFound, file("missing.rad")));
    QVERIFY(!QFile::exists(file("missing.rad")));
    QCOMPARE(ensureRootFile(QString()).error, FileError::EmptyName);
    QCOMPARE(ensureRootFile(file("no/dir.rad")).error, FileError::CreateFailed);

    // A copy that cannot be made (a folder in its place) leaves the root file as it was.
    const QString rad = file("r.rad");
    QVERIFY(writeBytes(rad, "a:b:c:1\r\n"));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("r.rad.tmp")));
    QCOMPARE(saveRoot(rad, {"a", "z", "z", "1"}).message(), failure(FileError::IsDirectory, rad + ".tmp"));
    QCOMPARE(readBytes(rad), QByteArray("a:b:c:1\r\n"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"r.rad"});
}

void tst_RootsEngine::saveRoot_refusesLineBreaksInFields_data()
{
    QTest::addColumn<RootRecord>("root");
    QTest::addColumn<QString>("field");
    QTest::newRow("word forging a second root") << RootRecord{"x1", "fuego\r\nzz9:falso", "*", "1"} << "Palabra";
    QTest::newRow("code with LF") << RootRecord{"x\n1", "a", "*", "1"} << QString::fromUtf8("Código");
    QTest::newRow("value with CR") << RootRecord{"x1", "a", "*\r", "1"} << "Valor";
    QTest::newRow("level with LF") << RootRecord{"x1", "a", "*", "1\n2"} << "Nivel";
}

void tst_RootsEngine::saveRoot_refusesLineBreaksInFields()
{
    QFETCH(RootRecord, root);
    QFETCH(QString, field);
    const QString rad = file("r.rad");
    QVERIFY(writeBytes(rad, "x1:old:*:1\r\n"));
    QCOMPARE(saveRoot(rad, root).message(), messages::fieldWithLineBreak(field));
    QCOMPARE(readBytes(rad), QByteArray("x1:old:*:1\r\n"));
    QVERIFY(!QFile::exists(rad + ".tmp"));
}

void tst_RootsEngine::saveRoot_appendKeepsEveryEarlierByte()
{
    // Lone LF and CR line ends and a blank-filled line stay exactly as they were.
    const QString rad = file("r.rad");
    const QByteArray before("a:b:c:1\nd:e:f:1\rg:h:i:1\r\n  \r\n");
    QVERIFY(writeBytes(rad, before));
    QVERIFY(saveRoot(rad, {"j", "k", "l", "1"}).ok());
    QCOMPARE(readBytes(rad), before + "j:k:l:1\r\n");
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"r.rad"});
}

void tst_RootsEngine::saveRoot_markedFileWithAStrayByte()
{
    // A byte-order mark and a Windows-1252 byte: the file is Windows-1252,
    // and replacing one root leaves every other byte as it was.
    const QString rad = file("m.rad");
    QVERIFY(writeBytes(rad,
                       "\xef\xbb\xbf"
                       "a1:caf\xe9:*:1\r\nb1:b:*:1\r\n"));
    QVERIFY(saveRoot(rad, {"b1", "nuevo", "*", "2"}).ok());
    QCOMPARE(readBytes(rad),
             QByteArray("\xef\xbb\xbf"
                        "a1:caf\xe9:*:1\r\nb1:nuevo:*:2\r\n"));
    QVERIFY(saveRoot(rad, {"c1", QString::fromUtf8("ñu"), "*", "1"}).ok());
    QCOMPARE(readBytes(rad),
             QByteArray("\xef\xbb\xbf"
                        "a1:caf\xe9:*:1\r\nb1:nuevo:*:2\r\nc1:\xf1u:*:1\r\n"));
}

void tst_RootsEngine::lookUp_byCodeAndWord()
{
    const QString rad = file("l.rad");
    QVERIFY(writeBytes(rad, "ag1:agua:*:1\r\nAG2:Lago:#ag1+in:2\r\nag3:agua:x:3\r\n"));
    RootLookup byCode = lookUpRoot(rad, RootKey::Code, QStringLiteral("Ag2"));
    QVERIFY(byCode.found);
    QCOMPARE(*byCode.found, (RootRecord{"ag2", "lago", "#ag1+in", "2"}));
    QVERIFY(byCode.fileHasLines);

    RootLookup byWord = lookUpRoot(rad, RootKey::Word, QStringLiteral("AGUA"));
    QCOMPARE(byWord.found->code, QStringLiteral("ag1")); // the first match

    RootLookup none = lookUpRoot(rad, RootKey::Code, QStringLiteral("zz"));
    QVERIFY(!none.found);
    QVERIFY(none.fileHasLines);

    QVERIFY(writeBytes(rad, ""));
    none = lookUpRoot(rad, RootKey::Code, QStringLiteral("zz"));
    QVERIFY(none.outcome.ok());
    QVERIFY(!none.fileHasLines);
    QCOMPARE(lookUpRoot(file("nada.rad"), RootKey::Code, QStringLiteral("a")).outcome.message(),
             FileStatus::failure(FileError::NotFound, file("nada.rad")).message());
}

void tst_RootsEngine::generate_examples_data()
{
    QTest::addColumn<QByteArray>("roots");
    QTest::addColumn<QByteArray>("words");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QByteArray>("language");
    QTest::newRow("fresh word, leading blanks removed")
        << QByteArray("ag1:agua:*:1\r\n") << QByteArray("  sul\r\n") << "AM" << QByteArray("ag1:agua:sul\r\n");
    QTest::newRow("literal keeps trailing blanks")
        << QByteArray("ma1:mar:  tol :1\r\n") << QByteArray() << "AM" << QByteArray("ma1:mar:tol \r\n");
    QTest::newRow("four roots, AM")
        << QByteArray("ag1:agua:*:1\r\nfu1:fuego:*:1\r\nag2:lago:#ag1+in:2\r\nag3:rio:$agua+*:3\r\n")
        << QByteArray("sul\r\npra\r\ndek\r\n") << "AM"
        << QByteArray("ag1:agua:sul\r\nfu1:fuego:pra\r\nag2:lago:sulin\r\nag3:rio:suldek\r\n");
    QTest::newRow("four roots, MA")
        << QByteArray("ag1:agua:*:1\r\nfu1:fuego:*:1\r\nag2:lago:#ag1+in:2\r\nag3:rio:$agua+*:3\r\n")
        << QByteArray("sul\r\npra\r\ndek\r\n") << "MA"
        << QByteArray("ag1:agua:sul\r\nfu1:fuego:pra\r\nag2:lago:insul\r\nag3:rio:deksul\r\n");
    QTest::newRow("order other than AM prepends")
        << QByteArray("a:a:x:1\r\nb:b:#a+y+z:2\r\n") << QByteArray() << "am" << QByteArray("a:a:x\r\nb:b:zyx\r\n");
    QTest::newRow("blank around plus breaks the reference")
        << QByteArray("ag1:agua:sul:1\r\nag2:lago:#ag1 + in:2\r\n") << QByteArray() << "AM"
        << QByteArray("ag1:agua:sul\r\nag2:lago:in\r\n");
    QTest::newRow("reference to a higher level gets nothing")
        << QByteArray("b:b:#c+x:2\r\nc:c:y:3\r\n") << QByteArray() << "AM" << QByteArray("b:b:x\r\nc:c:y\r\n");
    QTest::newRow("level 1 values other than * are literal")
        << QByteArray("a:a:*x:1\r\nb:b:#ag1+in:1\r\n") << QByteArray("w\r\n") << "AM"
        << QByteArray("a:a:*x\r\nb:b:#ag1+in\r\n");
    QTest::newRow("star part ignores the rest")
        << QByteArray("a:a:*x+ q :2\r\n") << QByteArray(" w \r\n") << "AM" << QByteArray("a:a:wq\r\n");
    QTest::newRow("levels out of range give nothing")
        << QByteArray("a:a:x:0\r\nb:b:x:21\r\nc:c:x:uno\r\nd:d:x:02\r\ne:e:x:1.5\r\nf:f:x: 1\r\n") << QByteArray()
        << "AM" << QByteArray("f:f:x\r\nd:d:x\r\n");
    QTest::newRow("same level, earlier root")
        << QByteArray("a:a:x:1\r\nb:b:#a+1:2\r\nc:c:#b+2:2\r\nd:d:#e+3:2\r\ne:e:z:2\r\n") << QByteArray() << "AM"
        << QByteArray("a:a:x\r\nb:b:x1\r\nc:c:x12\r\nd:d:3\r\ne:e:z\r\n");
    QTest::newRow("first entry of a code wins")
        << QByteArray("a:w:one:1\r\na:v:two:1\r\nb:b:#a+$v:2\r\n") << QByteArray() << "AM"
        << QByteArray("a:w:one\r\na:v:two\r\nb:b:onetwo\r\n");
    QTest::newRow("form read back up to a colon")
        << QByteArray("a:a:*:1\r\nb:b:#a:2\r\n") << QByteArray("x:y\r\n") << "AM" << QByteArray("a:a:x:y\r\nb:b:x\r\n");
    QTest::newRow("empty parts and blanks")
        << QByteArray("a:a: p ++ q :2\r\n") << QByteArray() << "AM" << QByteArray("a:a:pq\r\n");
    QTest::newRow("case and blanks of fields kept")
        << QByteArray(" Ab :Agua :X:1\r\n") << QByteArray() << "AM" << QByteArray(" Ab :Agua :X\r\n");
    QTest::newRow("no roots") << QByteArray() << QByteArray() << "AM" << QByteArray();
}

void tst_RootsEngine::generate_examples()
{
    QFETCH(QByteArray, roots);
    QFETCH(QByteArray, words);
    QFETCH(QString, order);
    QFETCH(QByteArray, language);
    QVERIFY(writeBytes(file("r.rad"), roots));
    QVERIFY(writeBytes(file("w.lex"), words));
    QVERIFY(writeBytes(file("o.lan"), "previous run\r\n"));
    const LanguageGenerationResult result = generateLanguage(file("w.lex"), file("r.rad"), file("o.lan"), order);
    QVERIFY2(result.outcome.ok(), qPrintable(result.outcome.message()));
    QCOMPARE(readBytes(file("o.lan")), language);
    QCOMPARE(result.entries, language.count("\r\n"));
}

void tst_RootsEngine::generate_temporaryCopy()
{
    QVERIFY(writeBytes(file("r.rad"), "a:a:x:1\r\nb:b:#a+1:2\r\nc:c:y:2\r\nd:d:$b:3\r\ne:e:z:3\r\n"));
    QVERIFY(writeBytes(file("w.lex"), ""));
    QVERIFY(generateLanguage(file("w.lex"), file("r.rad"), file("o.lan"), QStringLiteral("AM")).outcome.ok());
    QCOMPARE(readBytes(file("o.lan")), QByteArray("a:a:x\r\nb:b:x1\r\nc:c:y\r\nd:d:x1\r\ne:e:z\r\n"));
    // As the output stood when the last reference ($b of d) was resolved.
    QCOMPARE(readBytes(file("o.lan.tmp")), QByteArray("a:a:x\r\nb:b:x1\r\nc:c:y\r\n"));

    // Without references an older copy stays untouched, and none is created.
    QVERIFY(writeBytes(file("r.rad"), "a:a:x:1\r\n"));
    QVERIFY(generateLanguage(file("w.lex"), file("r.rad"), file("o.lan"), QStringLiteral("AM")).outcome.ok());
    QCOMPARE(readBytes(file("o.lan.tmp")), QByteArray("a:a:x\r\nb:b:x1\r\nc:c:y\r\n"));
    QVERIFY(generateLanguage(file("w.lex"), file("r.rad"), file("p.lan"), QStringLiteral("AM")).outcome.ok());
    QVERIFY(!QFile::exists(file("p.lan.tmp")));
}

void tst_RootsEngine::generate_wordListRunsOut()
{
    QVERIFY(writeBytes(file("r.rad"), "a:a:*:1\r\nb:b:*:1\r\nc:c:x:1\r\nd:d:*+#a:2\r\n"));
    QVERIFY(writeBytes(file("w.lex"), "uno\r\ndos\r\n"));
    QVERIFY(writeBytes(file("o.lan"), "previous\r\n"));
    QVERIFY(writeBytes(file("o.lan.tmp"), "previous copy\r\n"));
    const QString wordList = QDir::toNativeSeparators(file("w.lex"));
    LanguageGenerationResult result =
        generateLanguage(file("w.lex"), file("r.rad"), file("o.lan"), QStringLiteral("AM"));
    QCOMPARE(result.outcome.message(), messages::wordListExhausted(wordList, QStringLiteral("d")));
    // Neither the language file nor its copy changes.
    QCOMPARE(readBytes(file("o.lan")), QByteArray("previous\r\n"));
    QCOMPARE(readBytes(file("o.lan.tmp")), QByteArray("previous copy\r\n"));

    QVERIFY(writeBytes(file("w.lex"), "uno\r\n"));
    result = generateLanguage(file("w.lex"), file("r.rad"), file("o.lan"), QStringLiteral("AM"));
    QCOMPARE(result.outcome.message(), messages::wordListExhausted(wordList, QStringLiteral("b")));
    QCOMPARE(readBytes(file("o.lan")), QByteArray("previous\r\n"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"o.lan", "o.lan.tmp", "r.rad", "w.lex"}));
}

void tst_RootsEngine::generate_failuresWriteNothing()
{
    QVERIFY(writeBytes(file("r.rad"), "a:a:*:1\r\n"));
    QVERIFY(writeBytes(file("w.lex"), "w\r\n"));
    QVERIFY(writeBytes(file("o.lan"), "kept\r\n"));
    struct Case {
        QString words, roots, output;
        FileError error;
        QString named;
    };
    const QList<Case> cases{
        {file("w.lex"), file("none.rad"), file("o.lan"), FileError::NotFound, file("none.rad")},
        {file("none.lex"), file("r.rad"), file("o.lan"), FileError::NotFound, file("none.lex")},
        {file("w.lex"), file("r.rad"), QString(), FileError::EmptyName, QString()},
        {file("w.lex"), file("r.rad"), file("no/dir/o.lan"), FileError::CreateFailed, file("no/dir/o.lan")},
        {file("w.lex"), dir_->path(), file("o.lan"), FileError::IsDirectory, dir_->path()},
    };
    for (const Case &c : cases) {
        const LanguageGenerationResult result = generateLanguage(c.words, c.roots, c.output, QStringLiteral("AM"));
        // The sentence naming the file, then possibly the system's reason.
        const QString expected = FileStatus::failure(c.error, c.named).message().chopped(1);
        QVERIFY2(result.outcome.message().startsWith(expected), qPrintable(result.outcome.message()));
        QCOMPARE(readBytes(file("o.lan")), QByteArray("kept\r\n"));
    }

    // The copy's name taken by a folder: found before anything is written.
    QVERIFY(writeBytes(file("r.rad"), "a:a:*:1\r\nb:b:#a:2\r\n"));
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("o.lan.tmp")));
    const LanguageGenerationResult result =
        generateLanguage(file("w.lex"), file("r.rad"), file("o.lan"), QStringLiteral("AM"));
    QCOMPARE(result.outcome.message(), FileStatus::failure(FileError::IsDirectory, file("o.lan.tmp")).message());
    QCOMPARE(readBytes(file("o.lan")), QByteArray("kept\r\n"));
}

void tst_RootsEngine::generate_runawayFormsStopWithAMessage()
{
    // Every root repeats the one before it eight times: the forms grow eightfold a level.
    QByteArray roots = "r1:w1:a:1\r\n";
    for (int level = 2; level <= 20; ++level) {
        const QByteArray previous = "#r" + QByteArray::number(level - 1);
        QByteArrayList parts;
        for (int i = 0; i < 8; ++i)
            parts.append(previous);
        roots += "r" + QByteArray::number(level) + ":w" + QByteArray::number(level) + ":" + parts.join('+') + ":"
            + QByteArray::number(level) + "\r\n";
    }
    QVERIFY(writeBytes(file("r.rad"), roots));
    QVERIFY(writeBytes(file("w.lex"), ""));
    QVERIFY(writeBytes(file("o.lan"), "kept\r\n"));
    const LanguageGenerationResult result =
        generateLanguage(file("w.lex"), file("r.rad"), file("o.lan"), QStringLiteral("AM"));
    // r9 has 8^8 characters; r10's 8^9 are past the limit and stop the run.
    QCOMPARE(result.outcome.message(), messages::formTooLong(QStringLiteral("r10"), kMaxFormLength));
    QCOMPARE(readBytes(file("o.lan")), QByteArray("kept\r\n"));
    QVERIFY(!QFile::exists(file("o.lan.tmp")));
}

namespace {

// The run as a reader of the files would do it: twenty passes over the root
// file and a scan of everything written so far at every reference.
QByteArray referenceLanguage(const QStringList &rootLines, const QStringList &wordLines, bool append)
{
    QStringList output;
    qsizetype nextWord = 0;
    for (int level = 1; level <= 20; ++level) {
        for (const QString &line : rootLines) {
            const QStringList f = (line + QStringLiteral(":::")).split(QLatin1Char(':'));
            const double value = readNumber(f.at(3));
            if (value != level)
                continue;
            QString form;
            if (level == 1) {
                form = f.at(2) == QLatin1String("*") ? trimLeadingBlanks(wordLines.at(nextWord++))
                                                     : trimLeadingBlanks(f.at(2));
            } else {
                for (const QString &part : f.at(2).split(QLatin1Char('+'))) {
                    QString c;
                    if (part.startsWith(QLatin1Char('*'))) {
                        c = trimBlanks(wordLines.at(nextWord++));
                    } else if (part.startsWith(QLatin1Char('$')) || part.startsWith(QLatin1Char('#'))) {
                        const int field = part.startsWith(QLatin1Char('$')) ? 1 : 0;
                        for (const QString &written : output) {
                            const QStringList w = (written + QStringLiteral("::")).split(QLatin1Char(':'));
                            if (w.at(field) == part.mid(1)) {
                                c = trimBlanks(w.at(2));
                                break;
                            }
                        }
                    } else {
                        c = trimBlanks(part);
                    }
                    form = trimBlanks(append ? form + c : c + form);
                }
            }
            output.append(f.at(0) + QLatin1Char(':') + f.at(1) + QLatin1Char(':') + form);
        }
    }
    QByteArray bytes;
    for (const QString &line : output)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

} // namespace

void tst_RootsEngine::generate_largeFileMatchesReference()
{
    RandomSource random;
    random.seed(5);
    QStringList roots;
    QStringList words;
    const int count = 3000;
    for (int i = 0; i < count; ++i) {
        const int level = random.nextIndex(10) < 6 ? 1 : 2 + int(random.nextIndex(4));
        QString value;
        if (level == 1) {
            value = random.nextIndex(5) == 0 ? QStringLiteral(" lit%1 ").arg(i) : QStringLiteral("*");
        } else {
            QStringList parts;
            const int n = 2 + int(random.nextIndex(2));
            for (int k = 0; k < n; ++k) {
                const auto kind = random.nextIndex(4);
                const int target = int(random.nextIndex(count));
                parts.append(kind == 0       ? QStringLiteral("*")
                                 : kind == 1 ? QStringLiteral("#c%1").arg(target)
                                 : kind == 2 ? QStringLiteral("$w%1").arg(target)
                                             : QStringLiteral(" e "));
            }
            value = parts.join(QLatin1Char('+'));
        }
        roots.append(QStringLiteral("c%1:w%2:%3:%4").arg(i).arg(i % 2500).arg(value).arg(level));
    }
    for (int i = 0; i < 3 * count; ++i)
        words.append(QStringLiteral(" f%1 ").arg(i));
    QVERIFY(writeBytes(file("big.rad"), (roots.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1()));
    QVERIFY(writeBytes(file("big.lex"), (words.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1()));
    for (const bool append : {true, false}) {
        const QString order = append ? QStringLiteral("AM") : QStringLiteral("MA");
        QVERIFY(generateLanguage(file("big.lex"), file("big.rad"), file("big.lan"), order).outcome.ok());
        QCOMPARE(readBytes(file("big.lan")), referenceLanguage(roots, words, append));
    }
}

void tst_RootsEngine::separate_fieldsAndCase()
{
    QVERIFY(writeBytes(file("l.lan"),
                       "ag1:agua:sul\r\nsin dos puntos\r\nx:\xf1"
                       "and\xfa:tol \r\n:a\r\n"));
    QVERIFY(separateLanguage(file("l.lan"), file("p.lex"), file("d.dic"), CaseOption::Upper, CaseOption::Upper).ok());
    QCOMPARE(readBytes(file("p.lex")),
             QByteArray("AGUA\r\n\r\n\xd1"
                        "AND\xda\r\nA\r\n"));
    QCOMPARE(readBytes(file("d.dic")), QByteArray("SUL\r\n\r\nTOL \r\n\r\n"));

    QVERIFY(
        separateLanguage(file("l.lan"), file("p.lex"), file("d.dic"), CaseOption::Unchanged, CaseOption::Lower).ok());
    QCOMPARE(readBytes(file("p.lex")),
             QByteArray("agua\r\n\r\n\xf1"
                        "and\xfa\r\na\r\n"));
    QCOMPARE(readBytes(file("d.dic")), QByteArray("sul\r\n\r\ntol \r\n\r\n"));

    QVERIFY(writeBytes(file("e.lan"), ""));
    QVERIFY(separateLanguage(file("e.lan"), file("p.lex"), file("d.dic"), CaseOption::Upper, CaseOption::Upper).ok());
    QCOMPARE(readBytes(file("p.lex")), QByteArray());
    QCOMPARE(readBytes(file("d.dic")), QByteArray());
}

void tst_RootsEngine::separate_failuresWriteNothing()
{
    QVERIFY(writeBytes(file("p.lex"), "kept"));
    QVERIFY(writeBytes(file("d.dic"), "kept"));
    QVERIFY(writeBytes(file("l.lan"), "a:b:c\r\n"));
    const auto separate = [&](const QString &language, const QString &words, const QString &dictionary) {
        return separateLanguage(language, words, dictionary, CaseOption::Upper, CaseOption::Upper).message();
    };
    QCOMPARE(separate(file("none.lan"), file("p.lex"), file("d.dic")),
             FileStatus::failure(FileError::NotFound, file("none.lan")).message());
    QVERIFY(separate(file("l.lan"), file("p.lex"), file("x/d.dic"))
                .startsWith(FileStatus::failure(FileError::CreateFailed, file("x/d.dic")).message().chopped(1)));
    QCOMPARE(separate(file("l.lan"), QString(), file("d.dic")),
             FileStatus::failure(FileError::EmptyName, QString()).message());
    // The second output's name is a folder: the first, already written, is not committed either.
    QVERIFY(QDir(dir_->path()).mkdir(QStringLiteral("folder")));
    QVERIFY(!separate(file("l.lan"), file("p.lex"), file("folder")).isEmpty());
    QCOMPARE(readBytes(file("p.lex")), QByteArray("kept"));
    QCOMPARE(readBytes(file("d.dic")), QByteArray("kept"));
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), (QStringList{"d.dic", "l.lan", "p.lex"}));
}

void tst_RootsEngine::separate_sameOutputTwiceIsRefused()
{
    QVERIFY(writeBytes(file("l.lan"), "a:b:c\r\n"));
    QVERIFY(writeBytes(file("same.lex"), "kept"));
    const QString same = QDir::toNativeSeparators(file("same.lex"));
    QCOMPARE(separateLanguage(file("l.lan"), file("same.lex"), file("same.lex"), CaseOption::Upper, CaseOption::Upper)
                 .message(),
             messages::sameOutputs(same));
    // Another spelling of the same name is the same file.
    const QString dotted = dir_->path() + QStringLiteral("/./same.lex");
    QVERIFY(!separateLanguage(file("l.lan"), file("same.lex"), dotted, CaseOption::Upper, CaseOption::Upper).ok());
    // And so is a name that does not exist yet.
    QVERIFY(!separateLanguage(file("l.lan"), file("new.lex"),
                              dir_->path() + QStringLiteral("/../") + QDir(dir_->path()).dirName()
                                  + QStringLiteral("/new.lex"),
                              CaseOption::Upper, CaseOption::Upper)
                 .ok());
    QCOMPARE(readBytes(file("same.lex")), QByteArray("kept"));
    QVERIFY(!QFile::exists(file("new.lex")));
}

QTEST_APPLESS_MAIN(tst_RootsEngine)
#include "tst_roots_engine.moc"
