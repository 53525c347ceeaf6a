// kv2680 analyze: the metrics of saved raw data files.
#include "cli/Commands.h"

#include "engine/BlockFiles.h"
#include "engine/BlockReport.h"
#include "engine/BoardSession.h"

#include <QFileInfo>
#include <iostream>
#include <utility>

void ApplyAnalysisOptions(SpectrumAnalyzer& analyzer, const AnalysisOptions& options)
{
    analyzer.SetWindow(options.window);
    analyzer.SetHarmonics(options.harmonics);
    analyzer.SetAveraging(options.average);
}

int RunAnalyze(const AnalyzeOptions& o)
{
    EvalContext ctx;
    ctx.CurrentSettings.NumberOfBits = std::int16_t(o.analysis.bits);
    ctx.CurrentSettings.SampleFreq = o.analysis.rate;
    BoardSession engine(ctx);
    ApplyAnalysisOptions(engine.Analyzer(), o.analysis);

    bool header = !o.json;
    for (const QString& file : o.files) {
        ctx.SampleCodes = ReadRawBlock(file);
        if (std::exchange(header, false))
            std::cout << qPrintable(ReportTableHeader()) << '\n';
        engine.ComputeSpectrum();
        const BlockReport report{QFileInfo(file).fileName(), ctx.SampleCodes.size(), o.analysis.rate,
                                 engine.Analyzer().Metrics()};
        if (o.json) {
            nlohmann::json line = ReportJson(report);
            line["file"] = file.toStdString();
            line.erase("block");
            std::cout << line.dump() << '\n';
        } else {
            std::cout << qPrintable(ReportTableRow(report)) << '\n';
        }
    }
    return ExitStatus::Done;
}
