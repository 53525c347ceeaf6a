#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <vector>

// One program message (a line without its newline) split into its message units.
struct ProgramParameter {
    enum Kind { Number, Character, String };
    Kind kind = Number;
    QByteArray text;   // the number or the character data as sent; a string's content, quotes undone
};

struct ProgramUnit {
    bool common = false;          // *IDN? and the like: one mnemonic, "*" included
    bool absolute = false;        // a leading ':' takes the header back to the root
    bool query = false;
    QList<QByteArray> mnemonics;
    std::vector<ProgramParameter> parameters;
};

struct ParsedMessage {
    std::vector<ProgramUnit> units;
    int error = 0;                // a SCPI error number; no unit is kept then
};

// Splits a message at its ';' into header and parameters. Any NUL or other control byte,
// invalid UTF-8, an unterminated string, an empty unit or a malformed header or
// parameter gives -102 for the whole message. An empty or blank message has no units.
ParsedMessage ParseProgramMessage(QByteArrayView message);
