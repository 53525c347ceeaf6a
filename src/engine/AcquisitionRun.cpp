#include "engine/AcquisitionRun.h"

#include "engine/BoardSession.h"

#include <QCoreApplication>

AcquisitionRun::AcquisitionRun(BoardSession& session, QObject* parent)
    : QObject(parent), session_(session), thread_(session)
{
    EvalContext& ctx = session_.Context();
    messages_ = ctx.Messages;
    status1_ = ctx.Status1;
    if (messages_) {
        messageBridge_ = std::make_unique<CrossThreadMessenger>(*messages_, *this);
        ctx.Messages = messageBridge_.get();
    }
    if (status1_) {
        status1Bridge_ = std::make_unique<CrossThreadStatus>(*status1_, *this);
        ctx.Status1 = status1Bridge_.get();
    }
    connect(&thread_, &AcquisitionThread::BlockUploaded, this, &AcquisitionRun::TakeSamples);
    connect(&thread_, &AcquisitionThread::RunEnded, this, [this] {
        if (running_)
            End();
    });
}

AcquisitionRun::~AcquisitionRun()
{
    StopAndWait();
    EvalContext& ctx = session_.Context();
    if (messageBridge_ && ctx.Messages == messageBridge_.get())
        ctx.Messages = messages_;
    if (status1Bridge_ && ctx.Status1 == status1Bridge_.get())
        ctx.Status1 = status1_;
    // The link echoes to the status lines it was last given.
    if (status1Bridge_ && ctx.Link.Echo == status1Bridge_.get())
        ctx.Link.Echo = ctx.Status1;
}

void AcquisitionRun::StopAndWait()
{
    running_ = false;   // what the thread still hands over is dropped
    thread_.Stop();
    thread_.Wait();
}

void AcquisitionRun::Start(bool continuous)
{
    if (running_)
        return;
    // A stopped run's last block and end are handed over (and dropped) before this run
    // begins, so nothing of it is taken for this one's.
    thread_.Wait();
    if (running_)
        return;   // started meanwhile, from an event handled while waiting
    running_ = true;
    continuous_ = continuous;
    blocks_ = 0;
    error_ = 0;
    thread_.Start(continuous);
}

void AcquisitionRun::Stop()
{
    thread_.Stop();
    if (running_ && continuous_)
        End();
}

bool AcquisitionRun::WaitUntilIdle()
{
    if (running_)
        return false;
    thread_.Wait();
    return !running_;
}

void AcquisitionRun::Wait()
{
    while (running_)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// The order of the steps is the window's: volts even for a failed block (what arrived
// of it), then either the failure's status line or the analysis and the block's line.
void AcquisitionRun::TakeSamples(const std::shared_ptr<UploadedBlock>& block)
{
    if (!running_)
        return;   // the block the board was uploading when the run was stopped
    EvalContext& ctx = session_.Context();
    if (!block->codes.empty())
        ctx.SampleCodes = std::move(block->codes);
    RunStep([&] { session_.ConvertToVolts(); });

    if (block->error != 0) {
        // Kept first: a front end that stops the run on the failure still ends it with it.
        error_ = block->error;
        session_.ReportBlock(error_);
        emit BlockFailed(error_);
        thread_.Stop();
        if (running_)
            End();
        return;
    }

    if (RunStep([&] { session_.ComputeSpectrum(); }) != 0)
        session_.Analyzer().Fail("FFT failed");
    RunStep([&] { session_.BuildHistogram(); });
    session_.ReportBlock(0);
    ++blocks_;
    emit BlockAnalysed();
}

void AcquisitionRun::End()
{
    running_ = false;
    StatusLines* status1 = session_.Context().Status1;
    if (continuous_ && status1)
        status1->AddLine(QStringLiteral("Continuous Sampling Stopped"));
    emit RunEnded(continuous_, error_);
}
