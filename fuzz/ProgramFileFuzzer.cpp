// Board program files: the field reader over the "@PA" marker, the word list up to the
// "#" terminator and the packet bytes each word becomes, read the way the download does.
#include "FuzzSupport.h"
#include "core/FieldReader.h"
#include "core/Numbers.h"

#include <QStringList>

namespace {

std::int16_t HexByte(const QString& digits)
{
    return std::int16_t(Val(QStringLiteral("&h") + digits));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FieldReader reader(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    QString second;
    for (int skip = 0; skip < 2 && !reader.AtEnd(); ++skip)
        second = reader.Next();
    if (second != QLatin1String("@PA"))
        return 0;

    QStringList words;
    while (!reader.AtEnd()) {
        const QString field = reader.Next();
        if (field.startsWith(u'#'))
            break;
        words << field;
    }
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString& word = words[i];
        // Two characters never read as more than one byte.
        for (const QString& pair : {word.left(2), word.mid(2, 2), word.right(2)}) {
            const std::int16_t byte = HexByte(pair);
            FUZZ_CHECK(byte >= 0 && byte <= 0xFF);
        }
    }
    return 0;
}
