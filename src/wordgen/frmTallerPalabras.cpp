#include "wordgen/frmTallerPalabras.h"

#include "common/atomicfile.h"
#include "common/linewriter.h"
#include "common/messages.h"
#include "common/numbers.h"
#include "common/randomsource.h"
#include "generator/combinacion.h"
#include "generator/wordfilters.h"
#include "shell/controls.h"
#include "shell/filefilter.h"
#include "shell/platformservices.h"
#include "shell/report.h"
#include "shell/workshopparts.h"
#include "transformer/workshopmodels.h"
#include "wordgen/barchart.h"
#include "wordgen/definitioneditor.h"
#include "wordgen/lngconversion.h"
#include "wordgen/worddefinition.h"
#include "wordgen/wordgenmessages.h"
#include "wordgen/wordrun.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <new>

namespace vordane {

namespace {

const QString kTitle = QStringLiteral("Taller de palabras");
const QString kOpenTitle = QStringLiteral("Abrir definición");
const QString kSaveTitle = QStringLiteral("Guardar definición");
const QString kOpenLngTitle = QStringLiteral("Abrir combinación");
const QString kGenerateTitle = QStringLiteral("Generar palabras");
const QString kExcludeTitle = QStringLiteral("Excluir léxico");
const QString kDefinitionFiles =
    QStringLiteral("Definiciones de palabras (*.gen)|*.gen|Archivos de texto (*.txt)|*.txt|Todos los archivos|*.*");
const QString kUnsaved =
    QStringLiteral("La definición del taller tiene cambios sin guardar. ¿Quiere guardarlos antes de cerrar?");
// The seed of a run without one, as on the command line.
const QString kDefaultSeed = QStringLiteral("5489");
// Syllables of a combination converted: the defaults of the generator's own window.
constexpr double kLngMinimum = 1;
constexpr double kLngMaximum = 4;
// A first definition, so that the window shows what it does before anything is typed.
const QString kStarter = QStringLiteral("; Una definición de ejemplo: escriba la suya o abra un archivo .gen.\r\n"
                                        "C=p,t,k,m,n,s,l,r\r\n"
                                        "V=a:3,e:2,i:2,o:2,u:1\r\n"
                                        "@formas CV:3, CVC, V\r\n"
                                        "@longitud 1:1, 2:3, 3:2");

const QColor kExpectedColour(0x9e, 0xb9, 0xd4);
const QColor kObservedColour(0x1f, 0x5f, 0x9f);

QLabel *buddyLabel(const QString &caption, const char *name, QWidget *buddy)
{
    auto *label = named(new QLabel(caption), name);
    label->setBuddy(buddy);
    return label;
}

double percent(std::int64_t part, std::int64_t whole)
{
    return whole > 0 ? 100.0 * double(part) / double(whole) : 0;
}

} // namespace

frmTallerPalabras::frmTallerPalabras(PlatformServices &services, QWidget *parent)
    : QWidget(parent)
    , services_(services)
    , pause_(new QTimer(this))
    , progress_(new QTimer(this))
{
    setObjectName(QStringLiteral("frmTallerPalabras"));
    pressButtonsWithEnter(this);
    samplePool_.setMaxThreadCount(1);
    generationPool_.setMaxThreadCount(1);
    pause_->setSingleShot(true);
    pause_->setInterval(kPauseMs);
    progress_->setInterval(100);
    buildMenu();
    buildPanes();
    connectControls();
    txtDefinicion->setText(kStarter);
    txtDefinicion->setModified(false);
    txtDefinicion->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    updateTitle();
    drawSample();
}

frmTallerPalabras::~frmTallerPalabras()
{
    // No worker may outlive the window it reports to.
    if (sampleCancel_)
        *sampleCancel_ = true;
    if (generationCancel_)
        *generationCancel_ = true;
    samplePool_.waitForDone();
    generationPool_.waitForDone();
}

QSize frmTallerPalabras::sizeHint() const
{
    // Fits the main window's area on a 1366 x 768 screen.
    return QSize(1000, 620);
}

void frmTallerPalabras::buildMenu()
{
    menuBar = named(new QMenuBar(this), "menuBar");
    mnuArchivo = named(menuBar->addMenu(QStringLiteral("&Archivo")), "mnuArchivo");
    const auto entry = [this](const char *name, const QString &caption, const QKeySequence &keys) {
        return windowAction(this, mnuArchivo, name, caption, keys);
    };
    mnuAbrir = entry("mnuAbrir", QStringLiteral("Abrir definición..."), QKeySequence::Open);
    mnuGuardar = entry("mnuGuardar", QStringLiteral("Guardar definición"), QKeySequence::Save);
    mnuGuardarComo = entry("mnuGuardarComo", QStringLiteral("Guardar definición como..."),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    mnuAbrirCombinacion = entry("mnuAbrirCombinacion", QStringLiteral("Abrir combinación..."),
                                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O));
    mnuArchivo->addSeparator();
    mnuOtraTanda = entry("mnuOtraTanda", QStringLiteral("Otra tanda"), QKeySequence(Qt::Key_F5));
    mnuGenerar = entry("mnuGenerar", QStringLiteral("Generar..."), QKeySequence(Qt::CTRL | Qt::Key_G));
    mnuCancelar = entry("mnuCancelar", QStringLiteral("Cancelar la generación"), QKeySequence(Qt::Key_Escape));
    mnuCancelar->setEnabled(false);
}

void frmTallerPalabras::buildPanes()
{
    cmdAbrir = named(new QPushButton(QStringLiteral("Abrir...")), "cmdAbrir",
                     QStringLiteral("Abre una definición de palabras (.gen) (Ctrl+O)"));
    cmdGuardar = named(new QPushButton(QStringLiteral("Guardar")), "cmdGuardar",
                       QStringLiteral("Guarda la definición en su archivo (Ctrl+S)"));
    cmdAbrirCombinacion = named(
        new QPushButton(QStringLiteral("Abrir combinación...")), "cmdAbrirCombinacion",
        QStringLiteral("Convierte una combinación del generador de siempre (.lng) en una definición (Ctrl+Mayús+O)"));
    txtSemilla = named(new QLineEdit(kDefaultSeed), "txtSemilla",
                       QStringLiteral("La misma semilla da siempre las mismas palabras"));
    txtSemilla->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("-9223372036854775808")) + 12);
    txtSemilla->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000000")) + 12);
    lblSemilla = buddyLabel(QStringLiteral("&Semilla:"), "lblSemilla", txtSemilla);
    cmdOtraTanda = named(new QPushButton(QStringLiteral("Otra tanda (F5)")), "cmdOtraTanda",
                         QStringLiteral("Otras palabras: una semilla nueva (F5)"));
    spnMuestra = named(new QSpinBox, "spnMuestra", QStringLiteral("Cuántas palabras muestra la tanda"));
    spnMuestra->setRange(1, 10'000);
    spnMuestra->setValue(100);
    lblMuestra = buddyLabel(QStringLiteral("&Muestra:"), "lblMuestra", spnMuestra);
    chkSilabasMuestra = named(new QCheckBox(QStringLiteral("Sí&labas")), "chkSilabasMuestra",
                              QStringLiteral("Separa las sílabas de la muestra con «.»"));

    auto *buttons = new QHBoxLayout;
    for (QWidget *widget : std::initializer_list<QWidget *>{cmdAbrir, cmdGuardar, cmdAbrirCombinacion})
        buttons->addWidget(widget);
    buttons->addStretch(1);
    for (QWidget *widget :
         std::initializer_list<QWidget *>{lblSemilla, txtSemilla, cmdOtraTanda, lblMuestra, spnMuestra, chkSilabasMuestra})
        buttons->addWidget(widget);

    txtDefinicion = named(new DefinitionEditor, "txtDefinicion",
                          QStringLiteral("Categorías (V=a:5,e:4), @formas, @longitud, @rechazar, @cambios..."));
    lblDefinicion = named(new QLabel(QStringLiteral("&Definición:")), "lblDefinicion");
    lblError = named(new QLabel, "lblError");
    lblError->setWordWrap(true);
    lblError->setStyleSheet(QStringLiteral("color: #b00000"));
    lblError->hide();

    lstMuestra = named(new QListWidget, "lstMuestra", QStringLiteral("Una tanda de palabras de la definición"));
    // Columns of words, filled top to bottom.
    lstMuestra->setFlow(QListView::TopToBottom);
    lstMuestra->setWrapping(true);
    lstMuestra->setResizeMode(QListView::Adjust);
    lstMuestra->setSpacing(1);
    lblPalabras = named(new QLabel(QStringLiteral("&Palabras:")), "lblPalabras");

    fraGenerar = named(new QGroupBox(QStringLiteral("Generar")), "fraGenerar");
    txtCantidad = named(new QLineEdit(QStringLiteral("1000")), "txtCantidad",
                        QStringLiteral("Cuántas palabras escribe «Generar...»"));
    lblCantidad = buddyLabel(QStringLiteral("Ca&ntidad:"), "lblCantidad", txtCantidad);
    chkSinRepetir = named(new QCheckBox(QStringLiteral("Sin &repetir")), "chkSinRepetir",
                          QStringLiteral("Ninguna palabra sale dos veces"));
    chkOrdenar = named(new QCheckBox(QStringLiteral("&Ordenar")), "chkOrdenar",
                       QStringLiteral("En el orden de @alfabeto"));
    chkSilabas = named(new QCheckBox(QStringLiteral("Con síla&bas")), "chkSilabas",
                       QStringLiteral("Separa las sílabas con «.»"));
    lstExcluir = named(new QListWidget, "lstExcluir",
                       QStringLiteral("Léxicos cuyas palabras no se generan"));
    lstExcluir->setMaximumHeight(fontMetrics().height() * 3);
    lblExcluir = buddyLabel(QStringLiteral("E&xcluir las palabras de:"), "lblExcluir", lstExcluir);
    cmdExcluir = named(new QPushButton(QStringLiteral("Añadir...")), "cmdExcluir",
                       QStringLiteral("Añade un léxico cuyas palabras no se generan"));
    cmdQuitarExcluido = named(new QPushButton(QStringLiteral("Quitar")), "cmdQuitarExcluido",
                              QStringLiteral("Quita el léxico elegido"));
    cmdGenerar = named(new QPushButton(QStringLiteral("&Generar...")), "cmdGenerar",
                       QStringLiteral("Escribe las palabras en un archivo (Ctrl+G)"));
    cmdCancelar = named(new QPushButton(QStringLiteral("Cancelar")), "cmdCancelar",
                        QStringLiteral("Detiene la generación sin escribir nada (Escape)"));
    cmdCancelar->setEnabled(false);
    prgGenerar = named(new QProgressBar, "prgGenerar", QStringLiteral("Palabras escritas"));
    prgGenerar->setRange(0, 1000);
    prgGenerar->setValue(0);
    auto *generate = new QGridLayout(fraGenerar);
    generate->setVerticalSpacing(2);
    generate->addWidget(lblCantidad, 0, 0);
    generate->addWidget(txtCantidad, 0, 1, 1, 2);
    auto *options = new QHBoxLayout;
    options->addWidget(chkSinRepetir);
    options->addWidget(chkOrdenar);
    options->addWidget(chkSilabas);
    options->addStretch(1);
    generate->addLayout(options, 1, 0, 1, 3);
    generate->addWidget(lblExcluir, 2, 0, 1, 2);
    generate->addWidget(lstExcluir, 3, 0, 2, 2);
    generate->addWidget(cmdExcluir, 3, 2);
    generate->addWidget(cmdQuitarExcluido, 4, 2);
    generate->addWidget(prgGenerar, 5, 0);
    generate->addWidget(cmdGenerar, 5, 1, Qt::AlignRight);
    generate->addWidget(cmdCancelar, 5, 2);
    generate->setColumnStretch(1, 1);

    graSonidos = named(new BarChart(QStringLiteral("Sonidos (% de todos)")), "graSonidos");
    graSilabas = named(new BarChart(QStringLiteral("Sílabas por palabra (%)")), "graSilabas");
    graLongitud = named(new BarChart(QStringLiteral("Letras por palabra (%)")), "graLongitud");
    graGrupos = named(new BarChart(QStringLiteral("Grupos más frecuentes"), BarChart::Unit::Count), "graGrupos");
    auto *lower = named(new QSplitter(Qt::Horizontal), "splGraficosAbajo");
    lower->addWidget(graSilabas);
    lower->addWidget(graLongitud);
    splGraficos = named(new QSplitter(Qt::Vertical), "splGraficos");
    splGraficos->addWidget(graSonidos);
    splGraficos->addWidget(lower);
    splGraficos->addWidget(graGrupos);
    splGraficos->setChildrenCollapsible(false);

    auto *middle = named(new QSplitter(Qt::Vertical), "splMuestra");
    middle->addWidget(pane(lblPalabras, lstMuestra));
    middle->addWidget(fraGenerar);
    middle->setStretchFactor(0, 1);
    middle->setChildrenCollapsible(false);

    splPaneles = named(new QSplitter(Qt::Horizontal), "splPaneles");
    splPaneles->addWidget(pane(lblDefinicion, txtDefinicion, lblError));
    splPaneles->addWidget(middle);
    splPaneles->addWidget(splGraficos);
    splPaneles->setStretchFactor(0, 4);
    splPaneles->setStretchFactor(1, 3);
    splPaneles->setStretchFactor(2, 4);
    splPaneles->setChildrenCollapsible(false);

    lblEstado = named(new QLabel(messages::kReady), "lblEstado");
    lblEstado->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto *content = new QWidget;
    auto *inner = new QVBoxLayout(content);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addLayout(buttons);
    inner->addWidget(splPaneles, 1);
    inner->addWidget(lblEstado);
    // Everything below the menu scrolls where the window is smaller than its controls need.
    auto *scroll = named(new QScrollArea(this), "clientScroll");
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto *layout = new QVBoxLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(scroll);

    // Left to right, top to bottom.
    setTabOrderChain({cmdAbrir, cmdGuardar, cmdAbrirCombinacion, txtSemilla, cmdOtraTanda, spnMuestra,
                      chkSilabasMuestra, txtDefinicion, lstMuestra, txtCantidad, chkSinRepetir, chkOrdenar,
                      chkSilabas, lstExcluir, cmdExcluir, cmdQuitarExcluido, cmdGenerar, cmdCancelar});
    txtDefinicion->setFocus();
}

