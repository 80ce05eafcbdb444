// Renders the main window, its "Programas" menu and every tool window to PNG
// files in the folder given as the only argument; the sound-change workshop
// also at work, at its own size and maximized in a main window that fills
// the screen (scripts/screenshots.sh gives it a 1366 x 768 one); each tool
// window and each modal window also as it lies on the screen (pantalla_*).

#include "app/frmVordane.h"
#include "shell/appstyle.h"
#include "shell/multilinetextbox.h"
#include "shell/silentplatformservices.h"
#include "transformer/frmTaller.h"
#include "transformer/ruleeditor.h"
#include "transformer/rulefile.h"
#include "wordgen/definitioneditor.h"
#include "wordgen/frmTallerPalabras.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTextStream>

#include <algorithm>

namespace {

bool save(QWidget *widget, const QDir &dir, const QString &name)
{
    const QString file = dir.filePath(name + QStringLiteral(".png"));
    const bool ok = widget->grab().save(file);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << QDir::toNativeSeparators(file) << '\n';
    return ok;
}

bool saveScreen(QScreen *screen, const QDir &dir, const QString &name)
{
    const QString file = dir.filePath(name + QStringLiteral(".png"));
    const bool ok = screen->grabWindow(0).save(file);
    QTextStream(stdout) << (ok ? "wrote " : "FAILED ") << QDir::toNativeSeparators(file) << '\n';
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vordane::applyApplicationStyle(app);
    if (argc != 2) {
        QTextStream(stderr) << "uso: vordane_screenshots CARPETA\n";
        return 2;
    }
    QDir dir(QString::fromLocal8Bit(argv[1]));
    if (!dir.mkpath(QStringLiteral("."))) {
        QTextStream(stderr) << "no se pudo crear la carpeta\n";
        return 1;
    }

    vordane::SilentPlatformServices services;
    vordane::frmVordane window(services);
    window.show();
    QApplication::processEvents();
    bool ok = save(&window, dir, QStringLiteral("frmVordane"));

    window.mnuProgramas->popup(window.menuBar()->mapToGlobal(QPoint(0, window.menuBar()->height())));
    QApplication::processEvents();
    ok = save(window.mnuProgramas, dir, QStringLiteral("frmVordane_Programas")) && ok;
    window.mnuProgramas->hide();

    // Every tool window that exists, alone in the main window and on its own.
    for (QAction *action : window.mnuProgramas->actions()) {
        if (action->isSeparator() || action == window.mnuExit)
            continue;
        action->trigger();
        QApplication::processEvents();
        QMdiSubWindow *sub = window.mdiArea()->activeSubWindow();
        if (!sub)
            continue;
        ok = save(sub, dir, sub->widget()->objectName()) && ok;
        ok = saveScreen(window.screen(), dir, QStringLiteral("pantalla_") + sub->widget()->objectName()) && ok;
        // The word generator's modal windows, opened by their buttons.
        if (sub->widget()->objectName() != QLatin1String("frmGenerar"))
            continue;
        for (const char *name : {"cmdEditar(0)", "cmdGenerar"}) {
            auto *button = sub->widget()->findChild<QPushButton *>(QLatin1String(name));
            if (!button)
                continue;
            button->click();
            QApplication::processEvents();
            for (QWidget *top : QApplication::topLevelWidgets()) {
                if (qobject_cast<QDialog *>(top) && top->isVisible()) {
                    ok = save(top, dir, top->objectName()) && ok;
                    // Where it opens on the screen, over the main window.
                    ok = saveScreen(top->screen(), dir, QStringLiteral("pantalla_") + top->objectName()) && ok;
                    top->hide();
                }
            }
        }
    }

    // The workshop at work: rules, words, the result, the report and a
    // trace; then a malformed line, underlined, the last result kept.
    window.mnuTaller->trigger();
    QApplication::processEvents();
    if (QMdiSubWindow *sub = window.mdiArea()->activeSubWindow()) {
        auto *taller = qobject_cast<vordane::frmTaller *>(sub->widget());
        QStringList rules{"@ampliada",
                          QString::fromUtf8("; Del latín al castellano (unas pocas reglas)"),
                          QString::fromUtf8("V=a,e,i,o,u,ā,ē,ī,ō,ū,é,ó"),
                          "P=p,t,c",
                          "B=b,d,g",
                          "m>/_#",
                          "u>o//q_",
                          QString::fromUtf8("é>ie//_ch"),
                          QString::fromUtf8("ó>ue//_ch"),
                          "P>B/V_V",
                          "#f>#h/_V//_ue",
                          "x>y",
                          QString::fromUtf8("X=ā,ē,ī,ō,ū,é,ó"),
                          "Y=a,e,i,o,u,e,o",
                          "X>Y"};
        taller->txtReglas->setRules(rules);
        taller->txtPalabras->setText(QString::fromUtf8("lupum\r\nvītam\r\nfócum\r\npórtam\r\ntérram\r\n"
                                                       "pétram\r\nfactum\r\nbónum\r\nrótam\r\nlacum"));
        bool shown = false;
        QObject::connect(taller, &vordane::frmTaller::resultShown, [&shown] { shown = true; });
        taller->mnuAplicar->trigger();
        while (!shown)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        taller->grdResultado->setCurrentIndex(taller->grdResultado->model()->index(2, 2));
        taller->txtReglas->setRules(rules << QStringLiteral("P>V/_#"));
        taller->mnuAplicar->trigger();
        taller->txtReglas->setCursorPosition(int(rules.size()) - 1, 0);
        QApplication::processEvents();
        ok = save(sub, dir, QStringLiteral("frmTaller")) && ok;
        window.setGeometry(window.screen()->availableGeometry());
        sub->showMaximized();
        QApplication::processEvents();
        ok = save(&window, dir, QStringLiteral("frmTaller_pantalla")) && ok;

        // A lexicon through named stages: its meanings, a column per stage,
        // the mergers, and the words a new rule changed since the run before.
        QStringList staged;
        const QDir examples(QStringLiteral(VORDANE_EXAMPLES_DIR));
        if (vordane::readRuleFile(examples.filePath(QStringLiteral("latin-castellano-etapas.sc")), staged).ok()) {
            taller->txtReglas->setRules(staged);
            shown = false;
            taller->openLexicon(examples.filePath(QStringLiteral("latin.lan")));
            while (!shown)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            taller->chkCambios->setChecked(true);
            shown = false;
            taller->txtReglas->setRules(staged << QStringLiteral("j>x"));
            taller->mnuAplicar->trigger();
            while (!shown)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            taller->grdResultado->setCurrentIndex(taller->grdResultado->model()->index(11, 0));
            taller->tabInforme->setCurrentIndex(1);
            QApplication::processEvents();
            ok = save(sub, dir, QStringLiteral("frmTaller_lexico")) && ok;
        }

        // A list in the IPA with features, diacritics and syllables, its
        // words shown with their syllables, and the trace of one of them.
        QStringList features;
        if (vordane::readRuleFile(examples.filePath(QStringLiteral("pie-germanico.sc")), features).ok()) {
            taller->chkCambios->setChecked(false);
            taller->chkSilabas->setChecked(true);
            taller->txtReglas->setRules(features);
            shown = false;
            taller->openLexicon(examples.filePath(QStringLiteral("pie-germanico.lex")));
            while (!shown)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            taller->grdResultado->setCurrentIndex(taller->grdResultado->model()->index(1, 0));
            taller->tabInforme->setCurrentIndex(0);
            // The feature and syllable lines in view.
            const int table = int(features.indexOf(QStringLiteral("@rasgos ipa")));
            taller->txtReglas->setCursorPosition(std::max(table, 0), 0);
            taller->txtReglas->setFirstVisibleLine(std::max(table - 1, 0));
            QApplication::processEvents();
            ok = save(sub, dir, QStringLiteral("frmTaller_rasgos")) && ok;
        }
    }

    // The word workshop with a definition of weights and shapes by position,
    // its sample and charts; then a malformed line, underlined.
    window.setGeometry(window.screen()->availableGeometry());
    window.mnuTallerPalabras->trigger();
    QApplication::processEvents();
    if (QMdiSubWindow *sub = window.mdiArea()->activeSubWindow()) {
        auto *taller = qobject_cast<vordane::frmTallerPalabras *>(sub->widget());
        bool shown = false;
        QObject::connect(taller, &vordane::frmTallerPalabras::sampleShown, [&shown] { shown = true; });
        taller->txtDefinicion->setText(QString::fromUtf8("; Sonidos con pesos, sílabas según su lugar.\r\n"
                                                         "@caída 20\r\n"
                                                         "C=t,k,n,s,m,p,l,r,h\r\n"
                                                         "V=a:6,i:4,u:3,e:2,o:1\r\n"
                                                         "F=n,s,r\r\n"
                                                         "@opcional 30\r\n"
                                                         "@inicial CV, V, CVF:0.5\r\n"
                                                         "@media CV:3, CV(F)\r\n"
                                                         "@final CV(F)?40, CVn\r\n"
                                                         "@única CVF, CV\r\n"
                                                         "@longitud 1:1, 2:4, 3:3, 4:1\r\n"
                                                         "@rechazar n[pm]\r\n"
                                                         "@rechazar (.)\\1\r\n"
                                                         "@alfabeto a,e,i,o,u,h,k,l,m,n,p,r,s,t"));
        while (!shown || taller->isSampling() || taller->isSampleDue())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        sub->showMaximized();
        QApplication::processEvents();
        ok = save(&window, dir, QStringLiteral("frmTallerPalabras_pantalla")) && ok;
        sub->showNormal();
        sub->resize(sub->sizeHint());
        taller->txtDefinicion->append(QStringLiteral("\r\n@formas CX"));
        while (taller->isSampleDue())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        taller->txtDefinicion->setCursorPosition(taller->txtDefinicion->lines() - 1, 0);
        QApplication::processEvents();
        ok = save(sub, dir, QStringLiteral("frmTallerPalabras_error")) && ok;
    }
    return ok ? 0 : 1;
}
