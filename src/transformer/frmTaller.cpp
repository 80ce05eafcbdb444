#include "transformer/frmTaller.h"

#include "common/linesource.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "dictionary/wordfile.h"
#include "notation/sca2import.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/multilinetextbox.h"
#include "shell/platformservices.h"
#include "shell/report.h"
#include "transformer/ruleeditor.h"
#include "transformer/rulefile.h"
#include "transformer/workshopmodels.h"
#include "transformer/workshoprun.h"

#include <QAction>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QDir>
#include <QHeaderView>
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
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

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
const QString kSca2Files = QStringLiteral("Reglas de SCA² (*.txt, *.sc)|*.txt;*.sc|Todos los archivos|*.*");
const QString kUnsavedRules =
    QStringLiteral("Las reglas del taller tienen cambios sin guardar. ¿Quiere guardarlos antes de cerrar?");
const QString kUnsavedWords =
    QStringLiteral("Las palabras del taller tienen cambios sin guardar. ¿Quiere guardarlas antes de cerrar?");
// The seed of a run without one, as on the command line.
const QString kDefaultSeed = QStringLiteral("5489");

template <typename Widget> Widget *named(Widget *widget, const char *name, const QString &toolTip = QString())
{
    widget->setObjectName(QLatin1String(name));
    if (!toolTip.isEmpty())
        widget->setToolTip(toolTip);
    return widget;
}

// A pane: its caption (with the control as buddy) above the control.
QWidget *pane(QLabel *caption, QWidget *control, QWidget *below = nullptr, QLayout *header = nullptr)
{
    auto *widget = new QWidget;
    auto *layout = new QVBoxLayout(widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    caption->setBuddy(control);
    if (header)
        layout->addLayout(header);
    else
        layout->addWidget(caption);
    layout->addWidget(control, 1);
    if (below)
        layout->addWidget(below);
    return widget;
}

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
        QAction *action = named(mnuArchivo->addAction(caption), name);
        action->setShortcut(keys);
        // The keys work in this window only, not in the other tool windows.
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
        return action;
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
    // A million rows: widths set here, never measured on the rows.
    // The number of a word (with room for the cell's margins), then a word of sixteen letters.
    grdResultado->setColumnWidth(ResultModel::Number, fontMetrics().horizontalAdvance(QStringLiteral("9.999.999xx")));
    grdResultado->setColumnWidth(ResultModel::Before, fontMetrics().horizontalAdvance(QStringLiteral("x")) * 16);
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
    lblInforme = named(new QLabel(QStringLiteral("&Informe:")), "lblInforme");
    txtTraza = named(new MultiLineTextBox, "txtTraza",
                     QStringLiteral("Los pasos de la palabra elegida en el resultado, regla a regla"));
    txtTraza->setReadOnly(true);
    txtTraza->setScrollBars(MultiLineTextBox::ScrollBars::Both);
    lblTraza = named(new QLabel(QStringLiteral("&Traza:")), "lblTraza");
    auto *analysis = named(new QSplitter(Qt::Vertical), "splAnalisis");
    analysis->addWidget(pane(lblInforme, grdInforme));
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
    auto *status = new QHBoxLayout;
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
    const QList<QWidget *> order{cmdAbrirReglas, cmdGuardarReglas, cmdAbrirPalabras, cmdGuardarPalabras,
                                 cmdGuardarResultado, txtSemilla, cmdAplicar, txtReglas, txtPalabras,
                                 cmdTodas, grdResultado, grdInforme, txtTraza};
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
    connect(cmdGuardarResultado, &QPushButton::clicked, this, &frmTaller::mnuGuardarResultado_Click);
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
    runSize_ = source.size();
    const double seed = readNumber(txtSemilla->text());
    lblEstado->setText(QStringLiteral("Aplicando las reglas..."));
    prgProgreso->setValue(0);
    progress_->start();
    pool_.start([this, run, rules, source, seed, control, hook = runHook_] {
        if (hook)
            hook();
        QElapsedTimer clock;
        clock.start();
        std::shared_ptr<const WorkshopResult> result;
        try {
            result = runWorkshop(rules, source, seed, control.get());
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
    resultModel_->setResult(result);
    reportModel_->setReport(result->report().entries());
    cmdGuardarResultado->setEnabled(true);
    QString status =
        QStringLiteral("%1, %2 (%3 s).")
            .arg(spanishCount(result->size(), QStringLiteral("palabra"), QStringLiteral("palabras")),
                 spanishCount(result->changedCount(), QStringLiteral("cambiada"), QStringLiteral("cambiadas")),
                 spanishNumber(double(milliseconds) / 1000, 2));
    if (!result->outcome().ok())
        status = result->outcome().message();
    lblEstado->setText(status);
    if (const int row = reportModel_->rowOfLine(rule); rule >= 0 && row >= 0)
        grdInforme->setCurrentIndex(reportModel_->index(row, 0));
    else
        showAllWords();
    if (const int row = resultModel_->rowOfWord(word); row >= 0)
        chooseResultRow(row);
    showTrace();
    emit resultShown();
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
        updateTitle();
        runNow();
    }
}

bool frmTaller::mnuGuardarPalabras_Click()
{
    const QString path = services_.getSaveFileName(this, {filters::kWordFiles, kSaveWordsTitle});
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

} // namespace vordane
