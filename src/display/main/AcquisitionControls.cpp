#include "display/main/AcquisitionControls.h"

#include "display/main/ChartViews.h"
#include "engine/AcquisitionRun.h"
#include "engine/BoardSession.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QPushButton>

namespace {

QPushButton* MakeButton(const QString& text, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

AcquisitionControls::AcquisitionControls(EvalContext& context, BoardSession& session, ChartViews& charts,
                                         TwipsGeometry& geometry, QMainWindow& window)
    : QObject(&window), ctx(context), session_(session), charts_(charts), geometry_(geometry), window_(window)
{
    CreateButtons(window.centralWidget());
    drawTimer_.setSingleShot(true);
    drawTimer_.setInterval(16);
    connect(&drawTimer_, &QTimer::timeout, this, &AcquisitionControls::DrawNewestBlock);
}

AcquisitionControls::~AcquisitionControls() { Shutdown(); }

void AcquisitionControls::AttachRun()
{
    run_ = std::make_unique<AcquisitionRun>(session_);
    connect(run_.get(), &AcquisitionRun::BlockAnalysed, this, &AcquisitionControls::BlockAnalysed);
    connect(run_.get(), &AcquisitionRun::BlockFailed, this, &AcquisitionControls::BlockFailed);
    connect(run_.get(), &AcquisitionRun::RunEnded, this, &AcquisitionControls::EndAcquisition);
}

void AcquisitionControls::CreateButtons(QWidget* area)
{
    cmdSample = MakeButton(tr("Sample"), "cmdSample", area);
    cmdContSample = MakeButton(tr("Cont Samp"), "cmdContSample", area);
    cmdStopSampling = MakeButton(tr("Stop Samp"), "cmdStopSampling", area);
    cmdReset = MakeButton(tr("Reset"), "cmdReset", area);
    cmdPowerDown = MakeButton(tr("Power Down"), "cmdPowerDown", area);
    cmdPowerUp = MakeButton(tr("Power Up"), "cmdPowerUp", area);
    Command2 = MakeButton(tr("Unused"), "Command2", area);
    cmdQuit = MakeButton(tr("Quit"), "cmdQuit", area);
    // No board program yet.
    for (QPushButton* b : {cmdSample, cmdContSample, cmdStopSampling, cmdPowerDown, cmdPowerUp, Command2})
        b->setEnabled(false);

    connect(cmdSample, &QPushButton::clicked, this, &AcquisitionControls::Sample);
    connect(cmdContSample, &QPushButton::clicked, this, &AcquisitionControls::StartContinuous);
    connect(cmdStopSampling, &QPushButton::clicked, this, &AcquisitionControls::StopSampling);
    connect(cmdPowerDown, &QPushButton::clicked, this, &AcquisitionControls::PowerDown);
    connect(cmdPowerUp, &QPushButton::clicked, this, &AcquisitionControls::PowerUp);
    connect(cmdReset, &QPushButton::clicked, this, &AcquisitionControls::Reset);
    connect(cmdQuit, &QPushButton::clicked, this, &AcquisitionControls::CloseRequested);
}

void AcquisitionControls::Place()
{
    const double tops[] = {0, 360, 720, 1080};
    QPushButton* left[] = {cmdSample, cmdContSample, cmdStopSampling, cmdReset};
    QPushButton* right[] = {cmdPowerDown, cmdPowerUp, Command2, cmdQuit};
    for (int i = 0; i < 4; ++i) {
        geometry_.Place(left[i], 60, tops[i], 1095, 360);
        geometry_.Place(right[i], 1150, tops[i], 1095, 360);
    }
}

double AcquisitionControls::Bottom() const { return geometry_.Top(cmdQuit) + geometry_.Height(cmdQuit); }

void AcquisitionControls::BeginAcquisition(bool continuous)
{
    ++acquisitions_;
    continuousRun_ = continuous;
    for (QAction* a : heldDuringRuns_) {
        heldActions_.emplace_back(a, a->isEnabled());
        a->setEnabled(false);
    }
    charts_.SetDisplayModeEnabled(true);
    run_->Start(continuous);
}

void AcquisitionControls::EndAcquisition()
{
    if (!Acquiring())
        return;   // the run was ended for the user already; its thread has caught up
    if (drawPending_) {
        drawTimer_.stop();
        DrawNewestBlock();
    }
    if (continuousRun_) {
        cmdStopSampling->setEnabled(false);
        for (QPushButton* b : {cmdContSample, cmdReset, cmdQuit, cmdSample, cmdPowerDown, cmdPowerUp})
            b->setEnabled(true);
        SetBusyCursor(false);
    } else {
        cmdSample->setEnabled(true);
        cmdSample->setFocus();
    }
    for (const auto& [action, enabled] : heldActions_)
        action->setEnabled(enabled);
    heldActions_.clear();
    acquisitions_ = 0;
    if (closeWaiting_)
        QTimer::singleShot(0, this, &AcquisitionControls::CloseRequested);
}

void AcquisitionControls::Wait()
{
    while (Acquiring())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// A failed block ends the run: its message has been shown once, and going round again
// would only show it again.
void AcquisitionControls::BlockFailed()
{
    QApplication::beep();
    SetBusyCursor(false);
    StopSampling();
}

// Every block is analysed, summed and logged by the run; the charts and read-outs show
// the newest one at the screen's pace.
void AcquisitionControls::BlockAnalysed()
{
    charts_.SetBlockOptionsEnabled(true);
    SetBusyCursor(false);
    drawPending_ = true;
    if (!drawTimer_.isActive())
        drawTimer_.start();
}

void AcquisitionControls::DrawNewestBlock()
{
    drawPending_ = false;
    charts_.ShowNewestBlock();
}

void AcquisitionControls::SetBusyCursor(bool busy)
{
    if (busy)
        window_.setCursor(Qt::WaitCursor);
    else
        window_.unsetCursor();
}

void AcquisitionControls::Sample()
{
    if (!BoardIdle())
        return;
    cmdSample->setEnabled(false);
    BeginAcquisition(false);
}

void AcquisitionControls::StartContinuous()
{
    if (!BoardIdle())
        return;
    cmdSample->setEnabled(false);
    cmdStopSampling->setEnabled(true);
    for (QPushButton* b : {cmdContSample, cmdReset, cmdQuit, cmdPowerDown, cmdPowerUp})
        b->setEnabled(false);
    SetBusyCursor(true);
    BeginAcquisition(true);
}

// A stopped run ends for the user at once, even in the middle of a slow upload: the
// board finishes sending its block on the session's thread, and the block is dropped.
void AcquisitionControls::StopSampling() { run_->Stop(); }

bool AcquisitionControls::BoardIdle()
{
    return !Acquiring() && run_->WaitUntilIdle();
}

void AcquisitionControls::Shutdown()
{
    if (run_)
        run_->StopAndWait();
}

void AcquisitionControls::CloseWhenStopped()
{
    closeWaiting_ = true;
    run_->Stop();
}

void AcquisitionControls::PowerDown()
{
    if (BoardIdle())
        session_.PowerDown();
}

void AcquisitionControls::PowerUp()
{
    if (BoardIdle())
        session_.PowerUp();
}

void AcquisitionControls::Reset()
{
    if (BoardIdle())
        session_.Reset();
}

void AcquisitionControls::SetBoardButtonsEnabled(bool enabled)
{
    for (QPushButton* b : {cmdContSample, cmdSample, cmdPowerDown, cmdPowerUp})
        b->setEnabled(enabled);
}

void AcquisitionControls::ResetEnded()
{
    SetBoardButtonsEnabled(false);
    cmdStopSampling->setEnabled(false);
}
