#include "engine/DataFileFlows.h"

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

TEST(FftDataFile, LoadsOrSaysWhyAndAsksRetryOrCancel)
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
        EXPECT_EQ(std::pair(load.settings.MaxValue, load.settings.MinValue), c.status == 0 ? std::pair(-3.0, -4.0) : std::pair(0.0, 0.0));
        EXPECT_EQ(load.chooser.requests.at(0).title, "Load an FFT File");
    }
}
