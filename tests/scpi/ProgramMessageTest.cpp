#include "scpi/ProgramMessage.h"
#include "scpi/ScpiError.h"

#include <gtest/gtest.h>

namespace {

// A unit as "[:]MN:MN[?] kind:text,..." so a table row can say what was parsed.
std::string Render(const ParsedMessage& m)
{
    if (m.error != 0)
        return "error " + std::to_string(m.error);
    std::string out;
    for (const ProgramUnit& u : m.units) {
        if (!out.empty())
            out += " | ";
        if (u.absolute)
            out += ':';
        out += QByteArrayList(u.mnemonics).join(':').toStdString();
        if (u.query)
            out += '?';
        for (std::size_t i = 0; i < u.parameters.size(); ++i) {
            const ProgramParameter& p = u.parameters[i];
            out += i == 0 ? " " : ",";
            out += p.kind == ProgramParameter::Number ? "N:" : p.kind == ProgramParameter::String ? "S:" : "C:";
            out += p.text.toStdString();
        }
    }
    return out;
}

TEST(ProgramMessage, SplitsUnitsHeadersAndParameters)
{
    const struct {
        QByteArray in;
        std::string parsed;
    } cases[] = {
        {"", ""},
        {"   \t", ""},
        {"*IDN?", "*IDN?"},
        {"*ese 32", "*ese N:32"},
        {":SENS:SAMP:COUN 1024", ":SENS:SAMP:COUN N:1024"},
        {"samp:coun?;rate 1.5e5", "samp:coun? | rate N:1.5e5"},
        {"FORM:DATA INT,16", "FORM:DATA C:INT,N:16"},
        {"FORM  REAL , 64  ", "FORM C:REAL,N:64"},
        {"SAMP:RATE -.5E-3", "SAMP:RATE N:-.5E-3"},
        {"SAMP:RATE +7", "SAMP:RATE N:+7"},
        {"CONF:FILE \"a;b\"\"c.cfg\"", "CONF:FILE S:a;b\"c.cfg"},
        {"CONF:FILE 'it''s'", "CONF:FILE S:it's"},
        {"CONF:FILE \"d\u00e9j\u00e0.cfg\"", "CONF:FILE S:d\u00e9j\u00e0.cfg"},
        {"INIT:CONT ON;:ABOR", "INIT:CONT C:ON | :ABOR"},
        {"SYST:ERR:NEXT?;*CLS", "SYST:ERR:NEXT? | *CLS"},
        // Malformed messages: nothing is kept.
        {"SAMP:COUN 1024;", "error -102"},
        {";*RST", "error -102"},
        {"*RST;;*CLS", "error -102"},
        {"SAMP:COUN,5", "error -102"},
        {"SAMP::COUN 5", "error -102"},
        {"SAMP:COUN 5,", "error -102"},
        {"SAMP:COUN 5 6", "error -102"},
        {"SAMP:RATE 100kHz", "error -102"},
        {"SAMP:RATE 1e", "error -102"},
        {"SAMP:RATE .", "error -102"},
        {"CONF:FILE \"open", "error -102"},
        {"*", "error -102"},
        {"*IDN??", "error -102"},
        {"#H1F", "error -102"},
        {QByteArray("*IDN?\0", 6), "error -102"},
        {"*IDN?\x01", "error -102"},
        {"CONF:FILE \"\xff\xfe\"", "error -102"},
        {"CONF:FILE \"\xc3\"", "error -102"},
        {"1234", "error -102"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Render(ParseProgramMessage(c.in)), c.parsed) << c.in.toStdString();
}

} // namespace
