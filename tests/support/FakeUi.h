#pragma once

#include "core/UserInterface.h"
#include "link/LinkUi.h"
#include "link/OsLayer.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <vector>

// Scripted stand-ins for the user and the main window, recording what the logic showed.

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

class RecordingLinkUi : public LinkUi {
public:
    void SetButtonEnabled(MainButton b, bool on) override { buttons[b] = on; }
    void SetDisplayModeEnabled(bool on) override { displayModeEnabled = on; }
    void AddDisplayModeItem(const QString& item) override { displayModeItems << item; }
    void SetHoldZoomEnabled(bool on) override { holdZoomEnabled = on; }
    void ClearHoldZoom() override { holdZoomChecked = false; ++holdZoomClears; }
    void SetSupplyLatchValue(int v) override { supplyLatchValues.push_back(v); }
    void SetPortMenuEntryEnabled(PortMenuEntry e, bool on) override { portMenu[e] = on; }

    std::map<MainButton, bool> buttons;
    bool displayModeEnabled = true;
    QStringList displayModeItems;
    bool holdZoomEnabled = true;
    bool holdZoomChecked = true;
    int holdZoomClears = 0;
    std::vector<int> supplyLatchValues;
    std::map<PortMenuEntry, bool> portMenu;
};

class FakeOs : public OsLayer {
public:
    OsVersionInfo GetVersion() override { return version; }
    QString CommandLine() override { return commandLine; }
    OsVersionInfo version;
    QString commandLine;
};

// Counts event passes and can run something at a chosen pass (for example a watchdog tick).
class CountingEventPump : public EventPump {
public:
    void ProcessEvents() override
    {
        ++passes;
        if (onPass)
            onPass(passes);
    }
    long passes = 0;
    std::function<void(long)> onPass;
};
