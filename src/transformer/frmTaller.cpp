#include "transformer/frmTaller.h"

#include "common/linereader.h"
#include "common/linesource.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "dictionary/wordfile.h"
#include "history/historymessages.h"
#include "history/stagetable.h"
#include "notation/sca2import.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/multilinetextbox.h"
#include "shell/platformservices.h"
#include "shell/report.h"
#include "shell/workshopparts.h"
#include "transformer/ruleeditor.h"
#include "transformer/rulefile.h"
#include "transformer/workshopmodels.h"
#include "transformer/workshoprun.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include <Qsci/qsciscintilla.h>

#include <new>

namespace vordane {

namespace {

const QString kTitle = QStringLiteral("Taller de cambios fonéticos");
const QString kOpenRulesTitle = QStringLiteral("Abrir reglas");
const QString kSaveRulesTitle = QStringLiteral("Guardar reglas");
const QString kOpenWordsTitle = QStringLiteral("Abrir palabras");
const QString kSaveResultTitle = QStringLiteral("Guardar resultado");
const QString kSaveWordsTitle = QStringLiteral("Guardar palabras");
const QString kImportTitle = QStringLiteral("Importar reglas de SCA²");
const QString kOpenLexiconTitle = QStringLiteral("Abrir léxico");
const QString kSaveLexiconTitle = QStringLiteral("Guardar léxico derivado");
const QString kExportStagesTitle = QStringLiteral("Exportar etapas");
const QString kLexiconFiles = QStringLiteral(
    "Léxicos (*.lan, *.dct, *.dic, *.lex, *.txt)|*.lan;*.dct;*.dic;*.lex;*.txt|Archivos de lenguas (*.lan)|*.lan|"
    "Diccionarios (*.dct, *.dic)|*.dct;*.dic|Archivos de vocabulario (*.lex)|*.lex|Todos los archivos|*.*");
const QString kStageTables = QStringLiteral("Tablas separadas por tabuladores (*.tsv)|*.tsv|"
                                            "Tablas separadas por comas (*.csv)|*.csv|Todos los archivos|*.*");
const QString kSca2Files = QStringLiteral("Reglas de SCA² (*.txt, *.sc)|*.txt;*.sc|Todos los archivos|*.*");
const QString kUnsavedRules =
    QStringLiteral("Las reglas del taller tienen cambios sin guardar. ¿Quiere guardarlos antes de cerrar?");
const QString kUnsavedWords =
    QStringLiteral("Las palabras del taller tienen cambios sin guardar. ¿Quiere guardarlas antes de cerrar?");
// What a lexicon is, as the words' caption names it.
QString lexiconKindName(LexiconKind kind)
{
    switch (kind) {
    case LexiconKind::Language:
        return QStringLiteral("archivo de lengua");
    case LexiconKind::Dictionary:
        return QStringLiteral("diccionario");
    case LexiconKind::List:
        break;
    }
    return QStringLiteral("lista de palabras");
}

// The filter a lexicon of that kind is saved with: its own files first.
QString lexiconFilter(std::optional<LexiconKind> kind)
{
    return kind == LexiconKind::Language ? filters::kLanguages : filters::kWordFiles;
}

// The seed of a run without one, as on the command line.
const QString kDefaultSeed = QStringLiteral("5489");

// The width of a line box that shows `text` whole: the text, the margins
// the box keeps around it, the caret and the style's frame.
int lineBoxWidth(const QLineEdit *box, const QString &text)
{
    QStyleOptionFrame option;
    option.initFrom(box);
    option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    option.midLineWidth = 0;
    option.state |= QStyle::State_Sunken;
    const QFontMetrics metrics = box->fontMetrics();
    const QMargins margins = box->textMargins();
    const int inner = metrics.horizontalAdvance(text) + margins.left() + margins.right() + 2 * 2 + 1;
    return box->style()->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, metrics.height()), box).width();
}

void setUpTable(QTableView *table)
{
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false); // Tab goes on to the next control
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    // Rows of one height: a million of them lay out at once.
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 4);
    table->horizontalHeader()->setStretchLastSection(true);
    table->horizontalHeader()->setHighlightSections(false);
}

} // namespace

