#pragma once

#include <cstddef>
#include <span>
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

// Cosine-sum coefficients a0, a1, ... of w[n] = sum (-1)^k a_k cos(2 pi k n / N).
std::span<const double> WindowCoefficients(WindowKind kind);

// Share of a tone's power that leaks outside the bins within the main-lobe half-width
// of its centre, for a tone offset by fraction (-0.5..0.5) bins from a bin centre
// (large-N form: the window's spectrum is a sum of shifted sincs).
double LeakageOutsideMainLobe(WindowKind kind, double fraction);

// The power a tone puts into a bin d bins from it, relative to what a tone on a bin centre
// puts into its own bin (large-N form): 1 at d = 0, the window's sidelobes further out.
double WindowPowerResponse(WindowKind kind, double d);

// The periodic (DFT-even) form of the window for a block of n samples, so a coherently
// sampled tone falls on its own bins.
std::vector<double> MakeWindow(WindowKind kind, std::size_t n);

// How far (0..0.5 bins) a tone lies from its peak bin towards the larger neighbour, from
// the ratio of that neighbour's amplitude to the peak's.
double ToneOffset(WindowKind kind, double ratio);
