// The stored window position and configuration, the other windows, and shut-down.
#include "display/main/frmMainScreen.h"

#include "config/ConfigFile.h"
#include "display/about/frmSplash.h"
#include "display/setup/frmSetup.h"
#include "display/widgets/StatusBox.h"
#include "display/widgets/SupplyButton.h"
#include "files/StoredSettings.h"

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
    const std::optional<WindowPosition> position =
        LoadStoredSettings(Store(), ctx.UpperCommandLine(), ctx.CurrentSettings);
    if (!position)
        return;
    RunStep([&] {
        move(Geometry.ToPixelsX(position->Left), Geometry.ToPixelsY(position->Top));
        resize(std::max(1, Geometry.ToPixelsX(position->Width)), std::max(1, Geometry.ToPixelsY(position->Height)));
    });
    VEXMStatus2->SetDisplay(true);
    ShowConfigurationStatus(ctx.CurrentSettings, *VEXMStatus2);
}

frmMainScreen::AcquisitionScope::AcquisitionScope(frmMainScreen* window) : window_(window)
{
    ++window_->acquisitions_;
}

frmMainScreen::AcquisitionScope::~AcquisitionScope()
{
    if (--window_->acquisitions_ == 0 && window_->closeWaiting_)
        QTimer::singleShot(0, window_, &QWidget::close);
}

void frmMainScreen::closeEvent(QCloseEvent* event)
{
    // A close request during an acquisition (the window manager's close box while a
    // continuous run goes on) ends the run first and comes back once the loop is over, so
    // the port is never released under a block in progress.
    if (acquisitions_ > 0) {
        closeWaiting_ = true;
        ctx.ContinuousSampling = false;
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
    const QString commandLine = ctx.UpperCommandLine();
    const WindowPosition position{Geometry.ToTwipsX(x()), Geometry.ToTwipsY(y()),
                                  Geometry.ToTwipsX(width()), Geometry.ToTwipsY(height())};
    SaveStoredSettings(Store(), commandLine, position, ctx.CurrentSettings);
    DeleteStoredSettings(Store(), commandLine);
    if (setupDialog_)
        setupDialog_->done(QDialog::Rejected);
    if (aboutWindow_)
        aboutWindow_->close();
    ctx.ContinuousSampling = false;
    if (ctx.Port)
        ctx.Port->ReleaseParallelPort(1);
}

void frmMainScreen::mnuSetUP_Click()
{
    frmSetup dialog(ctx, this);
    setupDialog_ = &dialog;
    dialog.exec();
}

void frmMainScreen::SetSupplyLatchValue(int value)
{
    if (setupDialog_)
        setupDialog_->ECBButton1->SetSupplyLatchValue(value);
}

void frmMainScreen::mnuAbout_Click()
{
    frmSplash about(AboutAnimationFrame, this);
    aboutWindow_ = &about;
    about.exec();
}
