#include "display/main/DataFileMenus.h"

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "display/charts/ChartExport.h"
#include "display/main/ChartViews.h"
#include "display/main/QtFileChooser.h"
#include "engine/BoardSession.h"
#include "engine/WaveformScaling.h"
#include "engine/DataFileFlows.h"
#include "engine/LoadedBlock.h"
#include "files/BinaryExport.h"
#include "files/RawDataFile.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {
// Used when a chart has not been laid out yet.
constexpr QSize FallbackSize{800, 400};
}

DataFileMenus::DataFileMenus(EvalContext& context, BoardSession& session, ChartViews& charts, QWidget& window)
    : QObject(&window), ctx(context), session_(session), charts_(charts), window_(window)
{
}

DataFileMenus::~DataFileMenus() = default;

FileChooser& DataFileMenus::Files()
{
    if (chooser_)
        return *chooser_;
    if (!ownChooser_)
        ownChooser_ = std::make_unique<QtFileChooser>(&window_);
    return *ownChooser_;
}

void DataFileMenus::ShowDataFileError(int shownNumber, int recordedNumber, const QString& what)
{
    ctx.Messages->ShowMessage(DataFileErrorMessage(shownNumber, recordedNumber, what));
}

bool DataFileMenus::ShowNoDataToSave(bool hasData)
{
    if (!hasData)
        ctx.Messages->ShowMessage({QStringLiteral("There is no data to save."), QString(""),
                                   MessageIcon::Information, MessageButtons::Ok});
    return !hasData;
}

void DataFileMenus::LoadRawData()
{
    Settings& s = ctx.CurrentSettings;
    if (LoadRawDataFile(Files(), *ctx.Messages, *ctx.Status1, s, ctx.SampleCodes) != 0)
        return;

    int recorded = RunStep([&] {
        charts_.SelectCodes();
        charts_.SetDisplayModeEnabled(false);
    });
    if (int e = RunStep([&] {
            charts_.PlotWaveform(ctx.SampleCodes, ToInt16(double(ctx.SampleCodes.size())), s.MaxValue, s.MinValue);
        }))
        recorded = e;
    if (recorded) {
        ShowDataFileError(530, 530, QStringLiteral("attempting to graph data"));
        return;
    }

    // A loaded block has no sample rate of its own: its spectrum reads in bins.
    if (int e = AnalyseLoadedBlock(session_))
        recorded = e;
    RunStep([&] { charts_.ShowSpectrumAnalysis(std::nullopt); });
    if (recorded) {
        ShowDataFileError(531, recorded, QStringLiteral("calculating FFT"));
        return;
    }

    if (RunStep([&] { charts_.PlotSpectrum(ctx.Spectrum, ToInt16(double(ctx.Spectrum.size()))); })) {
        ShowDataFileError(532, 532, QStringLiteral("attempting to graph FFT"));
        return;
    }

    if (int e = AddLoadedBlockToHistogram(session_)) {
        ShowDataFileError(533, e, QStringLiteral("calculating Histogram"));
        return;
    }

    RunStep([&] { charts_.ShowHistogram(); });
    ctx.Status1->AddLine(DataSamplesReadLine(s));
    charts_.SetBlockOptionsEnabled(true);
}

void DataFileMenus::LoadFFTData()
{
    if (LoadFFTFile(Files(), *ctx.Messages, *ctx.Status1, ctx.CurrentSettings, ctx.Spectrum) != 0)
        return;
    RunStep([&] {
        const std::int16_t n = ToInt16(double(ctx.Spectrum.size()));
        charts_.PlotSpectrum(ctx.Spectrum, n);
        ctx.Status1->AddLine(FftSamplesReadLine(n));
    });
}

void DataFileMenus::SaveRawData()
{
    if (ShowNoDataToSave(!ctx.SampleCodes.empty()))
        return;
    // A block too long for the 16-bit count is not saved.
    RunStep([&] {
        const std::int16_t n = ToInt16(::BlockLength(ctx.CurrentSettings.NumberOfSamples));
        SaveDataFile(Files(), *ctx.Messages, *ctx.Status1, ctx.SampleCodes, n);
    });
}

void DataFileMenus::SaveFFTData()
{
    if (ShowNoDataToSave(!ctx.Spectrum.empty()))
        return;
    RunStep([&] {
        const std::int16_t bins = ToInt16(::BlockLength(ctx.CurrentSettings.NumberOfSamples) / 2);
        SaveDataFile(Files(), *ctx.Messages, *ctx.Status1, ctx.Spectrum, bins);
    });
}

void DataFileMenus::SaveBinary()
{
    if (ShowNoDataToSave(!ctx.SampleCodes.empty()))
        return;
    RunStep([&] {
        const std::int32_t n = ToInt32(::BlockLength(ctx.CurrentSettings.NumberOfSamples));
        SaveBinaryFile(Files(), *ctx.Messages, *ctx.Status1, ctx.SampleCodes, n);
    });
}

void DataFileMenus::ExportChart(QWidget* chart)
{
    const std::optional<QString> path = Files().ChooseFile(
        {tr("Export Chart"),
         QStringLiteral("PNG Image|*.png|PDF Document|*.pdf|SVG Drawing|*.svg|CSV Data|*.csv"), true, true});
    if (!path)
        return;
    std::optional<QString> error = tr("Choose a file name ending in .png, .pdf, .svg or .csv: %1").arg(*path);
    if (const std::optional<ChartFormat> format = ChartFormatFromPath(*path)) {
        const QSize size = chart->size().isEmpty() ? FallbackSize : chart->size();
        error = ::ExportChart(chart, *path, size, *format);
    }
    if (error)
        ctx.Messages->ShowMessage({*error, tr("Export Chart"), MessageIcon::Exclamation, MessageButtons::Ok});
    else
        ctx.Status1->AddLine(tr("Chart written to %1").arg(*path));
}

void DataFileMenus::CopyMetrics()
{
    QGuiApplication::clipboard()->setText(charts_.MetricsTable());
    ctx.Status1->AddLine(tr("Metrics copied to the clipboard"));
}
