#pragma once

#include "CodeHistogram.h"

#include <string>
#include <vector>

// Static linearity from the code density of a sine (the sine-histogram method). A sine
// spends its time in the arcsine density, so the cumulative count below a transition
// gives its level: T = C - A cos(pi * fraction). The amplitude A and offset C come from
// the counts of the two end codes, which a slightly overdriven sine fills with its peaks:
// fixing the first and last transitions at their ideal places gives
//   A = (M - 1) / (cos(pi h_first / S) + cos(pi h_last / S)),  C = 1 + A cos(pi h_first / S)
// in LSB, M transitions, S hits. When the sine misses an end of the code range, the first
// and last codes hit stand in for the ends (and the result says so).
// DNL is each inner code's width less one LSB; INL is the endpoint INL at each inner
// code's lower transition. A code never hit reads DNL = -1.
struct SineLinearity {
    bool valid = false;           // computed (the codes look like a sine)
    std::string reason;           // why there is no result, or why it is not shown yet
    bool reachesBothEnds = false; // the sine overdrives both end codes of the range
    int firstCode = 0;            // the code of dnl[0] and inl[0]
    std::vector<double> dnl, inl; // LSB, inner codes
    double dnlMin = 0, dnlMax = 0, inlMin = 0, inlMax = 0;
    int missingCodes = 0;         // inner codes never hit
    double amplitudeLsb = 0, offsetLsb = 0;   // the sine; offset from the middle of the range
    double leastExpectedHits = 0; // hits the least-visited inner code should get
    double uncertaintyLsb = 0;    // counting error of one code's DNL (one sigma)
    bool enoughHits = false;      // leastExpectedHits >= MinHitsPerCode

    static constexpr double MinHitsPerCode = 16;
};

// True when the codes are spread like a sine's: a third of the samples in the middle
// half of the hit range (a ramp puts a half there, noise more).
bool LooksLikeSine(const CodeHistogram& histogram);

SineLinearity SineCodeDensity(const CodeHistogram& histogram);
