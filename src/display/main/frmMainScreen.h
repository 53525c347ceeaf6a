#pragma once

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "display/main/TwipsGeometry.h"
#include "engine/AcquisitionThread.h"
#include "engine/BoardSession.h"
#include "engine/EvalContext.h"
#include "engine/SessionWaiter.h"
#include "engine/ThreadBridge.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class FFTControl;
class HistogramControl;
class StatusBox;
class StripChart;
class ToggleButton;
class frmSetup;
class FileChooser;
class SettingsStore;

// The main window: acquisitions, power and reset, the waveform, spectrum and histogram
// views, the chart options, the menus and the window's layout. It runs the board session
// (its acquisitions on the session's own thread) and shows what the session reports.
class frmMainScreen : public QMainWindow, public SessionListener {
    Q_OBJECT
public:
    explicit frmMainScreen(EvalContext& ctx, QWidget* parent = nullptr);
    ~frmMainScreen() override;

    // Start-up sequence; call once before showing the window.
    void Form_Load();

    // Shows one uploaded block: the codes and volts, the spectrum and histogram, its status
    // line; a failed one ends the run. Returns the block's pending error number.
    int TakeSamples(const UploadedBlock& block);
    // Whether an acquisition is going on; WaitForAcquisition() handles events until it ended.
    bool Acquiring() const { return acquisitions_ > 0; }
    void WaitForAcquisition();
    BoardSession& Session() { return session_; }
    AcquisitionThread& Acquisition() { return *acquisition_; }

    // Handlers, public so menus, tests and the event wiring reach the same code.
    void cmdSample_Click();
    void cmdContSample_Click();
    void cmdStopSampling_Click();
    void cmdPowerDown_Click();
    void cmdPowerUp_Click();
    void cmdReset_Click();
    void cmdQuit_Click();
    void cboDisplayMode_Click();
    void chkHoldZoom_Click();
    void chkHGrid_Click();
    void chkVGrid_Click();
    void chkTickPoints_Click();
    void chkZoomHandles_Click();
    void ToggleButton1_Click();
    void VEXMFFTControl1_BHWindow();
    void stripDSO_CursorChange(double x);
    void StripFFT_CursorChange(double x);
    void Chart_MouseUp();
    void Form_Resize();

    // Waveform scaling and plotting.
    void PlotWaveform(const std::vector<double>& data, std::int16_t count,
                      std::optional<double> top = std::nullopt,
                      std::optional<double> bottom = std::nullopt);
    void PlotSpectrum(const std::vector<double>& spectrum, std::int16_t count);
    void ShowWaveformRange(const std::vector<double>& data);
    void ShowSpectrumRange(const std::vector<double>& spectrum);
    void ResetChartSpans();
    void ShowMaxMin(double maximum, double minimum);

    // Menus.
    void mnuSetUP_Click();
    void mnuLoadRawData_Click();
    void mnuLoadFFTData_Click();
    void SaveRawData_Click();
    void SaveFFTData_Click();
    void mnuSaveBinary_Click();
    void ExitProgram_Click();
    void mnuLPT1_Click();
    void mnuLPT2_Click();
    void mnuPRN_Click();
    void mnuAbout_Click();
    // Added menus: chart export (File) and copying the metrics table (Edit).
    void ExportChart_Click(QWidget* chart);
    void mnuCopy_Click();

    // What the session reports.
    void PortClaimed(std::int16_t address) override;
    void ResetBegun() override;
    void SupplyLatchShown(int value) override;
    void ResetEnded(bool answered) override;
    void ProgramLoaded(bool loaded) override;
    // The four buttons that need a running board program: Sample, Cont Samp, Power Down/Up.
    void SetBoardButtonsEnabled(bool enabled);
    void ClearHoldZoom();

    // Services the window uses; tests put fakes in their place.
    void SetFileChooser(FileChooser* chooser) { fileChooser_ = chooser; }
    void SetSettingsStore(SettingsStore* store) { settingsStore_ = store; }
    // The caption of lblCursorInfo with its lines separated by a carriage return.
    QString CursorInfoCaption() const { return cursorInfoCaption_; }
    std::int32_t BlockLength() const;
    frmSetup* SetupDialog() const;   // while it is open

