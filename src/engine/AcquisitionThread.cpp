#include "engine/AcquisitionThread.h"

#include "engine/BoardSession.h"
#include "engine/ThreadBridge.h"

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
    if (running_)
        return;
    Wait();   // a thread that ended but was not yet joined
    running_ = true;
    session_.Context().ContinuousSampling = continuous;
    // A plain thread: its start and join order the run against the owner's thread for every
    // observer, a thread checker included, without the toolkit's thread machinery.
    thread_ = std::thread([this, continuous] { Run(continuous); });
}

void AcquisitionThread::Stop()
{
    session_.Context().ContinuousSampling = false;
}

void AcquisitionThread::Wait()
{
    if (thread_.joinable())
        thread_.join();
}

void AcquisitionThread::Run(bool continuous)
{
    for (;;) {
        auto block = std::make_shared<UploadedBlock>();
        block->error = session_.ReadBlock(block->codes);
        PostToThreadOf(this, [this, block] { emit BlockUploaded(block); });
        if (block->error != 0 || !continuous || !session_.Context().ContinuousSampling)
            break;
    }
    // A run that a failed block ended is over as much as a stopped one.
    session_.Context().ContinuousSampling = false;
    // Handed over after the run's last block; Start and Wait join the thread itself.
    PostToThreadOf(this, [this] {
        running_ = false;
        emit RunEnded();
    });
}