void frmTallerPalabras::connectControls()
{
    connect(txtDefinicion, &QsciScintilla::textChanged, this, &frmTallerPalabras::scheduleSample);
    connect(txtDefinicion, &QsciScintilla::modificationChanged, this, &frmTallerPalabras::updateTitle);
    connect(txtDefinicion, &QsciScintilla::cursorPositionChanged, this, &frmTallerPalabras::showErrorOfLine);
    connect(txtSemilla, &QLineEdit::textChanged, this, &frmTallerPalabras::scheduleSample);
    connect(spnMuestra, &QSpinBox::valueChanged, this, &frmTallerPalabras::scheduleSample);
    connect(chkSilabasMuestra, &QCheckBox::toggled, this, &frmTallerPalabras::drawSample);
    connect(pause_, &QTimer::timeout, this, &frmTallerPalabras::drawSample);
    connect(progress_, &QTimer::timeout, this, &frmTallerPalabras::showGenerationProgress);
    connect(mnuOtraTanda, &QAction::triggered, this, &frmTallerPalabras::cmdOtraTanda_Click);
    connect(cmdOtraTanda, &QPushButton::clicked, this, &frmTallerPalabras::cmdOtraTanda_Click);
    connect(mnuAbrir, &QAction::triggered, this, &frmTallerPalabras::mnuAbrir_Click);
    connect(cmdAbrir, &QPushButton::clicked, this, &frmTallerPalabras::mnuAbrir_Click);
    connect(mnuGuardar, &QAction::triggered, this, &frmTallerPalabras::mnuGuardar_Click);
    connect(cmdGuardar, &QPushButton::clicked, this, &frmTallerPalabras::mnuGuardar_Click);
    connect(mnuGuardarComo, &QAction::triggered, this, &frmTallerPalabras::mnuGuardarComo_Click);
    connect(mnuAbrirCombinacion, &QAction::triggered, this, &frmTallerPalabras::mnuAbrirCombinacion_Click);
    connect(cmdAbrirCombinacion, &QPushButton::clicked, this, &frmTallerPalabras::mnuAbrirCombinacion_Click);
    connect(cmdExcluir, &QPushButton::clicked, this, &frmTallerPalabras::cmdExcluir_Click);
    connect(cmdQuitarExcluido, &QPushButton::clicked, this, &frmTallerPalabras::cmdQuitarExcluido_Click);
    connect(mnuGenerar, &QAction::triggered, this, &frmTallerPalabras::cmdGenerar_Click);
    connect(cmdGenerar, &QPushButton::clicked, this, &frmTallerPalabras::cmdGenerar_Click);
    connect(mnuCancelar, &QAction::triggered, this, &frmTallerPalabras::cmdCancelar_Click);
    connect(cmdCancelar, &QPushButton::clicked, this, &frmTallerPalabras::cmdCancelar_Click);
}

