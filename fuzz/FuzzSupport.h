#pragma once

#include "core/UserInterface.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// Writes one fuzz input to a file in a scratch folder kept for the whole run, so the
// readers see it exactly as they would see a user's file.
inline QString WriteInput(const QString& name, const std::uint8_t* data, std::size_t size)
{
    static QTemporaryDir dir;
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    return file.fileName();
}

// Gives one path, then cancels.
class OneFileChooser : public FileChooser {
public:
    explicit OneFileChooser(QString path) : path_(std::move(path)) {}
    std::optional<QString> ChooseFile(const FileDialogRequest&) override
    {
        return std::exchange(path_, std::optional<QString>());
    }

private:
    std::optional<QString> path_;
};

// Answers every question with Cancel (OK where that is the only button).
class CancellingMessenger : public Messenger {
public:
    MessageResult ShowMessage(const MessageRequest& request) override
    {
        return request.buttons == MessageButtons::Ok ? MessageResult::Ok : MessageResult::Cancel;
    }
};

class DiscardingStatus : public StatusLines {
public:
    void AddLine(const QString&, std::optional<std::uint32_t>) override {}
    void ClearLines() override {}
};

// Aborts the run when a property the readers promise does not hold.
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition))     \
            std::abort();     \
    } while (false)
