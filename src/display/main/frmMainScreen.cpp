#include "display/main/frmMainScreen.h"

#include "display/main/ApplicationTitle.h"
#include "display/setup/frmSetup.h"
#include "display/widgets/SupplyButton.h"
#include "display/main/QtMessenger.h"
#include "display/main/WindowStateEcho.h"
#include "files/StoredSettings.h"
#include "display/widgets/FFTControl.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/StatusBox.h"
#include "display/widgets/StripChart.h"
#include "display/widgets/ToggleButton.h"
#include "engine/BoardSession.h"

#include <QAction>
#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QScopedValueRollback>

namespace {

// Swallows every key press and wheel turn over the display-mode box, so it changes only
// from its list.
class ListOnly : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject*, QEvent* e) override
    {
        return e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride
               || e->type() == QEvent::Wheel;
    }
};

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

QPushButton* MakeButton(const QString& text, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setAutoDefault(false);
    return b;
}

} // namespace

frmMainScreen::frmMainScreen(EvalContext& context, QWidget* parent)
    : QMainWindow(parent), Geometry(this), ctx(context), session_(context)
{
    setObjectName(QStringLiteral("frmMainScreen"));
    setCentralWidget(new QWidget(this));
    // The controls keep their design-time places and sizes, which were drawn for a small
    // 8-point dialog font.
    QFont small = centralWidget()->font();
    small.setPointSizeF(8);
    centralWidget()->setFont(small);
    CreateControls();
    CreateMenus();
    PlaceControls();
    ConnectHandlers();
    VEXMFFTControl1->AttachAnalyzer(session_.Analyzer());
    VEXMHistogram1->AttachAccumulator(session_.Histogram());

    // The session's acquisitions run on a thread of their own: what they tell the user
    // reaches the window's status box and message boxes on the window's thread.
    messenger_ = ctx.Messages;
    if (!messenger_) {
        ownMessenger_ = std::make_unique<QtMessenger>(this);
        messenger_ = ownMessenger_.get();
    }
    messageBridge_ = std::make_unique<CrossThreadMessenger>(*messenger_, *this);
    status1Bridge_ = std::make_unique<CrossThreadStatus>(*VEXMStatus1, *this);
    ctx.Messages = messageBridge_.get();
    ctx.Status1 = status1Bridge_.get();
    ctx.Status2 = VEXMStatus2;
    ctx.Listener = this;
    if (!ctx.Link.Wait) {
        ownWaiter_ = std::make_unique<SessionWaiter>();
        ctx.Link.Wait = ownWaiter_.get();
    }
    acquisition_ = new AcquisitionThread(session_, this);
    connect(acquisition_, &AcquisitionThread::BlockUploaded, this, &frmMainScreen::ShowBlock);
    connect(acquisition_, &AcquisitionThread::RunEnded, this, &frmMainScreen::EndAcquisition);
    drawTimer_.setSingleShot(true);
    drawTimer_.setInterval(16);
    connect(&drawTimer_, &QTimer::timeout, this, &frmMainScreen::DrawNewestBlock);
    WindowStateEcho::StartIfAsked(this);
    // Below this size the top row would be cut and the option column would run into the
    // cursor read-out and the FFT control.
    setMinimumSize(Geometry.ToPixelsX(9315), Geometry.ToPixelsY(6400) + statusBar()->sizeHint().height());
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

frmMainScreen::~frmMainScreen()
{
    acquisition_->Stop();
    acquisition_->Wait();
    if (ctx.Listener == this) {
        ctx.Messages = messenger_ == ownMessenger_.get() ? nullptr : messenger_;
        ctx.Listener = nullptr;
        ctx.Status1 = nullptr;
        ctx.Status2 = nullptr;
    }
    if (ctx.Link.Wait == ownWaiter_.get())
        ctx.Link.Wait = nullptr;
}

void frmMainScreen::CreateControls()
{
    QWidget* area = centralWidget();
    cmdSample = MakeButton(tr("Sample"), area);
    cmdContSample = MakeButton(tr("Cont Samp"), area);
    cmdStopSampling = MakeButton(tr("Stop Samp"), area);
    cmdReset = MakeButton(tr("Reset"), area);
    cmdPowerDown = MakeButton(tr("Power Down"), area);
    cmdPowerUp = MakeButton(tr("Power Up"), area);
    Command2 = MakeButton(tr("Unused"), area);
    cmdQuit = MakeButton(tr("Quit"), area);

    VEXMStatus2 = new StatusBox(area);
    VEXMStatus1 = new StatusBox(area);
    ToggleButton1 = new ToggleButton(area);

    picMaxMinBox = new QFrame(area);
    picMaxMinBox->setFrameShape(QFrame::StyledPanel);
    auto* maxCaption = new QLabel(tr("Max:"), picMaxMinBox);
    auto* minCaption = new QLabel(tr("Min:"), picMaxMinBox);
    lblMax = new QLabel(QStringLiteral("0"), picMaxMinBox);
    lblMin = new QLabel(QStringLiteral("0"), picMaxMinBox);
    auto* grid = new QGridLayout(picMaxMinBox);
    grid->setContentsMargins(4, 1, 4, 1);
    grid->setVerticalSpacing(0);
    grid->addWidget(maxCaption, 0, 0);
    grid->addWidget(lblMax, 0, 1);
    grid->addWidget(minCaption, 1, 0);
    grid->addWidget(lblMin, 1, 1);
    grid->setColumnStretch(1, 1);
    lblMax->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblMin->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    cboDisplayMode = new QComboBox(area);
    cboDisplayMode->installEventFilter(new ListOnly(cboDisplayMode));
    cboDisplayMode->addItems({tr("Integers"), tr("Volts")});
    chkVGrid = new QCheckBox(tr("Vertical Grid"), area);
    chkHGrid = new QCheckBox(tr("Horizontal Grid"), area);
    chkHoldZoom = new QCheckBox(tr("Hold Zoom"), area);
    chkTickPoints = new QCheckBox(tr("Tick Data Points"), area);
    chkZoomHandles = new QCheckBox(tr("Zoom Handles"), area);

    lblCursorInfo = new QLabel(area);
    lblCursorInfo->setFrameShape(QFrame::StyledPanel);
    lblCursorInfo->setAutoFillBackground(true);
    lblCursorInfo->setVisible(false);

    stripDSO = new StripChart(area);
    StripFFT = new StripChart(area);
    stripDSO->SetAxisLabels(tr("Sample"), tr("Code"));
    StripFFT->SetAxisLabels(tr("Bin"), tr("dBFS"));
    VEXMFFTControl1 = new FFTControl(area);
    VEXMHistogram1 = new HistogramControl(area);
    VEXMHistogram1->setVisible(false);

    // Zoom is explained where the user looks: on the charts, the option and the status bar.
    const QString chartTip = tr("Press and drag to read the values under the cursor.\n"
                                "To zoom in: tick Zoom Handles, drag the dashed handles around the part "
                                "to see, then double-click the chart.\n"
                                "Back to the whole trace: Full View below, or right-click the chart.");
    stripDSO->setToolTip(chartTip);
    StripFFT->setToolTip(chartTip);
    chkZoomHandles->setToolTip(tr("Shows the dashed handles that mark the part of a chart to zoom in to."));
    lblZoomHint = new QLabel(this);
    statusBar()->addWidget(lblZoomHint, 1);
    // A status line the box cuts off is repeated whole in the status bar.
    for (StatusBox* box : {VEXMStatus1, VEXMStatus2})
        connect(box, &StatusBox::LineCut, this, [this](const QString& text) { statusBar()->showMessage(text, 15000); });
    cmdFullView = new QPushButton(tr("Full View"), this);
    cmdFullView->setToolTip(tr("Shows the whole trace on both charts again."));
    statusBar()->addPermanentWidget(cmdFullView);
    ShowZoomHint();

    // Start-up states: no board program yet, grids on, the FFT view in front.
    for (QPushButton* b : {cmdSample, cmdContSample, cmdStopSampling, cmdPowerDown, cmdPowerUp, Command2})
        b->setEnabled(false);
    chkHGrid->setChecked(true);
    chkVGrid->setChecked(true);
    chkHoldZoom->setEnabled(false);
    cboDisplayMode->setEnabled(false);
}

void frmMainScreen::PlaceControls()
{
    const double tops[] = {0, 360, 720, 1080};
    QPushButton* left[] = {cmdSample, cmdContSample, cmdStopSampling, cmdReset};
    QPushButton* right[] = {cmdPowerDown, cmdPowerUp, Command2, cmdQuit};
    for (int i = 0; i < 4; ++i) {
        Geometry.Place(left[i], 60, tops[i], 1095, 360);
        Geometry.Place(right[i], 1150, tops[i], 1095, 360);
    }
    Geometry.Place(VEXMStatus2, 2400, 0, 2415, 1470);
    Geometry.Place(VEXMStatus1, 4920, 0, 2415, 1470);
    Geometry.Place(ToggleButton1, 7500, 60, 1755, 315);
    // The max/min box and the option column take the full column width, so codes of any
    // size and the option texts are not clipped.
    Geometry.Place(picMaxMinBox, 7500, 420, 1755, 435);
    Geometry.Place(cboDisplayMode, 7560, 1560, 1335, 315);
    Geometry.Place(chkVGrid, 7560, 1980, 1755, 240);
    Geometry.Place(chkHGrid, 7560, 2220, 1755, 240);
    Geometry.Place(chkHoldZoom, 7560, 2460, 1755, 240);
    Geometry.Place(chkTickPoints, 7560, 2700, 1755, 240);
    Geometry.Place(chkZoomHandles, 7560, 2940, 1755, 240);
    Geometry.Place(lblCursorInfo, 7500, 3660, 1755, 435);
    Geometry.Place(stripDSO, 60, 1560, 7395, 2535);
    Geometry.Place(StripFFT, 120, 4080, 7335, 2295);
    Geometry.Place(VEXMFFTControl1, 7500, 4140, 1755, 2235);
    Geometry.Place(VEXMHistogram1, 360, 6480, 9135, 1515);
}

void frmMainScreen::ConnectHandlers()
{
    connect(cmdSample, &QPushButton::clicked, this, &frmMainScreen::cmdSample_Click);
    connect(cmdContSample, &QPushButton::clicked, this, &frmMainScreen::cmdContSample_Click);
    connect(cmdStopSampling, &QPushButton::clicked, this, &frmMainScreen::cmdStopSampling_Click);
    connect(cmdPowerDown, &QPushButton::clicked, this, &frmMainScreen::cmdPowerDown_Click);
    connect(cmdPowerUp, &QPushButton::clicked, this, &frmMainScreen::cmdPowerUp_Click);
    connect(cmdReset, &QPushButton::clicked, this, &frmMainScreen::cmdReset_Click);
    connect(cmdQuit, &QPushButton::clicked, this, &frmMainScreen::cmdQuit_Click);
    connect(cboDisplayMode, &QComboBox::currentIndexChanged, this, [this] {
        if (!adjustingDisplayMode_)
            cboDisplayMode_Click();
    });
    // Programmatic changes run the handlers as well, as the board reset relies on.
    connect(chkHoldZoom, &QCheckBox::toggled, this, &frmMainScreen::chkHoldZoom_Click);
    connect(chkHGrid, &QCheckBox::toggled, this, &frmMainScreen::chkHGrid_Click);
    connect(chkVGrid, &QCheckBox::toggled, this, &frmMainScreen::chkVGrid_Click);
    connect(chkTickPoints, &QCheckBox::toggled, this, &frmMainScreen::chkTickPoints_Click);
    connect(chkZoomHandles, &QCheckBox::toggled, this, &frmMainScreen::chkZoomHandles_Click);
    connect(ToggleButton1, &ToggleButton::Click, this, &frmMainScreen::ToggleButton1_Click);
    connect(VEXMFFTControl1, &FFTControl::BHWindow, this, &frmMainScreen::VEXMFFTControl1_BHWindow);
    VEXMFFTControl1->AttachChart(StripFFT);   // harmonic markers on the spectrum
    connect(stripDSO, &StripChart::CursorChange, this, &frmMainScreen::stripDSO_CursorChange);
    connect(StripFFT, &StripChart::CursorChange, this, &frmMainScreen::StripFFT_CursorChange);
    connect(stripDSO, &StripChart::MouseUp, this, &frmMainScreen::Chart_MouseUp);
    connect(StripFFT, &StripChart::MouseUp, this, &frmMainScreen::Chart_MouseUp);
    connect(stripDSO, &StripChart::ZoomChanged, this, &frmMainScreen::ShowZoomHint);
    connect(StripFFT, &StripChart::ZoomChanged, this, &frmMainScreen::ShowZoomHint);
    connect(cmdFullView, &QPushButton::clicked, this, [this] {
        stripDSO->FullView();
        StripFFT->FullView();
    });
}

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

    RunStep([&] {
        Geometry.SetTop(VEXMHistogram1, Geometry.Top(StripFFT));
        Geometry.SetLeft(VEXMHistogram1, Geometry.Left(StripFFT));
    });

    LoadStoredSettingsStep();
}