QString frmTallerPalabras::folder() const
{
    // "@cambios ARCHIVO" is looked for beside the definition.
    return path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath();
}

bool frmTallerPalabras::isSampleDue() const
{
    return pause_->isActive();
}

void frmTallerPalabras::scheduleSample()
{
    pause_->start();
}

void frmTallerPalabras::drawSample()
{
    pause_->stop();
    const ParsedWordDefinition parsed = parseWordDefinitionText(txtDefinicion->text(), folder());
    txtDefinicion->setErrors(parsed.errors);
    showErrorOfLine();
    if (sampleCancel_) {
        // The sample under way is of an older text: nobody will look at it.
        *sampleCancel_ = true;
        sampleCancel_.reset();
        ++cancelledSamples_;
    }
    if (!parsed.ok()) {
        lblEstado->setText(QStringLiteral("La definición tiene %1: se muestran las palabras de la última correcta.")
                               .arg(spanishCount(parsed.errors.size(), QStringLiteral("error"),
                                                 QStringLiteral("errores"))));
        return;
    }
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    sampleCancel_ = cancel;
    const quint64 run = ++run_;
    auto definition = std::make_shared<const WordDefinition>(parsed.definition);
    const std::int64_t words = spnMuestra->value();
    const double seed = readNumber(txtSemilla->text());
    const bool syllables = chkSilabasMuestra->isChecked();
    lblEstado->setText(QStringLiteral("Sacando palabras..."));
    samplePool_.start([this, run, definition, words, seed, syllables, cancel, hook = sampleHook_] {
        if (hook)
            hook();
        QElapsedTimer clock;
        clock.start();
        std::shared_ptr<const WordSample> sample;
        try {
            sample = std::make_shared<const WordSample>(
                drawWordSample(*definition, words, seed, kStatisticsWords, syllables, cancel.get()));
        } catch (const std::bad_alloc &) {
            sample.reset(); // told as a failure below
        }
        if (*cancel)
            return;
        const qint64 elapsed = clock.elapsed();
        QMetaObject::invokeMethod(
            this, [this, run, sample, elapsed] { showSample(run, sample, elapsed); }, Qt::QueuedConnection);
    });
}

