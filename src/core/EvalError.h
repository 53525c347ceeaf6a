#pragma once

#include <QString>
#include <stdexcept>

// A numbered failure as the board link and the file code report it: the number the
// callers test, where it came from and what went wrong.
class EvalError : public std::runtime_error {
public:
    EvalError(int number, QString source, QString description)
        : std::runtime_error(description.toStdString()),
          Number(number), Source(std::move(source)), Description(std::move(description)) {}

    int Number;
    QString Source;
    QString Description;
};

namespace ErrorNumber {
constexpr int Overflow = 6;
constexpr int TypeMismatch = 13;
constexpr int InputPastEnd = 62;
constexpr int FileNotFound = 53;
constexpr int DeviceIoError = 57;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
}

// Raised where a value does not fit the integer type it is converted to.
[[noreturn]] inline void RaiseOverflow()
{
    throw EvalError(ErrorNumber::Overflow, QStringLiteral("Conversion"), QStringLiteral("Overflow"));
}

// Runs one step of a procedure that carries on after a failing statement, remembering the
// failure's number (0 when the step succeeded) so the code after it can test it.
template <typename Step>
int RunStep(Step&& step, EvalError* caught = nullptr)
{
    try {
        step();
        return 0;
    } catch (const EvalError& e) {
        if (caught)
            *caught = e;
        return e.Number;
    }
}
