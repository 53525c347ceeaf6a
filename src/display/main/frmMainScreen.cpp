#include "display/main/frmMainScreen.h"

#include "display/main/AcquisitionControls.h"
#include "display/main/ApplicationTitle.h"
#include "display/main/ChartViews.h"
#include "display/main/DataFileMenus.h"
#include "display/main/MainMenus.h"
#include "display/main/QtMessenger.h"
#include "display/main/WindowStateEcho.h"
#include "display/setup/frmSetup.h"
#include "display/widgets/StatusBox.h"
#include "display/widgets/SupplyButton.h"
#include "engine/SessionWaiter.h"
#include "files/StoredSettings.h"

#include <QScreen>
#include <QScopedValueRollback>
#include <QStatusBar>

namespace {

// Records messages instead of showing them, answering OK.
class HeldMessages : public Messenger {
public:
    MessageResult ShowMessage(const MessageRequest& request) override
    {
        held.push_back(request);
        return MessageResult::Ok;
    }
    std::vector<MessageRequest> held;
};

} // namespace

frmMainScreen::frmMainScreen(EvalContext& context, QWidget* parent)
    : QMainWindow(parent), ctx(context), geometry_(this), session_(context)
{
    setObjectName(QStringLiteral("frmMainScreen"));
    setCentralWidget(new QWidget(this));
    // The controls keep their design-time places and sizes, which were drawn for a small
    // 8-point dialog font.
    QFont small = centralWidget()->font();
    small.setPointSizeF(8);
    centralWidget()->setFont(small);

    // Created in the order the keyboard focus goes round: buttons, status boxes, charts.
    charts_ = new ChartViews(ctx, session_, geometry_, *this);
    acquisition_ = new AcquisitionControls(ctx, session_, *charts_, geometry_, *this);
    VEXMStatus2 = new StatusBox(centralWidget());
    VEXMStatus2->setObjectName(QStringLiteral("VEXMStatus2"));
    VEXMStatus1 = new StatusBox(centralWidget());
    VEXMStatus1->setObjectName(QStringLiteral("VEXMStatus1"));
    charts_->CreateControls(*this);
    // A status line the box cuts off is repeated whole in the status bar.
    for (StatusBox* box : {VEXMStatus1, VEXMStatus2})
        connect(box, &StatusBox::LineCut, this, [this](const QString& text) { statusBar()->showMessage(text, 15000); });
    files_ = new DataFileMenus(ctx, session_, *charts_, *this);
    menus_ = new MainMenus(ctx, session_, *acquisition_, *charts_, *files_, *this);
    acquisition_->HoldDuringRuns(menus_->BoardEntries());
    connect(acquisition_, &AcquisitionControls::CloseRequested, this, &QWidget::close);
    connect(menus_, &MainMenus::ExitRequested, this, &QWidget::close);

    acquisition_->Place();
    geometry_.Place(VEXMStatus2, 2400, 0, 2415, 1470);
    geometry_.Place(VEXMStatus1, 4920, 0, 2415, 1470);
    charts_->Place();
    InstallSessionServices();
    WindowStateEcho::StartIfAsked(this);
    // Below this size the top row would be cut and the option column would run into the
    // cursor read-out and the FFT control.
    setMinimumSize(geometry_.ToPixelsX(9315), geometry_.ToPixelsY(6400) + statusBar()->sizeHint().height());
    frameWatch_.setInterval(25);
    connect(&frameWatch_, &QTimer::timeout, this, [this, ticks = 0]() mutable {
        // A size set since (by the user or the program) stands.
        if (size() != outerSizeApplied_ || frameGeometry().size() != size() || ++ticks > 80) {
            frameWatch_.stop();
            if (size() == outerSizeApplied_)
                ApplyOuterSize();
            outerSizePending_ = false;
        }
    });
    SetOuterSize(15000, 10800);
}

