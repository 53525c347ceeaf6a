#pragma once

#include "Window.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// One figure and whether it can be trusted: an empty reason means valid.
struct Metric {
    double value = 0;
    std::string reason = "no data";

    bool Valid() const { return reason.empty(); }
    // Keeps the first reason given.
    void Flag(const std::string& why)
    {
        if (reason.empty())
            reason = why;
    }
};

// A harmonic's place after folding into the first Nyquist zone and its level.
struct HarmonicMark {
    int order = 0;
    double bin = 0;          // fractional bin
    double levelDbfs = 0;    // its lobe's power relative to a full-scale sine
    std::string reason;      // why its level cannot be read (empty: it can)
};

struct SpurMark {
    bool found = false;
    double bin = 0;
    double levelDbfs = 0;
    int order = 0;           // harmonic order, 0 for any other spur
};

// An intermodulation product of a two-tone block, folded into the first Nyquist zone.
struct IntermodMark {
    int order = 0;           // 2 or 3
    std::string name;        // "f1+f2", "2f1-f2" ...
    double bin = 0;
    double levelDbfs = 0;
    std::string reason;      // why its level cannot be read (empty: it can)
};

// The figures of a block that holds two tones of comparable level: tone 1 is the larger.
// IMD2 sums the products at f1 + f2 and f2 - f1, IMD3 those at 2f1 - f2, 2f2 - f1,
// 2f1 + f2 and 2f2 + f1, each after folding.
struct TwoToneMetrics {
    bool found = false;
    Metric tone1Bin, tone2Bin, tone1Dbfs, tone2Dbfs;
    Metric imd2Dbc, imd3Dbc;     // to the larger tone
    Metric imd2Dbfs, imd3Dbfs;
    std::vector<IntermodMark> products;
};

// The converter's dynamic figures from one (possibly averaged) windowed power spectrum.
// Every figure carries its own validity; docs/metrics.md defines them and the bins each
// uses.
struct DynamicMetrics {
    Metric frequencyBin;     // fractional bin of the fundamental
    Metric signalDbfs;       // the fundamental's power relative to a full-scale sine
    Metric snrDb, sinadDb, thdDb, sfdrDb;
    Metric enob;             // referred to full scale: from SINAD less the signal level
    Metric noiseFloorDbfs;   // the noise floor per bin, on the spectrum's own scale
    Metric noiseDbfs;        // all the noise in the band, relative to a full-scale sine
    std::vector<HarmonicMark> harmonics;   // orders 2..H
    SpurMark worstSpur;
    TwoToneMetrics twoTone;

    // Marks every figure invalid for this reason.
    void Invalidate(const std::string& reason);
};

struct MetricSettings {
    WindowKind window = DefaultWindow;
    int harmonics = 5;       // highest harmonic order H, 2..25
    int dcBins = 0;          // bins above DC left out; at least the window's half-width
};

// What the caller knows about the block beyond its spectrum.
struct BlockFacts {
    std::size_t n = 0;       // samples in the block
    bool clipped = false;    // the codes sit on an end of the code range too long
    int averaged = 1;        // blocks in the power average
};

// power: bins 0..N/2-1, each the squared amplitude of a tone at its centre relative to
// full scale.
DynamicMetrics ComputeDynamicMetrics(std::span<const double> power, const BlockFacts& block,
                                     const MetricSettings& settings);

// The noise spectral density in dBFS/Hz: all the noise in the band over fs / 2. Invalid
// when the noise is, or when the sample rate is not known (0).
Metric NoiseSpectralDensity(const DynamicMetrics& metrics, double sampleRateHz);
