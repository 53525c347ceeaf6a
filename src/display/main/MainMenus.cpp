#include "display/main/MainMenus.h"

#include "display/about/frmSplash.h"
#include "display/main/AcquisitionControls.h"
#include "display/main/ChartViews.h"
#include "display/main/DataFileMenus.h"
#include "display/setup/frmSetup.h"
#include "engine/EvalContext.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

namespace {

QAction* AddAction(QMenu* menu, const QString& text, const char* name)
{
    QAction* a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    return a;
}

} // namespace

MainMenus::MainMenus(EvalContext& context, BoardSession& session, AcquisitionControls& acquisition,
                     ChartViews& charts, DataFileMenus& files, QMainWindow& window)
    : QObject(&window), ctx(context), session_(session), acquisition_(acquisition), charts_(charts), files_(files),
      window_(window)
{
    CreateFileMenu();

    QMenu* port = window.menuBar()->addMenu(tr("&Printer Port"));
    mnuLPT1 = AddAction(port, QStringLiteral("LPT1"), "mnuLPT1");
    mnuLPT2 = AddAction(port, QStringLiteral("LPT2"), "mnuLPT2");
    mnuPRN = AddAction(port, QStringLiteral("PRN"), "mnuPRN");
    for (QAction* a : {mnuLPT1, mnuLPT2, mnuPRN})
        a->setCheckable(true);
    mnuLPT1->setChecked(true);
    connect(mnuLPT1, &QAction::triggered, this, [this] { SetPortChoice(888, mnuLPT1); });
    connect(mnuLPT2, &QAction::triggered, this, [this] { SetPortChoice(632, mnuLPT2); });
    connect(mnuPRN, &QAction::triggered, this, [this] { SetPortChoice(956, mnuPRN); });

    QMenu* help = window.menuBar()->addMenu(tr("&Help"));
    connect(AddAction(help, tr("Abou&t"), "mnuAbout"), &QAction::triggered, this, &MainMenus::OpenAbout);
}

void MainMenus::CreateFileMenu()
{
    QMenu* file = window_.menuBar()->addMenu(tr("&File"));
    mnuSetup = AddAction(file, tr("S&etup Menu"), "mnuSetup");
    LoadEXE = AddAction(file, tr("&Load Program"), "LoadEXE");
    LoadEXE->setEnabled(false);
    file->addSeparator();
    mnuLoadRawData = AddAction(file, tr("&Load Raw Data"), "mnuLoadRawData");
    mnuLoadFFTData = AddAction(file, tr("Load FFT Data"), "mnuLoadFFTData");
    mnuLoadFFTData->setEnabled(false);
    QAction* saveRaw = AddAction(file, tr("&Save Raw Data"), "SaveRawData");
    QAction* saveBinary = AddAction(file, tr("Save &Binary Data"), "mnuSaveBinary");
    QAction* saveFft = AddAction(file, tr("S&ave FFT Data"), "SaveFFTData");
    QAction* exit = AddAction(file, tr("E&xit"), "ExitProgram");

    connect(mnuSetup, &QAction::triggered, this, &MainMenus::OpenSetup);
    connect(mnuLoadRawData, &QAction::triggered, &files_, &DataFileMenus::LoadRawData);
    connect(mnuLoadFFTData, &QAction::triggered, &files_, &DataFileMenus::LoadFFTData);
    connect(saveRaw, &QAction::triggered, &files_, &DataFileMenus::SaveRawData);
    connect(saveBinary, &QAction::triggered, &files_, &DataFileMenus::SaveBinary);
    connect(saveFft, &QAction::triggered, &files_, &DataFileMenus::SaveFFTData);
    connect(exit, &QAction::triggered, this, &MainMenus::ExitRequested);

    // Added to the documented tree: File > Export Chart writes a chart as a picture or as
    // its data, and Edit > Copy puts the FFT panel's metrics on the clipboard.
    file->addSeparator();
    QMenu* exportMenu = file->addMenu(tr("Export &Chart"));
    connect(AddAction(exportMenu, tr("&Waveform..."), "mnuExportWaveform"), &QAction::triggered, this,
            [this] { files_.ExportChart(charts_.WaveformChart()); });
    connect(AddAction(exportMenu, tr("&Spectrum..."), "mnuExportSpectrum"), &QAction::triggered, this,
            [this] { files_.ExportChart(charts_.SpectrumChart()); });
    connect(AddAction(exportMenu, tr("&Histogram..."), "mnuExportHistogram"), &QAction::triggered, this,
            [this] { files_.ExportChart(charts_.HistogramChart()); });
    QMenu* edit = window_.menuBar()->addMenu(tr("&Edit"));
    QAction* copy = AddAction(edit, tr("&Copy"), "mnuCopy");
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, &files_, &DataFileMenus::CopyMetrics);
}

std::vector<QAction*> MainMenus::BoardEntries() const
{
    return {mnuSetup, LoadEXE, mnuLoadRawData, mnuLoadFFTData, mnuLPT1, mnuLPT2, mnuPRN};
}

void MainMenus::PortClaimed(std::int16_t address)
{
    constexpr std::int16_t kLpt1 = 888, kLpt2 = 632, kPrn = 956;
    const std::pair<std::int16_t, QAction*> entries[] = {{kLpt1, mnuLPT1}, {kLpt2, mnuLPT2}, {kPrn, mnuPRN}};
    if (std::none_of(std::begin(entries), std::end(entries), [&](const auto& e) { return e.first == address; }))
        return;
    for (const auto& [entryAddress, action] : entries)
        if (entryAddress != address)
            action->setEnabled(false);
}

void MainMenus::SetPortChoice(std::int16_t address, QAction* checked)
{
    if (!acquisition_.BoardIdle())
        return;
    ctx.Link.PortBaseAddress = address;
    for (QAction* a : {mnuLPT1, mnuLPT2, mnuPRN})
        a->setChecked(a == checked);
}

void MainMenus::OpenSetup()
{
    if (!acquisition_.BoardIdle())
        return;
    frmSetup dialog(session_, &window_);
    setupDialog_ = &dialog;
    connect(&dialog, &frmSetup::SampleCountChanged, &charts_, &ChartViews::BlockLengthChanged);
    dialog.exec();
}

void MainMenus::OpenAbout()
{
    frmSplash about(AboutAnimationFrame, &window_);
    aboutWindow_ = &about;
    about.exec();
}

frmSetup* MainMenus::SetupDialog() const { return setupDialog_; }

void MainMenus::CloseDialogs()
{
    if (setupDialog_)
        setupDialog_->done(QDialog::Rejected);
    if (aboutWindow_)
        aboutWindow_->close();
}