// What the session tells the user goes to the window's message boxes and status boxes; the
// engine's run takes it there from the acquisition thread.
void frmMainScreen::InstallSessionServices()
{
    messenger_ = ctx.Messages;
    if (!messenger_) {
        ownMessenger_ = std::make_unique<QtMessenger>(this);
        messenger_ = ownMessenger_.get();
    }
    ctx.Messages = messenger_;
    ctx.Status1 = VEXMStatus1;
    ctx.Status2 = VEXMStatus2;
    ctx.Listener = this;
    if (!ctx.Link.Wait) {
        ownWaiter_ = std::make_unique<SessionWaiter>();
        ctx.Link.Wait = ownWaiter_.get();
    }
    acquisition_->AttachRun();
}

frmMainScreen::~frmMainScreen()
{
    acquisition_->Shutdown();
    if (ctx.Listener == this) {
        ctx.Messages = messenger_ == ownMessenger_.get() ? nullptr : messenger_;
        ctx.Listener = nullptr;
        ctx.Status1 = nullptr;
        ctx.Status2 = nullptr;
    }
    if (ctx.Link.Wait == ownWaiter_.get())
        ctx.Link.Wait = nullptr;
}

void frmMainScreen::SetFileChooser(FileChooser* chooser) { files_->SetFileChooser(chooser); }

void frmMainScreen::Form_Load()
{
    // The start-up's messages (the "/SS" status box) wait until the window is on screen.
    {
        HeldMessages held;
        const QScopedValueRollback<Messenger*> restore(ctx.Messages, &held);
        session_.StartUp();
        startupMessages_ = std::move(held.held);
    }

    // Centred by its outer size, frame included.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - outerSize_.width()) / 2,
             area.y() + (area.height() - outerSize_.height()) / 2);
    }
    setWindowTitle(kApplicationTitle);

    VEXMStatus2->SetDisplay(true);
    VEXMStatus2->AddLine(QStringLiteral("Configuration:"), Colour::Blue);
    VEXMStatus2->AddLine(QStringLiteral("Part: Not Setup"));
    VEXMStatus2->AddLine(QStringLiteral("Program: None"));
    VEXMStatus2->AddLine(QStringLiteral("Bits:"));
    VEXMStatus2->AddLine(QStringLiteral("Code:"));

    RunStep([&] { charts_->PlaceHistogramUnderSpectrum(); });

    LoadStoredSettingsStep();
}

void frmMainScreen::PortClaimed(std::int16_t address) { menus_->PortClaimed(address); }

void frmMainScreen::ResetBegun() { charts_->BoardReset(); }

void frmMainScreen::SupplyLatchShown(int value)
{
    if (frmSetup* setup = menus_->SetupDialog())
        setup->ECBButton1->SetSupplyLatchValue(value);
}

void frmMainScreen::ResetEnded(bool answered)
{
    if (answered)
        acquisition_->ResetEnded();
}

void frmMainScreen::ProgramLoaded(bool loaded) { acquisition_->SetBoardButtonsEnabled(loaded); }

void frmMainScreen::SetOuterSize(double widthTwips, double heightTwips)
{
    outerSize_ = QSize(geometry_.ToPixelsX(widthTwips), geometry_.ToPixelsY(heightTwips));
    ApplyOuterSize();
    outerSizePending_ = frameGeometry().size() == size();
}

void frmMainScreen::ApplyOuterSize()
{
    resize(outerSize_ - (frameGeometry().size() - size()));
    outerSizeApplied_ = size();
}

void frmMainScreen::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (outerSizePending_)
        frameWatch_.start();
    if (!startupMessages_.empty())
        QTimer::singleShot(0, this, &frmMainScreen::ShowStartupMessages);
}

void frmMainScreen::ShowStartupMessages()
{
    const std::vector<MessageRequest> messages = std::move(startupMessages_);
    startupMessages_.clear();
    for (const MessageRequest& m : messages)
        ctx.Messages->ShowMessage(m);
}