void frmTallerPalabras::showSample(quint64 run, const std::shared_ptr<const WordSample> &sample, qint64 milliseconds)
{
    if (run != run_)
        return; // a newer sample is under way or shown
    sampleCancel_.reset();
    if (!sample) {
        lblEstado->setText(messages::kOutOfMemory);
        emit sampleShown();
        return;
    }
    // Columns as wide as the longest word: none is cut short.
    int widest = 0;
    for (const QString &word : sample->words)
        widest = std::max(widest, lstMuestra->fontMetrics().horizontalAdvance(word));
    lstMuestra->setGridSize(QSize(widest + 12, lstMuestra->fontMetrics().height() + 2));
    lstMuestra->clear();
    lstMuestra->addItems(sample->words);
    showCharts(*sample);
    if (sample->outcome.ok())
        lblEstado->setText(QStringLiteral("%1; estadísticas de %2 (%3 s).")
                               .arg(spanishCount(sample->words.size(), QStringLiteral("palabra"),
                                                 QStringLiteral("palabras")),
                                    spanishNumber(qint64(sample->statistics.words)),
                                    spanishNumber(double(milliseconds) / 1000, 2)));
    else
        lblEstado->setText(sample->outcome.message());
    emit sampleShown();
}

void frmTallerPalabras::showCharts(const WordSample &sample)
{
    const WordStatisticsReport &report = sample.statistics;
    QStringList labels;
    BarChart::Series expected{QStringLiteral("Esperada"), kExpectedColour, {}};
    BarChart::Series observed{QStringLiteral("Observada"), kObservedColour, {}};
    for (const WordStatisticsReport::Sound &sound : report.soundShares) {
        labels.append(sound.sound);
        expected.values.push_back(100 * sound.expected);
        observed.values.push_back(100 * sound.observed);
    }
    graSonidos->setData(labels, {expected, observed});

    labels.clear();
    expected.values.clear();
    observed.values.clear();
    for (const WordStatisticsReport::Bar &bar : report.syllables) {
        labels.append(QString::number(bar.value));
        expected.values.push_back(100 * bar.expected);
        observed.values.push_back(percent(bar.count, report.words));
    }
    graSilabas->setData(labels, {expected, observed});

    labels.clear();
    observed.values.clear();
    for (const WordStatisticsReport::Bar &bar : report.lengths) {
        labels.append(QString::number(bar.value));
        observed.values.push_back(percent(bar.count, report.words));
    }
    graLongitud->setData(labels, {observed});

    labels.clear();
    BarChart::Series times{QStringLiteral("Veces"), kObservedColour, {}};
    for (std::size_t i = 0; i < report.clusters.size() && i < std::size_t(kTopClusters); ++i) {
        labels.append(report.clusters[i].cluster);
        times.values.push_back(double(report.clusters[i].count));
    }
    graGrupos->setData(labels, {times});
    const QString words = spanishNumber(qint64(report.words));
    graSonidos->setToolTip(QStringLiteral("Parte de cada sonido entre todos los de %1 palabras: la que dan los "
                                          "pesos y la que salió")
                               .arg(words));
    graGrupos->setToolTip(QStringLiteral("Veces que sale cada grupo de consonantes en %1 palabras").arg(words));
}

