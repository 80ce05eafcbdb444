#include "app/frmVordane.h"
#include "common/messages.h"
#include "common/randomsource.h"
#include "fakeplatformservices.h"
#include "keys.h"
#include "generator/frmEditar.h"
#include "generator/frmGenerar.h"
#include "generator/frmHacer.h"
#include "shell/appstyle.h"
#include "shell/controls.h"
#include "shell/multilinetextbox.h"
#include "testfiles.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace vordane;
using vordane::test::FakePlatformServices;
using vordane::test::readBytes;
using vordane::test::writeBytes;
using Kind = FakePlatformServices::Kind;

namespace {

void click(QPushButton *button)
{
    QVERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
}

// Replaces a combo box's text as a person does: click into it, select all, type.
void typeInto(QComboBox *combo, const QString &text)
{
    QTest::mouseClick(combo->lineEdit(), Qt::LeftButton);
    QTest::keyClick(combo->lineEdit(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(combo->lineEdit(), text);
}

bool activate(QWidget *window)
{
    window->activateWindow();
    return QTest::qWaitForWindowActive(window);
}

} // namespace

class tst_GeneratorWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void definition_initialControls();
    void definition_descriptionIsFrameCaption();
    void definition_identifiersWholeAndFramesInLine();
    void definition_patternButtons();
    void definition_addedPatternIsShown();
    void definition_limpiarKeepsIdentifiersAndCaptions();
    void definition_saveAndOpenThroughDialogs();
    void definition_openFailuresChangeNothing();
    void definition_identifiersKeepWhatIsTyped_data();
    void definition_identifiersKeepWhatIsTyped();
    void definition_loadedIdentifiersSurviveTabbing();

    void editor_readsAndRewritesThePanel();
    void editor_selectedPanelRules();
    void editor_aceptarHidesCloseUnloads();
    void editor_opensOnThePressedPanelEveryTime();
    void editor_typingIntoTheSelectorRefillsNothing();
    void editor_escapeDoesNothing();
    void editor_tabThenEnterReachesAceptar();

    void generation_initialControls();
    void generation_runSeededAndCounts();
    void generation_outputButtons();
    void generation_dictionaryFailuresChangeNothing();
    void generation_refusesHugeRuns();
    void generation_cancelarUnloads();
    void generation_escapeKeepsTheWork();
    void generation_tabLeavesTheResult();
    void generation_enterPressesOnlyTheFocusedButton();
    void generation_shortDictionaryAllowsManyRows();

    void launcher_generatorEntryKeepsOneWindow();

private:
    frmEditar *openEditor(int panel);
    frmHacer *openGeneration();

    std::unique_ptr<FakePlatformServices> services_;
    std::unique_ptr<frmGenerar> window_;
    std::unique_ptr<QTemporaryDir> dir_;
};

void tst_GeneratorWindows::initTestCase()
{
    applyApplicationStyle(*qApp);
}

void tst_GeneratorWindows::init()
{
    services_ = std::make_unique<FakePlatformServices>();
    window_ = std::make_unique<frmGenerar>(*services_);
    window_->show();
    dir_ = std::make_unique<QTemporaryDir>();
    programRandom().reset();
}

void tst_GeneratorWindows::cleanup()
{
    window_.reset();
    services_.reset();
}

frmEditar *tst_GeneratorWindows::openEditor(int panel)
{
    QTest::mouseClick(window_->cmdEditar[std::size_t(panel)], Qt::LeftButton);
    return window_->findChild<frmEditar *>();
}

frmHacer *tst_GeneratorWindows::openGeneration()
{
    QTest::mouseClick(window_->cmdGenerar, Qt::LeftButton);
    return window_->findChild<frmHacer *>();
}

void tst_GeneratorWindows::definition_initialControls()
{
    frmGenerar &w = *window_;
    QCOMPARE(w.windowTitle(), QStringLiteral("Generador de Palabras Personalizado"));
    for (int i = 0; i < 8; ++i) {
        auto *combo = w.findChild<QComboBox *>(QStringLiteral("cmbIdent(%1)").arg(i));
        QVERIFY(combo);
        QCOMPARE(combo->currentText(), QString(QChar(u'A' + i)));
        QCOMPARE(combo->count(), 36);
        QCOMPARE(combo->itemText(26), QStringLiteral("0"));
        QVERIFY(combo->isEditable());
        QVERIFY(w.findChild<QGroupBox *>(QStringLiteral("Frame(%1)").arg(i))->title().isEmpty());
        QCOMPARE(w.findChild<QPushButton *>(QStringLiteral("cmdEditar(%1)").arg(i))->text(), QStringLiteral("Editar"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblIdent(%1)").arg(i))->text(),
                 QStringLiteral("Identificador:"));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("lblDescrip(%1)").arg(i))->text(),
                 QString::fromUtf8("Descripción:"));
        QCOMPARE(w.findChild<QListWidget *>(QStringLiteral("lstLetras(%1)").arg(i))->count(), 0);
    }
    QCOMPARE(w.cmdAgregar->text(), QStringLiteral("<<"));
    QCOMPARE(w.cmdExtraer->text(), QStringLiteral(">>"));
    QCOMPARE(w.cmdEliminar->text(), QStringLiteral("X"));
    QCOMPARE(w.cmdLimpiar->text(), QStringLiteral("Limpiar todas"));
    QCOMPARE(w.lblSilabas->text(), QString::fromUtf8("Lista de sílabas posibles:"));
    QCOMPARE(w.mnuFile->title(), QStringLiteral("Archivo"));
    QCOMPARE(w.mnuOpen->text(), QString::fromUtf8("Abrir combinación"));
    QCOMPARE(w.mnuSave->text(), QString::fromUtf8("Guardar combinación"));
    QCOMPARE(w.findChild<QWidget *>(QStringLiteral("clientArea"))->size(), QSize(792, 507));
    QCOMPARE(w.Frame[5]->geometry(), QRect(8, 256, 129, 241));
    QCOMPARE(w.combinacion(), Combinacion::initial());
}

