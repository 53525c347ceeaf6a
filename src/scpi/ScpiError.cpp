#include "scpi/ScpiError.h"

QString StandardErrorText(int code)
{
    switch (code) {
    case ScpiError::None: return QStringLiteral("No error");
    case ScpiError::CommandError: return QStringLiteral("Command error");
    case ScpiError::SyntaxError: return QStringLiteral("Syntax error");
    case ScpiError::ParameterNotAllowed: return QStringLiteral("Parameter not allowed");
    case ScpiError::MissingParameter: return QStringLiteral("Missing parameter");
    case ScpiError::UndefinedHeader: return QStringLiteral("Undefined header");
    case ScpiError::ExecutionError: return QStringLiteral("Execution error");
    case ScpiError::SettingsConflict: return QStringLiteral("Settings conflict");
    case ScpiError::DataOutOfRange: return QStringLiteral("Data out of range");
    case ScpiError::IllegalParameterValue: return QStringLiteral("Illegal parameter value");
    case ScpiError::DataStale: return QStringLiteral("Data corrupt or stale");
    case ScpiError::FileNameNotFound: return QStringLiteral("File name not found");
    case ScpiError::FileNameError: return QStringLiteral("File name error");
    case ScpiError::QueueOverflow: return QStringLiteral("Queue overflow");
    case ScpiError::InputBufferOverrun: return QStringLiteral("Input buffer overrun");
    case ScpiError::QueryInterrupted: return QStringLiteral("Query INTERRUPTED");
    case ScpiError::QueryUnterminated: return QStringLiteral("Query UNTERMINATED");
    default: return QString();
    }
}

void ErrorQueue::Push(int code, const QString& detail)
{
    QString text = StandardErrorText(code);
    if (!detail.isEmpty())
        text = text.isEmpty() ? detail : text + QStringLiteral("; ") + detail;
    if (entries_.size() >= kCapacity) {
        entries_.back() = {ScpiError::QueueOverflow, StandardErrorText(ScpiError::QueueOverflow)};
        return;
    }
    entries_.push_back({code, text});
}

QueuedError ErrorQueue::Pop()
{
    if (entries_.empty())
        return {ScpiError::None, StandardErrorText(ScpiError::None)};
    QueuedError e = entries_.front();
    entries_.pop_front();
    return e;
}

QString FormatErrorResponse(const QueuedError& error)
{
    QString text = error.text;
    text.replace(u'"', QStringLiteral("\"\""));
    return QStringLiteral("%1,\"%2\"").arg(error.code).arg(text);
}
