#include "link/BoardRig.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Setup > Load without the window: reset, configuration file, clock, program download and
// what the user and the front end are told, against the simulated board.

namespace {

const QString kExamples = QStringLiteral(EVAL_EXAMPLES_DIR);

QByteArray ExampleConfig()
{
    QFile f(kExamples + QStringLiteral("/KV2680.cfg"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(bytes);
}

std::vector<int> FrameCodes(EvalBoard& board)
{
    std::vector<int> codes;
    for (const CommandFrame& f : board.Trace().Frames())
        codes.push_back(f.code);
    return codes;
}

TEST(ConfigurationLoad, OutcomeLinesAndListenerEventsPerCase)
{
    struct Case {
        const char* name;
        const char* config;    // nullptr: the example as shipped, from the examples folder
        const char* program;   // written as PROGRAM.PRG beside the configuration; nullptr: none
        bool boardOn;
        LoadOutcome outcome;
        QStringList status1;
        QStringList events;
        QStringList boxTitles;
        // Command codes the board received, in order: the reset (8) and its loader check
        // (2), then the download (2), latch (3), start (4) and the program's check block (7).
        std::vector<int> frames;
    };
    const QStringList resetOk {"reset begun", "latch 0", "latch 144", "reset ended 1"};
    const Case cases[] = {
        {"example", nullptr, nullptr, true, {true, 0}, {"Board Reset", "Program Running"},
         resetOk + QStringList{"loaded 1"}, {}, {8, 2, 2, 3, 4, 7}},
        {"missing configuration", "absent", nullptr, true, {false, -1}, {"Board Reset", "Error Loading CFG"},
         resetOk, {"Error"}, {8, 2}},
        {"program not found", "NOSUCH.PRG", nullptr, true, {true, 1}, {"Board Reset"},
         resetOk + QStringList{"loaded 0"}, {}, {8, 2}},
        {"not a program", "PROGRAM.PRG", "this is no program\r\n", true, {true, 2}, {"Board Reset", "*"},
         resetOk + QStringList{"loaded 0"}, {}, {8, 2}},
        {"board switched off", nullptr, nullptr, false, {true, 3}, {"Reset Failure"},
         QStringList{"reset begun", "latch 0", "latch 144", "reset ended 0", "loaded 0"}, {"Reset Error"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        QString configPath = kExamples + QStringLiteral("/KV2680.cfg");
        QString programFolder = kExamples;
        if (c.config) {
            programFolder = dir.path();
            configPath = dir.filePath(QStringLiteral("board.cfg"));
            if (QByteArray(c.config) != "absent")
                Write(configPath, ExampleConfig().replace("KV2680.PRG", c.config));
            if (c.program)
                Write(dir.filePath(QStringLiteral("PROGRAM.PRG")), c.program);
        }
        BoardRig rig;
        rig.Boot();
        rig.board.SetPowered(c.boardOn);
        rig.board.Trace().Clear();

        const LoadOutcome outcome = rig.session.LoadConfiguration(configPath, {}, programFolder);

        EXPECT_EQ(outcome.configRead, c.outcome.configRead);
        EXPECT_EQ(outcome.programResult, c.outcome.programResult);
        QStringList lines = rig.status1.Texts();
        if (c.status1.endsWith("*") && lines.size() == c.status1.size()) {
            // The download's own red line says what is wrong with the file.
            EXPECT_EQ(rig.status1.lines.back().colour, std::optional<std::uint32_t>(Colour::Red));
            lines.back() = "*";
        }
        EXPECT_EQ(lines, c.status1);
        EXPECT_EQ(rig.listener.events, c.events);
        QStringList titles;
        for (const MessageRequest& m : rig.messages.shown)
            titles << m.title.value_or("(application)");
        EXPECT_EQ(titles, c.boxTitles);
        EXPECT_EQ(FrameCodes(rig.board), c.frames);
        EXPECT_EQ(rig.ctx.CurrentSettings.ProgramLoaded == True, c.outcome.programResult == 0);
        EXPECT_EQ(rig.status2.lines.empty(), c.outcome.programResult != 0) << "the summary only for a running program";
    }
}

TEST(ConfigurationLoad, TheExampleRunsItsProgramWithTheConfiguredLatchAndClock)
{
    BoardRig rig;
    rig.Boot();
    const LoadOutcome outcome = rig.session.LoadConfiguration(kExamples + QStringLiteral("/KV2680.cfg"), {}, kExamples);
    ASSERT_EQ(outcome.programResult, 0);
    const Settings& s = rig.ctx.CurrentSettings;
    EXPECT_EQ(QStringLiteral("%1|%2|%3|%4|%5|%6").arg(s.PartName, s.EXEName).arg(s.SampleFreq).arg(s.NumberOfSamples)
                  .arg(s.NumberOfBits).arg(s.InputVMax),
              "KV2680|KV2680.PRG|100000|2|12|2.5");
    EXPECT_EQ(rig.status2.Texts(), (QStringList{"Configuration:", "Part:KV2680", "Program:KV2680.PRG", "Bits:12",
                                                "Code: Binary"}));
    EXPECT_TRUE(InProgram(rig.board.State()));
    EXPECT_EQ(rig.board.LatchValue(), BoardRig::kKv2680Latch);
    EXPECT_EQ(rig.ctx.BoardLatch.Value(), BoardRig::kKv2680Latch);
    // The program's first block runs at the configured clock: 40 MHz / 100 kHz - 1.
    const auto blocks = rig.board.Trace().FramesWithCode(7);
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(blocks.back().Word(), 0x18F);
}

TEST(ConfigurationLoad, AFrequencyStepGivenByTheFrontEndReplacesTheConfiguredOne)
{
    BoardRig rig;
    rig.Boot();
    int calls = 0;
    const auto apply = [&] {
        ++calls;
        rig.ctx.SampleClock.SetSampleFrequency(50000);
    };
    const LoadOutcome outcome = rig.session.LoadConfiguration(kExamples + QStringLiteral("/KV2680.cfg"), apply, kExamples);
    ASSERT_EQ(outcome.programResult, 0);
    EXPECT_EQ(calls, 1);
    const auto blocks = rig.board.Trace().FramesWithCode(7);
    ASSERT_FALSE(blocks.empty());
    EXPECT_EQ(blocks.back().Word(), 799) << "the download's check block uses the clock in force";

    // A configuration that cannot be read never reaches the frequency step.
    calls = 0;
    rig.session.LoadConfiguration(QStringLiteral("/nonexistent/board.cfg"), apply, kExamples);
    EXPECT_EQ(calls, 0);
}

} // namespace
