#include "MainWindowFixture.h"

TEST_F(MainWindowTest, MenusStartAsDesignedThePortChoiceMovesTheAddressAndSavingWithoutDataSaysSo)
{
    EXPECT_FALSE(Find<QAction>(*window, "LoadEXE")->isEnabled());
    EXPECT_FALSE(Find<QAction>(*window, "mnuLoadFFTData")->isEnabled());
    EXPECT_TRUE(Find<QAction>(*window, "mnuLoadRawData")->isEnabled());
    EXPECT_EQ(Find<QAction>(*window, "mnuSetup")->text(), "S&etup Menu");
    EXPECT_EQ(Find<QAction>(*window, "ExitProgram")->text(), "E&xit");
    // The simulated port sits at 888: only the other entries were switched off at start-up.
    EXPECT_EQ((std::vector<bool>{Find<QAction>(*window, "mnuLPT1")->isEnabled(), Find<QAction>(*window, "mnuLPT2")->isEnabled(), Find<QAction>(*window, "mnuPRN")->isEnabled()}),
              (std::vector<bool>{true, false, false}));

    // As on a port where every entry is offered.
    for (auto [entry, address] : {std::pair{"mnuLPT2", 632}, {"mnuPRN", 956}, {"mnuLPT1", 888}}) {
        Find<QAction>(*window, entry)->setEnabled(true);
        Find<QAction>(*window, entry)->trigger();
        EXPECT_EQ(ctx.Link.PortBaseAddress, address);
    }
    EXPECT_EQ((std::vector<bool>{Find<QAction>(*window, "mnuLPT1")->isChecked(), Find<QAction>(*window, "mnuLPT2")->isChecked(), Find<QAction>(*window, "mnuPRN")->isChecked()}),
              (std::vector<bool>{true, false, false}));

    // Saving without data says so.
    window->DataFiles().SaveRawData();
    window->DataFiles().SaveBinary();
    window->DataFiles().SaveFFTData();
    const MessageRequest noData{"There is no data to save.", "", MessageIcon::Information};
    EXPECT_EQ(messages.shown, std::vector(3, noData));
}
