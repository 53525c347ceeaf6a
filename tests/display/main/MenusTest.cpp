#include "MainWindowFixture.h"

TEST_F(MainWindowTest, MenusStartAsDesignedThePortChoiceMovesTheAddressAndSavingWithoutDataSaysSo)
{
    EXPECT_FALSE(window->LoadEXE->isEnabled());
    EXPECT_FALSE(window->mnuLoadFFTData->isEnabled());
    EXPECT_TRUE(window->mnuLoadRawData->isEnabled());
    EXPECT_EQ(window->mnuSetup->text(), "S&etup Menu");
    EXPECT_EQ(window->ExitProgram->text(), "E&xit");
    // The simulated port sits at 888: only the other entries were switched off at start-up.
    EXPECT_EQ((std::vector<bool>{window->mnuLPT1->isEnabled(), window->mnuLPT2->isEnabled(), window->mnuPRN->isEnabled()}),
              (std::vector<bool>{true, false, false}));

    for (auto [click, address] : {std::pair{&frmMainScreen::mnuLPT2_Click, 632}, {&frmMainScreen::mnuPRN_Click, 956},
                                  {&frmMainScreen::mnuLPT1_Click, 888}}) {
        (window.get()->*click)();
        EXPECT_EQ(ctx.Link.PortBaseAddress, address);
    }
    EXPECT_EQ((std::vector<bool>{window->mnuLPT1->isChecked(), window->mnuLPT2->isChecked(), window->mnuPRN->isChecked()}),
              (std::vector<bool>{true, false, false}));

    // Saving without data says so.
    window->SaveRawData_Click();
    window->mnuSaveBinary_Click();
    window->SaveFFTData_Click();
    const MessageRequest noData{"There is no data to save.", "", MessageIcon::Information};
    EXPECT_EQ(messages.shown, std::vector(3, noData));
}
