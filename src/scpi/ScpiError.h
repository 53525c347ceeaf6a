#pragma once

#include <QString>
#include <deque>

// SCPI error numbers: the standard negative ones this instrument raises. Positive numbers
// are the board's own errors, queued with the program's texts.
namespace ScpiError {
constexpr int None = 0;
constexpr int CommandError = -100;
constexpr int SyntaxError = -102;
constexpr int ParameterNotAllowed = -108;
constexpr int MissingParameter = -109;
constexpr int UndefinedHeader = -113;
constexpr int ExecutionError = -200;
constexpr int SettingsConflict = -221;
constexpr int DataOutOfRange = -222;
constexpr int IllegalParameterValue = -224;
constexpr int DataStale = -230;
constexpr int FileNameNotFound = -256;
constexpr int FileNameError = -257;
constexpr int QueueOverflow = -350;
constexpr int InputBufferOverrun = -363;
constexpr int QueryInterrupted = -410;
constexpr int QueryUnterminated = -420;
}

// The standard text of a negative error number; empty for numbers it does not know.
QString StandardErrorText(int code);

struct QueuedError {
    int code = 0;
    QString text;   // the standard text, with "; detail" when one was given
};

// The error queue: first in, first out, bounded. When it is full the newest entry is
// replaced by -350, so the queue always tells that errors were lost.
class ErrorQueue {
public:
    static constexpr std::size_t kCapacity = 20;

    void Push(int code, const QString& detail = QString());
    QueuedError Pop();   // 0,"No error" when empty
    std::size_t Count() const { return entries_.size(); }
    void Clear() { entries_.clear(); }

private:
    std::deque<QueuedError> entries_;
};

// The error as SYSTem:ERRor? answers it: code,"text" with quotes doubled.
QString FormatErrorResponse(const QueuedError& error);
