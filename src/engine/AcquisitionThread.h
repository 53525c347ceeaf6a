#pragma once

#include <QObject>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class BoardSession;

// One block as the board sent it: the upload's pending error number and its codes. The
// codes are empty when the upload never touched the sample buffer (a refused block
// command, a board that never signalled ready).
struct UploadedBlock {
    int error = 0;
    std::vector<double> codes;
};

// Takes blocks from the board on a thread of its own, so the front end stays free while
// the board converts and uploads. Each block is handed over (on the owner's thread) as it
// arrives; the front end analyses, logs and shows it while the board converts the next.
// A run ends after its one block, at the first failed block, or after the block in
// progress once Stop() was called. The board keeps at most kBlocksAhead blocks waiting
// for the owner, so a board faster than the owner's analysis cannot pile them up. The
// session must not be used by anyone else meanwhile.
class AcquisitionThread : public QObject {
    Q_OBJECT
public:
    static constexpr int kBlocksAhead = 2;

    explicit AcquisitionThread(BoardSession& session, QObject* parent = nullptr);
    ~AcquisitionThread() override;   // stops and waits for the run

    // Starts a run; ignored while one is going on (a stopped one is first waited for).
    void Start(bool continuous);
    void Stop();
    bool Running() const { return running_; }
    // Waits for the run in progress to end (its blocks are still delivered afterwards). On
    // the owner's thread, the owner's events are handled meanwhile, so a message the run
    // waits on can be answered.
    void Wait();

signals:
    void BlockUploaded(std::shared_ptr<UploadedBlock> block);
    void RunEnded();

private:
    void Run(bool continuous);
    // Until the owner has taken enough of the blocks handed over, or the run is stopped.
    void WaitForOwner();
    void BlockTaken();

    BoardSession& session_;
    std::thread thread_;
    bool running_ = false;
    bool stopping_ = false;
    std::atomic<bool> finished_{true};   // the thread has handed over all it will
    std::uint64_t runs_ = 0;             // runs started, so a wait knows its own
    std::mutex aheadLock_;
    std::condition_variable taken_;
    int ahead_ = 0;                      // blocks handed over that the owner has not taken yet
};
