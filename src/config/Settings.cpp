#include "config/Settings.h"

#include <cmath>

void Settings::CopyDialogFieldsFrom(const Settings& other)
{
    DataFormat = other.DataFormat;
    EXEName = other.EXEName;
    InputVMin = other.InputVMin;
    InputVMax = other.InputVMax;
    NumberOfBits = other.NumberOfBits;
    NumberOfSamples = other.NumberOfSamples;
    PartName = other.PartName;
    SampleFreq = other.SampleFreq;
    ProgramLoaded = other.ProgramLoaded;
}

double BlockLength(std::int16_t numberOfSamples)
{
    return 256.0 * std::pow(2.0, numberOfSamples);
}
