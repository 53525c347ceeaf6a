#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

// The board program file: comma- or line-separated fields, "@PA" as the second field,
// then a field that is kept but not sent, one six-hex-digit program word per field, and
// a field beginning with "#" that ends the list.

// Fields 3 up to the terminator, or nullopt when the marker is missing or the file ends
// before a terminator (the classic reading loop has no end-of-file test, so such a file
// is taken as not a program file).
std::optional<QStringList> ReadProgramWordList(const QByteArray& content);

// The three bytes of a program word: characters 1-2, 3-4 and the last two, as hex.
std::array<std::int16_t, 3> PacketBytes(const QString& word);
