#include "engine/AcquisitionThread.h"

#include "engine/BoardSession.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

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
    session_.Context().ContinuousSampling = continuous;
    thread_.reset(QThread::create([this, continuous] { Run(continuous); }));
    connect(thread_.get(), &QThread::finished, this, [this] {
        running_ = false;
        emit RunEnded();
    });
    thread_->start();
}

void AcquisitionThread::Stop()
{
    stopping_ = running_;
    session_.Context().ContinuousSampling = false;
}

void AcquisitionThread::Wait()
{
    if (!thread_)
        return;
    if (QThread::currentThread() != thread())
        return (void)thread_->wait();
    while (!thread_->wait(QDeadlineTimer(5)))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // What the run handed over before it ended, its end included.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void AcquisitionThread::Run(bool continuous)
{
    for (;;) {
        auto block = std::make_shared<UploadedBlock>();
        block->error = session_.ReadBlock(block->codes);
        emit BlockUploaded(block);
        if (block->error != 0 || !continuous || !session_.Context().ContinuousSampling)
            break;
    }
}
