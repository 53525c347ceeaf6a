// Single and continuous acquisitions, power commands and the board reset.
#include "display/main/frmMainScreen.h"

#include "display/widgets/FFTControl.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/StatusBox.h"
#include "link/CommsFunctions.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCheckBox>
#include <QPushButton>
#include <QTimer>

// While an acquisition goes on nothing that reconfigures the board or replaces the block
// can be chosen (those menu entries are disabled and restored afterwards), and a close
// asked for waits for the acquisition to end.
void frmMainScreen::BeginAcquisition(bool continuous)
{
    ++acquisitions_;
    continuousRun_ = continuous;
    for (QAction* a : {mnuSetup, LoadEXE, mnuLoadRawData, mnuLoadFFTData, mnuLPT1, mnuLPT2, mnuPRN}) {
        heldActions_.emplace_back(a, a->isEnabled());
        a->setEnabled(false);
    }
    cboDisplayMode->setEnabled(true);
    acquisition_->Start(continuous);
}

void frmMainScreen::EndAcquisition()
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
        unsetCursor();
        ctx.Status1->AddLine(QStringLiteral("Continuous Sampling Stopped"));
    } else {
        cmdSample->setEnabled(true);
        cmdSample->setFocus();
    }
    for (const auto& [action, enabled] : heldActions_)
        action->setEnabled(enabled);
    heldActions_.clear();
    acquisitions_ = 0;
    if (closeWaiting_)
        QTimer::singleShot(0, this, &QWidget::close);
}

void frmMainScreen::WaitForAcquisition()
{
    while (Acquiring())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void frmMainScreen::ShowBlock(std::shared_ptr<UploadedBlock> block)
{
    if (!Acquiring())
        return;   // the block the board was uploading when the run was stopped
    if (!block->codes.empty())
        ctx.SampleCodes = std::move(block->codes);
    TakeSamples(*block);
}

int frmMainScreen::TakeSamples(const UploadedBlock& block)
{
    cboDisplayMode->setEnabled(true);
    RunStep([&] { session_.ConvertToVolts(); });

    if (block.error != 0) {
        QApplication::beep();
        session_.ReportBlock(block.error);
        unsetCursor();
        cmdStopSampling_Click();
        return block.error;
    }

    // Every block is analysed, summed and logged; the charts and read-outs show the newest
    // one at the screen's pace.
    if (RunStep([&] { session_.ComputeSpectrum(); }) != 0)
        session_.Analyzer().Fail("FFT failed");
    RunStep([&] { session_.BuildHistogram(); });
    session_.ReportBlock(0);
    drawPending_ = true;
    if (!drawTimer_.isActive())
        drawTimer_.start();

    cboDisplayMode->setEnabled(true);
    chkHoldZoom->setEnabled(true);
    unsetCursor();
    return 0;
}

void frmMainScreen::DrawNewestBlock()
{
    drawPending_ = false;
    const std::int32_t n = BlockLength();
    const bool volts = cboDisplayMode->currentIndex() == 1;
    const std::vector<double>& shown = volts ? ctx.SampleVolts : ctx.SampleCodes;
    RunStep([&] { PlotWaveform(shown, ToInt16(n)); });
    RunStep([&] { ShowWaveformRange(shown); });
    RunStep([&] { VEXMFFTControl1->ShowAnalysis(ctx.CurrentSettings.SampleFreq); });
    RunStep([&] { PlotSpectrum(ctx.Spectrum, ToInt16(n / 2)); });
    RunStep([&] { VEXMHistogram1->ShowSum(); });
}

void frmMainScreen::cmdSample_Click()
{
    if (!BoardIdle())
        return;
    cmdSample->setEnabled(false);
    BeginAcquisition(false);
}

void frmMainScreen::cmdContSample_Click()
{
    if (!BoardIdle())
        return;
    cmdSample->setEnabled(false);
    cmdStopSampling->setEnabled(true);
    for (QPushButton* b : {cmdContSample, cmdReset, cmdQuit, cmdPowerDown, cmdPowerUp})
        b->setEnabled(false);
    setCursor(Qt::WaitCursor);
    // Any block that failed ends the run: its message has been shown once, and going
    // round again would only show it again.
    BeginAcquisition(true);
}

// A stopped run ends for the user at once, even in the middle of a slow upload: the
// board finishes sending its block on the session's thread, and the block is dropped.
void frmMainScreen::cmdStopSampling_Click()
{
    acquisition_->Stop();
    if (Acquiring() && continuousRun_)
        EndAcquisition();
}

bool frmMainScreen::BoardIdle()
{
    if (Acquiring())
        return false;
    acquisition_->Wait();   // the upload of a stopped run
    return true;
}

void frmMainScreen::cmdPowerDown_Click()
{
    if (BoardIdle())
        session_.PowerDown();
}

void frmMainScreen::cmdPowerUp_Click()
{
    if (BoardIdle())
        session_.PowerUp();
}

void frmMainScreen::cmdReset_Click()
{
    if (BoardIdle())
        session_.Reset();
}

void frmMainScreen::cmdQuit_Click() { close(); }
