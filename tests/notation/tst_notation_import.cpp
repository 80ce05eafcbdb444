#include "cli/clirunner.h"
#include "common/messages.h"
#include "notation/sca2import.h"
#include "transformer/transformationengine.h"
#include "testfiles.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::readBytes;
using vordane::test::writeBytes;

namespace {

const QString kHeader =
    QStringLiteral("; Importado de SCA²: cada regla se aplica de izquierda a derecha ({secuencial}).");

QStringList linesOf(const QString &text)
{
    return text.split(u'\n');
}

// What follows the two header lines.
QString bodyOf(const Sca2Import &imported)
{
    if (imported.lines.size() < 2 || imported.lines.at(0) != QLatin1String("@ampliada")
        || imported.lines.at(1) != kHeader)
        return QStringLiteral("(sin cabecera)");
    return imported.lines.mid(2).join(u'\n');
}

struct Run {
    int status;
    QString err;
};

} // namespace

class tst_NotationImport : public QObject {
    Q_OBJECT
private slots:
    void documentedExample_convertsLineByLine();
    void documentedExample_givesTheStatedWords();
    void elements_data();
    void elements();
    void refusedLines_data();
    void refusedLines();
    void rewrites_growingWithoutEndAreRefused();
    void cli_writesTheListAndListsProblems();
    void cli_exitStatuses_data();
    void cli_exitStatuses();

private:
    Run run(const QStringList &args);
    QTemporaryDir dir_;
};

Run tst_NotationImport::run(const QStringList &args)
{
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    const int status =
        runCli(QStringList{QStringLiteral("vordane-cli"), QStringLiteral("importar-sca2")} + args, out, err);
    return {status, QString::fromUtf8(err.data())};
}

// The applier's own sample: seven categories and thirteen rules taking Latin
// words to Portuguese (lector > leitor, civitatem > cidade, opera > obra).
void tst_NotationImport::documentedExample_convertsLineByLine()
{
    const Sca2Import imported = importSca2(linesOf(QStringLiteral("V=aeiou\nL=āēīōū\nC=ptcqbdgmnlrhs\nF=ie\nB=ou\n"
                                                                  "S=ptc\nZ=bdg\n[sm]//_#\ni/j/_V\nL/V/_\ne//Vr_#\n"
                                                                  "v//V_V\nu/o/_#\ngn/nh/_\nS/Z/V_V\nc/i/F_t\n"
                                                                  "c/u/B_t\np//V_t\nii/i/_\ne//C_rV")),
                                           false);
    const QString expected = QStringLiteral("; V=aeiou\nV=a,e,i,o,u\n"
                                            "; L=āēīōū\nL=ā,ē,ī,ō,ū\n"
                                            "; C=ptcqbdgmnlrhs\nC=p,t,c,q,b,d,g,m,n,l,r,h,s\n"
                                            "; F=ie\nF=i,e\n"
                                            "; B=ou\nB=o,u\n"
                                            "; S=ptc\nS=p,t,c\n"
                                            "; Z=bdg\nZ=b,d,g\n"
                                            "\n"
                                            "; [sm]//_#\n[s,m]>/_# {secuencial}\n"
                                            "; i/j/_V\ni>j/_V {secuencial}\n"
                                            "; L/V/_\nL>V {secuencial}\n"
                                            "; e//Vr_#\ne>/Vr_# {secuencial}\n"
                                            "; v//V_V\nv>/V_V {secuencial}\n"
                                            "; u/o/_#\nu>o/_# {secuencial}\n"
                                            "; gn/nh/_\ngn>nh {secuencial}\n"
                                            "; S/Z/V_V\nS>Z/V_V {secuencial}\n"
                                            "; c/i/F_t\nc>i/F_t {secuencial}\n"
                                            "; c/u/B_t\nc>u/B_t {secuencial}\n"
                                            "; p//V_t\np>/V_t {secuencial}\n"
                                            "; ii/i/_\nii>i {secuencial}\n"
                                            "; e//C_rV\ne>/C_rV {secuencial}");
    QCOMPARE(bodyOf(imported), expected);
    QCOMPARE(imported.rules, 13);
    QVERIFY(imported.problems.isEmpty());
}