void frmTallerPalabras::showErrorOfLine()
{
    int line = 0;
    int index = 0;
    txtDefinicion->getCursorPosition(&line, &index);
    QString message = txtDefinicion->errorOnLine(line);
    if (message.isEmpty() && txtDefinicion->hasErrors())
        message = txtDefinicion->firstError();
    lblError->setText(message);
    lblError->setVisible(!message.isEmpty());
}

void frmTallerPalabras::updateTitle()
{
    const QString file = path_.isEmpty() ? QString() : QStringLiteral(" - ") + QFileInfo(path_).fileName();
    setWindowTitle(kTitle + file + QStringLiteral("[*]"));
    setWindowModified(txtDefinicion->isModified());
}

void frmTallerPalabras::cmdOtraTanda_Click()
{
    // A new seed, shown in its box, so that a tanda worth keeping can be had again.
    txtSemilla->setText(QString::number(QRandomGenerator::global()->bounded(1, 1'000'000'000)));
    drawSample();
}

bool frmTallerPalabras::mayLeave()
{
    if (!txtDefinicion->isModified())
        return true;
    switch (services_.askToSave(this, kTitle, kUnsaved)) {
    case SaveChoice::Save:
        return mnuGuardar_Click();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

bool frmTallerPalabras::confirmClose()
{
    if (!mayLeave())
        return false;
    txtDefinicion->setModified(false); // left as it is: not asked again
    return true;
}

void frmTallerPalabras::closeEvent(QCloseEvent *event)
{
    if (!confirmClose()) {
        event->ignore();
        return;
    }
    if (sampleCancel_)
        *sampleCancel_ = true;
    if (generationCancel_)
        *generationCancel_ = true;
    event->accept();
}

void frmTallerPalabras::mnuAbrir_Click()
{
    if (!mayLeave())
        return;
    const QString path = services_.getOpenFileName(this, {kDefinitionFiles, kOpenTitle, {}, path_});
    if (path.isEmpty())
        return;
    QStringList lines;
    if (!report(services_, this, kOpenTitle, readWordDefinitionFile(path, lines)))
        return;
    path_ = path;
    txtDefinicion->setText(lines.join(QStringLiteral("\r\n")));
    txtDefinicion->setModified(false);
    updateTitle();
    drawSample();
}

bool frmTallerPalabras::mnuGuardar_Click()
{
    return path_.isEmpty() ? mnuGuardarComo_Click() : saveDefinition(path_);
}

bool frmTallerPalabras::mnuGuardarComo_Click()
{
    const QString path = services_.getSaveFileName(this, {kDefinitionFiles, kSaveTitle, {}, path_});
    return !path.isEmpty() && saveDefinition(path);
}

bool frmTallerPalabras::saveDefinition(const QString &path)
{
    // A definition is UTF-8 (without a byte-order mark), its lines ending in CR LF.
    QString text = txtDefinicion->text();
    if (!text.isEmpty() && !text.endsWith(u'\n') && !text.endsWith(u'\r'))
        text += QStringLiteral("\r\n");
    AtomicFile file(path);
    FileStatus status = file.open();
    if (status.ok()) {
        const QByteArray bytes = text.toUtf8();
        if (file.device().write(bytes) != bytes.size())
            status = FileStatus::failure(FileError::WriteFailed, path, file.device());
        else
            status = file.commit();
    }
    if (!report(services_, this, kSaveTitle, status))
        return false;
    const bool moved = path != path_;
    path_ = path;
    txtDefinicion->setModified(false);
    updateTitle();
    if (moved)
        drawSample(); // "@cambios ARCHIVO" now looks beside the new file
    return true;
}

void frmTallerPalabras::mnuAbrirCombinacion_Click()
{
    if (!mayLeave())
        return;
    const QString path = services_.getOpenFileName(this, {filters::kDefinitions, kOpenLngTitle});
    if (path.isEmpty())
        return;
    Combinacion combination;
    if (!report(services_, this, kOpenLngTitle, readLngFile(path, combination)))
        return;
    const LngConversion conversion = convertCombinacion(combination, kLngMinimum, kLngMaximum);
    if (!report(services_, this, kOpenLngTitle, conversion.outcome))
        return;
    // A new definition, not yet saved anywhere: saving asks for its name.
    path_.clear();
    QString text = conversion.text;
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    txtDefinicion->setText(text);
    txtDefinicion->setModified(true);
    updateTitle();
    lblEstado->setText(QStringLiteral("Convertida «%1», con palabras de %2 a %3 sílabas como en «Generar "
                                      "palabras»: cambie @longitud si hace falta.")
                           .arg(QFileInfo(path).fileName())
                           .arg(kLngMinimum)
                           .arg(kLngMaximum));
    drawSample();
}

void frmTallerPalabras::cmdExcluir_Click()
{
    const QString path = services_.getOpenFileName(this, {filters::kWordFiles, kExcludeTitle});
    if (!path.isEmpty())
        appendAndShow(lstExcluir, QDir::toNativeSeparators(path));
}

void frmTallerPalabras::cmdQuitarExcluido_Click()
{
    delete lstExcluir->takeItem(lstExcluir->currentRow());
}

void frmTallerPalabras::cmdGenerar_Click()
{
    if (generationCancel_)
        return;
    const ParsedWordDefinition parsed = parseWordDefinitionText(txtDefinicion->text(), folder());
    if (!parsed.ok()) {
        services_.warning(this, kGenerateTitle,
                          QStringLiteral("La definición tiene errores; no se ha generado nada.\n") + parsed.message());
        return;
    }
    const double count = readNumber(txtCantidad->text());
    if (!(count >= 1 && count <= 9e15 && count == std::floor(count))) {
        services_.warning(this, kGenerateTitle,
                          QStringLiteral("La cantidad debe ser un número entero de 1 en adelante, no «%1».")
                              .arg(txtCantidad->text()));
        txtCantidad->setFocus();
        return;
    }
    const QString path = services_.getSaveFileName(this, {filters::kWordFiles, kGenerateTitle});
    if (path.isEmpty())
        return;

    WordRunOptions options;
    options.count = std::int64_t(count);
    options.unique = chkSinRepetir->isChecked();
    options.sorted = chkOrdenar->isChecked();
    options.syllables = chkSilabas->isChecked();
    for (const QString &file : listTexts(lstExcluir))
        options.excluded.append(QDir::fromNativeSeparators(file));
    const double seed = readNumber(txtSemilla->text());
    auto definition = std::make_shared<const WordDefinition>(parsed.definition);
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto done = std::make_shared<std::atomic<std::int64_t>>(0);
    generationCancel_ = cancel;
    generated_ = done;
    generationCount_ = options.count;

    cmdGenerar->setEnabled(false);
    mnuGenerar->setEnabled(false);
    cmdCancelar->setEnabled(true);
    mnuCancelar->setEnabled(true);
    prgGenerar->setValue(0);
    lblEstado->setText(QStringLiteral("Generando palabras..."));
    progress_->start();
    generationPool_.start([this, definition, options, seed, path, cancel, done, hook = generationHook_] {
        WordRunResult result;
        const Outcome outcome = guardMemory([&]() -> Outcome {
            // The lexicons to exclude are read before the output is touched.
            WordFilters filters;
            if (const Outcome prepared = prepareWordRunFilters(options, filters); !prepared.ok())
                return prepared;
            LineWriter out(path);
            if (const FileStatus status = out.open(); !status.ok())
                return status;
            RandomSource random;
            random.seed(seed);
            result = runWordGeneration(*definition, options, random, filters, out, nullptr,
                                       [&](std::int64_t words) {
                                           *done = words;
                                           if (hook)
                                               hook();
                                           return !*cancel;
                                       });
            if (!result.outcome.ok() || result.cancelled || *cancel)
                return result.outcome; // the writer goes without a commit: the file stays as it was
            return out.commit();
        });
        const bool cancelled = result.cancelled || *cancel;
        const std::int64_t words = result.words;
        QMetaObject::invokeMethod(
            this,
            [this, outcome, cancelled, words, path] {
                if (cancelled)
                    endGeneration(messages::wordgen::kCancelled, QString());
                else if (!outcome.ok())
                    endGeneration(outcome.message(), outcome.message());
                else
                    endGeneration(QStringLiteral("%1 en «%2».")
                                      .arg(spanishCount(words, QStringLiteral("palabra escrita"),
                                                        QStringLiteral("palabras escritas")),
                                           QDir::toNativeSeparators(path)),
                                  QString());
            },
            Qt::QueuedConnection);
    });
}

void frmTallerPalabras::showGenerationProgress()
{
    if (!generated_ || generationCount_ <= 0)
        return;
    prgGenerar->setValue(int(std::min<std::int64_t>(1000, generated_->load() * 1000 / generationCount_)));
}

void frmTallerPalabras::cmdCancelar_Click()
{
    if (generationCancel_) {
        *generationCancel_ = true;
        lblEstado->setText(QStringLiteral("Cancelando..."));
    }
}

void frmTallerPalabras::endGeneration(const QString &status, const QString &warning)
{
    progress_->stop();
    const bool written = warning.isEmpty() && generationCancel_ && !*generationCancel_;
    generationCancel_.reset();
    generated_.reset();
    prgGenerar->setValue(written ? 1000 : 0);
    cmdGenerar->setEnabled(true);
    mnuGenerar->setEnabled(true);
    cmdCancelar->setEnabled(false);
    mnuCancelar->setEnabled(false);
    lblEstado->setText(status);
    if (!warning.isEmpty())
        services_.warning(this, kGenerateTitle, warning);
    emit generationEnded();
}

} // namespace vordane
