// Board program files: the marker, the word list up to the "#" terminator, the word checks
// and the packet bytes each word becomes, read by the same code the download uses.
#include "FuzzSupport.h"
#include "link/ProgramFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const ProgramWords program = ReadProgramWords(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    FUZZ_CHECK(program.Words.has_value() == program.Problem.isEmpty());
    if (!program.Words)
        return 0;
    const QStringList& words = *program.Words;
    FUZZ_CHECK(words.size() - 1 <= MaxProgramWords);
    for (qsizetype i = 1; i < words.size(); ++i) {
        // A word is six hex digits, so its bytes spell it back.
        const auto bytes = PacketBytes(words.at(i));
        const QString spelled = QStringLiteral("%1%2%3").arg(bytes[0], 2, 16, QLatin1Char('0'))
                                    .arg(bytes[1], 2, 16, QLatin1Char('0')).arg(bytes[2], 2, 16, QLatin1Char('0'));
        FUZZ_CHECK(spelled.compare(words.at(i), Qt::CaseInsensitive) == 0);
    }
    return 0;
}