void tst_GeneratorWindows::definition_descriptionIsFrameCaption()
{
    QTest::keyClicks(window_->txtDescrip[2], QStringLiteral("Vocales "));
    QTest::sendKeyEvent(QTest::Click, window_->txtDescrip[2], Qt::Key_Aacute, QString::fromUtf8("á"), Qt::NoModifier);
    QCOMPARE(window_->Frame[2]->title(), QString::fromUtf8("Vocales á"));
    QTest::keyClick(window_->txtDescrip[2], Qt::Key_Backspace);
    QCOMPARE(window_->Frame[2]->title(), QStringLiteral("Vocales "));
}

void tst_GeneratorWindows::definition_identifiersWholeAndFramesInLine()
{
    frmGenerar &w = *window_;
    // The identifier box shows the widest capital whole (its text area holds
    // it and a line edit's margins), in its place at the right edge of the list.
    for (int i = 0; i < 8; ++i) {
        QComboBox *combo = w.cmbIdent[std::size_t(i)];
        const QFontMetrics metrics = combo->lineEdit()->fontMetrics();
        const int widest =
            std::max(metrics.horizontalAdvance(QLatin1Char('W')), metrics.horizontalAdvance(QLatin1Char('M')));
        QVERIFY2(combo->lineEdit()->width() >= widest + 5, qPrintable(QString::number(combo->lineEdit()->width())));
        QCOMPARE(combo->geometry().right(), w.lstLetras[std::size_t(i)]->geometry().right());
        QCOMPARE(combo->geometry().top(), twipsRect(0, 1080, 0, 0).top());
    }
    QCOMPARE(w.cmbIdent[6]->geometry(), twipsRect(1200, 1080, 495, 315)); // room enough at this font

    // A caption moves no frame: the top line of the frame stands at one height in every panel.
    QTest::keyClicks(w.txtDescrip[1], QStringLiteral("Vocales"));
    const auto frameTop = [](QGroupBox *frame) {
        const QImage image = frame->grab().toImage();
        const int x = image.width() - 12; // right of any caption
        for (int y = 1; y < image.height(); ++y) {
            if (image.pixel(x, y) != image.pixel(x, 0))
                return y;
        }
        return -1;
    };
    const int uncaptioned = frameTop(w.Frame[0]);
    QVERIFY(uncaptioned > 0);
    QCOMPARE(frameTop(w.Frame[1]), uncaptioned);
}

void tst_GeneratorWindows::definition_patternButtons()
{
    frmGenerar &w = *window_;
    click(w.cmdAgregar); // an empty text adds an empty pattern
    QCOMPARE(listTexts(w.lstSilabas), QStringList{QString()});
    w.lstSilabas->clear();

    for (const char *pattern : {"KV", "KVK", "V", "VK", "KV"}) {
        w.txtSilaba->setText(QLatin1String(pattern));
        click(w.cmdAgregar);
    }
    QCOMPARE(w.txtSilaba->text(), QStringLiteral("KV"));
    QCOMPARE(listTexts(w.lstSilabas), (QStringList{"KV", "KVK", "V", "VK", "KV"}));

    // ">>" moves the selected pattern into the box; "<<" adds it at the end.
    w.lstSilabas->setCurrentRow(1);
    click(w.cmdExtraer);
    QCOMPARE(w.txtSilaba->text(), QStringLiteral("KVK"));
    QCOMPARE(listTexts(w.lstSilabas), (QStringList{"KV", "V", "VK", "KV"}));
    QVERIFY(w.lstSilabas->selectedItems().isEmpty());
    click(w.cmdExtraer); // nothing selected: nothing happens
    QCOMPARE(w.lstSilabas->count(), 4);
    click(w.cmdAgregar);
    QCOMPARE(listTexts(w.lstSilabas), (QStringList{"KV", "V", "VK", "KV", "KVK"}));

    // "X" on the third removes it and selects the first.
    w.lstSilabas->setCurrentRow(2);
    click(w.cmdEliminar);
    QCOMPARE(listTexts(w.lstSilabas), (QStringList{"KV", "V", "KV", "KVK"}));
    QCOMPARE(w.lstSilabas->currentRow(), 0);
    QVERIFY(w.lstSilabas->item(0)->isSelected());

    w.lstSilabas->clear();
    w.lstSilabas->addItem(QStringLiteral("solo"));
    w.lstSilabas->setCurrentRow(0);
    click(w.cmdEliminar);
    QCOMPARE(w.lstSilabas->count(), 0);
    QVERIFY(w.lstSilabas->selectedItems().isEmpty());
    click(w.cmdEliminar); // no selection: nothing happens
}

