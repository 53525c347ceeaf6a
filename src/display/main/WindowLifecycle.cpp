// The stored window position and configuration, the other windows, and shut-down.
#include "display/main/frmMainScreen.h"

#include "config/ConfigFile.h"
#include "display/main/AcquisitionControls.h"
#include "display/main/ChartViews.h"
#include "display/main/MainMenus.h"
#include "display/widgets/StatusBox.h"
#include "files/StoredSettings.h"
#include "files/WindowPlacement.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>

#include <QCloseEvent>

SettingsStore& frmMainScreen::Store()
{
    if (settingsStore_)
        return *settingsStore_;
    if (!ownSettingsStore_)
        ownSettingsStore_ = std::make_unique<SettingsStore>();
    return *ownSettingsStore_;
}

void frmMainScreen::LoadStoredSettingsStep()
{
    // The analysis settings: a section of their own in the same store.
    if (Store().Problem().isEmpty())
        charts_->UseSettingsStore(Store().Store());
    QStringList refused;
    const std::optional<WindowPosition> position =
        LoadStoredSettings(Store(), ctx.Options.Stored, ctx.CurrentSettings, &refused);
    for (const QString& line : refused)
        VEXMStatus1->AddLine(line, Colour::Red);
    if (!position)
        return;
    RunStep([&] {
        // A position stored on a larger or a second screen is brought back where the
        // title bar can be reached.
        QList<QRect> screens;
        for (const QScreen* screen : QGuiApplication::screens())
            screens << screen->availableGeometry();
        const QRect frame = ReachableFrame(
            QRect(geometry_.ToPixelsX(position->Left), geometry_.ToPixelsY(position->Top),
                  std::max(1, geometry_.ToPixelsX(position->Width)), std::max(1, geometry_.ToPixelsY(position->Height))),
            style()->pixelMetric(QStyle::PM_TitleBarHeight), screens);
        move(frame.topLeft());
        SetOuterSize(geometry_.ToTwipsX(frame.width()), geometry_.ToTwipsY(frame.height()));
    });
    ShowConfigurationStatus(ctx.CurrentSettings, *VEXMStatus2);
}

void frmMainScreen::closeEvent(QCloseEvent* event)
{
    // A close request during an acquisition (the window manager's close box while a
    // continuous run goes on) ends the run first and comes back once the loop is over, so
    // the port is never released under a block in progress.
    if (acquisition_->Acquiring()) {
        acquisition_->CloseWhenStopped();
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmMainScreen::Form_Unload()
{
    if (unloaded_)
        return;
    unloaded_ = true;
    const CommandLineSwitches& commandLine = ctx.Options.Stored;
    const QRect outer = frameGeometry();
    const WindowPosition position{geometry_.ToTwipsX(outer.x()), geometry_.ToTwipsY(outer.y()),
                                  geometry_.ToTwipsX(outer.width()), geometry_.ToTwipsY(outer.height())};
    const bool saved = SaveStoredSettings(Store(), commandLine, position, ctx.CurrentSettings);
    const bool deleted = DeleteStoredSettings(Store(), commandLine);
    if (!saved || !deleted)
        ctx.Messages->ShowMessage({QStringLiteral("The settings store %1 could not be written:\r\n"
                                                  "the window position and configuration were not %2.")
                                       .arg(QDir::toNativeSeparators(Store().FileName()),
                                            saved ? QStringLiteral("deleted") : QStringLiteral("stored")),
                                   std::nullopt, MessageIcon::Exclamation, MessageButtons::Ok});
    menus_->CloseDialogs();
    acquisition_->Shutdown();
    if (ctx.Link.Port)
        ctx.Link.Port->ReleaseParallelPort(1);
}

void frmMainScreen::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

// Keeps the charts taking the free space when the window changes size.
void frmMainScreen::Form_Resize()
{
    if (isMinimized())
        return;
    // The window's outer size, frame included; the status bar below the charts counts as
    // part of the frame. A window too small for a step leaves the rest to the next
    // resize, and the steps already taken stay applied.
    const QRect outer = frameGeometry();
    const int statusBarHeight = statusBar()->isVisible() ? statusBar()->height() : 0;
    RunStep([&] {
        charts_->Fit(geometry_.ToTwipsX(outer.width()), geometry_.ToTwipsY(outer.height() - statusBarHeight),
                     acquisition_->Bottom());
    });
}
