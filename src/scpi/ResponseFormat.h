#pragma once

#include <QByteArray>
#include <QString>
#include <span>

// How arrays are answered (FORMat[:DATA], FORMat:BORDer).
struct DataFormat {
    enum Type { Ascii, Int16, Int32, Real32, Real64 };
    Type type = Ascii;
    bool swapped = false;   // little-endian bytes; NORMal is big-endian

    QString Name() const;   // as FORMat:DATA? answers: ASC, INT,16, ...
};

// SCPI's not-a-number and infinities as numbers.
constexpr double kScpiNotANumber = 9.91e37;
constexpr double kScpiInfinity = 9.9e37;

// A real in NR3/NR2 as short as exact: 9.91E37 for NaN, +-9.9E37 for infinities.
QByteArray FormatReal(double value);
// An array: ASCII reals separated by commas, or a definite-length block
// #<digits><length><bytes>. Integer formats round half to even and saturate.
QByteArray FormatArray(std::span<const double> values, const DataFormat& format);
// The definite-length block header and bytes for a payload.
QByteArray DefiniteLengthBlock(const QByteArray& payload);
