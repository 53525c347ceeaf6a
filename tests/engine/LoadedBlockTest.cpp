#include "engine/BoardSession.h"
#include "engine/DataFileFlows.h"
#include "engine/LoadedBlock.h"
#include "engine/WaveformScaling.h"

#include "TempFiles.h"
#include "support/FakePort.h"   // message boxes compare as a whole

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A sine of `amplitude` codes around `middle`, one per line as the program saves blocks.
QByteArray SineFile(int n, double middle, double amplitude)
{
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += QByteArray::number(std::round(middle + amplitude * std::sin(2 * M_PI * 37.3 * i / n)), 'f', 6) + "\r\n";
    return text;
}

} // namespace

// A block loaded from a file goes through the session's own volts, spectrum and histogram:
// the window shows what an acquired block of the same codes would show.
TEST(LoadedBlock, ALoadedBlockIsAnalysedAsTheSessionAnalysesCodes)
{
    struct Case {
        const char* name;
        QByteArray content;     // null: nothing loaded, the buffer is empty
        std::int16_t bits;
        int recorded;           // the number AnalyseLoadedBlock returns (shown with 531)
        std::size_t bins;
        const char* samplesRead;
    };
    const Case cases[] = {
        {"sine12.dat", SineFile(1024, 2048, 1800), 12, 0, 512, "1024 Data Samples Read"},
        {"twos8.dat", SineFile(256, 0, 100), 8, 0, 128, "256 Data Samples Read"},
        // Straight-binary 16-bit codes past 32767 do not fit the volts' 16-bit code; the
        // spectrum is computed all the same.
        {"wide16.dat", SineFile(512, 32768, 30000), 16, ErrorNumber::Overflow, 256, "512 Data Samples Read"},
        {"none", QByteArray(), 12, 9, 0, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EvalContext ctx;
        BoardSession session(ctx);
        ctx.CurrentSettings.NumberOfBits = c.bits;
        ctx.Spectrum = {1, 2, 3};
        ScriptedUser user;
        if (!c.content.isNull()) {
            user.File(c.name, c.content);
            user.Choose(c.name);
            ASSERT_EQ(LoadRawDataFile(user.chooser, user.messenger, user.status, ctx.CurrentSettings, ctx.SampleCodes),
                      FileStatus::Done);
            EXPECT_EQ(DataSamplesReadLine(ctx.CurrentSettings), c.samplesRead);
        }

        EXPECT_EQ(AnalyseLoadedBlock(session), c.recorded);
        SpectrumAnalyzer direct;
        direct.SetResolution(c.bits);
        direct.Analyse(ctx.SampleCodes);
        std::vector<double> expected;
        direct.SpectrumDb(expected);
        EXPECT_EQ(ctx.Spectrum.size(), c.bins);
        EXPECT_EQ(ctx.Spectrum, expected);
        const Metric& sinad = session.Analyzer().Metrics().sinadDb;
        EXPECT_EQ(sinad.reason, direct.Metrics().sinadDb.reason);
        if (sinad.Valid()) {
            EXPECT_EQ(sinad.value, direct.Metrics().sinadDb.value);
        }
        if (c.recorded == 0) {
            std::vector<double> volts;
            ConvertToVolts(ctx.CurrentSettings, ctx.SampleCodes, volts);
            EXPECT_EQ(ctx.SampleVolts, volts);
        }

        EXPECT_EQ(AddLoadedBlockToHistogram(session), 0);
        const CodeHistogram counted = CountCodes(ctx.SampleCodes, c.bits);
        EXPECT_EQ(session.Histogram().Histogram().counts, counted.counts);
        EXPECT_EQ(session.Histogram().Histogram().inRange, std::int64_t(ctx.SampleCodes.size()) - counted.outOfRange);
    }
}

TEST(LoadedBlock, TheFileMenusBoxesAndLinesReadAsTheUserKnowsThem)
{
    EXPECT_EQ(DataFileErrorMessage(531, 6, "calculating FFT"),
              (MessageRequest{"Error 531:6 occured while calculating FFT", QString("Error"), MessageIcon::None,
                              MessageButtons::Ok}));
    EXPECT_EQ(DataFileErrorMessage(533, 9, "calculating Histogram").text, "Error 533:9 occured while calculating Histogram");
    EXPECT_EQ(FftSamplesReadLine(4096), "4096 FFT Samples Read");
    Settings longest;
    longest.NumberOfSamples = 5;
    EXPECT_EQ(DataSamplesReadLine(longest), "8192 Data Samples Read");
}
