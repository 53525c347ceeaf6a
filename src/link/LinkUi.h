#pragma once

#include <QString>

// The main-window controls the board link switches while it starts up and resets the
// board. The main window implements it; tests use a recording fake.
enum class MainButton { Sample, ContSample, StopSampling, PowerDown, PowerUp, Reset, Quit };
enum class PortMenuEntry { LPT1, LPT2, PRN };

class LinkUi {
public:
    virtual ~LinkUi() = default;
    virtual void SetButtonEnabled(MainButton button, bool enabled) = 0;
    virtual void SetDisplayModeEnabled(bool enabled) = 0;       // cboDisplayMode
    virtual void AddDisplayModeItem(const QString& item) = 0;
    virtual void SetHoldZoomEnabled(bool enabled) = 0;          // chkHoldZoom
    // Clears the Hold Zoom box; its click handler runs as for a user's change.
    virtual void ClearHoldZoom() = 0;
    virtual void SetSupplyLatchValue(int value) = 0;            // the setup dialog's ECBButton1
    virtual void SetPortMenuEntryEnabled(PortMenuEntry entry, bool enabled) = 0;
};

// Processing of pending window events, the only way long link operations yield.
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void ProcessEvents() = 0;
};
