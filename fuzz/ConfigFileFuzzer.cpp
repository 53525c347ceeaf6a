// Configuration files: the header check, the keyword items and their conversions.
#include "FuzzSupport.h"
#include "config/ConfigFile.h"
#include "config/ValueRanges.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = WriteInput(QStringLiteral("input.cfg"), data, size);
    Settings settings;
    Latch latch;
    QStringList items;
    CancellingMessenger messenger;
    const std::int16_t status = ReadConfigFile(path, settings, latch, items, messenger);
    FUZZ_CHECK(status == 0 || status == 2);
    FUZZ_CHECK(latch.Value() >= 0 && latch.Value() <= 0xFF);
    // A file that was read never leaves a value the board cannot work with (the bits stay
    // 0 only when the user gave up on a file without a program name).
    if (status == 0 && settings.NumberOfBits != 0) {
        FUZZ_CHECK(settings.NumberOfBits >= ValueRange::MinBits && settings.NumberOfBits <= ValueRange::MaxBits);
        FUZZ_CHECK(settings.NumberOfSamples >= ValueRange::MinExponent
                   && settings.NumberOfSamples <= ValueRange::MaxExponent);
    }
    return 0;
}
