#include "link/ProgramFile.h"

#include "core/FieldReader.h"
#include "core/Numbers.h"

namespace {

std::optional<QString> NextField(FieldReader& reader)
{
    if (reader.AtEnd())
        return std::nullopt;
    return reader.Next();
}

std::int16_t HexByte(const QString& digits)
{
    return std::int16_t(Val(QStringLiteral("&h") + digits));
}

} // namespace

std::optional<QStringList> ReadProgramWordList(const QByteArray& content)
{
    FieldReader reader(content);
    const auto first = NextField(reader);
    const auto second = first ? NextField(reader) : std::nullopt;
    if (!second || *second != QLatin1String("@PA"))
        return std::nullopt;
    QStringList fields;
    for (;;) {
        const auto field = NextField(reader);
        if (!field)
            return std::nullopt;
        if (field->startsWith(u'#'))
            return fields;
        fields << *field;
    }
}

std::array<std::int16_t, 3> PacketBytes(const QString& word)
{
    return {HexByte(word.mid(0, 2)), HexByte(word.mid(2, 2)), HexByte(word.right(2))};
}
