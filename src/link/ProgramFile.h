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

// No real program file comes near this size (32767 words take about 260 KB).
constexpr qint64 MaxProgramFileBytes = 512 * 1024;
// The download sends the word count as a 16-bit length.
constexpr qsizetype MaxProgramWords = 32767;

// Fields 3 up to the terminator, or nullopt with what is wrong for the status box: a
// missing marker, a file that ends before a terminator (the classic reading loop has no
// end-of-file test, so such a file is taken as not a program file), a word that is not
// exactly six hexadecimal digits (with its line), or more words than the length carries.
struct ProgramWords {
    std::optional<QStringList> Words;
    QString Problem;
};
ProgramWords ReadProgramWords(const QByteArray& content);

// The same for a file, refusing anything that is not a regular file of at most
// MaxProgramFileBytes. Problems name the file.
ProgramWords ReadProgramFile(const QString& path);

// The three bytes of a program word: characters 1-2, 3-4 and the last two, as hex.
std::array<std::int16_t, 3> PacketBytes(const QString& word);
