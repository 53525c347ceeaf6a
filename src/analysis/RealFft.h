#pragma once

#include <complex>
#include <cstddef>

struct fftw_plan_s;

// One FFTW real-to-complex transform of a fixed length: the plan is made once (measured,
// so repeated blocks of the same length run the fastest code) and reused with its own
// aligned buffers.
class RealFft {
public:
    explicit RealFft(std::size_t n);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    std::size_t Size() const { return n_; }
    double* Input() { return in_; }                       // n samples
    const std::complex<double>* Output() const { return out_; }   // n/2 + 1 bins
    void Execute();

private:
    std::size_t n_;
    double* in_;
    std::complex<double>* out_;
    fftw_plan_s* plan_;
};
