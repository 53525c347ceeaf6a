#include "engine/AcquisitionEngine.h"

#include "config/Settings.h"
#include "core/EvalError.h"
#include "core/Numbers.h"
#include "engine/WaveformScaling.h"
#include "link/CommsFunctions.h"

std::int32_t AcquisitionEngine::BlockLength() const
{
    return ToInt32(::BlockLength(ctx_.CurrentSettings.NumberOfSamples));
}

int AcquisitionEngine::ReadBlock()
{
    // A timer without an interval stays idle until the upload gives it one.
    if (ctx_.Timer1 && ctx_.Timer1->interval() > 0)
        ctx_.Timer1->start();
    lastError_ = EvalError(0, QString(), QString());
    return RunStep([&] { ReadData(ctx_, BlockLength(), ctx_.SampleCodes); }, &lastError_);
}

void AcquisitionEngine::ConvertToVolts()
{
    ::ConvertToVolts(ctx_.CurrentSettings, ctx_.SampleCodes, ctx_.SampleVolts);
}

void AcquisitionEngine::ComputeSpectrum()
{
    analyzer_.SetResolution(ctx_.CurrentSettings.NumberOfBits);
    analyzer_.Analyse(ctx_.SampleCodes);
    analyzer_.SpectrumDb(ctx_.Spectrum);
}

void AcquisitionEngine::BuildHistogram()
{
    histogram_.Add(ctx_.SampleCodes, ctx_.CurrentSettings.NumberOfBits);
}

int AcquisitionEngine::TakeBlock()
{
    const int error = ReadBlock();
    if (error != 0)
        return error;
    RunStep([&] { ConvertToVolts(); });
    RunStep([&] { ComputeSpectrum(); });
    RunStep([&] { BuildHistogram(); });
    return 0;
}
