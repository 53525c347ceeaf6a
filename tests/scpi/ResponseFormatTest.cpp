#include "scpi/ResponseFormat.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

namespace {

TEST(ResponseFormat, ArraysAsAsciiAndDefiniteLengthBlocks)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    using F = DataFormat;
    const struct {
        std::vector<double> values;
        DataFormat format;
        QByteArray bytes;
    } cases[] = {
        {{}, {F::Ascii, false}, ""},
        {{0, 4095, -1.5, 0.1, 1.5e21}, {F::Ascii, false}, "0,4095,-1.5,0.1,1.5E+21"},
        {{nan, inf, -inf, 1e-300}, {F::Ascii, false}, "9.91E37,9.9E37,-9.9E37,1E-300"},
        {{}, {F::Int16, false}, "#10"},
        {{1, -2, 258}, {F::Int16, false}, QByteArray("#16\x00\x01\xff\xfe\x01\x02", 9)},
        {{1, -2, 258}, {F::Int16, true}, QByteArray("#16\x01\x00\xfe\xff\x02\x01", 9)},
        // Half to even, saturation, NaN saturating as the huge number it stands for.
        {{2.5, 3.5, 40000, -40000, nan}, {F::Int16, false},
         QByteArray("#210\x00\x02\x00\x04\x7f\xff\x80\x00\x7f\xff", 14)},
        {{65536 + 2}, {F::Int32, false}, QByteArray("#14\x00\x01\x00\x02", 7)},
        {{65536 + 2}, {F::Int32, true}, QByteArray("#14\x02\x00\x01\x00", 7)},
        {{1.0}, {F::Real32, false}, QByteArray("#14\x3f\x80\x00\x00", 7)},
        {{-2.0}, {F::Real64, false}, QByteArray("#18\xc0\x00\x00\x00\x00\x00\x00\x00", 11)},
        {{-2.0}, {F::Real64, true}, QByteArray("#18\x00\x00\x00\x00\x00\x00\x00\xc0", 11)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatArray(c.values, c.format).toHex(' ').toStdString(), c.bytes.toHex(' ').toStdString()) << c.format.Name().toStdString();

    // NaN in a real block is SCPI's number for it, not an IEEE NaN.
    const QByteArray block = FormatArray(std::vector<double>{nan}, {F::Real64, true});
    double value = 0;
    std::memcpy(&value, block.constData() + 3, 8);
    EXPECT_EQ(value, kScpiNotANumber);
}

TEST(ResponseFormat, BlockHeaderCountsTheLengthDigits)
{
    for (qsizetype n : {0, 9, 10, 99999, 100000}) {
        const QByteArray block = DefiniteLengthBlock(QByteArray(n, 'x'));
        const QByteArray length = QByteArray::number(n);
        EXPECT_EQ(block.left(2 + length.size()), '#' + QByteArray::number(length.size()) + length);
        EXPECT_EQ(block.size(), 2 + length.size() + n);
    }
}

} // namespace
