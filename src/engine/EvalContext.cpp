#include "engine/EvalContext.h"

#include "core/Numbers.h"

std::int32_t EvalContext::BlockLength() const
{
    return ToInt32(::BlockLength(CurrentSettings.NumberOfSamples));
}

std::int32_t EvalContext::CurrentPeriodWord() const
{
    return PeriodWord(SampleClock.TPeriodHigh(), SampleClock.TPeriodLow());
}

BlockRequest EvalContext::CurrentBlockRequest() const
{
    BlockRequest request;
    request.Exponent = CurrentSettings.NumberOfSamples;
    request.PeriodWord = CurrentPeriodWord();
    request.SampleFreq = CurrentSettings.SampleFreq;
    request.ConversionTime = ConversionTime(BlockLength(), request.PeriodWord, SampleClock.CrystalFrequency());
    request.NumberOfBits = CurrentSettings.NumberOfBits;
    request.DataFormat = CurrentSettings.DataFormat;
    return request;
}
