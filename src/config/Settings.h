#pragma once

#include "core/Numbers.h"

#include <QString>
#include <cstdint>

// Everything the program needs to know about the part under evaluation and the
// acquisition to run. Plain fields: readers and writers use them directly.
struct Settings {
    QString PartName;
    QString EXEName;
    std::int16_t NumberOfBits = 0;
    double InputVMax = 0.0;
    double InputVMin = 0.0;
    VBool EchoComms = False;
    double MaxValue = 0.0;
    double MinValue = 0.0;
    std::int32_t SampleFreq = 0;
    std::int16_t NumberOfSamples = 0;  // block length is 256 * 2^NumberOfSamples
    std::int16_t DataFormat = 0;       // 0 straight binary, 1 two's complement
    std::int32_t Max_Frequency = 0;
    VBool ProgramLoaded = False;
    VBool DisplayMode = False;
    VBool DataLoaded = False;
    std::int32_t TimeOut = 0;

    // The fields the setup dialog saves on opening and puts back on Cancel, in that order.
    void CopyDialogFieldsFrom(const Settings& other);
};

// Block length N = 256 * 2^n as a double, the way every user computes it.
double BlockLength(std::int16_t numberOfSamples);
