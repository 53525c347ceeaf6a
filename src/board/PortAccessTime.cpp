#include "board/PortAccessTime.h"

void PortAccessTime::Spin() const
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::nanoseconds(ns_);
    while (Clock::now() < end) {
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();   // a spin-wait hint: kinder to the core's other thread
#endif
    }
}
