// The stored window position and configuration, the other windows, and shut-down.
#include "display/main/frmMainScreen.h"

#include "config/ConfigFile.h"
#include "display/about/frmSplash.h"
#include "display/setup/frmSetup.h"
#include "display/widgets/FFTControl.h"
#include "display/widgets/StatusBox.h"
#include "display/widgets/SupplyButton.h"
#include "files/StoredSettings.h"
#include "files/WindowPlacement.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
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
    VEXMFFTControl1->UseSettingsStore(&Store().Store());
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
            QRect(Geometry.ToPixelsX(position->Left), Geometry.ToPixelsY(position->Top),
                  std::max(1, Geometry.ToPixelsX(position->Width)), std::max(1, Geometry.ToPixelsY(position->Height))),
            style()->pixelMetric(QStyle::PM_TitleBarHeight), screens);
        move(frame.topLeft());
        SetOuterSize(Geometry.ToTwipsX(frame.width()), Geometry.ToTwipsY(frame.height()));
    });
    ShowConfigurationStatus(ctx.CurrentSettings, *VEXMStatus2);
}

void frmMainScreen::closeEvent(QCloseEvent* event)
{
    // A close request during an acquisition (the window manager's close box while a
    // continuous run goes on) ends the run first and comes back once the loop is over, so
    // the port is never released under a block in progress.
    if (acquisitions_ > 0) {
        closeWaiting_ = true;
        acquisition_->Stop();
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
    const WindowPosition position{Geometry.ToTwipsX(outer.x()), Geometry.ToTwipsY(outer.y()),
                                  Geometry.ToTwipsX(outer.width()), Geometry.ToTwipsY(outer.height())};
    const bool saved = SaveStoredSettings(Store(), commandLine, position, ctx.CurrentSettings);
    const bool deleted = DeleteStoredSettings(Store(), commandLine);
    if (!saved || !deleted)
        ctx.Messages->ShowMessage({QStringLiteral("The settings store %1 could not be written:\r\n"
                                                  "the window position and configuration were not %2.")
                                       .arg(QDir::toNativeSeparators(Store().FileName()),
                                            saved ? QStringLiteral("deleted") : QStringLiteral("stored")),
                                   std::nullopt, MessageIcon::Exclamation, MessageButtons::Ok});
    if (setupDialog_)
        setupDialog_->done(QDialog::Rejected);
    if (aboutWindow_)
        aboutWindow_->close();
    acquisition_->Stop();
    acquisition_->Wait();
    if (ctx.Link.Port)
        ctx.Link.Port->ReleaseParallelPort(1);
}

frmSetup* frmMainScreen::SetupDialog() const { return setupDialog_; }

void frmMainScreen::mnuSetUP_Click()
{
    if (!BoardIdle())
        return;
    frmSetup dialog(session_, this);
    setupDialog_ = &dialog;
    connect(&dialog, &frmSetup::SampleCountChanged, this, [this] {
        SpansChanged = true;
        ClearHoldZoom();
    });
    dialog.exec();
}

void frmMainScreen::mnuAbout_Click()
{
    frmSplash about(AboutAnimationFrame, this);
    aboutWindow_ = &about;
    about.exec();
}
