#pragma once

#include "CodeHistogram.h"

#include <vector>

// Static linearity from the code density of a sine: a sine spends its time in the
// arcsine density, so the cumulative count up to a code gives that code's upper
// transition as -cos(pi * fraction). The first and last hit codes are left out: their
// outer edges are the sine's peaks, not transitions. INL is the endpoint INL at each
// code's upper transition (the running sum of DNL).
struct SineLinearity {
    bool valid = false;
    int firstCode = 0;            // the code of dnl[0] and inl[0]
    std::vector<double> dnl, inl;   // LSB
    double dnlMin = 0, dnlMax = 0, inlMin = 0, inlMax = 0;
    int missingCodes = 0;         // inner codes that were never hit
};

// True when the codes are spread like a sine's: a third of the samples in the middle
// half of the hit range (a ramp puts a half there, noise more).
bool LooksLikeSine(const CodeHistogram& histogram);

SineLinearity SineCodeDensity(const CodeHistogram& histogram);