void tst_GeneratorWindows::definition_addedPatternIsShown()
{
    using namespace vordane::test;
    frmGenerar &w = *window_;
    QVERIFY(activate(&w));
    QTest::mouseClick(w.txtSilaba, Qt::LeftButton);
    typeText(QStringLiteral("KV"));
    for (int i = 0; i < 3; ++i)
        pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(hasFocus(w.cmdAgregar));
    for (int i = 0; i < 30; ++i) {
        pressKey(Qt::Key_Return);
        const QRect last = w.lstSilabas->visualItemRect(w.lstSilabas->item(w.lstSilabas->count() - 1));
        QVERIFY2(w.lstSilabas->viewport()->rect().contains(last), qPrintable(QString::number(i)));
    }
    QCOMPARE(w.lstSilabas->count(), 30);
}

void tst_GeneratorWindows::definition_limpiarKeepsIdentifiersAndCaptions()
{
    frmGenerar &w = *window_;
    Combinacion d = Combinacion::initial();
    d.panels[0] = {"K", "Consonantes", {"p", "t"}};
    d.panels[6] = {"V", "Vocales", {"a"}};
    d.patterns = {"KV"};
    w.setCombinacion(d);
    w.txtSilaba->setText(QStringLiteral("VK"));
    click(w.cmdLimpiar);
    const Combinacion after = w.combinacion();
    QCOMPARE(after.panels[0].identifier, QStringLiteral("K"));
    QCOMPARE(after.panels[6].description, QStringLiteral("Vocales"));
    QCOMPARE(w.Frame[6]->title(), QStringLiteral("Vocales"));
    QVERIFY(after.panels[0].letters.isEmpty());
    QVERIFY(after.panels[6].letters.isEmpty());
    QVERIFY(after.patterns.isEmpty());
    QCOMPARE(w.txtSilaba->text(), QStringLiteral("VK"));
}

void tst_GeneratorWindows::definition_saveAndOpenThroughDialogs()
{
    frmGenerar &w = *window_;
    const QString path = dir_->filePath(QStringLiteral("def.lng"));
    Combinacion d = Combinacion::initial();
    d.panels[0] = {"K", QString::fromUtf8("Consonantes ñ"), {QString::fromUtf8("ŋ"), "t", ""}};
    d.panels[1] = {"V", "Vocales", {"a", "i"}};
    d.patterns = {"KV", "", "'sV"};
    w.setCombinacion(d);
    QCOMPARE(w.vaciar(0), QString::fromUtf8("ŋ,t,"));

    services_->answerDialog(path);
    w.mnuSave->trigger();
    const auto *save = services_->last(Kind::Save);
    QVERIFY(save);
    QCOMPARE(save->title, QString::fromUtf8("Guardar combinación"));
    QCOMPARE(save->filter, QStringLiteral("Archivos de lenguajes (*.lng)|*.lng|Todos los archivos|*.*"));
    QVERIFY(QFile::exists(path));

    click(w.cmdLimpiar);
    w.txtDescrip[0]->clear();
    services_->answerDialog(path);
    w.mnuOpen->trigger();
    QCOMPARE(services_->last(Kind::Open)->title, QString::fromUtf8("Abrir combinación"));
    QCOMPARE(w.combinacion(), d);
    QCOMPARE(w.Frame[0]->title(), QString::fromUtf8("Consonantes ñ"));
    QCOMPARE(services_->count(Kind::Warning), 0);

    // A cancelled dialog changes and writes nothing.
    const QByteArray before = readBytes(path);
    w.mnuSave->trigger();
    w.mnuOpen->trigger();
    QCOMPARE(readBytes(path), before);
    QCOMPARE(w.combinacion(), d);
    QCOMPARE(services_->count(Kind::Warning), 0);

    w.llenar(3, QStringLiteral("a,,b"));
    QCOMPARE(listTexts(w.lstLetras[3]), (QStringList{"a", "", "b"}));
}

void tst_GeneratorWindows::definition_openFailuresChangeNothing()
{
    frmGenerar &w = *window_;
    Combinacion d = Combinacion::initial();
    d.panels[2] = {"Q", "Nada", {"q"}};
    d.patterns = {"Q"};
    w.setCombinacion(d);

    const QString shortFile = dir_->filePath(QStringLiteral("corto.lng"));
    QVERIFY(writeBytes(shortFile, "uno\r\ndos\r\n"));
    for (const QString &path : {shortFile, dir_->filePath(QStringLiteral("falta.lng")), dir_->path()}) {
        services_->answerDialog(path);
        w.mnuOpen->trigger();
        const auto *warning = services_->last(Kind::Warning);
        QVERIFY(warning);
        QCOMPARE(warning->title, QString::fromUtf8("Abrir combinación"));
        QVERIFY2(warning->text.contains(QDir::toNativeSeparators(path)), qPrintable(warning->text));
        QCOMPARE(w.combinacion(), d);
    }

    services_->answerDialog(dir_->filePath(QStringLiteral("no/existe/x.lng")));
    w.mnuSave->trigger();
    QCOMPARE(services_->last(Kind::Warning)->title, QString::fromUtf8("Guardar combinación"));
    QCOMPARE(services_->count(Kind::Warning), 4);
}

void tst_GeneratorWindows::definition_identifiersKeepWhatIsTyped_data()
{
    QTest::addColumn<int>("leave"); // 0: Tab, 1: Enter, 2: a click in another box
    QTest::newRow("tab") << 0;
    QTest::newRow("enter") << 1;
    QTest::newRow("click elsewhere") << 2;
}

