// Board program files: the marker, the word list up to the "#" terminator and the packet
// bytes each word becomes, read by the same code the download uses.
#include "FuzzSupport.h"
#include "link/ProgramFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto words = ReadProgramWordList(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!words)
        return 0;
    for (qsizetype i = 1; i < words->size(); ++i) {
        // Two characters never read as more than one byte.
        for (const std::int16_t byte : PacketBytes(words->at(i)))
            FUZZ_CHECK(byte >= 0 && byte <= 0xFF);
    }
    return 0;
}
