#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// The small interfaces through which the program's logic tells and asks the user. The
// windows implement them with message boxes, status boxes and file dialogs; tests use
// scripted fakes.

enum class MessageIcon { None, Critical, Question, Exclamation, Information };
enum class MessageButtons { Ok, OkCancel, RetryCancel, YesNo };
enum class MessageResult { Ok, Cancel, Retry, Yes, No };

struct MessageRequest {
    QString text;
    // nullopt: the application's own title; an empty string: no title at all.
    std::optional<QString> title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
};

class Messenger {
public:
    virtual ~Messenger() = default;
    // Shows a modal message and returns the button the user pressed.
    virtual MessageResult ShowMessage(const MessageRequest& request) = 0;
};

// Colours are 32-bit values laid out 0x00BBGGRR.
namespace Colour {
constexpr std::uint32_t Red = 0x0000FF;
constexpr std::uint32_t Blue = 0xFF0000;
}

class StatusLines {
public:
    virtual ~StatusLines() = default;
    // Appends one line; without a colour the box's default text colour is used.
    virtual void AddLine(const QString& text, std::optional<std::uint32_t> colour = std::nullopt) = 0;
    virtual void ClearLines() = 0;
    // The box's display switch; off keeps the lines but shows them only when switched on.
    virtual void SetDisplay(bool on) { (void)on; }
};

struct FileDialogRequest {
    QString title;
    QString filter;          // "DAT Files|*.dat|All Files|*.*"
    bool save = false;
    bool promptOverwrite = false;
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen path, or nullopt when the user cancelled.
    virtual std::optional<QString> ChooseFile(const FileDialogRequest& request) = 0;
};