void tst_GeneratorWindows::definition_identifiersKeepWhatIsTyped()
{
    QFETCH(int, leave);
    frmGenerar &w = *window_;
    QVERIFY(activate(&w));
    typeInto(w.cmbIdent[0], QStringLiteral("k"));
    QCOMPARE(w.cmbIdent[0]->currentText(), QStringLiteral("k"));
    if (leave == 0)
        QTest::keyClick(w.cmbIdent[0]->lineEdit(), Qt::Key_Tab);
    else if (leave == 1)
        QTest::keyClick(w.cmbIdent[0]->lineEdit(), Qt::Key_Return);
    else
        QTest::mouseClick(w.txtSilaba, Qt::LeftButton);
    QCOMPARE(w.cmbIdent[0]->currentText(), QStringLiteral("k"));
    if (leave != 1)
        QVERIFY(!w.cmbIdent[0]->hasFocus());

    // A lower-case pattern matches the lower-case identifier: not an empty word.
    w.lstLetras[0]->addItem(QStringLiteral("p"));
    w.lstSilabas->addItem(QStringLiteral("k"));
    frmHacer *h = openGeneration();
    h->txtFilas->setText(QStringLiteral("2"));
    click(h->cmdGenerar);
    // (With the identifier turned into "K", every word would be empty.)
    QVERIFY2(QRegularExpression(QStringLiteral("^(p{2,4}\r\n){2}$")).match(h->txtPalabras->text()).hasMatch(),
             qPrintable(h->txtPalabras->text()));
}

void tst_GeneratorWindows::definition_loadedIdentifiersSurviveTabbing()
{
    frmGenerar &w = *window_;
    Combinacion d = Combinacion::initial();
    d.panels[0].identifier = QStringLiteral("k");
    d.panels[1].identifier = QStringLiteral("v");
    w.setCombinacion(d);
    QVERIFY(activate(&w));
    // Tab through both boxes, as a person moving along the window does.
    QTest::mouseClick(w.cmbIdent[0]->lineEdit(), Qt::LeftButton);
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(w.cmbIdent[0]->currentText(), QStringLiteral("k"));
    QCOMPARE(w.cmbIdent[1]->currentText(), QStringLiteral("v"));
    const QString path = dir_->filePath(QStringLiteral("k.lng"));
    services_->answerDialog(path);
    w.mnuSave->trigger();
    QVERIFY(readBytes(path).contains("\r\nk\r\nv\r\nC\r\n"));
}

void tst_GeneratorWindows::editor_readsAndRewritesThePanel()
{
    Combinacion d = Combinacion::initial();
    d.panels[1].letters = {"b", "d", "g"};
    window_->setCombinacion(d);

    frmEditar *editor = openEditor(5);
    QVERIFY(editor);
    QCOMPARE(services_->last(Kind::Modal)->text, QStringLiteral("frmEditar"));
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->windowTitle(), QStringLiteral("Editar"));
    QCOMPARE(editor->lblEditar->text(), QStringLiteral("Introduzca las letras separadas por comas."));
    QCOMPARE(editor->cmbSeleid->count(), 8);
    QCOMPARE(editor->cmbSeleid->currentText(), QStringLiteral("F")); // the pressed panel
    QVERIFY(editor->txtEditar->text().isEmpty());
    QCOMPARE(window_->lstLetras[5]->count(), 0); // showing it wrote nothing back
    QCOMPARE(editor->findChild<QWidget *>(QStringLiteral("clientArea"))->size(), QSize(302, 224));

    editor->cmbSeleid->setCurrentIndex(1);
    emit editor->cmbSeleid->activated(1);
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("b,d,g"));
    QCOMPARE(listTexts(window_->lstLetras[1]), (QStringList{"b", "d", "g"})); // filling wrote nothing back

    // Every keystroke rewrites the panel.
    editor->cmbSeleid->setCurrentIndex(0);
    emit editor->cmbSeleid->activated(0);
    QTest::keyClicks(editor->txtEditar, QStringLiteral("a,"));
    QCOMPARE(listTexts(window_->lstLetras[0]), (QStringList{"a", ""}));
    QTest::keyClicks(editor->txtEditar, QStringLiteral("e,i,o,u"));
    QCOMPARE(listTexts(window_->lstLetras[0]), (QStringList{"a", "e", "i", "o", "u"}));

    // A line break is part of a letter; only "," separates.
    QTest::keyClick(editor->txtEditar, Qt::Key_Return);
    QCOMPARE(listTexts(window_->lstLetras[0]).constLast(), QStringLiteral("u\r\n"));

    // Deleting everything leaves one empty letter.
    editor->txtEditar->setText(QString());
    QCOMPARE(listTexts(window_->lstLetras[0]), QStringList{QString()});
}

void tst_GeneratorWindows::editor_selectedPanelRules()
{
    window_->cmbIdent[2]->setEditText(QStringLiteral("X"));
    window_->cmbIdent[6]->setEditText(QStringLiteral("X"));
    window_->lstLetras[6]->addItems({"p", "q"});
    frmEditar *editor = openEditor(0);
    QCOMPARE(editor->cmbSeleid->itemText(2), QStringLiteral("X"));

    // Two panels with one identifier: the later one is read and written.
    editor->cmbSeleid->setCurrentIndex(2);
    emit editor->cmbSeleid->activated(2);
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("p,q"));
    QTest::keyClick(editor->txtEditar, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor->txtEditar, QStringLiteral(",r"));
    QCOMPARE(listTexts(window_->lstLetras[6]), (QStringList{"p", "q", "r"}));
    QCOMPARE(window_->lstLetras[2]->count(), 0);

    // A typed identifier nobody has selects panel 0, without refilling the text.
    editor->cmbSeleid->setEditText(QStringLiteral("nadie"));
    QCOMPARE(editor->selectedPanel(), 0);
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("p,q,r"));
    QTest::keyClicks(editor->txtEditar, QStringLiteral("s"));
    QCOMPARE(listTexts(window_->lstLetras[0]), (QStringList{"p", "q", "rs"}));
}