void tst_NotationImport::documentedExample_givesTheStatedWords()
{
    // The imported list, run: the words the applier's documentation gives for its sample.
    const Sca2Import imported = importSca2(linesOf(QStringLiteral("V=aeiou\nL=āēīōū\nC=ptcqbdgmnlrhs\nF=ie\nB=ou\n"
                                                                  "S=ptc\nZ=bdg\n[sm]//_#\ni/j/_V\nL/V/_\ne//Vr_#\n"
                                                                  "v//V_V\nu/o/_#\ngn/nh/_\nS/Z/V_V\nc/i/F_t\n"
                                                                  "c/u/B_t\np//V_t\nii/i/_\ne//C_rV")),
                                           false);
    const RuleSet rules(imported.lines);
    QVERIFY2(rules.ok(), qPrintable(rules.validity().message()));
    const QStringList latin{"lector", "doctor", "focus", "jocus", "districtus", "civitatem", "adoptare", "opera",
                            "secundus"};
    const QStringList portuguese{"leitor", "doutor", "fogo", "jogo", "distrito", "cidade", "adotar", "obra", "segundo"};
    for (qsizetype i = 0; i < latin.size(); ++i) {
        QString word = latin.at(i);
        QVERIFY(rules.apply(word));
        QCOMPARE(word, portuguese.at(i));
    }
}

