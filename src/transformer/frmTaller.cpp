#include "transformer/frmTaller.h"

#include "common/messages.h"
#include "common/numbers.h"
#include "dictionary/wordfile.h"
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
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
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
    mnuArchivo->addSeparator();
    mnuAbrirPalabras =
        entry("mnuAbrirPalabras", QStringLiteral("Abrir palabras..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
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
    cmdGuardarResultado =
        named(new QPushButton(QStringLiteral("Guardar resultado...")), "cmdGuardarResultado",
              QStringLiteral("Guarda las palabras nuevas como el Transformador guarda su resultado (Ctrl+Mayús+R)"));
    cmdGuardarResultado->setEnabled(false);
    txtSemilla = named(new QLineEdit(kDefaultSeed), "txtSemilla",
                       QStringLiteral("Semilla de las reglas esporádicas (?N); por omisión, la de vordane-cli"));
    txtSemilla->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-9223372036854775808")));
    lblSemilla = named(new QLabel(QStringLiteral("&Semilla:")), "lblSemilla");
    lblSemilla->setBuddy(txtSemilla);
    cmdAplicar = named(new QPushButton(QStringLiteral("Aplicar (F5)")), "cmdAplicar",
                       QStringLiteral("Aplica ya las reglas, sin esperar (F5)"));

    auto *buttons = new QHBoxLayout;
    for (QWidget *widget :
         std::initializer_list<QWidget *>{cmdAbrirReglas, cmdGuardarReglas, cmdAbrirPalabras, cmdGuardarResultado})
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
    lblPalabras = named(new QLabel(QStringLiteral("&Palabras:")), "lblPalabras");
    auto *inputs = named(new QSplitter(Qt::Vertical), "splEntradas");
    inputs->addWidget(pane(lblReglas, txtReglas, lblError));
    inputs->addWidget(pane(lblPalabras, txtPalabras));

    grdResultado = named(new QTableView, "grdResultado",
                         QStringLiteral("Cada palabra antes y después de las reglas; las que cambiaron, resaltadas"));
    grdResultado->setModel(resultModel_);
    setUpTable(grdResultado);
    // A million rows: widths set here, never measured on the rows.
    grdResultado->setColumnWidth(ResultModel::Number, fontMetrics().horizontalAdvance(QStringLiteral("9.999.999")));
    grdResultado->setColumnWidth(ResultModel::Before, fontMetrics().horizontalAdvance(QStringLiteral("x")) * 16);
    lblResultado = named(new QLabel(QStringLiteral("Resulta&do:")), "lblResultado");
    cmdTodas = named(new QPushButton(QStringLiteral("Todas las palabras")), "cmdTodas",
                     QStringLiteral("Vuelve a mostrar todas las palabras"));
    cmdTodas->setEnabled(false);
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
    prgProgreso->hide();
    auto *status = new QHBoxLayout;
    status->addWidget(lblEstado, 1);
    status->addWidget(prgProgreso);

    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addLayout(buttons);
    layout->addWidget(splPaneles, 1);
    layout->addLayout(status);

    // Left to right, top to bottom.
    const QList<QWidget *> order{cmdAbrirReglas, cmdGuardarReglas, cmdAbrirPalabras, cmdGuardarResultado,
                                 txtSemilla,     cmdAplicar,       txtReglas,        txtPalabras,
                                 cmdTodas,       grdResultado,     grdInforme,       txtTraza};
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
    connect(mnuAbrirPalabras, &QAction::triggered, this, &frmTaller::mnuAbrirPalabras_Click);
    connect(cmdAbrirPalabras, &QPushButton::clicked, this, &frmTaller::mnuAbrirPalabras_Click);
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
                .arg(messages::counted(check.errors().size(), QStringLiteral("error"), QStringLiteral("errores"))));
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
    pool_.start([this, run, rules, source, seed, control] {
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
    const QLocale locale;
    QString status =
        QStringLiteral("%1, %2 (%3 s).")
            .arg(messages::counted(result->size(), QStringLiteral("palabra"), QStringLiteral("palabras")),
                 messages::counted(result->changedCount(), QStringLiteral("cambiada"), QStringLiteral("cambiadas")),
                 locale.toString(double(milliseconds) / 1000, 'f', 2));
    if (!result->outcome().ok())
        status = result->outcome().message();
    lblEstado->setText(status);
    if (const int row = reportModel_->rowOfLine(rule); rule >= 0 && row >= 0)
        grdInforme->setCurrentIndex(reportModel_->index(row, 0));
    else
        showAllWords();
    if (const int row = resultModel_->rowOfWord(word); row >= 0)
        grdResultado->setCurrentIndex(resultModel_->index(row, ResultModel::After));
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
        cmdTodas->setEnabled(false);
    } else {
        resultModel_->showChangedBy(entry->line);
        lblResultado->setText(QStringLiteral("Resulta&do: las palabras que cambió la regla %1 (%2)")
                                  .arg(QString::number(entry->line + 1), QLocale().toString(qint64(entry->changed))));
        cmdTodas->setEnabled(true);
    }
    if (resultModel_->rowCount() > 0)
        grdResultado->setCurrentIndex(resultModel_->index(0, ResultModel::After));
    showTrace();
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
    setWindowModified(txtReglas->isModified());
}

bool frmTaller::confirmClose()
{
    if (!txtReglas->isModified())
        return true;
    switch (services_.askToSave(this, kTitle,
                                QStringLiteral("Las reglas del taller tienen cambios sin guardar. "
                                               "¿Quiere guardarlos antes de cerrar?"))) {
    case SaveChoice::Save:
        return mnuGuardarReglas_Click();
    case SaveChoice::Discard:
        txtReglas->setModified(false); // left as they are: not asked again
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
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
    if (!confirmClose())
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
    const QString path = services_.getOpenFileName(this, {filters::kWordFiles, kOpenWordsTitle});
    if (path.isEmpty())
        return;
    WordList words;
    if (report(services_, this, kOpenWordsTitle, readWordList(path, words))) {
        txtPalabras->setText(words.join(QStringLiteral("\r\n")));
        runNow();
    }
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