void tst_GeneratorWindows::editor_aceptarHidesCloseUnloads()
{
    frmEditar *editor = openEditor(0);
    editor->cmbSeleid->setCurrentIndex(3);
    emit editor->cmbSeleid->activated(3);
    QTest::keyClicks(editor->txtEditar, QStringLiteral("x,y"));
    click(editor->cmdAceptar);
    QVERIFY(!editor->isVisible());
    QCOMPARE(listTexts(window_->lstLetras[3]), (QStringList{"x", "y"}));

    // The same editor, on the pressed panel; identifiers changed since are not listed.
    window_->cmbIdent[0]->setEditText(QStringLiteral("Z"));
    QCOMPARE(openEditor(3), editor);
    QVERIFY(editor->isVisible());
    QCOMPARE(editor->cmbSeleid->currentText(), QStringLiteral("D"));
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("x,y"));
    QCOMPARE(editor->cmbSeleid->itemText(0), QStringLiteral("A"));

    // The close button unloads it: the next press rebuilds the list.
    QPointer<frmEditar> old = editor;
    editor->close();
    QTRY_VERIFY(old.isNull());
    frmEditar *fresh = openEditor(0);
    QVERIFY(fresh);
    QCOMPARE(fresh->cmbSeleid->itemText(0), QStringLiteral("Z"));
    QCOMPARE(fresh->cmbSeleid->itemText(3), QStringLiteral("D"));
    QVERIFY(fresh->txtEditar->text().isEmpty());
}

void tst_GeneratorWindows::editor_opensOnThePressedPanelEveryTime()
{
    frmEditar *editor = openEditor(0);
    QVERIFY(activate(editor));
    QTest::keyClicks(editor->txtEditar, QStringLiteral("p,t,k,m"));
    click(editor->cmdAceptar);

    // "Editar" under B: B's empty box, and typing fills B, not A.
    QCOMPARE(openEditor(1), editor);
    QCOMPARE(editor->cmbSeleid->currentIndex(), 1);
    QCOMPARE(editor->cmbSeleid->currentText(), QStringLiteral("B"));
    QVERIFY(editor->txtEditar->text().isEmpty());
    QTest::keyClicks(editor->txtEditar, QStringLiteral("a,e,i,o,u"));
    click(editor->cmdAceptar);
    QCOMPARE(listTexts(window_->lstLetras[0]), (QStringList{"p", "t", "k", "m"}));
    QCOMPARE(listTexts(window_->lstLetras[1]), (QStringList{"a", "e", "i", "o", "u"}));

    // Back to A: its letters, written nowhere by the showing.
    openEditor(0);
    QCOMPARE(editor->cmbSeleid->currentText(), QStringLiteral("A"));
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("p,t,k,m"));
    click(editor->cmdAceptar);

    // Identifiers changed after the load, one of them now also a later
    // panel's: the pressed panel is still the one shown and written.
    typeInto(window_->cmbIdent[1], QStringLiteral("E"));
    window_->lstLetras[4]->addItems({"x", "z"});
    openEditor(1);
    QCOMPARE(editor->cmbSeleid->currentIndex(), 1);
    QCOMPARE(editor->cmbSeleid->currentText(), QStringLiteral("E"));
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("a,e,i,o,u"));
    QTest::keyClick(editor->txtEditar, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor->txtEditar, QStringLiteral(",y"));
    QCOMPARE(listTexts(window_->lstLetras[1]), (QStringList{"a", "e", "i", "o", "u", "y"}));
    QCOMPARE(listTexts(window_->lstLetras[4]), (QStringList{"x", "z"}));

    // Picking the entry from the list selects by identifier again: the later panel.
    editor->cmbSeleid->setCurrentIndex(1);
    emit editor->cmbSeleid->activated(1);
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("x,z"));
    QTest::keyClick(editor->txtEditar, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor->txtEditar, QStringLiteral(",w"));
    QCOMPARE(listTexts(window_->lstLetras[4]), (QStringList{"x", "z", "w"}));
    QCOMPARE(listTexts(window_->lstLetras[1]), (QStringList{"a", "e", "i", "o", "u", "y"}));
}

void tst_GeneratorWindows::editor_typingIntoTheSelectorRefillsNothing()
{
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"a", "e"};
    d.panels[1].letters = {"b", "d", "g"};
    window_->setCombinacion(d);
    frmEditar *editor = openEditor(0);
    QVERIFY(activate(editor));
    editor->cmbSeleid->setCurrentIndex(0);
    emit editor->cmbSeleid->activated(0); // panel A chosen from the list
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("a,e"));

    for (const Qt::Key leave : {Qt::Key_Tab, Qt::Key_Return}) {
        typeInto(editor->cmbSeleid, QStringLiteral("b"));
        QTest::keyClick(editor->cmbSeleid->lineEdit(), leave);
        QCOMPARE(editor->cmbSeleid->currentText(), QStringLiteral("b"));
        QCOMPARE(editor->txtEditar->text(), QStringLiteral("a,e")); // not refilled with panel B
    }
    // The next change writes to the panel the typed text selects: "b" is
    // nobody's identifier, so panel 0; panel B keeps its letters.
    QTest::keyClick(editor->txtEditar, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(editor->txtEditar, QStringLiteral(",i"));
    QCOMPARE(listTexts(window_->lstLetras[0]), (QStringList{"a", "e", "i"}));
    QCOMPARE(listTexts(window_->lstLetras[1]), (QStringList{"b", "d", "g"}));

    // Choosing from the list still fills the text.
    editor->cmbSeleid->setCurrentIndex(1);
    emit editor->cmbSeleid->activated(1);
    QCOMPARE(editor->txtEditar->text(), QStringLiteral("b,d,g"));
}