void tst_NotationImport::elements_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("rewriteOnOutput");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("rules");

    const QString ptk = QStringLiteral("; C=ptk\nC=p,t,k\n\n");
    QTest::newRow("arrow for the first slash") << "a→e/_i" << false << "; a→e/_i\na>e/_i {secuencial}" << 1;
    QTest::newRow("arrow after a slash is a literal") << "a/→/_i" << false << "; a/→/_i\na>→/_i {secuencial}" << 1;
    QTest::newRow("exception") << "u/o/_#/s_" << false << "; u/o/_#/s_\nu>o/_#//s_ {secuencial}" << 1;
    QTest::newRow("exception after a bare place") << "a/e/_/n_" << false << "; a/e/_/n_\na>e//n_ {secuencial}" << 1;
    QTest::newRow("closing slash without exception") << "a/e/_/" << false << "; a/e/_/\na>e {secuencial}" << 1;
    QTest::newRow("optional part") << "C=ptk\ns/z/a_(C)e" << false << ptk + "; s/z/a_(C)e\ns>z/a_(C)e {secuencial}"
                                   << 1;
    QTest::newRow("ellipsis") << "a/e/_…i" << false << "; a/e/_…i\na>e/_…i {secuencial}" << 1;
    QTest::newRow("three dots are dots") << "a/e/_...i" << false << "; a/e/_...i\na>e/_\\.\\.\\.i {secuencial}" << 1;
    QTest::newRow("gemination of a literal") << "a/á/_k²" << false << "; a/á/_k²\na>á/_kk {secuencial}" << 1;
    QTest::newRow("gemination of a category in the environment")
        << "C=ptk\na/á/_C²" << false << ptk + "; a/á/_C²\na>á/_C$1$1 {secuencial}" << 1;
    QTest::newRow("gemination after the place repeats the target")
        << "C=ptk\nC/x/_²" << false << ptk + "; C/x/_²\nC$1>x/_$1 {secuencial}" << 1;
    QTest::newRow("gemination of a literal in the replacement")
        << "k/k²/a_a" << false << "; k/k²/a_a\nk>kk/a_a {secuencial}" << 1;
    QTest::newRow("gemination of a category in the replacement")
        << "C=ptk\nC/C²/a_a" << false << ptk + "; C/C²/a_a\nC$1>C$1C$1/a_a {secuencial}" << 1;
    QTest::newRow("degemination") << "C=ptk\nC²/C/_" << false << ptk + "; C²/C/_\nC$1$1>C$1 {secuencial}" << 1;
    QTest::newRow("a digit after a capture")
        << "C=ptk\nC²1/x/_" << false << ptk + "; C²1/x/_\nC$1$1\\1>x {secuencial}" << 1;
    QTest::newRow("reversed literals") << "nt/\\\\/_#" << false << "; nt/\\\\/_#\nnt>tn/_# {secuencial}" << 1;
    QTest::newRow("reversed categories")
        << "C=ptk\nV=aeiou\nCV/\\\\/_#" << false
        << "; C=ptk\nC=p,t,k\n; V=aeiou\nV=a,e,i,o,u\n\n; CV/\\\\/_#\nC$1V$2>$2$1/_# {secuencial}" << 1;
    QTest::newRow("reversed mixed") << "[sm]t/\\\\/_" << false << "; [sm]t/\\\\/_\n[s,m]$1t>t$1 {secuencial}" << 1;
    QTest::newRow("index mapping: categories of one size")
        << "S=ptk\nZ=bdg\nS/Z/a_a" << false << "; S=ptk\nS=p,t,k\n; Z=bdg\nZ=b,d,g\n\n; S/Z/a_a\nS>Z/a_a {secuencial}"
        << 1;
    QTest::newRow("index mapping: a longer replacement keeps its first members")
        << "S=ptk\nZ=bdgv\nS/Z/_" << false << "; S=ptk\nS=p,t,k\n; Z=bdgv\nZ=b,d,g,v\n\n; S/Z/_\nS>[b,d,g] {secuencial}"
        << 1;
    QTest::newRow("index mapping: a shorter replacement deletes the surplus")
        << "[aeiou]/[ei]/_#" << false << "; [aeiou]/[ei]/_#\n[a,e]>[e,i]/_# {secuencial}\n&[i,o,u]>/_#" << 1;
    QTest::newRow("index mapping: one surplus member")
        << "S=ptk\nZ=bd\nS/Z/a_a" << false
        << "; S=ptk\nS=p,t,k\n; Z=bd\nZ=b,d\n\n; S/Z/a_a\n[p,t]>Z/a_a {secuencial}\n&k>/a_a" << 1;
    QTest::newRow("index mapping: the surplus keeps the literals")
        << "S=ptk\nZ=bd\nS/Zh/_" << false << "; S=ptk\nS=p,t,k\n; Z=bd\nZ=b,d\n\n; S/Zh/_\n[p,t]>Zh {secuencial}\n&k>h"
        << 1;
    QTest::newRow("index mapping: two categories in the replacement")
        << "S=ptk\nZ=bdg\nS/ZZ/_" << false << "; S=ptk\nS=p,t,k\n; Z=bdg\nZ=b,d,g\n\n; S/ZZ/_\nS$1>Z$1Z$1 {secuencial}"
        << 1;
    QTest::newRow("index mapping: two sizes cut the target three ways")
        << "S=ptkq\nZ=bd\nY=fsx\nS/ZY/_" << false
        << "; S=ptkq\nS=p,t,k,q\n; Z=bd\nZ=b,d\n; Y=fsx\nY=f,s,x\n\n; S/ZY/_\n"
           "[p,t]$1>Z$1[f,s]$1 {secuencial}\n&k>x\n&q>"
        << 1;
    QTest::newRow("index mapping: the first category of the target")
        << "V=aeiou\nU=áéíóú\nVn/U/_#" << false
        << "; V=aeiou\nV=a,e,i,o,u\n; U=áéíóú\nU=á,é,í,ó,ú\n\n; Vn/U/_#\nVn>U/_# {secuencial}" << 1;
    QTest::newRow("insertion") << "/e/#_s" << false << "; /e/#_s\n>e/#_s {secuencial}" << 1;
    QTest::newRow("edge in a bracket of the environment")
        << "a/e/_[#s]" << false << "; a/e/_[#s]\na>e/_[#,s] {secuencial}" << 1;
    QTest::newRow("syntax of the notation written as literals")
        << "a.*/+,/_!$" << false << "; a.*/+,/_!$\na\\.\\*>\\+\\,/_\\!\\$ {secuencial}" << 1;
    QTest::newRow("a space inside a rule is a literal space")
        << "a b/c/_" << false << "; a b/c/_\na\\ b>c {secuencial}" << 1;
    QTest::newRow("a rule may start with a semicolon") << ";a/b/_" << false << "; ;a/b/_\n\\;a>b {secuencial}" << 1;
    QTest::newRow("an undefined capital is a letter") << "X/y/_" << false << "; X/y/_\nX>y {secuencial}" << 1;
    QTest::newRow("a category letter as a member is a letter")
        << "V=aeiou\nW=aV" << false << "; V=aeiou\nV=a,e,i,o,u\n; W=aV\nW=a,\\V\n"
        << 0;
    QTest::newRow("a name that is not a capital letter")
        << "ʃ=sz\nʃ/h/_#" << false
        << "; ʃ=sz\n; (el nombre «ʃ» no es una letra de la A a la Z: sus miembros se escriben en cada regla)\n\n"
           "; ʃ/h/_#\n[s,z]>h/_# {secuencial}"
        << 1;
    QTest::newRow("spaces among members are not members") << "V=a e i" << false << "; V=a e i\nV=a,e,i\n" << 0;
    QTest::newRow("categories go first, the last definition holds")
        << "a/e/V_\nV=ou\nV=ie" << false << "; V=ou\nV=o,u\n; V=ie\nV=i,e\n\n; a/e/V_\na>e/V_ {secuencial}" << 1;
    QTest::newRow("blank lines stay") << "a/e/_\n\nb/p/_" << false
                                      << "; a/e/_\na>e {secuencial}\n\n; b/p/_\nb>p {secuencial}" << 2;
    QTest::newRow("rewrites first, also in the rules")
        << "lh|ʎ\nnh|ɲ\nlh/j/_i" << false << "; lh|ʎ\nlh>ʎ\n; nh|ɲ\nnh>ɲ\n\n; lh/j/_i\nʎ>j/_i {secuencial}" << 3;
    QTest::newRow("rewrites back on output")
        << "lh|ʎ\nnh|ɲ\nlh/j/_i" << true
        << "; lh|ʎ\nlh>ʎ\n; nh|ɲ\nnh>ɲ\n\n; lh/j/_i\nʎ>j/_i {secuencial}\n\n"
           "; De vuelta a la escritura de la entrada, al final.\n; nh|ɲ\nɲ>nh\n; lh|ʎ\nʎ>lh"
        << 3;
    QTest::newRow("rewrites apply to categories")
        << "ch|č\nC=pkch\nC/x/_#" << false << "; C=pkch\nC=p,k,č\n\n; ch|č\nch>č\n\n; C/x/_#\nC>x/_# {secuencial}" << 2;
}

