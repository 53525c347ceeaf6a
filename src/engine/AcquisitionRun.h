#pragma once

#include "engine/AcquisitionThread.h"
#include "engine/ThreadBridge.h"

#include <QObject>
#include <memory>

class BoardSession;

// A single or continuous run as every front end needs it: the board uploads on the
// acquisition thread, and each block is analysed and logged on the owner's thread as it
// arrives (codes into SampleCodes, volts, spectrum with its metrics, summed histogram,
// its status line). For its lifetime the messenger and progress lines the context had at
// its creation are reached through the thread bridges, so a step on the acquisition thread
// can tell the user on the owner's thread. While a run goes on, and until WaitUntilIdle()
// returned true after it, nothing else may use the session.
class AcquisitionRun : public QObject {
    Q_OBJECT
public:
    explicit AcquisitionRun(BoardSession& session, QObject* parent = nullptr);
    ~AcquisitionRun() override;   // stops, waits for the upload, restores the context

    // Starts a run; ignored while one is going on (a stopped one is first waited for).
    void Start(bool continuous);
    // Ends the run for the front end at once when it is continuous: the block being
    // uploaded is dropped when it arrives. A single run still takes its one block.
    void Stop();
    bool Running() const { return running_; }
    // Whether the run going on (or the last one) was continuous.
    bool Continuous() const { return continuous_; }
    // The blocks analysed in the run going on (or the last one).
    int BlocksTaken() const { return blocks_; }

    // False while a run goes on. Otherwise waits (handling events) for the acquisition
    // thread to finish the upload of a stopped run, and the session is free: true.
    bool WaitUntilIdle();
    // Handles events until the run ended.
    void Wait();
    // Whether the acquisition thread still uses the session (the upload of a stopped run).
    bool BoardBusy() const { return thread_.Running(); }
    // Shut-down: any run is stopped without being reported, and the acquisition thread
    // waited for.
    void StopAndWait();

signals:
    // A block arrived and is in SampleCodes, SampleVolts and Spectrum, analysed and logged.
    void BlockAnalysed();
    // A block failed (after its volts and its red status line); the run ends next.
    void BlockFailed(int error);
    // Once per run; error is the failed block's, 0 when the run was not ended by one.
    void RunEnded(bool continuous, int error);

private:
    void TakeSamples(const std::shared_ptr<UploadedBlock>& block);
    void End();

    BoardSession& session_;
    Messenger* messages_ = nullptr;   // what the context had before the bridges
    StatusLines* status1_ = nullptr;
    std::unique_ptr<CrossThreadMessenger> messageBridge_;
    std::unique_ptr<CrossThreadStatus> status1Bridge_;
    AcquisitionThread thread_;        // after the bridges: stopped and joined before they go
    bool running_ = false;
    bool continuous_ = false;
    int blocks_ = 0;
    int error_ = 0;                   // the failed block's, which ends the run
};
