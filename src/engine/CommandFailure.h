#pragma once

#include <QString>
#include <stdexcept>

// Exit statuses of the command-line tool: 0 done, 1 a board or file failure, 2 a usage error.
namespace ExitStatus {
constexpr int Done = 0;
constexpr int Failed = 1;
constexpr int Usage = 2;
}

// A failure a console front end reports on one line: the tool ends with it, the
// instrument server answers it as an execution error.
struct CommandFailure : std::runtime_error {
    CommandFailure(int status, const QString& reason)
        : std::runtime_error(reason.toStdString()), status(status) {}
    int status;
};
