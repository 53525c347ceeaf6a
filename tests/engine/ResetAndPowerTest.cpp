#include "link/BoardRig.h"

#include <gtest/gtest.h>

// The board reset, power and supply commands of the session: the frames the board received,
// the status lines, boxes and what the front end is told.

namespace {

TEST(SessionReset, WithTheBoardPresent)
{
    BoardRig rig;
    rig.Boot();
    rig.status1.AddLine("old line", std::nullopt);
    Settings& s = rig.ctx.CurrentSettings;
    s.SampleFreq = 250000;
    s.ProgramLoaded = s.DataLoaded = True;
    s.NumberOfSamples = 4;
    rig.session.Reset();
    ASSERT_EQ(rig.status1.Texts(), QStringList{"Board Reset"});
    EXPECT_EQ(rig.status1.lines[0].colour, std::optional<std::uint32_t>(255));   // red
    EXPECT_EQ(rig.status1.clears, 1);
    EXPECT_EQ(rig.listener.events, (QStringList{"reset begun", "latch 0", "latch 144", "reset ended 1"}));
    EXPECT_EQ(QStringLiteral("%1|%2|%3|%4|%5").arg(s.SampleFreq).arg(s.NumberOfSamples).arg(s.Max_Frequency)
                  .arg(s.ProgramLoaded).arg(s.DataLoaded), "100000|0|2000000|0|0");
    EXPECT_EQ(rig.events.passes, 15000);
    // The board took command 8 and the pulse, and its loader answered a one-word download.
    EXPECT_EQ(rig.board.Trace().BytesWritten(), (Bytes{0, 0, 0, 8, 0, 0, 0, 2, 0, 1, 0, 0, 0, 0}));
    EXPECT_EQ(rig.board.Trace().BytesRead(), Bytes{13});
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_TRUE(rig.messages.shown.empty());
}

TEST(SessionReset, WithTheBoardSwitchedOff)
{
    BoardRig rig;
    rig.board.SetPowered(false);
    rig.session.Reset();
    EXPECT_EQ(rig.messages.shown, (std::vector<MessageRequest>{
        {"The Eval Control Board Failed to Respond\r\nPlease Press the RESET button on the Board.",
         "Reset Error", MessageIcon::Exclamation, MessageButtons::Ok}}));
    ASSERT_EQ(rig.status1.Texts(), QStringList{"Reset Failure"});
    EXPECT_FALSE(rig.status1.lines[0].colour.has_value());
    EXPECT_EQ(rig.listener.events.last(), "reset ended 0") << "the front end keeps its sampling buttons";
    EXPECT_EQ(rig.events.passes, 0) << "no pause after a failed reset command";
}
TEST(SessionReset, ABoardOutOfStepIsBroughtBackWithoutTheButton)
{
    BoardRig rig;
    rig.Boot();
    rig.StartDownload(3);   // the loader waits for program packets that never come
    rig.board.Trace().Clear();
    rig.session.Reset();
    EXPECT_EQ(rig.status1.Texts(), QStringList{"Board Reset"});
    EXPECT_EQ(rig.board.State(), FirmwareState::LoaderCommand);
    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.listener.events.last(), "reset ended 1");
}

// Power and supply commands: the frame the running program obeyed and the line, or with the
// board switched off the box and the line of a refused command, and nothing changed.
TEST(SessionPower, CommandsFramesAndLines)
{
    struct Case {
        const char* name;
        std::function<bool(BoardSession&)> action;   // false: the session reported a refusal
        int code;
        int first;
        const char* line;
    };
    const Case cases[] = {
        {"power down", [](BoardSession& s) { s.PowerDown(); return true; }, 20, 0, "Part Powered Down"},
        {"power up", [](BoardSession& s) { s.PowerUp(); return true; }, 22, 0, "Part Powered Up"},
        {"supplies", [](BoardSession& s) { return s.ChangeSupplies(0x2C); }, 3, 0x2C, "Supplies Changed"},
    };
    const MessageRequest refused {CommunicationFailedText(507), "Send Command Error", MessageIcon::Exclamation,
                                  MessageButtons::Ok};
    for (const Case& c : cases) {
        for (const bool boardOn : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (boardOn ? " / on" : " / off"));
            BoardRig rig;
            rig.Boot();
            rig.board.SetPowered(boardOn);
            rig.board.Trace().Clear();
            const bool done = c.action(rig.session);
            if (boardOn) {
                EXPECT_TRUE(done);
                const auto frames = rig.board.Trace().Frames();
                ASSERT_EQ(frames.size(), 1u);
                EXPECT_EQ(frames[0].code, c.code);
                EXPECT_EQ(frames[0].first, c.first);
                EXPECT_TRUE(frames[0].obeyed);
                EXPECT_EQ(rig.status1.Texts(), QStringList{c.line});
                EXPECT_TRUE(rig.messages.shown.empty());
            } else {
                EXPECT_EQ(rig.status1.Texts(), QStringList{"Send Command Error"});
                EXPECT_EQ(rig.messages.shown, std::vector<MessageRequest>{refused});
            }
            EXPECT_FALSE(rig.status1.lines.back().colour.has_value());
            const bool latchChanged = boardOn && c.code == 3;
            EXPECT_EQ(rig.ctx.BoardLatch.Value(), latchChanged ? 0x2C : BoardRig::kKv2680Latch);
            EXPECT_EQ(rig.board.LatchValue(), latchChanged ? 0x2C : BoardRig::kKv2680Latch);
        }
    }
}

// What the part delivers follows the power commands: a powered-down part drives its code
// bits low, and powered up again it converts the input.
TEST(SessionPower, BlocksFollowThePartsPower)
{
    BoardRig rig;
    rig.Boot();
    rig.session.PowerDown();
    ASSERT_EQ(rig.session.ReadBlock(), 0);
    EXPECT_EQ(rig.ctx.SampleCodes, std::vector<double>(256, 0.0));
    rig.session.PowerUp();
    ASSERT_EQ(rig.session.ReadBlock(), 0);
    EXPECT_EQ(rig.ctx.SampleCodes, rig.BlockCodes(256));
    EXPECT_NE(rig.ctx.SampleCodes, std::vector<double>(256, 0.0));
}

} // namespace
