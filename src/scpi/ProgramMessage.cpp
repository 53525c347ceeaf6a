#include "scpi/ProgramMessage.h"

#include "scpi/ScpiError.h"

#include <QString>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(char c) { return IsLetter(c) || IsDigit(c) || c == '_'; }

bool ValidText(QByteArrayView message)
{
    bool ascii = true;
    for (char c : message) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7f)
            return false;
        ascii = ascii && u < 0x80;
    }
    if (ascii)
        return true;
    // Invalid sequences come back as U+FFFD, so only valid UTF-8 survives the round trip.
    const QByteArray bytes = message.toByteArray();
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

class Lexer {
public:
    explicit Lexer(QByteArrayView text) : s_(text) {}

    bool AtEnd() const { return i_ >= s_.size(); }
    char Peek() const { return AtEnd() ? '\0' : s_[i_]; }
    void SkipBlanks()
    {
        while (!AtEnd() && IsBlank(s_[i_]))
            ++i_;
    }
    bool AtUnitEnd() const { return AtEnd() || Peek() == ';'; }

    bool Unit(ProgramUnit& unit)
    {
        SkipBlanks();
        if (!Header(unit))
            return false;
        if (AtUnitEnd())
            return true;
        if (!IsBlank(Peek()))
            return false;
        SkipBlanks();
        if (AtUnitEnd())
            return true;
        for (;;) {
            ProgramParameter p;
            if (!Parameter(p))
                return false;
            unit.parameters.push_back(std::move(p));
            SkipBlanks();
            if (AtUnitEnd())
                return true;
            if (Peek() != ',')
                return false;
            ++i_;
            SkipBlanks();
        }
    }

    void Next() { ++i_; }

private:
    QByteArray Word()
    {
        const qsizetype start = i_;
        if (!IsLetter(Peek()))
            return {};
        while (!AtEnd() && IsWordChar(s_[i_]))
            ++i_;
        return s_.sliced(start, i_ - start).toByteArray();
    }

    bool Header(ProgramUnit& unit)
    {
        if (Peek() == '*') {
            ++i_;
            const QByteArray word = Word();
            if (word.isEmpty())
                return false;
            unit.common = true;
            unit.mnemonics << '*' + word;
        } else {
            if (Peek() == ':') {
                unit.absolute = true;
                ++i_;
            }
            for (;;) {
                const QByteArray word = Word();
                if (word.isEmpty())
                    return false;
                unit.mnemonics << word;
                if (Peek() != ':')
                    break;
                ++i_;
            }
        }
        if (Peek() == '?') {
            unit.query = true;
            ++i_;
        }
        return true;
    }

    bool Number(ProgramParameter& p)
    {
        const qsizetype start = i_;
        if (Peek() == '+' || Peek() == '-')
            ++i_;
        qsizetype digits = 0;
        for (; IsDigit(Peek()); ++i_)
            ++digits;
        if (Peek() == '.') {
            ++i_;
            for (; IsDigit(Peek()); ++i_)
                ++digits;
        }
        if (digits == 0)
            return false;
        if (Peek() == 'e' || Peek() == 'E') {
            ++i_;
            if (Peek() == '+' || Peek() == '-')
                ++i_;
            if (!IsDigit(Peek()))
                return false;
            while (IsDigit(Peek()))
                ++i_;
        }
        p.kind = ProgramParameter::Number;
        p.text = s_.sliced(start, i_ - start).toByteArray();
        return AtUnitEnd() || IsBlank(Peek()) || Peek() == ',';
    }

    bool QuotedString(ProgramParameter& p)
    {
        const char quote = Peek();
        ++i_;
        p.kind = ProgramParameter::String;
        for (;;) {
            if (AtEnd())
                return false;
            const char c = s_[i_++];
            if (c != quote) {
                p.text += c;
                continue;
            }
            if (Peek() != quote)
                return true;
            p.text += quote;
            ++i_;
        }
    }

    bool Parameter(ProgramParameter& p)
    {
        const char c = Peek();
        if (c == '"' || c == '\'')
            return QuotedString(p);
        if (IsDigit(c) || c == '+' || c == '-' || c == '.')
            return Number(p);
        p.kind = ProgramParameter::Character;
        p.text = Word();
        return !p.text.isEmpty();
    }

    QByteArrayView s_;
    qsizetype i_ = 0;
};

} // namespace

ParsedMessage ParseProgramMessage(QByteArrayView message)
{
    ParsedMessage out;
    if (!ValidText(message)) {
        out.error = ScpiError::SyntaxError;
        return out;
    }
    Lexer lexer(message);
    lexer.SkipBlanks();
    if (lexer.AtEnd())
        return out;
    for (;;) {
        ProgramUnit unit;
        if (!lexer.Unit(unit)) {
            out.units.clear();
            out.error = ScpiError::SyntaxError;
            return out;
        }
        out.units.push_back(std::move(unit));
        if (lexer.AtEnd())
            return out;
        lexer.Next();   // the ';'
    }
}
