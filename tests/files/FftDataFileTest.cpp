#include "files/DataFileIo.h"
#include "files/FftDataFile.h"
#include "files/RawDataFile.h"

#include "TempFiles.h"
#include "support/FakePort.h"   // message boxes compare as a whole

#include <gtest/gtest.h>

namespace {

struct FftLoad : ScriptedUser {
    Settings settings;
    std::vector<double> spectrum{-1, -2};

    std::int16_t Load() { return LoadFFTFile(chooser, messenger, status, settings, spectrum); }
};

} // namespace

TEST(FftDataFile, SpectrumOfA1024SampleBlockSaves512LinesAndLoadsBack)
{
    FftLoad user;
    std::vector<double> spectrum;
    for (int k = 0; k < 512; ++k)
        spectrum.push_back(k == 40 ? -0.5 : -120.25 + k % 3);
    const QString path = user.Choose("fft.dat");
    ASSERT_EQ(SaveDataFile(user.chooser, user.messenger, user.status, spectrum, 512), FileStatus::Done);
    EXPECT_EQ(ScriptedUser::Read(path).count("\r\n"), 512);

    user.settings.NumberOfSamples = 2;
    user.chooser.answers = {path};
    ASSERT_EQ(user.Load(), 0);
    EXPECT_EQ(user.chooser.requests.at(1).title, "Load an FFT File");
    EXPECT_EQ(user.spectrum, spectrum);
    EXPECT_EQ(user.settings.MaxValue, -0.5);
    EXPECT_EQ(user.settings.MinValue, -120.25);
    EXPECT_EQ(user.settings.NumberOfSamples, 2);
    EXPECT_TRUE(user.messenger.shown.empty());
}

TEST(FftDataFile, UnreadableFileSaysWhyAndAsksRetryOrCancel)
{
    // Files the shared reader refuses (too big, folders, pipes) are the raw data file's cases.
    struct Case {
        std::deque<std::optional<QString>> files;   // names in the scratch folder
        std::deque<MessageResult> answers;
        std::int16_t status;
        size_t dialogs;
        QStringList reasons;                        // status lines, one per failed file
    };
    const Case cases[] = {
        {{"empty.dat"}, {MessageResult::Cancel}, 2, 1, {"empty.dat was not loaded: It holds no values."}},
        {{"missing.dat"}, {}, 2, 1, {"missing.dat was not loaded: The file does not exist."}},
        {{"many.dat"}, {}, 2, 1, {"many.dat was not loaded: It holds more than 32767 values."}},
        {{"empty.dat", std::nullopt}, {MessageResult::Retry}, 1, 2, {"empty.dat was not loaded: It holds no values."}},
        {{"empty.dat", "good.dat"}, {MessageResult::Retry}, 0, 2, {"empty.dat was not loaded: It holds no values."}},
        {{std::nullopt}, {}, 1, 1, {}},
    };
    for (const Case& c : cases) {
        FftLoad load;
        load.File("empty.dat", "");
        load.File("good.dat", "-3\r\n-4\r\n");
        load.File("many.dat", QByteArray("-1,").repeated(32768));
        for (const auto& file : c.files)
            load.chooser.answers.push_back(file ? std::optional(load.Path(*file)) : std::nullopt);
        load.messenger.answers = c.answers;
        EXPECT_EQ(load.Load(), c.status);
        EXPECT_EQ(load.chooser.requests.size(), c.dialogs);
        EXPECT_EQ(load.status.Texts(), c.reasons);
        EXPECT_EQ(load.messenger.shown,
                  std::vector<MessageRequest>(size_t(c.reasons.size()),
                                              {"An Error Occurred While Reading This File.\rIt May Not Be A Valid Data File.",
                                               "", MessageIcon::Exclamation, MessageButtons::RetryCancel}));
        EXPECT_EQ(load.spectrum, (c.status == 0 ? std::vector<double>{-3, -4} : std::vector<double>{-1, -2}));
    }
}
