#include "board/Converter.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

void SimulatedConverter::SetRawCodes(std::vector<std::uint16_t> codes)
{
    raw_ = std::move(codes);
    rawNext_ = 0;
}

void SimulatedConverter::Reseed(std::uint64_t seed)
{
    noise_.Seed(seed);
    junk_.Seed(seed ^ 0xA5A5A5A5A5A5A5A5ull);
    phase_ = 0.0;
    phase2_ = 0.0;
    rawNext_ = 0;
    lastStart_.reset();
}

std::uint16_t SimulatedConverter::Junk()
{
    const std::uint16_t codeMask = std::uint16_t((1u << bits_) - 1u);
    return std::uint16_t(junk_.Next() >> 48) & std::uint16_t(~codeMask);
}

void SimulatedConverter::Convert(int n, double fs, PartSupply supply, std::uint16_t* out)
{
    if (n <= 0)
        return;
    const double fin = input_.frequencyHz > 0.0 ? input_.frequencyHz : input_.frequencyRatio * fs;
    const double step = fs > 0.0 ? kTwoPi * fin / fs : 0.0;
    if (realTimeGenerator_) {
        const auto now = std::chrono::steady_clock::now();
        if (lastStart_) {
            const double seconds = std::chrono::duration<double>(now - *lastStart_).count();
            const double ran = std::fmod(lastStartPhase_ + kTwoPi * lastFin_ * seconds, kTwoPi);
            if (seconds > lastSeconds_)   // the generator ran on after the last block ended
                phase_ = ran;
        }
        lastStart_ = now;
        lastStartPhase_ = phase_;
        lastFin_ = fin;
        lastSeconds_ = fs > 0.0 ? n / fs : 0.0;
    }
    const double startPhase = phase_;
    phase_ = std::fmod(phase_ + step * n, kTwoPi);   // the generator runs on between blocks
    const double step2 = fs > 0.0 && input_.tone2Hz > 0.0 ? kTwoPi * input_.tone2Hz / fs : 0.0;
    const double startPhase2 = phase2_;
    phase2_ = std::fmod(phase2_ + step2 * n, kTwoPi);

    if (!supply.busSwitches) {
        std::fill(out, out + n, kFloatingBus);
        return;
    }
    if (!supply.analogSupply || !supply.poweredUp) {
        for (int i = 0; i < n; ++i)
            out[i] = Junk();
        return;
    }
    if (!raw_.empty()) {
        for (int i = 0; i < n; ++i) {
            out[i] = raw_[rawNext_];
            rawNext_ = rawNext_ + 1 == raw_.size() ? 0 : rawNext_ + 1;
        }
        return;
    }

    const std::uint32_t codes = 1u << bits_;
    const double half = codes / 2.0;
    const double mid = (codes - 1) / 2.0;
    const double gain = faults_.gain;
    const double a1 = gain * input_.amplitude * half;
    const double a2 = gain * std::pow(10.0, input_.harmonic2Dbfs / 20.0) * half;
    const double a3 = gain * std::pow(10.0, input_.harmonic3Dbfs / 20.0) * half;
    const double dc = mid + gain * input_.offset * half + faults_.offsetLsb;
    const auto codeMask = std::uint16_t(codes - 1);
    const double top = codes - 1;
    const std::uint16_t signBit = format_ == CodeFormat::TwosComplement ? std::uint16_t(codes / 2) : 0;

    // The phasor turns by one sample step per sample; it starts exactly at each block.
    const double cs = std::cos(step), sn = std::sin(step);
    double c = std::cos(input_.phase + startPhase), s = std::sin(input_.phase + startPhase);
    const double b1 = step2 > 0.0 ? gain * input_.amplitude2 * half : 0.0;
    const double cs2 = std::cos(step2), sn2 = std::sin(step2);
    double c2 = std::cos(startPhase2), s2 = std::sin(startPhase2);
    for (int i = 0; i < n; ++i) {
        const double sin2 = 2.0 * s * c;
        const double sin3 = s * (3.0 - 4.0 * s * s);
        double x = dc + a1 * s + a2 * sin2 + a3 * sin3 + b1 * s2 + input_.noiseLsbRms * noise_.Gaussian();
        const double nc2 = c2 * cs2 - s2 * sn2;
        s2 = s2 * cs2 + c2 * sn2;
        c2 = nc2;
        x = std::clamp(std::floor(x + 0.5), 0.0, top);
        auto level = std::uint16_t(x);
        if (level == faults_.missingCode && level < top)
            ++level;
        const auto code = std::uint16_t(((level ^ signBit) | faults_.stuckHigh) & ~faults_.stuckLow & codeMask);
        out[i] = std::uint16_t(code | Junk());
        const double nc = c * cs - s * sn;
        s = s * cs + c * sn;
        c = nc;
    }
}
