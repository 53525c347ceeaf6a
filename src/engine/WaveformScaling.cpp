#include "engine/WaveformScaling.h"

#include "core/EvalError.h"
#include "core/Numbers.h"

#include <cmath>

namespace {
[[noreturn]] void SubscriptOutOfRange()
{
    throw EvalError(9, QStringLiteral("Scaling"), QStringLiteral("Subscript out of range"));
}
}

void ConvertToVolts(const Settings& s, const std::vector<double>& codes, std::vector<double>& volts)
{
    if (codes.empty())
        SubscriptOutOfRange();
    const double lsb = (s.InputVMax - s.InputVMin) / std::pow(2.0, s.NumberOfBits);
    const std::int32_t m = s.NumberOfBits >= 1 ? std::int32_t(1) << (s.NumberOfBits - 1) : 0;
    volts.assign(codes.size(), 0.0);
    for (std::size_t i = 0; i < codes.size(); ++i) {
        std::int32_t c = ToInt16(codes[i]);
        if (s.DataFormat == 1)
            c = (c & m) ? (c & (m - 1)) : (c | m);
        volts[i] = c * lsb + s.InputVMin;
    }
}

std::pair<double, double> MaxMin(const std::vector<double>& data)
{
    if (data.empty())
        SubscriptOutOfRange();
    double maximum = data.front();
    double minimum = data.front();
    for (double v : data) {
        if (v > maximum)
            maximum = v;
        if (v < minimum)
            minimum = v;
    }
    return {maximum, minimum};
}

double SpectrumTop(const std::vector<double>& spectrum)
{
    if (spectrum.empty())
        SubscriptOutOfRange();
    double maximum = 0;
    for (double v : spectrum)
        if (v > maximum)
            maximum = v;
    return maximum;
}
