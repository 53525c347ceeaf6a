// Raw and FFT data files: the field reader, the leading-number rule and both loads.
#include "FuzzSupport.h"
#include "config/ValueRanges.h"
#include "engine/DataFileFlows.h"
#include "files/DataFileIo.h"
#include "files/RawDataFile.h"

#include <algorithm>

namespace {

void CheckLoaded(const std::vector<double>& values, const Settings& s)
{
    FUZZ_CHECK(!values.empty() && qsizetype(values.size()) <= MaxDataValues);
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    FUZZ_CHECK(s.MaxValue == std::max(*high, -6666666.0));
    FUZZ_CHECK(s.MinValue == std::min(*low, 6666666.0));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = WriteInput(QStringLiteral("input.dat"), data, size);
    CancellingMessenger messenger;
    DiscardingStatus status;

    Settings raw;
    std::vector<double> codes;
    OneFileChooser rawChooser(path);
    const std::int16_t rawStatus = LoadRawDataFile(rawChooser, messenger, status, raw, codes);
    const bool codesLoaded = !codes.empty();
    if (codesLoaded) {
        FUZZ_CHECK(rawStatus == FileStatus::Done);
        CheckLoaded(codes, raw);
        FUZZ_CHECK(raw.NumberOfSamples == DeliverableExponent(BlockExponentFor(qsizetype(codes.size()))));
        FUZZ_CHECK(raw.NumberOfSamples >= 0 && raw.NumberOfSamples <= 5);
    }

    Settings fft;
    fft.NumberOfSamples = 3;
    std::vector<double> spectrum;
    OneFileChooser fftChooser(path);
    const std::int16_t fftStatus = LoadFFTFile(fftChooser, messenger, status, fft, spectrum);
    const bool spectrumLoaded = fftStatus == FileStatus::Done;
    FUZZ_CHECK(fft.NumberOfSamples == 3);
    FUZZ_CHECK(spectrumLoaded == !spectrum.empty());
    FUZZ_CHECK(spectrumLoaded == codesLoaded);
    if (spectrumLoaded) {
        CheckLoaded(spectrum, fft);
        FUZZ_CHECK(spectrum == codes);
    }
    return 0;
}
