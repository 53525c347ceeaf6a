// Menus added to the documented tree: File > Export Chart writes a chart as a picture or
// as its data, and Edit > Copy puts the FFT panel's metrics on the clipboard.
#include "display/main/frmMainScreen.h"

#include "display/widgets/ChartExport.h"
#include "display/widgets/FFTControl.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/ReadoutGrid.h"
#include "display/widgets/StatusBox.h"
#include "display/widgets/StripChart.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>

namespace {
// Used when a chart has not been laid out yet.
constexpr QSize FallbackSize{800, 400};
}

void frmMainScreen::CreateChartMenus(QMenu* file)
{
    file->addSeparator();
    QMenu* exportMenu = file->addMenu(tr("Export &Chart"));
    mnuExportWaveform = exportMenu->addAction(tr("&Waveform..."));
    mnuExportSpectrum = exportMenu->addAction(tr("&Spectrum..."));
    mnuExportHistogram = exportMenu->addAction(tr("&Histogram..."));
    connect(mnuExportWaveform, &QAction::triggered, this, [this] { ExportChart_Click(stripDSO); });
    connect(mnuExportSpectrum, &QAction::triggered, this, [this] { ExportChart_Click(StripFFT); });
    connect(mnuExportHistogram, &QAction::triggered, this, [this] {
        VEXMHistogram1->BringUpToDate();
        ExportChart_Click(VEXMHistogram1);
    });

    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    mnuCopy = edit->addAction(tr("&Copy"));
    mnuCopy->setShortcut(QKeySequence::Copy);
    connect(mnuCopy, &QAction::triggered, this, &frmMainScreen::mnuCopy_Click);
}

void frmMainScreen::ExportChart_Click(QWidget* chart)
{
    const std::optional<QString> path = Files().ChooseFile(
        {tr("Export Chart"),
         QStringLiteral("PNG Image|*.png|PDF Document|*.pdf|SVG Drawing|*.svg|CSV Data|*.csv"), true, true});
    if (!path)
        return;
    std::optional<QString> error = tr("Choose a file name ending in .png, .pdf, .svg or .csv: %1").arg(*path);
    if (const std::optional<ChartFormat> format = ChartFormatFromPath(*path)) {
        const QSize size = chart->size().isEmpty() ? FallbackSize : chart->size();
        error = ExportChart(chart, *path, size, *format);
    }
    if (error)
        ctx.Messages->ShowMessage({*error, tr("Export Chart"), MessageIcon::Exclamation, MessageButtons::Ok});
    else
        VEXMStatus1->AddLine(tr("Chart written to %1").arg(*path));
}

void frmMainScreen::mnuCopy_Click()
{
    QGuiApplication::clipboard()->setText(VEXMFFTControl1->findChild<ReadoutGrid*>()->TabSeparated());
    VEXMStatus1->AddLine(tr("Metrics copied to the clipboard"));
}
