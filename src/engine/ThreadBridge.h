#pragma once

#include "core/UserInterface.h"

#include <QObject>
#include <QPointer>
#include <functional>

// Runs call on home's thread, queued; false when home is gone. What the caller did before
// (the call's captures among it) is ordered before the call for every observer, including
// a thread checker that cannot see the toolkit's own locking.
bool PostToThreadOf(QObject* home, std::function<void()> call);

// Lets a session step that runs on a worker thread tell the user through the front end's
// messenger and status box, which live on the front end's thread. Called on that thread,
// both pass straight through. Status lines are queued in order; a message waits for the
// user's answer.
class CrossThreadStatus : public StatusLines {
public:
    CrossThreadStatus(StatusLines& target, QObject& home) : target_(target), home_(&home) {}
    void AddLine(const QString& text, std::optional<std::uint32_t> colour = std::nullopt) override;
    void ClearLines() override;
    void SetDisplay(bool on) override;

private:
    bool OnHomeThread() const;
    StatusLines& target_;
    QPointer<QObject> home_;
};

class CrossThreadMessenger : public Messenger {
public:
    CrossThreadMessenger(Messenger& target, QObject& home) : target_(target), home_(&home) {}
    MessageResult ShowMessage(const MessageRequest& request) override;

private:
    Messenger& target_;
    QPointer<QObject> home_;
};
