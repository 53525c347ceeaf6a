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

frmMainScreen::AcquisitionScope::AcquisitionScope(frmMainScreen* window) : window_(window)
{
    if (window_->acquisitions_++ > 0)
        return;
    for (QAction* a : {window_->mnuSetup, window_->LoadEXE, window_->mnuLoadRawData, window_->mnuLoadFFTData,
                       window_->mnuLPT1, window_->mnuLPT2, window_->mnuPRN}) {
        window_->heldActions_.emplace_back(a, a->isEnabled());
        a->setEnabled(false);
    }
}

frmMainScreen::AcquisitionScope::~AcquisitionScope()
{
    if (--window_->acquisitions_ > 0)
        return;
    for (const auto& [action, enabled] : window_->heldActions_)
        action->setEnabled(enabled);
    window_->heldActions_.clear();
    if (window_->closeWaiting_)
        QTimer::singleShot(0, window_, &QWidget::close);
}

int frmMainScreen::TakeSamples()
{
    Settings& s = ctx.CurrentSettings;
    cboDisplayMode->setEnabled(true);

    const int uploadError = engine_.ReadBlock();
    const std::int32_t n = engine_.BlockLength();
    RunStep([&] { engine_.ConvertToVolts(); });

    // A block that did not arrive redraws nothing: a refused block command is as much a
    // failure as a failed upload, and neither may be reported as uploaded.
    if (uploadError != 0) {
        QApplication::beep();
        VEXMStatus1->AddLine(uploadError == 517 ? QStringLiteral("Data Upload Failure")
                                                : QStringLiteral("Send Command Error"),
                             Colour::Red);
        unsetCursor();
        cmdStopSampling_Click();
        return uploadError;
    }

    const bool volts = cboDisplayMode->currentIndex() == 1;
    const std::vector<double>& shown = volts ? ctx.SampleVolts : ctx.SampleCodes;
    RunStep([&] { PlotWaveform(shown, ToInt16(n)); });
    RunStep([&] { ShowWaveformRange(shown); });
    RunStep([&] {
        VEXMFFTControl1->SetResolution(s.NumberOfBits);
        VEXMFFTControl1->ComputeSpectrum(ctx.SampleCodes, ctx.Spectrum, s.SampleFreq);
    });
    RunStep([&] { PlotSpectrum(ctx.Spectrum, ToInt16(n / 2)); });
    RunStep([&] { VEXMHistogram1->BuildHistogram(ctx.SampleCodes, s.NumberOfBits); });
    VEXMStatus1->AddLine(PlainNumber(n) + QStringLiteral(" Data Samples Uploaded"));

    cboDisplayMode->setEnabled(true);
    s.DataLoaded = True;
    chkHoldZoom->setEnabled(true);
    unsetCursor();
    return uploadError;
}

void frmMainScreen::cmdSample_Click()
{
    const AcquisitionScope acquiring(this);   // a close waits for the block
    cmdSample->setEnabled(false);
    TakeSamples();
    cmdSample->setEnabled(true);
    cmdSample->setFocus();
}

void frmMainScreen::cmdContSample_Click()
{
    const AcquisitionScope acquiring(this);   // a close stops the run and waits for its end
    ctx.ContinuousSampling = true;
    cmdSample->setEnabled(false);
    cmdStopSampling->setEnabled(true);
    for (QPushButton* b : {cmdContSample, cmdReset, cmdQuit, cmdPowerDown, cmdPowerUp})
        b->setEnabled(false);
    setCursor(Qt::WaitCursor);

    // Any block that failed ends the run: its message has been shown once, and going
    // round again would only show it again.
    while (ctx.ContinuousSampling) {
        if (TakeSamples() != 0)
            ctx.ContinuousSampling = false;
        QCoreApplication::processEvents();
    }

    cmdStopSampling->setEnabled(false);
    for (QPushButton* b : {cmdContSample, cmdReset, cmdQuit, cmdSample, cmdPowerDown, cmdPowerUp})
        b->setEnabled(true);
    unsetCursor();
    VEXMStatus1->AddLine(QStringLiteral("Continuous Sampling Stopped"));
}

void frmMainScreen::cmdStopSampling_Click() { ctx.ContinuousSampling = false; }

void frmMainScreen::Timer1_Timer() { ctx.TimeOutFlag = true; }

namespace {

void SendPowerCommand(EvalContext& ctx, std::int16_t code, const QString& done)
{
    if (RunStep([&] { SendCommand(ctx, 0, 0, code); }) == 504) {
        ctx.Messages->ShowMessage({CommunicationFailedText(507), QStringLiteral("Send Command Error"),
                                   MessageIcon::Exclamation, MessageButtons::Ok});
        ctx.Status1->AddLine(QStringLiteral("Send Command Error"));
    } else {
        ctx.Status1->AddLine(done);
    }
}

} // namespace

void frmMainScreen::cmdPowerDown_Click() { SendPowerCommand(ctx, 20, QStringLiteral("Part Powered Down")); }

void frmMainScreen::cmdPowerUp_Click() { SendPowerCommand(ctx, 22, QStringLiteral("Part Powered Up")); }

void frmMainScreen::cmdReset_Click() { ResetBoard(ctx); }

void frmMainScreen::cmdQuit_Click() { close(); }
