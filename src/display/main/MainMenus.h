#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <vector>

class AcquisitionControls;
class BoardSession;
class ChartViews;
class DataFileMenus;
class EvalContext;
class QAction;
class QMainWindow;
class QWidget;
class frmSetup;

// The menu bar: File (setup, data files, chart export, exit), Edit (copy), Printer Port
// and Help. It opens the setup dialog and the About box and keeps the port choice.
class MainMenus : public QObject {
    Q_OBJECT
public:
    MainMenus(EvalContext& ctx, BoardSession& session, AcquisitionControls& acquisition, ChartViews& charts,
              DataFileMenus& files, QMainWindow& window);

    // The entries that reconfigure the board or replace the block.
    std::vector<QAction*> BoardEntries() const;
    // Only the entry of the claimed port stays available.
    void PortClaimed(std::int16_t address);
    // The setup dialog while it is open.
    frmSetup* SetupDialog() const;
    // Closes the setup dialog and the About box (shut-down).
    void CloseDialogs();

    void OpenSetup();
    void OpenAbout();

signals:
    void ExitRequested();

private:
    void CreateFileMenu();
    void SetPortChoice(std::int16_t address, QAction* checked);

    EvalContext& ctx;
    BoardSession& session_;
    AcquisitionControls& acquisition_;
    ChartViews& charts_;
    DataFileMenus& files_;
    QMainWindow& window_;
    QAction *mnuSetup = nullptr, *LoadEXE = nullptr, *mnuLoadRawData = nullptr, *mnuLoadFFTData = nullptr;
    QAction *mnuLPT1 = nullptr, *mnuLPT2 = nullptr, *mnuPRN = nullptr;
    int AboutAnimationFrame = 0;
    QPointer<frmSetup> setupDialog_;
    QPointer<QWidget> aboutWindow_;
};
