#include "link/ProgramFile.h"

#include "core/FieldReader.h"
#include "core/Numbers.h"
#include "core/TextFileGate.h"

#include <QFileInfo>
#include <algorithm>

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

bool IsProgramWord(const QString& field)
{
    return field.size() == 6 && std::all_of(field.begin(), field.end(), [](QChar c) {
        return c.isDigit() || (c.toUpper() >= u'A' && c.toUpper() <= u'F');
    });
}

ProgramWords Problem(QString text)
{
    return {std::nullopt, std::move(text)};
}

} // namespace

ProgramWords ReadProgramWords(const QByteArray& content)
{
    FieldReader reader(content);
    const auto first = NextField(reader);
    const auto second = first ? NextField(reader) : std::nullopt;
    if (!second || *second != QLatin1String("@PA"))
        return Problem(QStringLiteral("its second field is not \"@PA\""));
    QStringList fields;
    for (;;) {
        const auto field = NextField(reader);
        if (!field)
            return Problem(QStringLiteral("it ends before the \"#\" that closes the program"));
        if (field->startsWith(u'#'))
            break;
        // The field after the marker is kept but never sent; every later one is a word.
        if (!fields.isEmpty() && !IsProgramWord(*field))
            return Problem(QStringLiteral("line %1: \"%2\" is not six hexadecimal digits")
                               .arg(reader.Line()).arg(field->left(40)));
        if (fields.size() > MaxProgramWords)
            return Problem(QStringLiteral("it holds more than %1 program words").arg(MaxProgramWords));
        fields << *field;
    }
    return {fields, QString()};
}

ProgramWords ReadProgramFile(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const TextFile file = ReadTextFile(path, MaxProgramFileBytes);
    ProgramWords result = file.Content ? ReadProgramWords(*file.Content)
                                       : Problem(file.Problem.Reason);
    if (!result.Words)
        result.Problem = QStringLiteral("Program file %1: %2").arg(name, result.Problem);
    return result;
}

std::array<std::int16_t, 3> PacketBytes(const QString& word)
{
    return {HexByte(word.mid(0, 2)), HexByte(word.mid(2, 2)), HexByte(word.right(2))};
}
