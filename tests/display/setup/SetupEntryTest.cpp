#include "SetupDialogFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QScreen>

namespace {

TEST_F(SetupDialogTest, FirstOpeningListsTheConfigurationsAndSelectsNothing)
{
    for (const char* name : {"b.CFG", "a.cfg", "notes.txt"})
        Write(name, "");
    settings.NumberOfSamples = 3;
    Open();

    EXPECT_EQ(dialog->windowTitle(), "Setup Menu");
    EXPECT_EQ(dialog->windowFlags() & (Qt::CustomizeWindowHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint),
              Qt::CustomizeWindowHint);
    QStringList files;
    for (int i = 0; i < dialog->fileConfig->count(); ++i)
        files << dialog->fileConfig->item(i)->text();
    EXPECT_EQ(files, (QStringList{"a.cfg", "b.CFG", "KV2680.cfg"}));
    EXPECT_TRUE(dialog->fileConfig->selectedItems().isEmpty());
    EXPECT_FALSE(dialog->cmdLoad->isEnabled());
    EXPECT_EQ(dialog->cboFSample->count(), 12);
    EXPECT_EQ(Shown(), (QStringList{"100000", "100000", "2048", "5.00", "0.00"}));
    EXPECT_EQ(dialog->ECBButton1->SupplyLatchValue(), 144);
    EXPECT_EQ(rig.ctx.SavedSettings.NumberOfSamples, 3);
    // Within the window frame's few pixels.
    const QPoint offset = dialog->geometry().center() - dialog->screen()->geometry().center();
    EXPECT_LE(offset.manhattanLength(), 8);
}

TEST_F(SetupDialogTest, ListChoiceAboveTheCeilingSelectsTheCeiling)
{
    settings.Max_Frequency = 250000;
    Open();
    Choose(dialog->cboFSample, 9);   // "500000"
    EXPECT_EQ(dialog->cboFSample->currentIndex(), 4);
    EXPECT_EQ(dialog->cboFSample->currentText(), "250000");
    EXPECT_EQ(settings.SampleFreq, 250000);
    EXPECT_EQ(rig.ctx.SampleClock.TPeriodHigh(), 0);
    EXPECT_EQ(rig.ctx.SampleClock.TPeriodLow(), 159);

    // A ceiling without an item is put into the list.
    settings.Max_Frequency = 260000;
    Choose(dialog->cboFSample, 10);   // "550000"
    EXPECT_EQ(dialog->cboFSample->currentText(), "260000");
    EXPECT_EQ(rig.ctx.SampleClock.SampleFrequency(), 260000);
}

TEST_F(SetupDialogTest, OtherFrequencyEntry)
{
    struct Case { const char* typed; std::int32_t ceiling; const char* boxAfter;
                  std::int32_t sampleFreq; const char* listText; int listIndex; };
    const Case cases[] = {
        {"600000", 580000, "580000", 580000, "580000", 11},
        {"2000000", 1000000, "1000000", 1000000, "1000000", 12},   // the ceiling is appended
        {"12a.5x000", 580000, "125000", 125000, "125000", -1},     // only digits reach the box
        {"0", 580000, "0", 100000, "100000", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        settings.SampleFreq = 100000;
        settings.Max_Frequency = c.ceiling;
        rig.ctx.SampleClock.SetSampleFrequency(100000);
        Open();
        Type(dialog->txtOtherFreq, c.typed);
        QTest::keyClick(dialog->txtOtherFreq, Qt::Key_Return);

        EXPECT_EQ(dialog->txtOtherFreq->text(), c.boxAfter);
        EXPECT_EQ(settings.SampleFreq, c.sampleFreq);
        EXPECT_EQ(rig.ctx.SampleClock.SampleFrequency(), c.sampleFreq);
        EXPECT_EQ(dialog->cboFSample->currentText(), c.listText);
        EXPECT_EQ(dialog->cboFSample->currentIndex(), c.listIndex);
        EXPECT_TRUE(dialog->cmdClose->hasFocus());
        EXPECT_TRUE(rig.messages.shown.empty());
    }
}

TEST_F(SetupDialogTest, PastedTextMeetsTheTypingRule)
{
    Open();
    struct Case { EntryBox* box; const char* before; int cursor; const char* pasted; const char* after; };
    const Case cases[] = {
        {dialog->txtOtherFreq, "", 0, "12a5x000", "125000"},
        {dialog->txtOtherFreq, "1000", 1, " 5-0", "150000"},
        {dialog->txtVMin, "5.00", 0, "-1", "15.00"},
    };
    for (const Case& c : cases) {
        c.box->setFocus();
        c.box->setText(c.before);
        c.box->setCursorPosition(c.cursor);
        QGuiApplication::clipboard()->setText(c.pasted);
        QTest::keySequence(c.box, QKeySequence::Paste);
        EXPECT_EQ(c.box->text(), c.after) << c.pasted;
    }
}

TEST_F(SetupDialogTest, EmptyFrequencyBoxIsRefusedAndKeepsTheFocus)
{
    Open();
    dialog->txtOtherFreq->setFocus();
    dialog->txtOtherFreq->setText("  ");
    QTest::keyClick(dialog->txtOtherFreq, Qt::Key_Return);
    ASSERT_EQ(rig.messages.shown.size(), 1u);
    EXPECT_EQ(rig.messages.shown[0].text, "Invalid Frequency Entered");
    EXPECT_EQ(rig.messages.shown[0].title, std::nullopt);
    EXPECT_EQ(rig.messages.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_TRUE(dialog->txtOtherFreq->hasFocus());
    EXPECT_EQ(dialog->txtOtherFreq->selectedText(), "  ");
    EXPECT_EQ(settings.SampleFreq, 100000);
}

TEST_F(SetupDialogTest, InputRangeTakesTheLeadingNumber)
{
    Open();
    Type(dialog->txtVMax, "1.2.3-V");
    EXPECT_EQ(dialog->txtVMax->text(), "1.2.3");
    QTest::keyClick(dialog->txtVMax, Qt::Key_Tab);
    Type(dialog->txtVMin, "");
    QTest::keyClick(dialog->txtVMin, Qt::Key_Return);
    EXPECT_EQ(Shown().mid(3), (QStringList{"1.2000", "0.0000"}));
    EXPECT_EQ(settings.InputVMax, 1.2);
    EXPECT_EQ(settings.InputVMin, 0.0);
}

TEST_F(SetupDialogTest, SampleCountListShowsTheNearestItemAndANewCountResetsTheSpansOnce)
{
    for (const auto& [stored, shown] : {std::pair{-1, 0}, std::pair{7, 5}}) {
        settings.NumberOfSamples = std::int16_t(stored);
        Open();
        EXPECT_EQ(dialog->cboNumSamples->currentIndex(), shown);
        EXPECT_EQ(settings.NumberOfSamples, shown);
    }
    int changes = 0;
    QObject::connect(dialog.get(), &frmSetup::SampleCountChanged, [&] { ++changes; });
    Choose(dialog->cboNumSamples, 3);
    EXPECT_EQ(settings.NumberOfSamples, 3);
    EXPECT_EQ(changes, 1);
    Choose(dialog->cboNumSamples, 3);
    EXPECT_EQ(changes, 1) << "the same count changes nothing";
}

auto DialogFields(const Settings& s)
{
    return std::tie(s.NumberOfSamples, s.SampleFreq, s.InputVMax, s.InputVMin, s.PartName, s.EXEName,
                    s.NumberOfBits, s.DataFormat, s.ProgramLoaded);
}

TEST_F(SetupDialogTest, EscapeRestoresTheNineFieldsButNotTheCeilingUnlessCancelIsWithdrawn)
{
    const Settings before = settings;
    Open();
    Choose(dialog->cboNumSamples, 4);
    Choose(dialog->cboFSample, 2);
    dialog->txtVMax->setFocus();
    QTest::keyClicks(dialog->txtVMax, "9");
    dialog->txtVMin->setFocus();   // leaving txtVMax applies it
    ASSERT_NE(settings.InputVMax, before.InputVMax);
    std::tie(settings.PartName, settings.EXEName, settings.NumberOfBits, settings.DataFormat) =
        std::tuple("other", "OTHER.PRG", 14, 1);
    std::tie(settings.ProgramLoaded, settings.InputVMin, settings.Max_Frequency) = std::tuple(True, -1, 250000);
    QTest::keyClicks(dialog->txtVMin, "7");   // still being typed when Esc closes the dialog
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(DialogFields(settings), DialogFields(before));
    EXPECT_EQ(settings.Max_Frequency, 250000);

    Open();   // with Cancel withdrawn Escape does nothing
    dialog->cmdCancel->setEnabled(false);
    QTest::keyClick(dialog.get(), Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
}

} // namespace