void tst_GeneratorWindows::editor_tabThenEnterReachesAceptar()
{
    using namespace vordane::test;
    frmEditar *editor = openEditor(0);
    QVERIFY(activate(editor));
    QTest::mouseClick(editor->cmbSeleid->lineEdit(), Qt::LeftButton);
    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(editor->txtEditar));
    typeText(QStringLiteral("a,n"));
    // A person heading for "Aceptar" adds nothing to the last letter.
    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(editor->cmdAceptar));
    pressKey(Qt::Key_Return);
    QVERIFY(!editor->isVisible());
    QCOMPARE(listTexts(window_->lstLetras[0]), (QStringList{"a", "n"}));
}

void tst_GeneratorWindows::editor_escapeDoesNothing()
{
    frmEditar *editor = openEditor(0);
    QVERIFY(activate(editor));
    QTest::keyClick(editor, Qt::Key_Escape);
    QTest::keyClick(editor->cmbSeleid->lineEdit(), Qt::Key_Escape);
    QTest::keyClick(editor->cmdAceptar, Qt::Key_Escape);
    QVERIFY(editor->isVisible());
    QCOMPARE(window_->findChild<frmEditar *>(), editor);
}

void tst_GeneratorWindows::generation_initialControls()
{
    frmHacer *w = openGeneration();
    QVERIFY(w);
    QCOMPARE(w->windowTitle(), QStringLiteral("Generar Palabras"));
    QCOMPARE(w->txtFilas->text(), QStringLiteral("100"));
    QCOMPARE(w->txtPorfila->text(), QStringLiteral("1"));
    QCOMPARE(w->txtMinimas->text(), QStringLiteral("1"));
    QCOMPARE(w->txtMaximas->text(), QStringLiteral("4"));
    QCOMPARE(w->txtSemilla->text(), QStringLiteral("0"));
    QCOMPARE(w->txtEstado->text(), QStringLiteral("Listo."));
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("0"));
    QVERIFY(!w->chkAdosar->isChecked());
    QCOMPARE(w->chkAdosar->text(), QStringLiteral("Adosar a diccionario"));
    QCOMPARE(w->fraSilabas->title(), QString::fromUtf8("Sílabas"));
    QCOMPARE(w->fraPalabras->title(), QStringLiteral("Palabras"));
    const QStringList buttons{"Generar",
                              "Limpiar",
                              "Copiar",
                              "Guardar",
                              QString::fromUtf8("Mayúsculas"),
                              QString::fromUtf8("Minúsculas"),
                              "Cancelar",
                              "Examinar",
                              "Utilizar semilla"};
    const QList<QPushButton *> controls{w->cmdGenerar,   w->cmdLimpiar,  w->cmdCopiar,   w->cmdSave,   w->cmdMayuscula,
                                        w->cmdMinuscula, w->cmdCancelar, w->cmdExaminar, w->cmdSemilla};
    for (qsizetype i = 0; i < buttons.size(); ++i)
        QCOMPARE(controls.at(i)->text(), buttons.at(i));
    QCOMPARE(w->findChild<QWidget *>(QStringLiteral("clientArea"))->size(), QSize(481, 497));
}

void tst_GeneratorWindows::generation_runSeededAndCounts()
{
    Combinacion d = Combinacion::initial();
    d.panels[0] = {"K", "", {"p", "t", "k"}};
    d.panels[1] = {"V", "", {"a", "i", "u"}};
    d.patterns = {"KV", "KVK"};
    window_->setCombinacion(d);
    frmHacer *w = openGeneration();
    w->txtFilas->setText(QStringLiteral("5"));
    w->txtSemilla->setText(QStringLiteral("42"));
    click(w->cmdSemilla);
    click(w->cmdGenerar);
    QCOMPARE(w->txtPalabras->text(), QStringLiteral("tuptitakik\r\nkippip\r\npipupkak\r\ntaptitiki\r\npatutikki\r\n"));
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("5"));
    QCOMPARE(w->txtEstado->text(), QStringLiteral("Listo."));

    // The counter is never reset, not by a run nor by "Limpiar".
    w->txtFilas->setText(QStringLiteral("  100 filas"));
    click(w->cmdGenerar);
    QCOMPARE(w->txtPalabras->text().count(QStringLiteral("\r\n")), 100);
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("105"));
    click(w->cmdLimpiar);
    QVERIFY(w->txtPalabras->text().isEmpty());
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("105"));

    // No number of rows: an empty result, status back to ready.
    w->txtFilas->setText(QStringLiteral("ninguna"));
    click(w->cmdGenerar);
    QVERIFY(w->txtPalabras->text().isEmpty());
    QCOMPARE(w->txtEstado->text(), QStringLiteral("Listo."));

    // With a dictionary of fewer lines, one pair per line.
    const QString dict = dir_->filePath(QStringLiteral("dic.txt"));
    QVERIFY(writeBytes(dict, "agua\r\nfuego\r\n"));
    w->txtFilas->setText(QStringLiteral("10"));
    w->chkAdosar->setChecked(true);
    w->txtDict->setText(dict);
    click(w->cmdGenerar);
    const QStringList rows = w->txtPalabras->text().split(QStringLiteral("\r\n"));
    QCOMPARE(rows.size(), 3);
    QVERIFY(rows.at(0).startsWith(QStringLiteral("agua = ")));
    QVERIFY(rows.at(1).startsWith(QStringLiteral("fuego = ")));
    QCOMPARE(rows.at(2), QString());
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("107"));

    // An existing empty dictionary is no error: an empty result.
    QVERIFY(writeBytes(dict, ""));
    click(w->cmdGenerar);
    QVERIFY(w->txtPalabras->text().isEmpty());
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("107"));
    QCOMPARE(services_->count(Kind::Warning), 0);
}

