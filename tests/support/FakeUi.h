#pragma once

#include "core/UserInterface.h"
#include "engine/OsLayer.h"
#include "engine/SessionListener.h"
#include "link/BoardLink.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <vector>

// Scripted stand-ins for the user and the front end, recording what the logic showed.

class ScriptedMessenger : public Messenger {
public:
    MessageResult ShowMessage(const MessageRequest& request) override
    {
        shown.push_back(request);
        if (onShow)
            onShow(request);
        if (answers.empty())
            return request.buttons == MessageButtons::RetryCancel ? MessageResult::Cancel
                                                                   : MessageResult::Ok;
        const MessageResult r = answers.front();
        answers.pop_front();
        return r;
    }
    std::vector<MessageRequest> shown;
    std::deque<MessageResult> answers;            // answered in order; then OK / Cancel
    std::function<void(const MessageRequest&)> onShow;
};

class RecordingStatus : public StatusLines {
public:
    struct Line {
        QString text;
        std::optional<std::uint32_t> colour;
    };
    void AddLine(const QString& text, std::optional<std::uint32_t> colour) override
    {
        lines.push_back({text, colour});
    }
    void ClearLines() override { lines.clear(); ++clears; }
    QStringList Texts() const
    {
        QStringList t;
        for (const auto& l : lines)
            t << l.text;
        return t;
    }
    std::vector<Line> lines;
    int clears = 0;
};

// Records what the session reported to its front end, in order.
class RecordingListener : public SessionListener {
public:
    void PortClaimed(std::int16_t address) override { events << QStringLiteral("port %1").arg(address); }
    void ResetBegun() override { events << QStringLiteral("reset begun"); }
    void SupplyLatchShown(int value) override { events << QStringLiteral("latch %1").arg(value); }
    void ResetEnded(bool answered) override { events << QStringLiteral("reset ended %1").arg(answered); }
    void ProgramLoaded(bool loaded) override { events << QStringLiteral("loaded %1").arg(loaded); }
    QStringList events;
};

class FakeOs : public OsLayer {
public:
    OsVersionInfo GetVersion() override { return version; }
    QString CommandLine() override { return commandLine; }
    OsVersionInfo version;
    QString commandLine;
};

// Counts polling passes and can run something at a chosen pass (for example a watchdog
// tick); records the pauses the link asked for instead of sleeping.
class CountingEventPump : public LinkWaiter {
public:
    void Yield() override
    {
        ++passes;
        if (onPass)
            onPass(passes);
    }
    void Pause(std::chrono::nanoseconds expected) override { pauses.push_back(expected); }
    long passes = 0;
    std::function<void(long)> onPass;
    std::vector<std::chrono::nanoseconds> pauses;
};
