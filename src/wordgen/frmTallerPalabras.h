#pragma once

#include "shell/unsavedwork.h"

#include <QThreadPool>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTimer;

namespace vordane {

class BarChart;
class DefinitionEditor;
class PlatformServices;
struct WordSample;

// The word workshop: a word-generator definition (".gen") and, as it is
// edited, a sample of the words it makes and charts of what a larger hidden
// sample looks like (sounds expected against observed, syllables per word,
// lengths, the most frequent clusters). Samples are drawn in another thread
// a moment after typing stops; a newer edit cancels the one under way.
// "Generar..." writes any number of words to a file as "vordane-cli
// palabras" does, in another thread, with its progress and a way to cancel.
// Closing with an unsaved definition asks first.
class frmTallerPalabras : public QWidget, public UnsavedWork {
    Q_OBJECT
public:
    explicit frmTallerPalabras(PlatformServices &services, QWidget *parent = nullptr);
    ~frmTallerPalabras() override;

    QSize sizeHint() const override;
    bool confirmClose() override;

    // Whether a sample is being drawn, or words written.
    bool isSampling() const { return sampleCancel_ != nullptr; }
    // Whether an edit waits for typing to pause before its sample is drawn.
    bool isSampleDue() const;
    bool isGenerating() const { return generationCancel_ != nullptr; }
    // How many samples were cancelled because a newer edit came first.
    int cancelledSamples() const { return cancelledSamples_; }
    // For tests: called on the worker thread as each sample begins, and as a
    // generation reports its progress, so that a test can hold either at a
    // known point.
    void setSampleHook(std::function<void()> hook) { sampleHook_ = std::move(hook); }
    void setGenerationHook(std::function<void()> hook) { generationHook_ = std::move(hook); }

    // How long typing must pause before a sample is drawn.
    static constexpr int kPauseMs = 250;
    // Words behind the charts.
    static constexpr std::int64_t kStatisticsWords = 10'000;
    // Clusters in their chart.
    static constexpr int kTopClusters = 15;

    QMenuBar *menuBar;
    QMenu *mnuArchivo;
    QAction *mnuAbrir;
    QAction *mnuGuardar;
    QAction *mnuGuardarComo;
    QAction *mnuAbrirCombinacion;
    QAction *mnuGenerar;
    QAction *mnuOtraTanda;
    QAction *mnuCancelar;

    QPushButton *cmdAbrir;
    QPushButton *cmdGuardar;
    QPushButton *cmdAbrirCombinacion;
    QLabel *lblSemilla;
    QLineEdit *txtSemilla;
    QPushButton *cmdOtraTanda;
    QLabel *lblMuestra;
    QSpinBox *spnMuestra;
    QCheckBox *chkSilabasMuestra;

    QSplitter *splPaneles;
    QLabel *lblDefinicion;
    DefinitionEditor *txtDefinicion;
    QLabel *lblError;
    QLabel *lblPalabras;
    QListWidget *lstMuestra;

    QGroupBox *fraGenerar;
    QLabel *lblCantidad;
    QLineEdit *txtCantidad;
    QCheckBox *chkSinRepetir;
    QCheckBox *chkOrdenar;
    QCheckBox *chkSilabas;
    QLabel *lblExcluir;
    QListWidget *lstExcluir;
    QPushButton *cmdExcluir;
    QPushButton *cmdQuitarExcluido;
    QPushButton *cmdGenerar;
    QPushButton *cmdCancelar;
    QProgressBar *prgGenerar;

    QSplitter *splGraficos;
    BarChart *graSonidos;
    BarChart *graSilabas;
    BarChart *graLongitud;
    BarChart *graGrupos;
    QLabel *lblEstado;

signals:
    // A sample (and its charts) is on show.
    void sampleShown();
    // A generation ended: written, failed or cancelled.
    void generationEnded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildPanes();
    void connectControls();

    void scheduleSample();
    void drawSample();
    void showSample(quint64 run, const std::shared_ptr<const WordSample> &sample, qint64 milliseconds);
    void showCharts(const WordSample &sample);
    void showErrorOfLine();
    void updateTitle();
    void showGenerationProgress();
    void endGeneration(const QString &status, const QString &warning);

    void mnuAbrir_Click();
    bool mnuGuardar_Click();
    bool mnuGuardarComo_Click();
    void mnuAbrirCombinacion_Click();
    void cmdOtraTanda_Click();
    void cmdExcluir_Click();
    void cmdQuitarExcluido_Click();
    void cmdGenerar_Click();
    void cmdCancelar_Click();
    bool saveDefinition(const QString &path);
    bool mayLeave();
    QString folder() const;

    PlatformServices &services_;
    QTimer *pause_;
    QTimer *progress_;
    QThreadPool samplePool_;
    QThreadPool generationPool_;
    std::shared_ptr<std::atomic<bool>> sampleCancel_; // of the sample under way
    quint64 run_ = 0; // number of the latest sample started
    int cancelledSamples_ = 0;
    std::shared_ptr<std::atomic<bool>> generationCancel_; // of the generation under way
    std::shared_ptr<std::atomic<std::int64_t>> generated_; // words it has made
    std::int64_t generationCount_ = 0;
    QString path_; // the definition's file
    std::function<void()> sampleHook_;
    std::function<void()> generationHook_;
};

} // namespace vordane