void tst_NotationImport::elements()
{
    QFETCH(QString, source);
    QFETCH(bool, rewriteOnOutput);
    QFETCH(QString, expected);
    QFETCH(int, rules);
    const Sca2Import imported = importSca2(linesOf(source), rewriteOnOutput);
    QCOMPARE(bodyOf(imported), expected);
    QCOMPARE(imported.rules, rules);
    QVERIFY2(imported.problems.isEmpty(), qPrintable(imported.problems.join(u'\n')));
}

void tst_NotationImport::refusedLines_data()
{
    namespace text = messages::sca2;
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("reason");
    QTest::newRow("prose") << "Latín al portugués" << text::kNotALine;
    QTest::newRow("no environment") << "a/e" << text::kMissingEnvironment;
    QTest::newRow("five parts") << "a/b/_/c_/d" << text::kTooManyParts;
    QTest::newRow("nothing changes") << "//_a" << text::kNothingToDo;
    QTest::newRow("environment without place") << "a/e/i" << text::kEnvironmentWithoutPlace;
    QTest::newRow("exception without place") << "a/e/_/x" << text::kExceptionWithoutPlace;
    QTest::newRow("two places") << "a/e/_a_" << text::kSecondPlace;
    QTest::newRow("place in the target") << "a_/e/_" << text::kPlaceInTarget;
    QTest::newRow("place in a group") << "a/e/(_)a" << text::kPlaceInGroup;
    QTest::newRow("edge in the target") << "a#/e/_" << text::kEdgeInTarget;
    QTest::newRow("edge in the replacement") << "a/e#/_" << text::kEdgeInTarget;
    QTest::newRow("edge inside the environment") << "a/e/_#b" << text::kEdgeInside;
    QTest::newRow("group in the target") << "(a)/e/_" << text::kGroupInTarget;
    QTest::newRow("ellipsis in the replacement") << "a/e…/_" << text::kEllipsisInTarget;
    QTest::newRow("unclosed bracket") << "[ab/c/_" << text::kUnclosedBracket;
    QTest::newRow("stray bracket") << "a]/c/_" << text::kStrayBracket;
    QTest::newRow("empty bracket") << "a/c/_[]" << text::kEmptyBracket;
    QTest::newRow("bracket in a bracket") << "[a[b]]/c/_" << text::kBadMember;
    QTest::newRow("edge in a bracket of the target") << "[#a]/c/_" << text::kEdgeInTarget;
    QTest::newRow("unclosed group") << "a/e/_(b" << text::kUnclosedGroup;
    QTest::newRow("stray group") << "a/e/_b)" << text::kStrayGroup;
    QTest::newRow("empty group") << "a/e/_()b" << text::kEmptyGroup;
    QTest::newRow("gemination of nothing") << "a/e/²_" << text::kNothingToRepeat;
    QTest::newRow("gemination of an edge") << "a/e/#²_" << text::kNothingToRepeat;
    QTest::newRow("gemination of an empty target") << "/e/a_²" << text::kNothingToRepeat;
    QTest::newRow("gemination first in the replacement") << "a/²/_" << text::kNothingToRepeat;
    QTest::newRow("reversal with more") << "ab/\\\\x/_" << text::kReversalWithOthers;
    QTest::newRow("reversal of nothing") << "/\\\\/a_" << text::kReversalOfNothing;
    QTest::newRow("insertion anywhere") << "/e/_" << text::kInsertionWithoutEnvironment;
    QTest::newRow("unpaired replacement category") << "aV/V/_" << text::kUnpairedCategory;
    QTest::newRow("ten captures") << "VVVVVVVVVV/\\\\/_" << text::kTooManyCaptures;
    QTest::newRow("257 categories in the replacement") << "V/" + QString(257, u'V') + "/_" << text::kTooManyCategories;
    QTest::newRow("empty category") << "W=" << text::kEmptyCategory;
    QTest::newRow("rewrite of nothing") << "|x" << text::kBadRewrite;
    QTest::newRow("rewrite with two bars") << "a|b|c" << text::kBadRewrite;
}

