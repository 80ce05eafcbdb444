#pragma once

#include "history/lexicon.h"
#include "shell/unsavedwork.h"

#include <QThreadPool>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QsciScintilla;
class QPushButton;
class QSplitter;
class QTabWidget;
class QTableView;
class QTimer;

namespace vordane {

class MergerModel;
class MultiLineTextBox;
class PlatformServices;
class ReportModel;
class ResultModel;
class RuleEditor;
class WorkshopResult;
struct RunControl;

// The sound-change workshop: a rule list and a list of words (or a
// lexicon), and, as they are edited, the words the rules make (after each
// stage too), what every rule did, the words that merged and the steps of
// any word through the rules. Runs go on in another thread a moment after
// typing stops; a newer edit abandons the run under way. Rules are kept in
// the transformer's rule files; closing with unsaved rules asks first.
class frmTaller : public QWidget, public UnsavedWork {
    Q_OBJECT
public:
    explicit frmTaller(PlatformServices &services, QWidget *parent = nullptr);
    ~frmTaller() override;

    QSize sizeHint() const override;

    // Whether the window may close: with unsaved rules or words the user is
    // asked whether to save them first (and may cancel).
    bool confirmClose() override;
    // The result on show (null before the first run).
    const WorkshopResult *result() const { return shown_.get(); }
    // Whether a run is under way.
    bool isRunning() const;
    // How many runs were abandoned because a newer edit came first.
    int abandonedRuns() const { return abandoned_; }
    // For tests: called on the worker thread as each run begins, before its
    // first word, so that a test can hold a run at a known point.
    void setRunHook(std::function<void()> hook) { runHook_ = std::move(hook); }

    // Puts the lines of a lexicon file (a language file, a dictionary or a
    // word list, told by its lines) into the words box, as "Abrir léxico..."
    // does with the file chosen; false, after a warning, when it cannot be read.
    bool openLexicon(const QString &path);

    // How long typing must pause before a run starts.
    static constexpr int kPauseMs = 250;

    QMenuBar *menuBar;
    QMenu *mnuArchivo;
    QAction *mnuAbrirReglas;
    QAction *mnuGuardarReglas;
    QAction *mnuGuardarReglasComo;
    QAction *mnuImportarSca2;
    QAction *mnuAbrirPalabras;
    QAction *mnuGuardarPalabras;
    QAction *mnuGuardarResultado;
    QAction *mnuAbrirLexico;
    QAction *mnuGuardarLexico;
    QAction *mnuExportarEtapas;
    QAction *mnuAplicar;

    QPushButton *cmdAbrirReglas;
    QPushButton *cmdGuardarReglas;
    QPushButton *cmdAbrirPalabras;
    QPushButton *cmdGuardarPalabras;
    QPushButton *cmdGuardarResultado;
    QPushButton *cmdAplicar;
    QLabel *lblSemilla;
    QLineEdit *txtSemilla;

    QSplitter *splPaneles;
    QLabel *lblReglas;
    RuleEditor *txtReglas;
    QLabel *lblError;
    QLabel *lblPalabras;
    MultiLineTextBox *txtPalabras;
    QLabel *lblResultado;
    QTableView *grdResultado;
    QPushButton *cmdTodas;
    QTabWidget *tabInforme;
    QTableView *grdInforme;
    QLabel *lblFusiones;
    QTableView *grdFusiones;
    QLabel *lblTraza;
    MultiLineTextBox *txtTraza;
    QCheckBox *chkCambios;
    QCheckBox *chkSilabas;
    QLabel *lblEstado;
    QProgressBar *prgProgreso;

signals:
    // A run's result is on show.
    void resultShown();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenu();
    void buildPanes();
    void connectControls();

    // Runs the rules a moment after the last edit, or at once.
    void scheduleRun();
    void runNow();
    void showResult(quint64 run, const std::shared_ptr<const WorkshopResult> &result, qint64 milliseconds);
    void showProgress();
    void showErrorOfLine();
    void showRuleWords();
    void showAllWords();
    void chooseResultRow(int row);
    void showTrace();
    // What the tip over a point of the trace's view shows: the features of
    // the segment of a word there, or the empty text.
    QString traceTipAt(const QPoint &point) const;
    void showStatus();
    void sizeResultColumns();
    void updateTitle();
    void updateWordsCaption();

    void mnuAbrirReglas_Click();
    bool mnuGuardarReglas_Click();
    bool mnuGuardarReglasComo_Click();
    void mnuImportarSca2_Click();
    void mnuAbrirPalabras_Click();
    bool mnuGuardarPalabras_Click();
    void mnuGuardarResultado_Click();
    void mnuAbrirLexico_Click();
    void mnuGuardarLexico_Click();
    void mnuExportarEtapas_Click();
    // Whether the result on show may be saved; if not, the user is told why.
    bool resultSavable(const QString &title);
    bool saveRules(const QString &path);
    // Whether unsaved work may be left: saved first, or left as the user chooses.
    bool mayLeave(bool unsaved, const QString &question, bool (frmTaller::*save)());

    PlatformServices &services_;
    QsciScintilla *traceView_ = nullptr; // the trace box's editor
    ResultModel *resultModel_;
    ReportModel *reportModel_;
    MergerModel *mergerModel_;
    QTimer *pause_;
    QTimer *progress_;
    QThreadPool pool_;
    std::shared_ptr<RunControl> control_; // of the run under way
    quint64 run_ = 0; // number of the latest run started
    qsizetype runSize_ = 0; // characters of its source
    std::shared_ptr<const WorkshopResult> shown_;
    qint64 shownMilliseconds_ = 0;
    int resultColumns_ = 0; // columns the result table was last sized for
    QString words_; // the words' text as last read from their box
    bool wordsChanged_ = true;
    bool wordsModified_ = false; // typed or edited since opened or saved
    bool loadingWords_ = false;
    QString rulesPath_;
    // The words are a lexicon of this kind, opened from that file.
    std::optional<LexiconKind> lexiconKind_;
    QString lexiconPath_;
    int abandoned_ = 0;
    std::function<void()> runHook_;
};

} // namespace vordane
