#pragma once

#include <cstddef>
#include <vector>

// The analysis windows offered for the spectrum. All are cosine sums, so a tone's power
// sits within a main lobe whose half-width in bins is the number of cosine terms. The
// 4-term Blackman-Harris leaks about -86 dB of a tone that falls between bins, enough for
// 12 to 14 bits; the 7-term one (sidelobes near -180 dB) serves 16-bit parts.
enum class WindowKind { Rectangular, Hann, BlackmanHarris4, BlackmanHarris7, FlatTop };

constexpr WindowKind DefaultWindow = WindowKind::BlackmanHarris4;
constexpr WindowKind AllWindows[] = {WindowKind::Rectangular, WindowKind::Hann,
                                     WindowKind::BlackmanHarris4, WindowKind::BlackmanHarris7,
                                     WindowKind::FlatTop};

// Short name for a narrow panel ("Rect", "Hann", "BH4", "BH7", "Flat top").
const char* WindowName(WindowKind kind);

// Bins each side of a tone that hold its main lobe.
int MainLobeHalfWidth(WindowKind kind);

// The periodic (DFT-even) form of the window for a block of n samples, so a coherently
// sampled tone falls on its own bins.
std::vector<double> MakeWindow(WindowKind kind, std::size_t n);
