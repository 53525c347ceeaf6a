#include "scpi/ResponseFormat.h"

#include <QLocale>
#include <QtEndian>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

double ScpiValue(double v)
{
    if (std::isnan(v))
        return kScpiNotANumber;
    if (std::isinf(v))
        return v > 0 ? kScpiInfinity : -kScpiInfinity;
    return v;
}

template <typename Int>
Int Saturated(double v)
{
    v = std::nearbyint(ScpiValue(v));
    if (v <= double(std::numeric_limits<Int>::min()))
        return std::numeric_limits<Int>::min();
    if (v >= double(std::numeric_limits<Int>::max()))
        return std::numeric_limits<Int>::max();
    return Int(v);
}

template <typename T>
void Append(QByteArray& out, T value, bool swapped)
{
    const T ordered = swapped ? qToLittleEndian(value) : qToBigEndian(value);
    out.append(reinterpret_cast<const char*>(&ordered), sizeof ordered);
}

template <typename Float, typename Bits>
void AppendFloat(QByteArray& out, Float value, bool swapped)
{
    Bits bits;
    std::memcpy(&bits, &value, sizeof bits);
    Append(out, bits, swapped);
}

} // namespace

QString DataFormat::Name() const
{
    switch (type) {
    case Ascii: return QStringLiteral("ASC");
    case Int16: return QStringLiteral("INT,16");
    case Int32: return QStringLiteral("INT,32");
    case Real32: return QStringLiteral("REAL,32");
    case Real64: return QStringLiteral("REAL,64");
    }
    return QString();
}

QByteArray FormatReal(double value)
{
    if (std::isnan(value))
        return QByteArrayLiteral("9.91E37");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("9.9E37") : QByteArrayLiteral("-9.9E37");
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest).toUpper();
}

QByteArray DefiniteLengthBlock(const QByteArray& payload)
{
    const QByteArray length = QByteArray::number(payload.size());
    return '#' + QByteArray::number(length.size()) + length + payload;
}

QByteArray FormatArray(std::span<const double> values, const DataFormat& f)
{
    QByteArray out;
    if (f.type == DataFormat::Ascii) {
        out.reserve(values.size() * 12);
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i)
                out += ',';
            out += FormatReal(values[i]);
        }
        return out;
    }
    const int width = f.type == DataFormat::Int16 ? 2 : f.type == DataFormat::Real64 ? 8 : 4;
    out.reserve(qsizetype(values.size()) * width);
    for (double v : values) {
        switch (f.type) {
        case DataFormat::Int16: Append(out, Saturated<std::int16_t>(v), f.swapped); break;
        case DataFormat::Int32: Append(out, Saturated<std::int32_t>(v), f.swapped); break;
        case DataFormat::Real32: AppendFloat<float, std::uint32_t>(out, float(ScpiValue(v)), f.swapped); break;
        case DataFormat::Real64: AppendFloat<double, std::uint64_t>(out, ScpiValue(v), f.swapped); break;
        case DataFormat::Ascii: break;
        }
    }
    return DefiniteLengthBlock(out);
}
