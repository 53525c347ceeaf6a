#include "scpi/Parameters.h"

#include "scpi/HeaderPattern.h"
#include "scpi/ScpiError.h"

#include <cmath>

std::optional<double> ToNumber(const ProgramParameter& p, const NumericRange& range, int& error)
{
    if (p.kind == ProgramParameter::Character) {
        if (MnemonicMatches(QStringLiteral("MINimum"), p.text))
            return range.min;
        if (MnemonicMatches(QStringLiteral("MAXimum"), p.text))
            return range.max;
        if (MnemonicMatches(QStringLiteral("DEFault"), p.text))
            return range.def;
    }
    if (p.kind != ProgramParameter::Number) {
        error = ScpiError::IllegalParameterValue;
        return std::nullopt;
    }
    bool ok = false;
    const double value = p.text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < range.min || value > range.max) {
        error = ScpiError::DataOutOfRange;
        return std::nullopt;
    }
    return value;
}

std::optional<long long> ToInteger(const ProgramParameter& p, const NumericRange& range, int& error)
{
    const auto value = ToNumber(p, range, error);
    if (!value)
        return std::nullopt;
    return std::llrint(*value);   // the default rounding mode: half to even
}

std::optional<bool> ToBoolean(const ProgramParameter& p, int& error)
{
    if (p.kind == ProgramParameter::Character) {
        if (MnemonicMatches(QStringLiteral("ON"), p.text))
            return true;
        if (MnemonicMatches(QStringLiteral("OFF"), p.text))
            return false;
    }
    if (p.kind == ProgramParameter::Number) {
        bool ok = false;
        const double value = p.text.toDouble(&ok);
        if (ok && std::isfinite(value))
            return std::nearbyint(value) != 0;
    }
    error = ScpiError::IllegalParameterValue;
    return std::nullopt;
}

std::optional<int> ToChoice(const ProgramParameter& p, const QStringList& choices, int& error)
{
    if (p.kind == ProgramParameter::Character) {
        for (int i = 0; i < choices.size(); ++i) {
            if (MnemonicMatches(choices[i], p.text))
                return i;
        }
    }
    error = ScpiError::IllegalParameterValue;
    return std::nullopt;
}

std::optional<QString> ToString(const ProgramParameter& p, int& error)
{
    if (p.kind != ProgramParameter::String) {
        error = ScpiError::IllegalParameterValue;
        return std::nullopt;
    }
    return QString::fromUtf8(p.text);
}
