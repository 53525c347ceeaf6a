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

// The converter's dynamic figures from one (possibly averaged) windowed power spectrum.
// Every figure carries its own validity; docs/metrics.md defines them and the bins each
// uses.
struct DynamicMetrics {
    Metric frequencyBin;     // fractional bin of the fundamental
    Metric signalDbfs;       // the fundamental's power relative to a full-scale sine
    Metric snrDb, sinadDb, thdDb, sfdrDb;
    Metric enob;             // referred to full scale: from SINAD less the signal level
    Metric noiseFloorDbfs;   // mean noise power per bin, on the spectrum's own scale
    std::vector<HarmonicMark> harmonics;   // orders 2..H
    SpurMark worstSpur;

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
};

// What one pass over the power spectrum leaves for the metrics, so they need not walk
// it again: its sum and the largest bin of each run of ChunkBins bins.
struct PowerSummary {
    static constexpr std::size_t ChunkBins = 64;
    double total = 0;
    std::vector<double> chunkLargest;
};
PowerSummary Summarise(std::span<const double> power);

// power: bins 0..N/2-1, each the squared amplitude of a tone at its centre relative to
// full scale; summary: Summarise(power) or the same from the caller's own pass.
DynamicMetrics ComputeDynamicMetrics(std::span<const double> power, const PowerSummary& summary,
                                     const BlockFacts& block, const MetricSettings& settings);
