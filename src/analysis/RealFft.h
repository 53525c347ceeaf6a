#pragma once

#include <complex>
#include <cstddef>
#include <string>

struct fftw_plan_s;

// One FFTW real-to-complex transform of a fixed length: the plan is measured once
// (FFTW_MEASURE, no time limit) and reused with its own aligned buffers. Measured plans
// are kept as FFTW wisdom in a file in the user's cache folder: the first plan of a
// process loads it, and a plan that had to be measured afresh saves it again, so the
// first block after a restart does not wait for the planner.
class RealFft {
public:
    explicit RealFft(std::size_t n);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    std::size_t Size() const { return n_; }
    double* Input() { return in_; }                       // n samples
    std::complex<double>* Output() { return out_; }       // n/2 + 1 bins
    void Execute();

    // The wisdom file (default: fftw-wisdom in the cache folder); empty: none kept.
    static void SetWisdomFile(const std::string& path);
    static std::string WisdomFile();

private:
    std::size_t n_;
    double* in_;
    std::complex<double>* out_;
    fftw_plan_s* plan_;
};
