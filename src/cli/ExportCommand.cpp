// kv2680 export: a saved block as binary text, as CSV of a view, or as a chart image.
#include "cli/BlockFiles.h"
#include "cli/Commands.h"

#include "engine/AcquisitionEngine.h"
#include "files/BinaryExport.h"
#include "files/DataFileIo.h"

#include <QDir>
#include <QFileInfo>
#include <iostream>

namespace {

// The x and y series of a view, as the window plots them, with their CSV header.
struct ViewSeries {
    QString header;
    std::vector<double> x, y;
};

ViewSeries SeriesOf(const QString& view, const AcquisitionEngine& engine, const EvalContext& ctx,
                    std::int32_t rate)
{
    ViewSeries s;
    if (view == QLatin1String("spectrum")) {
        s.header = rate > 0 ? QStringLiteral("frequency_hz,level_dbfs") : QStringLiteral("bin,level_dbfs");
        const double step = rate > 0 ? double(rate) / double(ctx.SampleCodes.size()) : 1.0;
        for (std::size_t k = 0; k < ctx.Spectrum.size(); ++k) {
            s.x.push_back(double(k) * step);
            s.y.push_back(ctx.Spectrum[k]);
        }
    } else if (view == QLatin1String("histogram")) {
        s.header = QStringLiteral("code,count");
        const CodeHistogram& h = engine.Histogram();
        for (std::size_t i = 0; i < h.counts.size(); ++i) {
            s.x.push_back(h.firstCode + double(i));
            s.y.push_back(double(h.counts[i]));
        }
    } else {
        s.header = QStringLiteral("index,code");
        for (std::size_t i = 0; i < ctx.SampleCodes.size(); ++i) {
            s.x.push_back(double(i));
            s.y.push_back(ctx.SampleCodes[i]);
        }
    }
    return s;
}

} // namespace

int RunExport(const ExportOptions& o)
{
    EvalContext ctx;
    ctx.CurrentSettings.NumberOfBits = std::int16_t(o.analysis.bits);
    ctx.CurrentSettings.SampleFreq = o.analysis.rate;
    ctx.SampleCodes = ReadRawBlock(o.file);
    AcquisitionEngine engine(ctx);
    engine.Analyzer().SetWindow(o.analysis.window);
    engine.ComputeSpectrum();
    engine.BuildHistogram();

    const QFileInfo input(o.file);
    const QString output = !o.output.isEmpty() ? o.output
                                               : input.dir().filePath(input.completeBaseName() + QLatin1Char('.') +
                                                                      (o.to == QLatin1String("bin") ? QStringLiteral("txt") : o.to));
    if (o.to == QLatin1String("bin")) {
        PresetFileChooser chooser(output);
        ConsoleMessenger messenger;
        if (SaveBinaryFile(chooser, messenger, ctx.SampleCodes, std::int32_t(ctx.SampleCodes.size())) != FileStatus::Done)
            throw CommandFailure(ExitStatus::Failed, output + QStringLiteral(": ") + messenger.shown.value(0));
    } else if (o.to == QLatin1String("csv")) {
        const ViewSeries series = SeriesOf(o.view, engine, ctx, o.analysis.rate);
        WriteCsvColumns(output, series.header, series.x, series.y);
    } else {
        WriteChartImage(o, engine, ctx, output);
    }
    std::cout << qPrintable(output) << '\n';
    return ExitStatus::Done;
}