void tst_GeneratorWindows::generation_outputButtons()
{
    frmHacer *w = openGeneration();
    w->txtPalabras->setText(QString::fromUtf8("ña\r\ná\r\nb\r\n"));

    click(w->cmdMayuscula);
    QCOMPARE(w->txtPalabras->text(), QString::fromUtf8("ÑA\r\nÁ\r\nB\r\n"));
    QCOMPARE(w->txtEstado->text(), QStringLiteral("Listo."));
    click(w->cmdMinuscula);
    QCOMPARE(w->txtPalabras->text(), QString::fromUtf8("ña\r\ná\r\nb\r\n"));

    click(w->cmdCopiar);
    QCOMPARE(services_->clipboard, QString::fromUtf8("ña\r\ná\r\nb\r\n"));

    const QString out = dir_->filePath(QStringLiteral("out.txt"));
    services_->answerDialog(out);
    click(w->cmdSave);
    QCOMPARE(services_->last(Kind::Save)->title, QStringLiteral("Guardar texto"));
    QCOMPARE(readBytes(out),
             QByteArray("\xf1"
                        "a\r\n\xe1\r\nb\r\n\r\n"));
    QCOMPARE(w->txtEstado->text(), QStringLiteral("Listo."));

    click(w->cmdLimpiar);
    services_->answerDialog(out);
    click(w->cmdSave);
    QCOMPARE(readBytes(out), QByteArray("\r\n"));

    // A cancelled save writes nothing; an impossible path warns.
    click(w->cmdSave);
    QCOMPARE(readBytes(out), QByteArray("\r\n"));
    QCOMPARE(w->txtEstado->text(), QStringLiteral("Listo."));
    services_->answerDialog(dir_->filePath(QStringLiteral("no/such/dir.txt")));
    click(w->cmdSave);
    QCOMPARE(services_->last(Kind::Warning)->title, QStringLiteral("Guardar texto"));

    services_->answerDialog(QStringLiteral("/algo/dic.txt"));
    click(w->cmdExaminar);
    QCOMPARE(services_->last(Kind::Open)->title, QStringLiteral("Abrir diccionario"));
    QCOMPARE(w->txtDict->text(), QStringLiteral("/algo/dic.txt"));
    click(w->cmdExaminar); // cancelled: the path is emptied
    QVERIFY(w->txtDict->text().isEmpty());
}

void tst_GeneratorWindows::generation_dictionaryFailuresChangeNothing()
{
    frmHacer *w = openGeneration();
    w->txtPalabras->setText(QStringLiteral("previo"));
    w->chkAdosar->setChecked(true);
    for (const QString &path : {QString(), dir_->filePath(QStringLiteral("falta.txt")), dir_->path()}) {
        w->txtDict->setText(path);
        click(w->cmdGenerar);
        const auto *warning = services_->last(Kind::Warning);
        QVERIFY(warning);
        QCOMPARE(warning->title, QString::fromUtf8("Generación"));
        QCOMPARE(w->txtPalabras->text(), QStringLiteral("previo"));
        QCOMPARE(w->txtCuantas->text(), QStringLiteral("0"));
        QCOMPARE(w->txtEstado->text(), QStringLiteral("Listo."));
    }
    QCOMPARE(programRandom().nextUnit(), RandomSource().nextUnit());
}

void tst_GeneratorWindows::generation_refusesHugeRuns()
{
    frmHacer *w = openGeneration();
    w->txtFilas->setText(QStringLiteral("10000001"));
    click(w->cmdGenerar);
    QCOMPARE(services_->count(Kind::Warning), 1);
    QVERIFY(services_->last(Kind::Warning)->text.contains(QStringLiteral("10.000.000")));
    w->txtFilas->setText(QStringLiteral("1"));
    w->txtMinimas->setText(QString(40, QLatin1Char('9')));
    click(w->cmdGenerar);
    QCOMPARE(services_->count(Kind::Warning), 2);
    QVERIFY(w->txtPalabras->text().isEmpty());
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("0"));
}

void tst_GeneratorWindows::generation_cancelarUnloads()
{
    frmHacer *w = openGeneration();
    w->txtFilas->setText(QStringLiteral("3"));
    click(w->cmdGenerar);
    QPointer<frmHacer> old = w;
    click(w->cmdCancelar);
    QTRY_VERIFY(old.isNull());
    frmHacer *fresh = openGeneration();
    QCOMPARE(fresh->txtFilas->text(), QStringLiteral("100"));
    QCOMPARE(fresh->txtCuantas->text(), QStringLiteral("0"));
    QVERIFY(fresh->txtPalabras->text().isEmpty());
}