    // Controls, named as the program's documents name them.
    QPushButton *cmdSample, *cmdContSample, *cmdStopSampling, *cmdReset;
    QPushButton *cmdPowerDown, *cmdPowerUp, *Command2, *cmdQuit;
    StatusBox *VEXMStatus1, *VEXMStatus2;
    ToggleButton* ToggleButton1;
    QFrame* picMaxMinBox;
    QLabel *lblMax, *lblMin, *lblCursorInfo;
    QComboBox* cboDisplayMode;
    QCheckBox *chkVGrid, *chkHGrid, *chkHoldZoom, *chkTickPoints, *chkZoomHandles;
    StripChart *stripDSO, *StripFFT;
    FFTControl* VEXMFFTControl1;
    HistogramControl* VEXMHistogram1;
    QAction *mnuSetup, *LoadEXE, *mnuLoadRawData, *mnuLoadFFTData, *SaveRawData;
    QAction *mnuSaveBinary, *SaveFFTData, *ExitProgram;
    QAction *mnuLPT1, *mnuLPT2, *mnuPRN, *mnuAbout;
    QAction *mnuExportWaveform, *mnuExportSpectrum, *mnuExportHistogram, *mnuCopy;
    TwipsGeometry Geometry;
    int AboutAnimationFrame = 0;
    bool HoldZoom = false;       // the chart spans stay as the user zoomed them
    bool SpansChanged = false;   // the block length changed: the spans start afresh

    // The window's size in twips is its outer size, frame included. Until the window
    // manager has framed the window the frame counts as nothing; the size is applied again
    // once the frame is known.
    void SetOuterSize(double widthTwips, double heightTwips);

    QLabel* lblZoomHint;        // the status bar's zoom hint
    QPushButton* cmdFullView;   // in the status bar; enabled while a chart is zoomed in

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Marks an acquisition in progress for its lifetime. Meanwhile nothing that reconfigures
    // the board or replaces the block can be chosen (those menu entries are disabled and
    // restored afterwards), and a close asked for waits for the last acquisition to end.
    // The board is free for another command: no acquisition is going on (false), and the
    // upload of a stopped run has ended.
    bool BoardIdle();
    void BeginAcquisition(bool continuous);
    void EndAcquisition();
    void ShowBlock(std::shared_ptr<UploadedBlock> block);
    void DrawNewestBlock();

    void CreateControls();
    void CreateMenus();
    void CreateChartMenus(QMenu* file);
    void PlaceControls();
    void ConnectHandlers();
    void Form_Unload();
    void LoadStoredSettingsStep();
    FileChooser& Files();        // the chooser set for tests, else the desktop's dialogs
    SettingsStore& Store();      // the store set for tests, else the per-user store
    void ShowCursorInfo(const std::function<QString()>& caption);
    void SetPortChoice(std::int16_t address, QAction* checked);
    void ShowDataFileError(int shownNumber, int recordedNumber, const QString& what);
    bool ShowNoDataToSave(bool hasData);
    void SelectDisplayModeIndex(int index);
    void ApplyOuterSize();
    void ShowZoomHint();
    void ShowStartupMessages();

    EvalContext& ctx;
    BoardSession session_;
    std::unique_ptr<SessionWaiter> ownWaiter_;
    std::unique_ptr<CrossThreadStatus> status1Bridge_;
    std::unique_ptr<CrossThreadMessenger> messageBridge_;
    Messenger* messenger_ = nullptr;   // the user's messages, on the window's thread
    AcquisitionThread* acquisition_ = nullptr;
    bool continuousRun_ = false;
    bool drawPending_ = false;        // a block is analysed but not yet drawn
    QTimer drawTimer_;                // draws the newest block at the screen's pace
    QString cursorInfoCaption_;
    bool unloaded_ = false;
    int acquisitions_ = 0;
    std::vector<std::pair<QAction*, bool>> heldActions_;   // entries disabled during an acquisition
    bool closeWaiting_ = false;
    bool adjustingDisplayMode_ = false;
    QPointer<frmSetup> setupDialog_;
    QPointer<QWidget> aboutWindow_;
    FileChooser* fileChooser_ = nullptr;
    SettingsStore* settingsStore_ = nullptr;
    std::unique_ptr<FileChooser> ownFileChooser_;
    std::unique_ptr<SettingsStore> ownSettingsStore_;
    std::unique_ptr<Messenger> ownMessenger_;
    QSize outerSize_;
    bool outerSizePending_ = false;
    QSize outerSizeApplied_;   // the inner size the outer size gave
    QTimer frameWatch_;                           // waits for the frame after the first showing
    std::vector<MessageRequest> startupMessages_;   // shown once the window is on screen
};
