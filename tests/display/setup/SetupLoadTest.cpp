#include "SetupDialogFixture.h"

#include <functional>

namespace {

MessageRequest Exclamation(const QString& text, const QString& title)
{
    return {text, title, MessageIcon::Exclamation, MessageButtons::Ok};
}

QString CommunicationFailed(int label)
{
    return QString("Communication with the Eval Control Board Failed.\r\n(Error %1)\r\n"
                   "Please Reset the Board and Try Again.").arg(label);
}

TEST_F(SetupDialogTest, LoadResetsDownloadsStartsAndShowsTheConfiguration)
{
    Open();
    rig.ctx.SelectedConfigIndex = -1;
    Load("KV2680.cfg");

    // Reset, the loader's check, the download with its latch load and start, and a block.
    std::vector<int> codes;
    for (const auto& frame : rig.board.Trace().Frames())
        codes.push_back(frame.code);
    EXPECT_EQ(codes, (std::vector<int>{8, 2, 2, 3, 4, 7}));
    EXPECT_EQ(rig.board.LatchValue(), 0x6C);

    EXPECT_TRUE(rig.messages.shown.empty());
    EXPECT_EQ(rig.status1.Texts(), (QStringList{"Board Reset", "Program Running"}));
    EXPECT_EQ(rig.status2.Texts(), (QStringList{"Configuration:", "Part:KV2680", "Program:KV2680.PRG",
                                                "Bits:12", "Code: Binary"}));
    EXPECT_EQ(rig.status2.lines[0].colour, 0xFF0000u);
    EXPECT_EQ(LoadReport(), "loaded 1");
    EXPECT_EQ(std::tuple(settings.ProgramLoaded, settings.Max_Frequency, settings.NumberOfSamples),
              std::tuple(True, 1000000, 2));

    EXPECT_FALSE(dialog->cmdCancel->isEnabled());
    EXPECT_EQ(Shown(), (QStringList{"100000", "100000", "1024", "2.5000", "0.0000"}));

    // Reopening shows the same file selected, ready to load again.
    QTest::mouseClick(dialog->cmdClose, Qt::LeftButton);
    Open();
    ASSERT_NE(dialog->fileConfig->currentItem(), nullptr);
    EXPECT_EQ(dialog->fileConfig->currentItem()->text(), "KV2680.cfg");
    EXPECT_TRUE(dialog->cmdLoad->isEnabled());
}

TEST_F(SetupDialogTest, DoubleClickLoadsAndAnUnlistedFrequencyIsInsertedInOrder)
{
    for (const char* f : {"20000", "125000"})
        Write(QString("F%1.cfg").arg(f), "[EVAL-CONTROL BOARD]\r\nPARTNAME:Mid\r\nPROGRAMNAME:KV2680.PRG\r\n"
                                         "SAMPLEFREQUENCY:" + QByteArray(f) + "\r\n");
    Open();   // F125000.cfg, F20000.cfg, KV2680.cfg
    // A user's double click: the first click selects, the second one opens.
    const QPoint at = dialog->fileConfig->visualItemRect(dialog->fileConfig->item(0)).center();
    QTest::mouseClick(dialog->fileConfig->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(dialog->fileConfig->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(rig.ctx.SelectedConfigIndex, 0);
    EXPECT_EQ(settings.PartName, "Mid");
    EXPECT_EQ(dialog->cboFSample->currentIndex(), 2);   // between 100000 and 150000
    EXPECT_EQ(dialog->cboFSample->itemText(2), "125000");

    Load("F20000.cfg");
    EXPECT_EQ(dialog->cboFSample->currentIndex(), 1);   // below every item: after the first
    EXPECT_EQ(dialog->cboFSample->itemText(1), "20000");
}

TEST_F(SetupDialogTest, FileWithoutHeaderStillResetsTheBoard)
{
    Write("Bad.cfg", "PARTNAME:KV2680\r\nPROGRAMNAME:KV2680.PRG\r\n");
    Open();
    Load("Bad.cfg");
    // Only the reset and its loader check reach the board; no program starts.
    EXPECT_EQ(rig.board.Trace().Frames().size(), 2u);
    EXPECT_EQ(rig.board.Trace().FramesWithCode(8).size(), 1u);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "This is not a valid CFG file");
    EXPECT_EQ(rig.status1.Texts(), (QStringList{"Board Reset", "Error Loading CFG"}));
    EXPECT_TRUE(dialog->cmdCancel->isEnabled());
}

struct DownloadFailure { const char* name; std::function<void(BoardRig&)> arrange; QString message; };

class DownloadFailureTest : public SetupDialogTest, public ::testing::WithParamInterface<DownloadFailure> {};

TEST_P(DownloadFailureTest, ShowsItsMessageAndLeavesTheButtonsDisabled)
{
    GetParam().arrange(rig);
    Open();
    Load("KV2680.cfg");

    ASSERT_FALSE(rig.messages.shown.empty());
    EXPECT_EQ(rig.messages.shown.back(), Exclamation(GetParam().message, "Program Load Error"));
    EXPECT_EQ(LoadReport(), "loaded 0");
    EXPECT_EQ(settings.ProgramLoaded, False);
    EXPECT_TRUE(dialog->cmdCancel->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    Load, DownloadFailureTest,
    ::testing::Values(
        DownloadFailure{"NoProgramFile", [](BoardRig&) { QFile::remove("KV2680.PRG"); },
                        "The Program File specified by the Configuration\r\nFile could not be found. "
                        "Please make sure\r\nit is in the current directory."},
        DownloadFailure{"BadMarker",
                        [](BoardRig&) { SetupDialogTest::Write("KV2680.PRG", "x\r\n@pa\r\n0000\r\n123456\r\n#\r\n"); },
                        "The Program File specified by the Configuration\r\nFile does not appear to be a valid DSP file"},
        DownloadFailure{"BoardOff", [](BoardRig& rig) { rig.board.SetPowered(false); }, CommunicationFailed(504)},
        DownloadFailure{"ChecksumRefusedThreeTimes",
                        [](BoardRig& rig) { rig.board.Faults().badChecksums = {{1, 1}, {1, 2}, {1, 3}}; },
                        CommunicationFailed(506)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetupDialogTest, SupplyChangeGoesToTheBoardAndRejectedOneChangesNothing)
{
    Open();
    rig.board.SetPowered(false);
    dialog->ECBButton1->SetSupplyLatchValue(0x55);
    emit dialog->ECBButton1->Click();
    EXPECT_EQ(rig.messages.shown, std::vector{Exclamation(CommunicationFailed(507), "Send Command Error")});
    EXPECT_EQ(rig.status1.Texts(), QStringList{"Send Command Error"});
    EXPECT_EQ(rig.ctx.BoardLatch.Value(), 144);
    EXPECT_TRUE(dialog->cmdCancel->isEnabled());

    rig.board.SetPowered(true);
    emit dialog->ECBButton1->Click();
    EXPECT_EQ(rig.status1.Texts().last(), "Supplies Changed");
    EXPECT_EQ(rig.ctx.BoardLatch.Value(), 0x55);
    EXPECT_FALSE(dialog->cmdCancel->isEnabled());
    const auto frames = rig.board.Trace().FramesWithCode(3);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].first, 0x55);
}

} // namespace