// Rewrites that feed each other would lengthen a line without end.
void tst_NotationImport::rewrites_growingWithoutEndAreRefused()
{
    QStringList source(20, QStringLiteral("a|aa"));
    source << QStringLiteral("a/e/_") << QStringLiteral("b/p/_");
    const Sca2Import imported = importSca2(source, false);
    QCOMPARE(
        imported.problems,
        QStringList{messages::sca2::problem(21, QStringLiteral("a/e/_"), messages::sca2::tooLongRewritten(10000))});
    QCOMPARE(imported.rules, 21);
    QCOMPARE(imported.lines.constLast(), QStringLiteral("b>p {secuencial}"));
}

// Each bad line stays as a comment with its reason, is listed with its
// number, and the lines around it are carried over.
void tst_NotationImport::refusedLines()
{
    QFETCH(QString, line);
    QFETCH(QString, reason);
    const Sca2Import imported = importSca2({QStringLiteral("V=aeiou"), line, QStringLiteral("a/e/_i")}, false);
    QCOMPARE(imported.problems, QStringList{messages::sca2::problem(2, line, reason)});
    QCOMPARE(imported.rules, 1);
    const QStringList &out = imported.lines;
    const qsizetype at = out.indexOf(QStringLiteral("; no importada: ") + reason);
    QVERIFY2(at > 0, qPrintable(out.join(u'\n')));
    QCOMPARE(out.value(at + 1), QStringLiteral("; ") + line);
    QCOMPARE(out.mid(out.size() - 2), (QStringList{"; a/e/_i", "a>e/_i {secuencial}"}));
    QCOMPARE(out.count(QStringLiteral("V=a,e,i,o,u")), 1);
}

