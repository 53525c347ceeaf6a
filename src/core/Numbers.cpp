#include "core/Numbers.h"

#include "core/EvalError.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Reads an integer in the given radix after a "&H" or "&O" prefix. Like the classic
// rule, a value that fits 16 bits is taken as a signed 16-bit pattern and one that fits
// 32 bits as a signed 32-bit pattern.
double ReadRadixInteger(QStringView text, qsizetype pos, int radix, bool& any)
{
    double value = 0;
    any = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (IsBlank(c))
            continue;
        const int digit = c.isDigit() ? c.digitValue()
                          : (radix == 16 && c.toUpper() >= u'A' && c.toUpper() <= u'F')
                              ? c.toUpper().unicode() - u'A' + 10
                              : -1;
        if (digit < 0 || digit >= radix)
            break;
        value = value * radix + digit;
        any = true;
    }
    if (!any)
        return 0;
    if (value <= 0xFFFF)
        return value >= 0x8000 ? value - 65536.0 : value;
    if (value <= 0xFFFFFFFFu)
        return value >= 2147483648.0 ? value - 4294967296.0 : value;
    return value;
}

} // namespace

double Val(QStringView text, bool* isNumber)
{
    bool found = false;
    if (!isNumber)
        isNumber = &found;
    *isNumber = false;
    qsizetype pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos + 1 < text.size() && text[pos] == u'&') {
        const QChar kind = text[pos + 1].toUpper();
        if (kind == u'H')
            return ReadRadixInteger(text, pos + 2, 16, *isNumber);
        if (kind == u'O')
            return ReadRadixInteger(text, pos + 2, 8, *isNumber);
    }

    // Collect the characters that form the number, skipping blanks, then let the C
    // library convert the clean text.
    std::string number;
    enum class Stage { Sign, Integer, Fraction, ExponentSign, Exponent } stage = Stage::Sign;
    bool digitsSeen = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text[pos];
        if (IsBlank(c))
            continue;
        const char ch = c.unicode() < 128 ? char(c.unicode()) : '\0';
        if (stage == Stage::Sign && (ch == '+' || ch == '-')) {
            number += ch;
            stage = Stage::Integer;
        } else if (ch >= '0' && ch <= '9') {
            number += ch;
            if (stage == Stage::Sign)
                stage = Stage::Integer;
            if (stage == Stage::ExponentSign)
                stage = Stage::Exponent;
            if (stage == Stage::Integer || stage == Stage::Fraction)
                digitsSeen = true;
        } else if (ch == '.' && (stage == Stage::Sign || stage == Stage::Integer)) {
            number += '.';
            stage = Stage::Fraction;
        } else if ((ch == 'e' || ch == 'E' || ch == 'd' || ch == 'D') && digitsSeen
                   && (stage == Stage::Integer || stage == Stage::Fraction)) {
            number += 'e';
            stage = Stage::ExponentSign;
        } else if (stage == Stage::ExponentSign && (ch == '+' || ch == '-')
                   && number.back() == 'e') {
            number += ch;
            stage = Stage::Exponent;
        } else {
            break;
        }
    }
    *isNumber = digitsSeen;
    if (!digitsSeen)
        return 0;
    // A dangling exponent marker ("12e", "12e-") does not change the value.
    while (!number.empty() && (number.back() == 'e' || number.back() == '+' || number.back() == '-'))
        number.pop_back();
    return std::strtod(number.c_str(), nullptr);
}

namespace {

bool IsNumberChar(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
}

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

double SlowLeadingNumber(std::string_view text, bool* isNumber)
{
    return Val(QString::fromLatin1(text.data(), qsizetype(text.size())), isNumber);
}

} // namespace

namespace {

// The form data files are written in, "-123.456000", read exactly without a library call:
// digits of at most 15 figures make an exact integer m, and m / 10^k with both exact is
// correctly rounded, so the value is the one from_chars gives. Anything else: nullopt.
std::optional<double> PlainDecimal(std::string_view text)
{
    static constexpr double Powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    i += negative;
    std::uint64_t mantissa = 0;
    int digits = 0, fraction = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            mantissa = mantissa * 10 + std::uint64_t(c - '0');
            ++digits;
            fraction += point;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || digits > 15)
        return std::nullopt;
    const double value = double(mantissa) / Powers[fraction];
    return negative ? -value : value;
}

} // namespace

double LeadingNumber(std::string_view text, bool* isNumber)
{
    if (const std::optional<double> plain = PlainDecimal(text)) {
        *isNumber = true;
        return *plain;
    }
    std::size_t end = 0;
    while (end < text.size() && IsNumberChar(text[end]))
        ++end;
    // What follows the number decides whether Val would read on: blanks are skipped
    // inside a number and "D" is an exponent; anything else ends it.
    if (end < text.size()) {
        const char next = text[end];
        const bool blanksOnly = text.find_first_not_of(" \t\r\n", end) == std::string_view::npos;
        if ((IsBlankByte(next) && !blanksOnly) || next == 'd' || next == 'D' || (end == 0 && next == '&'))
            return SlowLeadingNumber(text, isNumber);
    }
    const char* first = text.data();
    const char* last = text.data() + end;
    if (first < last && *first == '+') {
        // from_chars takes no plus sign; "+-1" is no number to Val.
        ++first;
        if (first == last || *first == '-' || *first == '+') {
            *isNumber = false;
            return 0;
        }
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::invalid_argument) {
        *isNumber = false;
        return 0;
    }
    if (ec != std::errc())
        return SlowLeadingNumber(text, isNumber);
    *isNumber = true;
    return value;
}

double StrictDouble(QStringView text)
{
    const QString trimmed = text.trimmed().toString();
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok)
        throw EvalError(ErrorNumber::TypeMismatch, QStringLiteral("Conversion"),
                        QStringLiteral("Type mismatch"));
    return value;
}

double RoundHalfEven(double value)
{
    // nearbyint honours the current rounding mode, which the program never changes from
    // round-to-nearest-even.
    return std::nearbyint(value);
}

std::int16_t ToInt16(double value)
{
    const double r = RoundHalfEven(value);
    if (!(r >= -32768.0 && r <= 32767.0))
        RaiseOverflow();
    return static_cast<std::int16_t>(r);
}

std::int32_t ToInt32(double value)
{
    const double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        RaiseOverflow();
    return static_cast<std::int32_t>(r);
}

QString FormatFixed(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    // A value that rounds to zero is written without a sign.
    if (text.startsWith(u'-') && text.mid(1).count(u'0') + text.mid(1).count(u'.') == text.size() - 1)
        text.remove(0, 1);
    return text;
}

QString PlainNumber(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    QString text = QString::number(value, 'g', 15);
    return text;
}

QString Hex16(std::int16_t value)
{
    return QString::number(static_cast<std::uint16_t>(value), 16).toUpper();
}

QString Hex32(std::int32_t value)
{
    return QString::number(static_cast<std::uint32_t>(value), 16).toUpper();
}
