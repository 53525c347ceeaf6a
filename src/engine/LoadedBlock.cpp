#include "engine/LoadedBlock.h"

#include "core/EvalError.h"
#include "core/Numbers.h"
#include "engine/BoardSession.h"

int AnalyseLoadedBlock(BoardSession& session)
{
    int recorded = RunStep([&] { session.ConvertToVolts(); });
    if (int e = RunStep([&] {
            try {
                session.ComputeSpectrum();
            } catch (...) {
                session.Analyzer().Fail("FFT failed");
                throw;
            }
        }))
        recorded = e;
    return recorded;
}

int AddLoadedBlockToHistogram(BoardSession& session)
{
    return RunStep([&] { session.BuildHistogram(); });
}

MessageRequest DataFileErrorMessage(int shownNumber, int recordedNumber, const QString& what)
{
    return {QStringLiteral("Error %1:%2 occured while %3").arg(shownNumber).arg(recordedNumber).arg(what),
            QStringLiteral("Error"), MessageIcon::None, MessageButtons::Ok};
}

QString DataSamplesReadLine(const Settings& settings)
{
    return PlainNumber(BlockLength(settings.NumberOfSamples)) + QStringLiteral(" Data Samples Read");
}

QString FftSamplesReadLine(std::int16_t bins)
{
    return PlainNumber(bins) + QStringLiteral(" FFT Samples Read");
}