frmTaller::frmTaller(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
    , resultModel_(new ResultModel(this))
    , reportModel_(new ReportModel(this))
    , mergerModel_(new MergerModel(this))
    , pause_(new QTimer(this))
    , progress_(new QTimer(this))
{
    setObjectName(QStringLiteral("frmTaller"));
    pressButtonsWithEnter(this); // as in every other window
    pool_.setMaxThreadCount(1);
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    progress_->setInterval(100);
    buildMenu();
    buildPanes();
    connectControls();
    updateTitle();
}

frmTaller::~frmTaller()
{
    // The run under way must not outlive the window it reports to.
    if (control_)
        control_->abandoned = true;
    pool_.waitForDone();
}

QSize frmTaller::sizeHint() const
{
    // Fits the main window's area on a 1366 x 768 screen.
    return QSize(960, 600);
}

void frmTaller::buildMenu()
{
    menuBar = named(new QMenuBar(this), "menuBar");
    mnuArchivo = named(menuBar->addMenu(QStringLiteral("&Archivo")), "mnuArchivo");
    const auto entry = [this](const char *name, const QString &caption, const QKeySequence &keys) {
        return windowAction(this, mnuArchivo, name, caption, keys);
    };
    mnuAbrirReglas = entry("mnuAbrirReglas", QStringLiteral("Abrir reglas..."), QKeySequence::Open);
    mnuGuardarReglas = entry("mnuGuardarReglas", QStringLiteral("Guardar reglas"), QKeySequence::Save);
    mnuGuardarReglasComo = entry("mnuGuardarReglasComo", QStringLiteral("Guardar reglas como..."),
                                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuImportarSca2 = entry("mnuImportarSca2", QStringLiteral("Importar reglas de SCA²..."), QKeySequence());
    mnuArchivo->addSeparator();
    mnuAbrirPalabras =
        entry("mnuAbrirPalabras", QStringLiteral("Abrir palabras..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    mnuGuardarPalabras = entry("mnuGuardarPalabras", QStringLiteral("Guardar palabras..."),
                               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_G));
    mnuGuardarResultado = entry("mnuGuardarResultado", QStringLiteral("Guardar resultado..."),
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    mnuArchivo->addSeparator();
    mnuAbrirLexico =
        entry("mnuAbrirLexico", QStringLiteral("Abrir léxico..."), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_O));
    mnuGuardarLexico = entry("mnuGuardarLexico", QStringLiteral("Guardar léxico derivado..."),
                             QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D));
    mnuExportarEtapas = entry("mnuExportarEtapas", QStringLiteral("Exportar etapas..."),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    mnuGuardarLexico->setEnabled(false);
    mnuExportarEtapas->setEnabled(false);
    mnuArchivo->addSeparator();
    mnuAplicar = entry("mnuAplicar", QStringLiteral("Aplicar ahora"), QKeySequence(Qt::Key_F5));
}

void frmTaller::buildPanes()
{
    cmdAbrirReglas = named(new QPushButton(QStringLiteral("Abrir reglas...")), "cmdAbrirReglas",
                           QStringLiteral("Abre un archivo de reglas (.sc, .lns) en lugar de la lista (Ctrl+O)"));
    cmdGuardarReglas = named(new QPushButton(QStringLiteral("Guardar reglas")), "cmdGuardarReglas",
                             QStringLiteral("Guarda la lista de reglas en su archivo (Ctrl+S)"));
    cmdAbrirPalabras = named(new QPushButton(QStringLiteral("Abrir palabras...")), "cmdAbrirPalabras",
                             QStringLiteral("Abre una lista de palabras, una por línea (Ctrl+Mayús+O)"));
    cmdGuardarPalabras = named(new QPushButton(QStringLiteral("Guardar palabras...")), "cmdGuardarPalabras",
                               QStringLiteral("Guarda la lista de palabras, una por línea (Ctrl+Mayús+G)"));
    cmdGuardarResultado =
        named(new QPushButton(QStringLiteral("Guardar resultado...")), "cmdGuardarResultado",
              QStringLiteral("Guarda las palabras nuevas como el Transformador guarda su resultado (Ctrl+Mayús+R)"));
    cmdGuardarResultado->setEnabled(false);
    txtSemilla = named(new QLineEdit(kDefaultSeed), "txtSemilla",
                       QStringLiteral("Semilla de las reglas esporádicas (?N); por omisión, la de vordane-cli"));
    // At its narrowest a seed of eight digits (the default, 5489, among them)
    // shows whole; at its widest, the longest seed.
    txtSemilla->setMinimumWidth(lineBoxWidth(txtSemilla, QStringLiteral("00000000")));
    txtSemilla->setMaximumWidth(lineBoxWidth(txtSemilla, QStringLiteral("-9223372036854775808")));
    lblSemilla = named(new QLabel(QStringLiteral("&Semilla:")), "lblSemilla");
    lblSemilla->setBuddy(txtSemilla);
    cmdAplicar = named(new QPushButton(QStringLiteral("Aplicar (F5)")), "cmdAplicar",
                       QStringLiteral("Aplica ya las reglas, sin esperar (F5)"));

    auto *buttons = new QHBoxLayout;
    for (QWidget *widget : std::initializer_list<QWidget *>{cmdAbrirReglas, cmdGuardarReglas, cmdAbrirPalabras,
                                                            cmdGuardarPalabras, cmdGuardarResultado})
        buttons->addWidget(widget);
    buttons->addStretch(1);
    buttons->addWidget(lblSemilla);
    buttons->addWidget(txtSemilla);
    buttons->addWidget(cmdAplicar);

    txtReglas = named(new RuleEditor, "txtReglas",
                      QStringLiteral("Una regla, categoría o comentario por línea; «@ampliada» en la primera línea "
                                     "para la notación ampliada"));
    lblReglas = named(new QLabel(QStringLiteral("&Reglas:")), "lblReglas");
    lblError = named(new QLabel, "lblError");
    lblError->setWordWrap(true);
    lblError->setStyleSheet(QStringLiteral("color: #b00000"));
    txtPalabras = named(new MultiLineTextBox, "txtPalabras",
                        QStringLiteral("Las palabras de origen, una por línea (una coma también separa palabras)"));
    txtPalabras->setScrollBars(MultiLineTextBox::ScrollBars::Both);
    txtPalabras->setUndoByLineAndPause();
    lblPalabras = named(new QLabel(QStringLiteral("&Palabras:")), "lblPalabras");
    auto *inputs = named(new QSplitter(Qt::Vertical), "splEntradas");
    inputs->addWidget(pane(lblReglas, txtReglas, lblError));
    inputs->addWidget(pane(lblPalabras, txtPalabras));

    grdResultado = named(new QTableView, "grdResultado",
                         QStringLiteral("Cada palabra antes y después de las reglas; las que cambiaron, resaltadas"));
    grdResultado->setModel(resultModel_);
    setUpTable(grdResultado);
    sizeResultColumns();
    lblResultado = named(new QLabel(QStringLiteral("Resulta&do:")), "lblResultado");
    cmdTodas = named(new QPushButton(QStringLiteral("Todas las palabras")), "cmdTodas",
                     QStringLiteral("Vuelve a mostrar todas las palabras"));
    cmdTodas->setEnabled(false);
    // The caption names the rule chosen in the report: a longer caption
    // must not widen the pane, or the splitter would share its columns anew.
    lblResultado->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto *resultHeader = new QHBoxLayout;
    resultHeader->addWidget(lblResultado, 1);
    resultHeader->addWidget(cmdTodas);

    grdInforme = named(new QTableView, "grdInforme",
                       QStringLiteral("Lo que hizo cada regla; pulse una para ver solo las palabras que cambió"));
    grdInforme->setModel(reportModel_);
    setUpTable(grdInforme);
    // A report has a row per rule, a few thousand at most: its columns fit their contents.
    for (const int column : {ReportModel::Line, ReportModel::Rule, ReportModel::Changed})
        grdInforme->horizontalHeader()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    grdFusiones =
        named(new QTableView, "grdFusiones",
              QStringLiteral("Las formas a las que llegan entradas de distinta forma y distinto significado"));
    grdFusiones->setModel(mergerModel_);
    setUpTable(grdFusiones);
    // A run of many words can have many thousand mergers: widths set here, never measured on the rows.
    grdFusiones->setColumnWidth(MergerModel::Form, fontMetrics().horizontalAdvance(QStringLiteral("x")) * 12);
    grdFusiones->setColumnWidth(MergerModel::Count, fontMetrics().horizontalAdvance(QStringLiteral("Entradas")) + 16);
    lblFusiones = named(new QLabel, "lblFusiones");
    lblFusiones->setWordWrap(true);
    lblFusiones->setBuddy(grdFusiones);
    auto *mergers = new QWidget;
    auto *mergersLayout = new QVBoxLayout(mergers);
    mergersLayout->setContentsMargins(2, 2, 2, 2);
    mergersLayout->setSpacing(2);
    mergersLayout->addWidget(lblFusiones);
    mergersLayout->addWidget(grdFusiones, 1);
    tabInforme = named(new QTabWidget, "tabInforme");
    tabInforme->setDocumentMode(true);
    tabInforme->addTab(grdInforme, QStringLiteral("&Informe"));
    tabInforme->addTab(mergers, QString());
    txtTraza = named(new MultiLineTextBox, "txtTraza",
                     QStringLiteral("Los pasos de la palabra elegida en el resultado, regla a regla"));
    txtTraza->setReadOnly(true);
    txtTraza->setScrollBars(MultiLineTextBox::ScrollBars::Both);
    lblTraza = named(new QLabel(QStringLiteral("&Traza:")), "lblTraza");
    // A segment of a word in the trace shows its features in a tip.
    traceView_ = txtTraza->findChild<QsciScintilla *>();
    if (traceView_)
        traceView_->viewport()->installEventFilter(this);
    auto *analysis = named(new QSplitter(Qt::Vertical), "splAnalisis");
    analysis->addWidget(tabInforme);
    analysis->addWidget(pane(lblTraza, txtTraza));

    splPaneles = named(new QSplitter(Qt::Horizontal), "splPaneles");
    splPaneles->addWidget(inputs);
    splPaneles->addWidget(pane(lblResultado, grdResultado, nullptr, resultHeader));
    splPaneles->addWidget(analysis);
    splPaneles->setStretchFactor(0, 3);
    splPaneles->setStretchFactor(1, 3);
    splPaneles->setStretchFactor(2, 4);
    splPaneles->setChildrenCollapsible(false);

    lblEstado = named(new QLabel(messages::kReady), "lblEstado");
    prgProgreso = named(new QProgressBar, "prgProgreso", QStringLiteral("Palabras aplicadas de la lista"));
    prgProgreso->setRange(0, 1000);
    prgProgreso->setMaximumWidth(200);
    // Its place is kept while it is hidden: a long run must not move the panes.
    QSizePolicy keepPlace = prgProgreso->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    prgProgreso->setSizePolicy(keepPlace);
    prgProgreso->hide();
    chkCambios = named(new QCheckBox(QStringLiteral("&Cambios desde la pasada anterior")), "chkCambios",
                       QStringLiteral("Resalta las palabras cuyo resultado no es el de la pasada anterior; "
                                      "el de entonces se ve al dejar el ratón sobre ellas"));
    chkSilabas = named(new QCheckBox(QStringLiteral("Sí&labas")), "chkSilabas",
                       QStringLiteral("Muestra y guarda las palabras nuevas con sus sílabas separadas por «.», "
                                      "como vordane-cli transformar --silabas"));
    auto *status = new QHBoxLayout;
    status->addWidget(chkCambios);
    status->addWidget(chkSilabas);
    status->addWidget(lblEstado, 1);
    status->addWidget(prgProgreso);

    // Below the menu, everything scrolls where the window is made smaller
    // than its controls need (a small screen at a large scale).
    auto *content = new QWidget;
    auto *inner = new QVBoxLayout(content);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addLayout(buttons);
    inner->addWidget(splPaneles, 1);
    inner->addLayout(status);
    auto *scroll = named(new QScrollArea(this), "scrContenido");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(scroll);

    // Left to right, top to bottom.
    const QList<QWidget *> order{
        cmdAbrirReglas, cmdGuardarReglas, cmdAbrirPalabras, cmdGuardarPalabras, cmdGuardarResultado,
        txtSemilla,     cmdAplicar,       txtReglas,        txtPalabras,        cmdTodas,
        grdResultado,   tabInforme,       txtTraza,         chkCambios,         chkSilabas};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    txtReglas->setFocus(); // where typing goes when the window opens
}

void frmTaller::connectControls()
{
    connect(txtReglas, &QsciScintilla::textChanged, this, &frmTaller::scheduleRun);
    connect(txtReglas, &QsciScintilla::modificationChanged, this, &frmTaller::updateTitle);
    connect(txtReglas, &QsciScintilla::cursorPositionChanged, this, &frmTaller::showErrorOfLine);
    connect(txtPalabras, &MultiLineTextBox::textChanged, this, [this] {
        wordsChanged_ = true;
        // A lexicon emptied is no lexicon any more: what is typed next is words.
        if (lexiconKind_ && !loadingWords_ && txtPalabras->isEmpty()) {
            lexiconKind_.reset();
            lexiconPath_.clear();
            updateWordsCaption();
        }
        if (!loadingWords_ && !wordsModified_) {
            wordsModified_ = true;
            updateTitle();
        }
        scheduleRun();
    });
    connect(txtSemilla, &QLineEdit::textChanged, this, &frmTaller::scheduleRun);
    connect(pause_, &QTimer::timeout, this, &frmTaller::runNow);
    connect(progress_, &QTimer::timeout, this, &frmTaller::showProgress);
    connect(mnuAplicar, &QAction::triggered, this, &frmTaller::runNow);
    connect(cmdAplicar, &QPushButton::clicked, this, &frmTaller::runNow);
    connect(grdResultado->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmTaller::showTrace);
    connect(grdInforme->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &frmTaller::showRuleWords);
    connect(cmdTodas, &QPushButton::clicked, this, &frmTaller::showAllWords);
    connect(mnuAbrirReglas, &QAction::triggered, this, &frmTaller::mnuAbrirReglas_Click);
    connect(cmdAbrirReglas, &QPushButton::clicked, this, &frmTaller::mnuAbrirReglas_Click);
    connect(mnuGuardarReglas, &QAction::triggered, this, &frmTaller::mnuGuardarReglas_Click);
    connect(cmdGuardarReglas, &QPushButton::clicked, this, &frmTaller::mnuGuardarReglas_Click);
    connect(mnuGuardarReglasComo, &QAction::triggered, this, &frmTaller::mnuGuardarReglasComo_Click);
    connect(mnuImportarSca2, &QAction::triggered, this, &frmTaller::mnuImportarSca2_Click);
    connect(mnuAbrirPalabras, &QAction::triggered, this, &frmTaller::mnuAbrirPalabras_Click);
    connect(cmdAbrirPalabras, &QPushButton::clicked, this, &frmTaller::mnuAbrirPalabras_Click);
    connect(mnuGuardarPalabras, &QAction::triggered, this, &frmTaller::mnuGuardarPalabras_Click);
    connect(cmdGuardarPalabras, &QPushButton::clicked, this, &frmTaller::mnuGuardarPalabras_Click);
    connect(mnuGuardarResultado, &QAction::triggered, this, &frmTaller::mnuGuardarResultado_Click);
    connect(mnuAbrirLexico, &QAction::triggered, this, &frmTaller::mnuAbrirLexico_Click);
    connect(mnuGuardarLexico, &QAction::triggered, this, &frmTaller::mnuGuardarLexico_Click);
    connect(mnuExportarEtapas, &QAction::triggered, this, &frmTaller::mnuExportarEtapas_Click);
    connect(chkCambios, &QCheckBox::toggled, this, [this](bool on) {
        resultModel_->setShowDifferences(on);
        showStatus();
    });
    connect(cmdGuardarResultado, &QPushButton::clicked, this, &frmTaller::mnuGuardarResultado_Click);
    connect(chkSilabas, &QCheckBox::toggled, this, &frmTaller::runNow);
}

bool frmTaller::isRunning() const
{
    return control_ != nullptr;
}

void frmTaller::scheduleRun()
{
    pause_->start();
}

void frmTaller::runNow()
{
    pause_->stop();
    const QStringList rules = txtReglas->rules();
    // The list is checked here, at once, so that its faults show while typing.
    const RuleSet check(ruleTable(rules));
    txtReglas->setErrors(check.errors());
    showErrorOfLine();
    if (control_) {
        // The run under way is for an older text: nobody will look at its result.
        control_->abandoned = true;
        control_.reset();
        ++abandoned_;
    }
    if (!check.ok()) {
        progress_->stop();
        prgProgreso->hide();
        lblEstado->setText(
            QStringLiteral("La lista de reglas tiene %1: se muestra el resultado de la última lista "
                           "correcta.")
                .arg(spanishCount(check.errors().size(), QStringLiteral("error"), QStringLiteral("errores"))));
        return;
    }
    auto control = std::make_shared<RunControl>();
    control_ = control;
    const quint64 run = ++run_;
    // A million words take a moment to read out of their box: only when they changed.
    if (wordsChanged_) {
        words_ = txtPalabras->text();
        wordsChanged_ = false;
    }
    const QString source = words_;
    // The result on show is the run before, that this one is compared with.
    const WorkshopInput input{lexiconKind_, shown_, chkSilabas->isChecked()};
    runSize_ = source.size();
    const double seed = readNumber(txtSemilla->text());
    lblEstado->setText(QStringLiteral("Aplicando las reglas..."));
    prgProgreso->setValue(0);
    progress_->start();
    pool_.start([this, run, rules, source, seed, input, control, hook = runHook_] {
        if (hook)
            hook();
        QElapsedTimer clock;
        clock.start();
        std::shared_ptr<const WorkshopResult> result;
        try {
            result = runWorkshop(rules, source, seed, control.get(), input);
        } catch (const std::bad_alloc &) {
            result.reset(); // told as a failure below
        }
        if (control->abandoned)
            return;
        const qint64 elapsed = clock.elapsed();
        QMetaObject::invokeMethod(
            this, [this, run, result, elapsed] { showResult(run, result, elapsed); }, Qt::QueuedConnection);
    });
}

void frmTaller::showProgress()
{
    if (!control_ || runSize_ == 0)
        return;
    prgProgreso->show();
    prgProgreso->setValue(int(control_->done.load() * 1000 / runSize_));
}

void frmTaller::showResult(quint64 run, const std::shared_ptr<const WorkshopResult> &result, qint64 milliseconds)
{
    if (run != run_)
        return; // a newer run is under way or shown
    control_.reset();
    progress_->stop();
    prgProgreso->hide();
    if (!result) {
        lblEstado->setText(messages::kOutOfMemory);
        return;
    }
    // The word and the rule the user was looking at stay in view.
    const qsizetype word = resultModel_->wordAt(grdResultado->currentIndex().row());
    const qsizetype rule = resultModel_->shownRule();
    shown_ = result;
    shownMilliseconds_ = milliseconds;
    resultModel_->setResult(result);
    sizeResultColumns();
    reportModel_->setReport(result->report().entries());
    mergerModel_->setResult(result);
    const qsizetype mergers = qsizetype(result->mergers().size());
    tabInforme->setTabText(1, QStringLiteral("&Fusiones (%1)").arg(spanishNumber(qint64(mergers))));
    lblFusiones->setText(messages::history::mergerCount(mergers)
                         + (hasMeanings(result->kind()) && result->isLexicon()
                                ? QStringLiteral(": formas a las que llegan entradas de distinta forma y distinto "
                                                 "significado.")
                                : QStringLiteral(": formas a las que llegan palabras distintas.")));
    cmdGuardarResultado->setEnabled(true);
    mnuGuardarLexico->setEnabled(true);
    mnuExportarEtapas->setEnabled(true);
    showStatus();
    if (const int row = reportModel_->rowOfLine(rule); rule >= 0 && row >= 0)
        grdInforme->setCurrentIndex(reportModel_->index(row, 0));
    else
        showAllWords();
    if (const int row = resultModel_->rowOfWord(word); row >= 0)
        chooseResultRow(row);
    showTrace();
    emit resultShown();
}

void frmTaller::showStatus()
{
    if (!shown_ || control_ || txtReglas->hasErrors())
        return; // a run under way, or a faulty list, tells its own state
    const bool lexicon = shown_->isLexicon();
    QString status =
        QStringLiteral("%1, %2 (%3 s).")
            .arg(lexicon ? spanishCount(shown_->size(), QStringLiteral("entrada"), QStringLiteral("entradas"))
                         : spanishCount(shown_->size(), QStringLiteral("palabra"), QStringLiteral("palabras")),
                 spanishCount(shown_->changedCount(), QStringLiteral("cambiada"), QStringLiteral("cambiadas")),
                 spanishNumber(double(shownMilliseconds_) / 1000, 2));
    if (!shown_->outcome().ok())
        status = shown_->outcome().message();
    if (chkCambios->isChecked()) {
        status += QLatin1Char(' ');
        status += shown_->compared() ? messages::history::changedCount(shown_->differentCount(), shown_->newCount())
                                     : QStringLiteral("No hay una pasada anterior con que comparar.");
    }
    lblEstado->setText(status);
}

// Widths set here, never measured on the rows (a million of them): the
// number of a word, with room for the cell's margins, then sixteen letters
// for each word column but the last, which takes the rest.
void frmTaller::sizeResultColumns()
{
    const int columns = resultModel_->columnCount();
    if (columns == resultColumns_)
        return;
    resultColumns_ = columns;
    grdResultado->setColumnWidth(ResultModel::Number, fontMetrics().horizontalAdvance(QStringLiteral("9.999.999xx")));
    for (int column = ResultModel::Number + 1; column + 1 < columns; ++column)
        grdResultado->setColumnWidth(column, fontMetrics().horizontalAdvance(QStringLiteral("x")) * 16);
}

void frmTaller::showErrorOfLine()
{
    int line = 0;
    int index = 0;
    txtReglas->getCursorPosition(&line, &index);
    QString message = txtReglas->errorOnLine(line);
    if (message.isEmpty() && txtReglas->hasErrors())
        message = txtReglas->firstError();
    lblError->setText(message);
    lblError->setVisible(!message.isEmpty());
}

void frmTaller::showRuleWords()
{
    const RuleReport::Entry *entry = reportModel_->entry(grdInforme->currentIndex().row());
    if (!entry || !entry->isRule) {
        resultModel_->showChangedBy(-1);
        lblResultado->setText(QStringLiteral("Resulta&do:"));
        lblResultado->setToolTip(QString());
        cmdTodas->setEnabled(false);
    } else {
        resultModel_->showChangedBy(entry->line);
        lblResultado->setText(QStringLiteral("Resulta&do: las palabras que cambió la regla %1 (%2)")
                                  .arg(QString::number(entry->line + 1), spanishNumber(qint64(entry->changed))));
        lblResultado->setToolTip(lblResultado->text().remove(u'&'));
        cmdTodas->setEnabled(true);
    }
    if (resultModel_->rowCount() > 0)
        chooseResultRow(0);
    showTrace();
}

void frmTaller::chooseResultRow(int row)
{
    // By its first column: the table scrolls to the current cell, and a
    // narrowed table must keep "N.º" and "Antes" in view.
    grdResultado->setCurrentIndex(resultModel_->index(row, ResultModel::Number));
}

void frmTaller::showAllWords()
{
    grdInforme->setCurrentIndex(QModelIndex());
    grdInforme->clearSelection();
    showRuleWords();
}

void frmTaller::showTrace()
{
    const qsizetype word = resultModel_->wordAt(grdResultado->currentIndex().row());
    if (word < 0 || !shown_)
        txtTraza->clear();
    else
        txtTraza->setText(shown_->trace(word));
}

bool frmTaller::eventFilter(QObject *watched, QEvent *event)
{
    if (traceView_ && watched == traceView_->viewport() && event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = traceTipAt(help->pos());
        // Elsewhere the box's own tip.
        if (!tip.isEmpty()) {
            QToolTip::showText(help->globalPos(), tip, traceView_->viewport());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QString frmTaller::traceTipAt(const QPoint &point) const
{
    if (!shown_ || !traceView_)
        return QString();
    const long byte = traceView_->SendScintilla(QsciScintillaBase::SCI_CHARPOSITIONFROMPOINTCLOSE,
                                                static_cast<unsigned long>(point.x()), long(point.y()));
    if (byte < 0)
        return QString();
    // The editor counts bytes of UTF-8; the trace, UTF-16 units.
    const QString trace = txtTraza->text();
    long bytes = 0;
    qsizetype at = 0;
    for (; at < trace.size() && bytes < byte; ++at) {
        const char16_t u = trace.at(at).unicode();
        bytes += u < 0x80 ? 1 : u < 0x800 || trace.at(at).isSurrogate() ? 2 : 3;
    }
    return bytes == byte ? shown_->segmentTip(trace, at) : QString();
}

// In a lexicon the box holds its whole lines (codes and meanings too), so
// that an edit of a line keeps what the line holds and "Guardar palabras"
// writes the lexicon as it stands.
void frmTaller::updateWordsCaption()
{
    if (!lexiconKind_) {
        lblPalabras->setText(QStringLiteral("&Palabras:"));
        txtPalabras->setToolTip(
            QStringLiteral("Las palabras de origen, una por línea (una coma también separa palabras)"));
        return;
    }
    lblPalabras->setText(QStringLiteral("&Palabras: léxico %1 (%2)")
                             .arg(QFileInfo(lexiconPath_).fileName(), lexiconKindName(*lexiconKind_)));
    switch (*lexiconKind_) {
    case LexiconKind::Language:
        txtPalabras->setToolTip(QStringLiteral("Una entrada por línea, código:significado:forma: las reglas "
                                               "cambian la forma; el código y el significado se quedan"));
        break;
    case LexiconKind::Dictionary:
        txtPalabras->setToolTip(QStringLiteral("Una entrada por línea, «significado = palabra»: las reglas "
                                               "cambian la palabra; el significado se queda"));
        break;
    case LexiconKind::List:
        txtPalabras->setToolTip(QStringLiteral("Una palabra por línea, entera (una coma no separa palabras)"));
        break;
    }
}

void frmTaller::updateTitle()
{
    const QString file = rulesPath_.isEmpty() ? QString() : QStringLiteral(" - ") + QFileInfo(rulesPath_).fileName();
    setWindowTitle(kTitle + file + QStringLiteral("[*]"));
    setWindowModified(txtReglas->isModified() || wordsModified_);
}

bool frmTaller::mayLeave(bool unsaved, const QString &question, bool (frmTaller::*save)())
{
    if (!unsaved)
        return true;
    switch (services_.askToSave(this, kTitle, question)) {
    case SaveChoice::Save:
        return (this->*save)();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

bool frmTaller::confirmClose()
{
    if (!mayLeave(txtReglas->isModified(), kUnsavedRules, &frmTaller::mnuGuardarReglas_Click)
        || !mayLeave(wordsModified_, kUnsavedWords, &frmTaller::mnuGuardarPalabras_Click))
        return false;
    // Left as they are: not asked again.
    txtReglas->setModified(false);
    wordsModified_ = false;
    updateTitle();
    return true;
}

void frmTaller::closeEvent(QCloseEvent *event)
{
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    if (control_)
        control_->abandoned = true;
    event->accept();
}

void frmTaller::mnuAbrirReglas_Click()
{
    if (!mayLeave(txtReglas->isModified(), kUnsavedRules, &frmTaller::mnuGuardarReglas_Click))
        return;
    const QString path = services_.getOpenFileName(this, {filters::kRules, kOpenRulesTitle});
    if (path.isEmpty())
        return;
    QStringList rules;
    if (!report(services_, this, kOpenRulesTitle, readRuleFile(path, rules)))
        return;
    txtReglas->setRules(rules);
    txtReglas->setModified(false);
    rulesPath_ = path;
    updateTitle();
    runNow();
}

bool frmTaller::mnuGuardarReglas_Click()
{
    return rulesPath_.isEmpty() ? mnuGuardarReglasComo_Click() : saveRules(rulesPath_);
}

bool frmTaller::mnuGuardarReglasComo_Click()
{
    const QString path = services_.getSaveFileName(this, {filters::kRules, kSaveRulesTitle, {}, rulesPath_});
    return !path.isEmpty() && saveRules(path);
}

// A rule file of the shared plain-text format, carried over into the
// extended notation and left in the editor unsaved, for the user to look at
// and save; the lines not carried over are listed.
void frmTaller::mnuImportarSca2_Click()
{
    if (!mayLeave(txtReglas->isModified(), kUnsavedRules, &frmTaller::mnuGuardarReglas_Click))
        return;
    const QString path = services_.getOpenFileName(this, {kSca2Files, kImportTitle});
    if (path.isEmpty())
        return;
    QStringList lines;
    if (!report(services_, this, kImportTitle, readRuleFile(path, lines)))
        return;
    const Sca2Import imported = importSca2(lines, false);
    if (imported.rules == 0) {
        services_.warning(this, kImportTitle,
                          messages::sca2::nothingImported(QDir::toNativeSeparators(path)) + QLatin1Char('\n')
                              + imported.problems.join(u'\n'));
        return;
    }
    txtReglas->setRules(imported.lines);
    txtReglas->setModified(true);
    rulesPath_.clear();
    updateTitle();
    runNow();
    if (!imported.problems.isEmpty())
        services_.warning(this, kImportTitle,
                          messages::sca2::importDone(imported.rules) + QLatin1Char('\n')
                              + imported.problems.join(u'\n'));
}

bool frmTaller::saveRules(const QString &path)
{
    if (!report(services_, this, kSaveRulesTitle, writeRuleFile(path, txtReglas->rules())))
        return false;
    rulesPath_ = path;
    txtReglas->setModified(false);
    updateTitle();
    return true;
}

void frmTaller::mnuAbrirPalabras_Click()
{
    if (!mayLeave(wordsModified_, kUnsavedWords, &frmTaller::mnuGuardarPalabras_Click))
        return;
    const QString path = services_.getOpenFileName(this, {filters::kWordFiles, kOpenWordsTitle});
    if (path.isEmpty())
        return;
    WordList words;
    if (report(services_, this, kOpenWordsTitle, readWordList(path, words))) {
        loadingWords_ = true;
        txtPalabras->setText(words.join(QStringLiteral("\r\n")));
        loadingWords_ = false;
        wordsModified_ = false;
        lexiconKind_.reset();
        lexiconPath_.clear();
        updateWordsCaption();
        updateTitle();
        runNow();
    }
}

bool frmTaller::mnuGuardarPalabras_Click()
{
    // A lexicon's lines go back to a file of its kind, its own proposed.
    const QString path =
        services_.getSaveFileName(this, {lexiconFilter(lexiconKind_), kSaveWordsTitle, {}, lexiconPath_});
    if (path.isEmpty())
        return false;
    // A line of the box per line of the file, as "Abrir palabras" reads them back.
    LineWriter writer(path);
    FileStatus status = writer.open();
    if (status.ok()) {
        const QString text = txtPalabras->text();
        TextLineSource lines(text);
        while (!lines.atEnd())
            writer.writeLine(lines.readLine());
        status = writer.commit();
    }
    if (!report(services_, this, kSaveWordsTitle, status))
        return false;
    wordsModified_ = false;
    updateTitle();
    return true;
}

void frmTaller::mnuGuardarResultado_Click()
{
    if (!shown_)
        return;
    const QString path = services_.getSaveFileName(this, {filters::kWordFiles, kSaveResultTitle});
    if (!path.isEmpty())
        report(services_, this, kSaveResultTitle, shown_->save(path));
}

void frmTaller::mnuAbrirLexico_Click()
{
    if (!mayLeave(wordsModified_, kUnsavedWords, &frmTaller::mnuGuardarPalabras_Click))
        return;
    const QString path = services_.getOpenFileName(this, {kLexiconFiles, kOpenLexiconTitle, lexiconPath_});
    if (!path.isEmpty())
        openLexicon(path);
}

bool frmTaller::openLexicon(const QString &path)
{
    LineReader reader(path);
    FileStatus status = reader.open();
    QStringList lines;
    LexiconKindDetector detector;
    while (status.ok() && !reader.atEnd()) {
        lines.append(reader.readLine());
        detector.line(QStringView(lines.constLast()));
    }
    if (status.ok())
        status = reader.status();
    if (!report(services_, this, kOpenLexiconTitle, status))
        return false;
    QString text = lines.join(QStringLiteral("\r\n"));
    // A last empty line is a line of the lexicon too.
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        text += QStringLiteral("\r\n");
    loadingWords_ = true;
    txtPalabras->setText(text);
    loadingWords_ = false;
    wordsModified_ = false;
    lexiconKind_ = detector.kind();
    lexiconPath_ = path;
    updateWordsCaption();
    updateTitle();
    runNow();
    return true;
}

bool frmTaller::resultSavable(const QString &title)
{
    if (!shown_)
        return false;
    if (!shown_->outcome().ok()) {
        // Part of the words only: not a lexicon to go on with.
        services_.warning(this, title, shown_->outcome().message());
        return false;
    }
    return true;
}

void frmTaller::mnuGuardarLexico_Click()
{
    if (!resultSavable(kSaveLexiconTitle))
        return;
    const std::shared_ptr<const WorkshopResult> result = shown_;
    const std::optional<LexiconKind> kind =
        result->isLexicon() ? std::optional<LexiconKind>(result->kind()) : std::nullopt;
    const QString path = services_.getSaveFileName(this, {lexiconFilter(kind), kSaveLexiconTitle, lexiconPath_});
    if (!path.isEmpty())
        report(services_, this, kSaveLexiconTitle, result->saveLexicon(path));
}

void frmTaller::mnuExportarEtapas_Click()
{
    if (!resultSavable(kExportStagesTitle))
        return;
    const std::shared_ptr<const WorkshopResult> result = shown_;
    const QString path = services_.getSaveFileName(this, {kStageTables, kExportStagesTitle, lexiconPath_});
    if (path.isEmpty())
        return;
    const std::optional<TableFormat> format = tableFormatFor(path);
    if (!format) {
        services_.warning(this, kExportStagesTitle,
                          messages::history::unknownTableKind(QDir::toNativeSeparators(path)));
        return;
    }
    report(services_, this, kExportStagesTitle, result->saveStages(path, *format));
}

} // namespace vordane