void tst_GeneratorWindows::generation_escapeKeepsTheWork()
{
    frmHacer *w = openGeneration();
    QVERIFY(activate(w));
    w->txtFilas->setText(QStringLiteral("3"));
    click(w->cmdGenerar);
    const QString text = w->txtPalabras->text();
    QPointer<frmHacer> kept = w;
    QTest::keyClick(w, Qt::Key_Escape);
    QTest::keyClick(w->txtFilas, Qt::Key_Escape);
    QTest::keyClick(w->cmdGenerar, Qt::Key_Escape);
    QApplication::processEvents();
    QVERIFY(kept);
    QVERIFY(w->isVisible());
    QCOMPARE(w->txtPalabras->text(), text);
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("3"));
}

void tst_GeneratorWindows::generation_tabLeavesTheResult()
{
    using namespace vordane::test;
    frmHacer *w = openGeneration();
    QVERIFY(activate(w));
    QTest::mouseClick(w->txtPalabras, Qt::LeftButton);
    QVERIFY(hasFocus(w->txtPalabras));
    typeText(QStringLiteral("uno"));
    pressKey(Qt::Key_Tab);
    QVERIFY(!hasFocus(w->txtPalabras));
    pressKey(Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(hasFocus(w->txtPalabras));
    QCOMPARE(w->txtPalabras->text(), QStringLiteral("uno"));
}

void tst_GeneratorWindows::generation_enterPressesOnlyTheFocusedButton()
{
    using namespace vordane::test;
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"a"};
    d.patterns = {"A"};
    window_->setCombinacion(d);
    frmHacer *w = openGeneration();
    QVERIFY(activate(w));
    QTest::mouseClick(w->txtSemilla, Qt::LeftButton);
    pressKey(Qt::Key_Tab);
    pressKey(Qt::Key_Tab);
    QVERIFY(hasFocus(w->cmdGenerar));
    pressKey(Qt::Key_Return);
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("100"));
    const QString words = w->txtPalabras->text();

    // Enter in a box after a button had the focus presses no button.
    const qsizetype calls = services_->calls.size();
    QTest::mouseClick(w->txtFilas, Qt::LeftButton);
    QVERIFY(hasFocus(w->txtFilas));
    pressKey(Qt::Key_Return);
    QTest::mouseClick(w->txtDict, Qt::LeftButton);
    pressKey(Qt::Key_Return);
    QVERIFY(w->isVisible());
    QCOMPARE(w->txtPalabras->text(), words);
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("100"));
    QCOMPARE(services_->calls.size(), calls);
}

void tst_GeneratorWindows::generation_shortDictionaryAllowsManyRows()
{
    // Twenty million rows with a three-line dictionary make three words.
    Combinacion d = Combinacion::initial();
    d.panels[0].letters = {"o"};
    d.patterns = {"A"};
    window_->setCombinacion(d);
    const QString dict = dir_->filePath(QStringLiteral("d3.txt"));
    QVERIFY(writeBytes(dict, "uno\r\ndos\r\ntres\r\n"));
    frmHacer *w = openGeneration();
    w->txtFilas->setText(QStringLiteral("20000000"));
    w->chkAdosar->setChecked(true);
    w->txtDict->setText(dict);
    click(w->cmdGenerar);
    QCOMPARE(services_->count(Kind::Warning), 0);
    QCOMPARE(w->txtCuantas->text(), QStringLiteral("3"));
    QVERIFY(w->txtPalabras->text().startsWith(QStringLiteral("uno = o")));
    QCOMPARE(w->txtPalabras->text().count(QStringLiteral("\r\n")), 3);

    // A dictionary as long as the rows is refused as before.
    w->txtFilas->setText(QStringLiteral("10000001"));
    QByteArray many;
    for (int i = 0; i < 10'000'001; ++i)
        many += "x\n";
    QVERIFY(writeBytes(dict, many));
    click(w->cmdGenerar);
    QCOMPARE(services_->count(Kind::Warning), 1);
    QCOMPARE(services_->last(Kind::Warning)->text, messages::kTooManyWords);
}

void tst_GeneratorWindows::launcher_generatorEntryKeepsOneWindow()
{
    frmVordane main(*services_);
    main.show();
    QVERIFY(main.mnuGenerador->isEnabled());
    main.mnuGenerador->trigger();
    auto *first = qobject_cast<frmGenerar *>(main.mdiArea()->activeSubWindow()->widget());
    QVERIFY(first);
    first->txtDescrip[0]->setText(QStringLiteral("dejado"));
    main.mnuGenerador->trigger();
    QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
    QCOMPARE(main.mdiArea()->activeSubWindow()->widget(), first);
    QCOMPARE(first->txtDescrip[0]->text(), QStringLiteral("dejado"));

    QPointer<QMdiSubWindow> sub = main.mdiArea()->activeSubWindow();
    sub->close();
    QTRY_VERIFY(sub.isNull());
    main.mnuGenerador->trigger();
    auto *second = qobject_cast<frmGenerar *>(main.mdiArea()->activeSubWindow()->widget());
    QVERIFY(second);
    QVERIFY(second->txtDescrip[0]->text().isEmpty());
}

QTEST_MAIN(tst_GeneratorWindows)
#include "tst_generator_windows.moc"
