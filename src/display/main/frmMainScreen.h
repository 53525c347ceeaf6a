#pragma once

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "display/main/TwipsGeometry.h"
#include "engine/AcquisitionEngine.h"
#include "link/EvalContext.h"
#include "link/LinkUi.h"

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
// views, the chart options, the menus and the window's layout. It owns the sample
// buffers' consumers and the link's watchdog timer, and it is the link's view of the
// main-window controls.
class frmMainScreen : public QMainWindow, public LinkUi, public EventPump {
    Q_OBJECT
public:
    explicit frmMainScreen(EvalContext& ctx, QWidget* parent = nullptr);
    ~frmMainScreen() override;

    // Start-up sequence; call once before showing the window.
    void Form_Load();

    // One acquisition; returns the pending error number (517 after a failed upload).
    int TakeSamples();

    // Handlers, public so menus, tests and the event wiring reach the same code.
    void cmdSample_Click();
    void cmdContSample_Click();
    void cmdStopSampling_Click();
    void cmdPowerDown_Click();
    void cmdPowerUp_Click();
    void cmdReset_Click();
    void cmdQuit_Click();
    void Timer1_Timer();
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

    // LinkUi
    void SetButtonEnabled(MainButton button, bool enabled) override;
    void SetDisplayModeEnabled(bool enabled) override;
    void AddDisplayModeItem(const QString& item) override;
    void SetHoldZoomEnabled(bool enabled) override;
    void ClearHoldZoom() override;
    void SetSupplyLatchValue(int value) override;
    void SetPortMenuEntryEnabled(PortMenuEntry entry, bool enabled) override;
    // EventPump
    void ProcessEvents() override;

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
    QTimer Timer1;
    QAction *mnuSetup, *LoadEXE, *mnuLoadRawData, *mnuLoadFFTData, *SaveRawData;
    QAction *mnuSaveBinary, *SaveFFTData, *ExitProgram;
    QAction *mnuLPT1, *mnuLPT2, *mnuPRN, *mnuAbout;
    QAction *mnuExportWaveform, *mnuExportSpectrum, *mnuExportHistogram, *mnuCopy;
    TwipsGeometry Geometry;
    int AboutAnimationFrame = 0;

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
    class AcquisitionScope {
    public:
        explicit AcquisitionScope(frmMainScreen* window);
        ~AcquisitionScope();
    private:
        frmMainScreen* window_;
    };

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
    AcquisitionEngine engine_;
    QString cursorInfoCaption_;
    bool unloaded_ = false;
    int acquisitions_ = 0;
    std::vector<std::pair<QAction*, bool>> heldActions_;   // entries disabled during acquisitions
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
