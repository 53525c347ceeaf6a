#pragma once

#include "display/main/TwipsGeometry.h"
#include "engine/BoardSession.h"
#include "engine/EvalContext.h"
#include "engine/SessionListener.h"

#include <QMainWindow>
#include <QTimer>
#include <memory>
#include <vector>

class AcquisitionControls;
class ChartViews;
class DataFileMenus;
class FileChooser;
class MainMenus;
class SessionWaiter;
class SettingsStore;
class StatusBox;
class frmSetup;

// The main window: the board session's front end. It is made of four parts, each with
// its own controls: the button block that runs acquisitions (AcquisitionControls), the
// charts and their options (ChartViews), the data-file and export menus (DataFileMenus)
// and the menu bar (MainMenus). The window itself keeps the two status boxes, turns what
// the session reports into control states, and keeps its place and the configuration
// between runs.
class frmMainScreen : public QMainWindow, public SessionListener {
    Q_OBJECT
public:
    explicit frmMainScreen(EvalContext& ctx, QWidget* parent = nullptr);
    ~frmMainScreen() override;

    // Start-up sequence; call once before showing the window.
    void Form_Load();

    BoardSession& Session() { return session_; }
    AcquisitionControls& Acquisition() { return *acquisition_; }
    ChartViews& Charts() { return *charts_; }
    DataFileMenus& DataFiles() { return *files_; }
    MainMenus& Menus() { return *menus_; }
    StatusBox& Status1() { return *VEXMStatus1; }
    StatusBox& Status2() { return *VEXMStatus2; }
    TwipsGeometry& Geometry() { return geometry_; }

    // Services the window uses; tests put fakes in their place.
    void SetFileChooser(FileChooser* chooser);
    void SetSettingsStore(SettingsStore* store) { settingsStore_ = store; }

    // The window's size in twips is its outer size, frame included. Until the window
    // manager has framed the window the frame counts as nothing; the size is applied again
    // once the frame is known.
    void SetOuterSize(double widthTwips, double heightTwips);

    // What the session reports.
    void PortClaimed(std::int16_t address) override;
    void ResetBegun() override;
    void SupplyLatchShown(int value) override;
    void ResetEnded(bool answered) override;
    void ProgramLoaded(bool loaded) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void InstallSessionServices();
    void Form_Resize();
    void Form_Unload();
    void LoadStoredSettingsStep();
    SettingsStore& Store();      // the store set for tests, else the per-user store
    void ApplyOuterSize();
    void ShowStartupMessages();

    EvalContext& ctx;
    TwipsGeometry geometry_;
    BoardSession session_;
    StatusBox *VEXMStatus1 = nullptr, *VEXMStatus2 = nullptr;
    ChartViews* charts_ = nullptr;
    AcquisitionControls* acquisition_ = nullptr;
    DataFileMenus* files_ = nullptr;
    MainMenus* menus_ = nullptr;
    std::unique_ptr<SessionWaiter> ownWaiter_;
    Messenger* messenger_ = nullptr;   // the user's messages, on the window's thread
    std::unique_ptr<Messenger> ownMessenger_;
    SettingsStore* settingsStore_ = nullptr;
    std::unique_ptr<SettingsStore> ownSettingsStore_;
    bool unloaded_ = false;
    QSize outerSize_;
    bool outerSizePending_ = false;
    QSize outerSizeApplied_;   // the inner size the outer size gave
    QTimer frameWatch_;        // waits for the frame after the first showing
    std::vector<MessageRequest> startupMessages_;   // shown once the window is on screen
};
