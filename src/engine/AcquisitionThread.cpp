#include "engine/AcquisitionThread.h"

#include "engine/BoardSession.h"
#include "engine/ThreadBridge.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>
#include <chrono>

AcquisitionThread::AcquisitionThread(BoardSession& session, QObject* parent)
    : QObject(parent), session_(session)
{
    qRegisterMetaType<std::shared_ptr<UploadedBlock>>();
}

AcquisitionThread::~AcquisitionThread()
{
    Stop();
    Wait();
}

void AcquisitionThread::Start(bool continuous)
{
    if (running_ && !stopping_)
        return;
    Wait();   // a stopped run still finishing its block
    stopping_ = false;
    running_ = true;
    finished_ = false;
    ++runs_;
    session_.Context().ContinuousSampling = continuous;
    {
        std::lock_guard lock(aheadLock_);
        ahead_ = 0;   // a stopped run's blocks the owner never took count no more
    }
    // A plain thread: its start and join order the run against the owner's thread for every
    // observer, a thread checker included, without the toolkit's thread machinery.
    thread_ = std::thread([this, continuous] { Run(continuous); });
}

void AcquisitionThread::Stop()
{
    stopping_ = running_;
    session_.Context().ContinuousSampling = false;
    std::lock_guard lock(aheadLock_);
    taken_.notify_all();
}

void AcquisitionThread::Wait()
{
    if (!thread_.joinable())
        return;
    // On the owner's thread its events are handled meanwhile, so a message the run waits
    // on can be answered. Such an event may wait for this run too (and join it), or even
    // start the next: this waits for the run it was called for only.
    const std::uint64_t run = runs_;
    const auto same = [&] { return runs_ == run && thread_.joinable(); };
    if (QThread::currentThread() == thread())
        while (same() && !finished_) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    if (!same())
        return;
    thread_.join();
    // What the run handed over before it ended, its end included.
    if (QThread::currentThread() == thread())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void AcquisitionThread::Run(bool continuous)
{
    for (;;) {
        auto block = std::make_shared<UploadedBlock>();
        block->error = session_.ReadBlock(block->codes);
        {
            std::lock_guard lock(aheadLock_);
            ++ahead_;
        }
        PostToThreadOf(this, [this, block] {
            BlockTaken();
            emit BlockUploaded(block);
        });
        if (block->error != 0 || !continuous || !session_.Context().ContinuousSampling)
            break;
        WaitForOwner();
        if (!session_.Context().ContinuousSampling)
            break;
    }
    // A run that a failed block ended is over as much as a stopped one.
    session_.Context().ContinuousSampling = false;
    // Handed over after the run's last block; Start and Wait join the thread itself.
    PostToThreadOf(this, [this] {
        running_ = false;
        emit RunEnded();
    });
    finished_ = true;
}

void AcquisitionThread::WaitForOwner()
{
    std::unique_lock lock(aheadLock_);
    taken_.wait(lock, [this] { return ahead_ < kBlocksAhead || !session_.Context().ContinuousSampling; });
}

void AcquisitionThread::BlockTaken()
{
    std::lock_guard lock(aheadLock_);
    ahead_ = std::max(ahead_ - 1, 0);
    taken_.notify_all();
}
