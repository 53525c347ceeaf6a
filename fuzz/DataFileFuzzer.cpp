// Raw and FFT data files: the field reader, the leading-number rule and both loads.
#include "FuzzSupport.h"
#include "files/DataFileIo.h"
#include "files/FftDataFile.h"
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

    Settings raw;
    std::vector<double> codes;
    OneFileChooser rawChooser(path);
    const std::int16_t rawStatus = LoadRawDataFile(rawChooser, messenger, raw, codes);
    const bool codesLoaded = !codes.empty();
    if (codesLoaded) {
        FUZZ_CHECK(rawStatus == FileStatus::Done);
        CheckLoaded(codes, raw);
        FUZZ_CHECK(raw.NumberOfSamples == BlockExponentFor(qsizetype(codes.size())));
    }

    Settings fft;
    fft.NumberOfSamples = 3;
    std::vector<double> spectrum;
    OneFileChooser fftChooser(path);
    const std::int16_t fftStatus = LoadFFTFile(fftChooser, messenger, fft, spectrum);
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
