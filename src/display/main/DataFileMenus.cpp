// File menu actions on sample blocks and spectra: load, save and binary export.
#include "display/main/frmMainScreen.h"

#include "display/main/QtFileChooser.h"
#include "engine/WaveformScaling.h"
#include "display/widgets/FFTControl.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/StatusBox.h"
#include "engine/DataFileFlows.h"

#include <QCheckBox>
#include <QComboBox>

FileChooser& frmMainScreen::Files()
{
    if (fileChooser_)
        return *fileChooser_;
    if (!ownFileChooser_)
        ownFileChooser_ = std::make_unique<QtFileChooser>(this);
    return *ownFileChooser_;
}

void frmMainScreen::ShowDataFileError(int shownNumber, int recordedNumber, const QString& what)
{
    ctx.Messages->ShowMessage({QStringLiteral("Error %1:%2 occured while %3").arg(shownNumber).arg(recordedNumber).arg(what),
                               QStringLiteral("Error"), MessageIcon::None, MessageButtons::Ok});
}

bool frmMainScreen::ShowNoDataToSave(bool hasData)
{
    if (!hasData)
        ctx.Messages->ShowMessage({QStringLiteral("There is no data to save."), QString(""),
                                   MessageIcon::Information, MessageButtons::Ok});
    return !hasData;
}

void frmMainScreen::SelectDisplayModeIndex(int index)
{
    // Selecting a different item runs the display-mode handler, as a user's choice does.
    cboDisplayMode->setCurrentIndex(index);
}

void frmMainScreen::mnuLoadRawData_Click()
{
    Settings& s = ctx.CurrentSettings;
    if (LoadRawDataFile(Files(), *ctx.Messages, *VEXMStatus1, s, ctx.SampleCodes) != 0)
        return;

    int recorded = RunStep([&] {
        SelectDisplayModeIndex(0);
        cboDisplayMode->setEnabled(false);
    });
    if (int e = RunStep([&] {
            PlotWaveform(ctx.SampleCodes, ToInt16(double(ctx.SampleCodes.size())), s.MaxValue, s.MinValue);
        }))
        recorded = e;
    if (recorded) {
        ShowDataFileError(530, 530, QStringLiteral("attempting to graph data"));
        return;
    }

    if (int e = RunStep([&] { ConvertToVolts(s, ctx.SampleCodes, ctx.SampleVolts); }))
        recorded = e;
    if (int e = RunStep([&] {
            VEXMFFTControl1->SetResolution(s.NumberOfBits);
            VEXMFFTControl1->ComputeSpectrum(ctx.SampleCodes, ctx.Spectrum);
        }))
        recorded = e;
    if (recorded) {
        ShowDataFileError(531, recorded, QStringLiteral("calculating FFT"));
        return;
    }

    if (RunStep([&] { PlotSpectrum(ctx.Spectrum, ToInt16(double(ctx.Spectrum.size()))); })) {
        ShowDataFileError(532, 532, QStringLiteral("attempting to graph FFT"));
        return;
    }

    if (int e = RunStep([&] { VEXMHistogram1->BuildHistogram(ctx.SampleCodes, s.NumberOfBits); })) {
        ShowDataFileError(533, e, QStringLiteral("calculating Histogram"));
        return;
    }

    VEXMStatus1->AddLine(PlainNumber(::BlockLength(s.NumberOfSamples)) + QStringLiteral(" Data Samples Read"));
    cboDisplayMode->setEnabled(true);
    chkHoldZoom->setEnabled(true);
}

void frmMainScreen::mnuLoadFFTData_Click()
{
    if (LoadFFTFile(Files(), *ctx.Messages, *VEXMStatus1, ctx.CurrentSettings, ctx.Spectrum) != 0)
        return;
    RunStep([&] {
        const std::int16_t n = ToInt16(double(ctx.Spectrum.size()));
        PlotSpectrum(ctx.Spectrum, n);
        VEXMStatus1->AddLine(PlainNumber(n) + QStringLiteral(" FFT Samples Read"));
    });
}

void frmMainScreen::SaveRawData_Click()
{
    if (ShowNoDataToSave(!ctx.SampleCodes.empty()))
        return;
    // A block too long for the 16-bit count is not saved.
    RunStep([&] {
        const std::int16_t n = ToInt16(::BlockLength(ctx.CurrentSettings.NumberOfSamples));
        SaveDataFile(Files(), *ctx.Messages, *VEXMStatus1, ctx.SampleCodes, n);
    });
}

void frmMainScreen::SaveFFTData_Click()
{
    if (ShowNoDataToSave(!ctx.Spectrum.empty()))
        return;
    RunStep([&] {
        const std::int16_t bins = ToInt16(::BlockLength(ctx.CurrentSettings.NumberOfSamples) / 2);
        SaveDataFile(Files(), *ctx.Messages, *VEXMStatus1, ctx.Spectrum, bins);
    });
}

void frmMainScreen::mnuSaveBinary_Click()
{
    if (ShowNoDataToSave(!ctx.SampleCodes.empty()))
        return;
    RunStep([&] {
        const std::int32_t n = ToInt32(::BlockLength(ctx.CurrentSettings.NumberOfSamples));
        SaveBinaryFile(Files(), *ctx.Messages, *VEXMStatus1, ctx.SampleCodes, n);
    });
}
