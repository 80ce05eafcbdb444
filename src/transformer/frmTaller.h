#pragma once

#include "shell/unsavedwork.h"

#include <QThreadPool>
#include <QWidget>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTableView;
class QTimer;

namespace vordane {

class MultiLineTextBox;
class PlatformServices;
class ReportModel;
class ResultModel;
class RuleEditor;
class WorkshopResult;
struct RunControl;

// The sound-change workshop: a rule list and a list of words, and, as they
// are edited, the words the rules make, what every rule did and the steps of
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
    QLabel *lblInforme;
    QTableView *grdInforme;
    QLabel *lblTraza;
    MultiLineTextBox *txtTraza;
    QLabel *lblEstado;
    QProgressBar *prgProgreso;

signals:
    // A run's result is on show.
    void resultShown();

protected:
    void closeEvent(QCloseEvent *event) override;

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
    void updateTitle();

    void mnuAbrirReglas_Click();
    bool mnuGuardarReglas_Click();
    bool mnuGuardarReglasComo_Click();
    void mnuImportarSca2_Click();
    void mnuAbrirPalabras_Click();
    bool mnuGuardarPalabras_Click();
    void mnuGuardarResultado_Click();
    bool saveRules(const QString &path);
    // Whether unsaved work may be left: saved first, or left as the user chooses.
    bool mayLeave(bool unsaved, const QString &question, bool (frmTaller::*save)());

    PlatformServices &services_;
    ResultModel *resultModel_;
    ReportModel *reportModel_;
    QTimer *pause_;
    QTimer *progress_;
    QThreadPool pool_;
    std::shared_ptr<RunControl> control_; // of the run under way
    quint64 run_ = 0; // number of the latest run started
    qsizetype runSize_ = 0; // characters of its source
    std::shared_ptr<const WorkshopResult> shown_;
    QString words_; // the words' text as last read from their box
    bool wordsChanged_ = true;
    bool wordsModified_ = false; // typed or edited since opened or saved
    bool loadingWords_ = false;
    QString rulesPath_;
    int abandoned_ = 0;
    std::function<void()> runHook_;
};

} // namespace vordane