void tst_NotationImport::cli_writesTheListAndListsProblems()
{
    // A Windows-1252 file with CR LF: "á" is one byte.
    const QString input = dir_.filePath(QStringLiteral("latin.sc"));
    QVERIFY(writeBytes(input, "V=a\xe1u\r\nlh|\xf1\r\nnota\r\nV/e/_lh\r\na/e\r\n"));
    const QString output = dir_.filePath(QStringLiteral("latin-ampliada.sc"));
    const Run result = run({input, output, QStringLiteral("--reescribir-salida")});
    QCOMPARE(result.status, kExitOk);
    QCOMPARE(result.err,
             QStringLiteral("Línea 3 («nota»): %1.\nLínea 5 («a/e»): %2.\n")
                 .arg(messages::sca2::kNotALine, messages::sca2::kMissingEnvironment));
    // Every character fits Windows-1252, so the list is written in it.
    QCOMPARE(readBytes(output),
             QByteArray("@ampliada\r\n; Importado de SCA\xb2: cada regla se aplica de izquierda a derecha "
                        "({secuencial}).\r\n; V=a\xe1u\r\nV=a,\xe1,u\r\n\r\n; lh|\xf1\r\nlh>\xf1\r\n\r\n"
                        "; no importada: ")
                 + messages::sca2::kNotALine.toLatin1()
                 + "\r\n; nota\r\n; V/e/_lh\r\nV>e/_\xf1 {secuencial}\r\n; no importada: "
                 + messages::sca2::kMissingEnvironment.toLatin1()
                 + "\r\n; a/e\r\n\r\n; De vuelta a la escritura de la entrada, al final.\r\n; lh|\xf1\r\n"
                   "\xf1>lh\r\n");
}

void tst_NotationImport::cli_exitStatuses_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<int>("status");
    QTest::addColumn<bool>("written");
    QTest::newRow("one rule") << QByteArray("a/e/_\n") << QStringList{} << int(kExitOk) << true;
    QTest::newRow("only a rewrite") << QByteArray("lh|j\n") << QStringList{} << int(kExitOk) << true;
    QTest::newRow("only categories") << QByteArray("V=aeiou\n") << QStringList{} << int(kExitFailed) << false;
    QTest::newRow("no valid rule") << QByteArray("a/e\nhola\n") << QStringList{} << int(kExitFailed) << false;
    QTest::newRow("empty file") << QByteArray() << QStringList{} << int(kExitFailed) << false;
    QTest::newRow("unknown option") << QByteArray("a/e/_\n") << QStringList{"--inversa"} << int(kExitUsage) << false;
    QTest::newRow("one argument missing") << QByteArray("a/e/_\n") << QStringList{"-"} << int(kExitUsage) << false;
}

void tst_NotationImport::cli_exitStatuses()
{
    QFETCH(QByteArray, input);
    QFETCH(QStringList, extra);
    QFETCH(int, status);
    QFETCH(bool, written);
    const QString source = dir_.filePath(QStringLiteral("reglas.txt"));
    const QString target = dir_.filePath(QStringLiteral("salida.sc"));
    QVERIFY(writeBytes(source, input));
    QVERIFY(writeBytes(target, "antes\r\n"));
    // "-" stands for a missing output argument.
    const QStringList args = extra == QStringList{"-"} ? QStringList{source} : QStringList{source, target} + extra;
    const Run result = run(args);
    QCOMPARE(result.status, status);
    if (status == kExitUsage)
        QVERIFY2(result.err.contains(QStringLiteral("uso: vordane-cli importar-sca2")), qPrintable(result.err));
    if (status == kExitFailed)
        QVERIFY2(result.err.contains(QStringLiteral("no se ha escrito nada")), qPrintable(result.err));
    QCOMPARE(readBytes(target).startsWith("@ampliada\r\n"), written);
    if (!written)
        QCOMPARE(readBytes(target), QByteArray("antes\r\n"));
}

QTEST_GUILESS_MAIN(tst_NotationImport)
#include "tst_notation_import.moc"
