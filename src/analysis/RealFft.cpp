#include "RealFft.h"

#include <fftw3.h>

RealFft::RealFft(std::size_t n)
    : n_(n),
      in_(fftw_alloc_real(n)),
      out_(reinterpret_cast<std::complex<double>*>(fftw_alloc_complex(n / 2 + 1)))
{
    // Measuring overwrites the buffers, which hold nothing yet. The first block of a new
    // length waits for the planner, so its search is kept short enough not to be felt.
    fftw_set_timelimit(0.1);
    plan_ = fftw_plan_dft_r2c_1d(int(n), in_, reinterpret_cast<fftw_complex*>(out_),
                                 FFTW_MEASURE);
}

RealFft::~RealFft()
{
    fftw_destroy_plan(plan_);
    fftw_free(out_);
    fftw_free(in_);
}

void RealFft::Execute()
{
    fftw_execute(plan_);
}
