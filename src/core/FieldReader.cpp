#include "core/FieldReader.h"

#include "core/EvalError.h"

FieldReader::FieldReader(QByteArray content) : data_(std::move(content)) {}

namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Steps over one line end: CR LF, a lone LF or a lone CR.
qsizetype SkipLineEnd(const QByteArray& d, qsizetype pos)
{
    if (pos < d.size() && d[pos] == '\r')
        ++pos;
    if (pos < d.size() && d[pos] == '\n')
        ++pos;
    return pos;
}

} // namespace

QString FieldReader::Next()
{
    if (AtEnd())
        throw EvalError(ErrorNumber::InputPastEnd, QStringLiteral("Input"),
                        QStringLiteral("Input past end of file"));
    const QByteArray& d = data_;
    while (pos_ < d.size() && (d[pos_] == ' ' || d[pos_] == '\t'))
        ++pos_;
    for (; counted_ < pos_; ++counted_)
        if (d[counted_] == '\n' || (d[counted_] == '\r' && (counted_ + 1 == d.size() || d[counted_ + 1] != '\n')))
            ++lineEnds_;
    line_ = lineEnds_ + 1;

    QByteArray field;
    if (pos_ < d.size() && d[pos_] == '"') {
        const qsizetype close = d.indexOf('"', pos_ + 1);
        const qsizetype end = close < 0 ? d.size() : close;
        field = d.mid(pos_ + 1, end - pos_ - 1);
        pos_ = close < 0 ? d.size() : close + 1;
        // Whatever stands between the closing quote and the delimiter is dropped.
        while (pos_ < d.size() && d[pos_] != ',' && !IsLineEnd(d[pos_]))
            ++pos_;
    } else {
        const qsizetype start = pos_;
        while (pos_ < d.size() && d[pos_] != ',' && !IsLineEnd(d[pos_]))
            ++pos_;
        field = d.mid(start, pos_ - start);
    }

    if (pos_ < d.size()) {
        if (d[pos_] == ',') {
            ++pos_;
            // A comma at the very end of a line ends that line's last field too.
            if (pos_ < d.size() && IsLineEnd(d[pos_]))
                pos_ = SkipLineEnd(d, pos_);
        } else {
            pos_ = SkipLineEnd(d, pos_);
        }
    }
    return QString::fromLatin1(field);
}

qsizetype FieldReader::CountRemaining() const
{
    FieldReader copy(*this);
    qsizetype count = 0;
    while (!copy.AtEnd()) {
        copy.Next();
        ++count;
    }
    return count;
}
