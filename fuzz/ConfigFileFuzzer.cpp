// Configuration files: the header check, the keyword items and their conversions.
#include "FuzzSupport.h"
#include "config/ConfigFile.h"

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
    return 0;
}
