#pragma once

#include <cstddef>
#include <string_view>

// The field rules of FieldReader over bytes in memory, without copying a field: a field
// ends at a comma or a line end, leading blanks and tabs are skipped, a field that begins
// with a double quote runs to the closing quote (the quotes are dropped, whatever follows
// up to the delimiter is dropped too), an empty line is an empty field, and a comma at the
// very end of a line ends that line's last field.
class FieldScanner {
public:
    explicit FieldScanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    // The next field (a view into the text); where it began is FieldStart(). Call only
    // while !AtEnd().
    std::string_view Next()
    {
        const char* d = text_.data();
        const std::size_t size = text_.size();
        std::size_t p = pos_;
        while (p < size && (d[p] == ' ' || d[p] == '\t'))
            ++p;
        start_ = p;
        std::string_view field;
        if (p < size && d[p] == '"') {
            const std::size_t close = text_.find('"', p + 1);
            const std::size_t end = close == std::string_view::npos ? size : close;
            field = text_.substr(p + 1, end - p - 1);
            p = close == std::string_view::npos ? size : close + 1;
            while (p < size && d[p] != ',' && !IsLineEnd(d[p]))
                ++p;
        } else {
            const std::size_t first = p;
            while (p < size && d[p] != ',' && !IsLineEnd(d[p]))
                ++p;
            field = text_.substr(first, p - first);
        }
        pos_ = StepOverDelimiter(p);
        return field;
    }

    std::size_t FieldStart() const { return start_; }

    // The common case in one pass: a field that is a plain decimal ("-123.456000", at most
    // 15 digits) right up to its delimiter is read and stepped over, exactly as from_chars
    // would read it. Anything else leaves the position alone and returns false, for Next().
    bool NextPlainDecimal(double& value)
    {
        static constexpr double Powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                            1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
        const char* d = text_.data();
        const std::size_t size = text_.size();
        std::size_t p = pos_;
        const bool negative = p < size && d[p] == '-';
        p += negative;
        unsigned long long mantissa = 0;
        int digits = 0, fraction = 0;
        bool point = false;
        for (; p < size; ++p) {
            const char c = d[p];
            if (c >= '0' && c <= '9') {
                mantissa = mantissa * 10 + static_cast<unsigned long long>(c - '0');
                ++digits;
                fraction += point;
            } else if (c == '.' && !point) {
                point = true;
            } else {
                break;
            }
        }
        if (digits == 0 || digits > 15 || (p < size && d[p] != ',' && !IsLineEnd(d[p])))
            return false;
        const double magnitude = double(mantissa) / Powers[fraction];
        value = negative ? -magnitude : magnitude;
        start_ = pos_;
        pos_ = StepOverDelimiter(p);
        return true;
    }

    // The line (from 1) that holds the byte at pos: line ends are CR LF, a lone LF or a
    // lone CR.
    int LineAt(std::size_t pos) const
    {
        int line = 1;
        for (std::size_t i = 0; i < pos && i < text_.size(); ++i)
            if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 == text_.size() || text_[i + 1] != '\n')))
                ++line;
        return line;
    }

    // The text of the line that holds the byte at pos, without its line end.
    std::string_view LineTextAt(std::size_t pos) const
    {
        pos = pos < text_.size() ? pos : text_.size();
        std::size_t first = pos;
        while (first > 0 && !IsLineEnd(text_[first - 1]))
            --first;
        std::size_t end = pos;
        while (end < text_.size() && !IsLineEnd(text_[end]))
            ++end;
        return text_.substr(first, end - first);
    }

private:
    static bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

    std::size_t SkipLineEnd(std::size_t p) const
    {
        if (p < text_.size() && text_[p] == '\r')
            ++p;
        if (p < text_.size() && text_[p] == '\n')
            ++p;
        return p;
    }

    // Past the delimiter at p: a comma (and a line end right after it), or a line end.
    std::size_t StepOverDelimiter(std::size_t p) const
    {
        if (p >= text_.size())
            return p;
        if (text_[p] != ',')
            return SkipLineEnd(p);
        ++p;
        return p < text_.size() && IsLineEnd(text_[p]) ? SkipLineEnd(p) : p;
    }

    std::string_view text_;
    std::size_t pos_ = 0, start_ = 0;
};
