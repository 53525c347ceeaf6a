// kv2680 export: a saved block as binary text, as CSV of a view, or as a chart image.
#include "cli/Commands.h"

#include "engine/BlockFiles.h"
#include "engine/BoardSession.h"
#include "engine/DataFileFlows.h"

#include <QDir>
#include <QFileInfo>
#include <iostream>

int RunExport(const ExportOptions& o)
{
    EvalContext ctx;
    ctx.CurrentSettings.NumberOfBits = std::int16_t(o.analysis.bits);
    ctx.CurrentSettings.SampleFreq = o.analysis.rate;
    ctx.SampleCodes = ReadRawBlock(o.file);
    BoardSession engine(ctx);
    ApplyAnalysisOptions(engine.Analyzer(), o.analysis);
    engine.ComputeSpectrum();

    const QFileInfo input(o.file);
    const QString output = !o.output.isEmpty() ? o.output
                                               : input.dir().filePath(input.completeBaseName() + QLatin1Char('.') +
                                                                      (o.to == QLatin1String("bin") ? QStringLiteral("txt") : o.to));
    if (o.to == QLatin1String("bin")) {
        PresetFileChooser chooser(output);
        ConsoleMessenger messenger;
        ConsoleStatus status;
        if (SaveBinaryFile(chooser, messenger, status, ctx.SampleCodes, std::int32_t(ctx.SampleCodes.size())) != FileStatus::Done)
            throw CommandFailure(ExitStatus::Failed, output + QStringLiteral(": ") + messenger.shown.value(0));
    } else {
        WriteChart(o, ctx, output);
    }
    std::cout << qPrintable(output) << '\n';
    return ExitStatus::Done;
}