std::int32_t frmMainScreen::BlockLength() const
{
    return ctx.BlockLength();
}

void frmMainScreen::SetBoardButtonsEnabled(bool enabled)
{
    for (QPushButton* b : {cmdContSample, cmdSample, cmdPowerDown, cmdPowerUp})
        b->setEnabled(enabled);
}

void frmMainScreen::PortClaimed(std::int16_t address)
{
    // Only the menu entry of the claimed port stays available.
    constexpr std::int16_t kLpt1 = 888, kLpt2 = 632, kPrn = 956;
    const std::pair<std::int16_t, QAction*> entries[] = {{kLpt1, mnuLPT1}, {kLpt2, mnuLPT2}, {kPrn, mnuPRN}};
    if (std::none_of(std::begin(entries), std::end(entries), [&](const auto& e) { return e.first == address; }))
        return;
    for (const auto& [entryAddress, action] : entries)
        if (entryAddress != address)
            action->setEnabled(false);
}

void frmMainScreen::ResetBegun()
{
    cboDisplayMode->setEnabled(false);
    chkHoldZoom->setEnabled(false);
    ClearHoldZoom();
}

void frmMainScreen::SupplyLatchShown(int value)
{
    if (setupDialog_)
        setupDialog_->ECBButton1->SetSupplyLatchValue(value);
}

void frmMainScreen::ResetEnded(bool answered)
{
    if (!answered)
        return;
    SetBoardButtonsEnabled(false);
    cmdStopSampling->setEnabled(false);
}

void frmMainScreen::ProgramLoaded(bool loaded) { SetBoardButtonsEnabled(loaded); }

void frmMainScreen::ClearHoldZoom()
{
    chkHoldZoom->setChecked(false);
    HoldZoom = false;
}

void frmMainScreen::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    Form_Resize();
}

void frmMainScreen::SetOuterSize(double widthTwips, double heightTwips)
{
    outerSize_ = QSize(Geometry.ToPixelsX(widthTwips), Geometry.ToPixelsY(heightTwips));
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
