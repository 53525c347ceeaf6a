#pragma once

#include "display/main/TwipsGeometry.h"

#include <QObject>
#include <QTimer>
#include <memory>
#include <utility>
#include <vector>

class AcquisitionRun;
class BoardSession;
class ChartViews;
class EvalContext;
class QAction;
class QMainWindow;
class QPushButton;

// The button block of the window: Sample, Cont Samp, Stop Samp, Reset, Power Down/Up and
// Quit. It starts and stops the engine's runs (each block uploaded on the acquisition
// thread, analysed and logged as it arrives) and has the views draw the newest block at the
// screen's pace.
// While an acquisition goes on, the menu entries that would reconfigure the board or
// replace the block are disabled, and a close asked for waits for the run to end.
class AcquisitionControls : public QObject {
    Q_OBJECT
public:
    AcquisitionControls(EvalContext& ctx, BoardSession& session, ChartViews& charts, TwipsGeometry& geometry,
                        QMainWindow& window);
    ~AcquisitionControls() override;

    // The engine's run, once the session's messenger and status lines are in place.
    void AttachRun();
    void Place();
    // The bottom of the button block in twips: the charts start below it.
    double Bottom() const;
    // Entries disabled while an acquisition goes on, and restored afterwards.
    void HoldDuringRuns(std::vector<QAction*> actions) { heldDuringRuns_ = std::move(actions); }

    // What the buttons do.
    void Sample();
    void StartContinuous();
    void StopSampling();
    void PowerDown();
    void PowerUp();
    void Reset();

    // Whether an acquisition is going on; Wait() handles events until it ended.
    bool Acquiring() const { return acquisitions_ > 0; }
    void Wait();
    // The board is free for another command: no acquisition is going on (false), and the
    // upload of a stopped run has ended.
    bool BoardIdle();
    // Stops any run and waits for the acquisition thread (shut-down).
    void Shutdown();
    // A close waits for the run in progress: the window is closed again once it ended.
    void CloseWhenStopped();
    AcquisitionRun& Run() { return *run_; }

    // What the session reports.
    void SetBoardButtonsEnabled(bool enabled);   // Sample, Cont Samp, Power Down/Up
    void ResetEnded();

signals:
    void CloseRequested();

private:
    void CreateButtons(QWidget* area);
    void BeginAcquisition(bool continuous);
    void EndAcquisition();
    void BlockAnalysed();
    void BlockFailed();
    void DrawNewestBlock();
    void SetBusyCursor(bool busy);

    EvalContext& ctx;
    BoardSession& session_;
    ChartViews& charts_;
    TwipsGeometry& geometry_;
    QMainWindow& window_;
    QPushButton *cmdSample = nullptr, *cmdContSample = nullptr, *cmdStopSampling = nullptr, *cmdReset = nullptr;
    QPushButton *cmdPowerDown = nullptr, *cmdPowerUp = nullptr, *Command2 = nullptr, *cmdQuit = nullptr;
    std::unique_ptr<AcquisitionRun> run_;
    int acquisitions_ = 0;
    bool continuousRun_ = false;
    bool closeWaiting_ = false;
    bool drawPending_ = false;   // a block is analysed but not yet drawn
    QTimer drawTimer_;           // draws the newest block at the screen's pace
    std::vector<QAction*> heldDuringRuns_;
    std::vector<std::pair<QAction*, bool>> heldActions_;   // entries disabled during this run
};
