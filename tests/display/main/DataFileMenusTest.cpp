#include "MainWindowFixture.h"

#include <QApplication>
#include <QWheelEvent>

#include "display/widgets/StripChart.h"
#include "support/FakeFileChooser.h"

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QCheckBox>
#include <QTest>

namespace {

QString WriteLines(const QString& path, int count, int first = 0)
{
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i)
        f.write(QByteArray::number(first + i % 4096) + "\r\n");
    return path;
}

} // namespace

class DataFileMenusTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        window->SetFileChooser(&files);
    }
    ScriptedFileChooser files;
};

TEST_F(DataFileMenusTest, LoadedBlockIsShownLikeAnAcquisitionAndSavesBack)
{
    files.answers = {WriteLines(dir.filePath("in.dat"), 1024, 100)};
    window->mnuLoadRawData_Click();
    EXPECT_EQ(files.requests.at(0).title, "Load A Data File");
    EXPECT_EQ(ctx.CurrentSettings.NumberOfSamples, 2);
    EXPECT_EQ(Status1().last(), "1024 Data Samples Read");
    EXPECT_EQ(window->stripDSO->PointCount(), 1024);
    EXPECT_EQ(window->StripFFT->PointCount(), 512);
    EXPECT_EQ(window->cboDisplayMode->currentIndex(), 0);
    EXPECT_TRUE(window->cboDisplayMode->isEnabled());
    EXPECT_TRUE(window->chkHoldZoom->isEnabled());
    EXPECT_EQ(window->stripDSO->TopLimit(), 1123);
    EXPECT_EQ(window->stripDSO->BottomLimit(), 100);

    const std::vector<double> loaded = ctx.SampleCodes;
    files.answers = {dir.filePath("out.dat")};
    window->SaveRawData_Click();
    EXPECT_EQ(files.requests.at(1).title, "Save FFT Data");
    files.answers = {dir.filePath("out.dat")};
    ctx.SampleCodes.assign(1024, 0.0);
    window->mnuLoadRawData_Click();
    EXPECT_EQ(ctx.SampleCodes, loaded);
}

TEST_F(DataFileMenusTest, AnEmptyFileShowsTheOldBlockAgain)
{
    files.answers = {WriteLines(dir.filePath("a.dat"), 512)};
    window->mnuLoadRawData_Click();
    const std::vector<double> before = ctx.SampleCodes;
    files.answers = {WriteLines(dir.filePath("empty.dat"), 0)};
    window->mnuLoadRawData_Click();
    EXPECT_EQ(ctx.SampleCodes, before);
    EXPECT_EQ(ctx.CurrentSettings.NumberOfSamples, 1);
    EXPECT_EQ(Status1().last(), "512 Data Samples Read");
}

TEST_F(DataFileMenusTest, AFileLongerThanAnyBlockIsShownAndSavedAsTheLongestBlock)
{
    files.answers = {WriteLines(dir.filePath("big.dat"), 23171)};
    window->mnuLoadRawData_Click();
    EXPECT_EQ(ctx.CurrentSettings.NumberOfSamples, 5);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Status1().mid(Status1().size() - 2),
              (QStringList{"big.dat holds 23171 values; blocks are 256 to 8192 samples, so it is taken as a block of 8192",
                           "8192 Data Samples Read"}));

    files.answers = {dir.filePath("saved")};
    window->SaveRawData_Click();
    QFile saved(dir.filePath("saved.dat"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().count("\r\n"), 8192);
    EXPECT_EQ(Status1().last(), "Saved 8192 values to " + QDir::toNativeSeparators(saved.fileName()));

    // Three values are shown as the shortest block; nothing reads past them.
    files.answers = {WriteLines(dir.filePath("few.dat"), 3)};
    window->mnuLoadRawData_Click();
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(Status1().last(), "256 Data Samples Read");
}

TEST_F(DataFileMenusTest, FftFileLoadLeavesTheBlockAlone)
{
    files.answers = {WriteLines(dir.filePath("in.dat"), 1024)};
    window->mnuLoadRawData_Click();
    files.answers = {dir.filePath("fft.dat")};
    window->SaveFFTData_Click();
    QFile saved(dir.filePath("fft.dat"));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().count("\r\n"), 512);

    const std::vector<double> codes = ctx.SampleCodes;
    files.answers = {dir.filePath("fft.dat")};
    window->mnuLoadFFTData_Click();
    EXPECT_EQ(Status1().last(), "512 FFT Samples Read");
    EXPECT_EQ(ctx.SampleCodes, codes);
    EXPECT_EQ(ctx.CurrentSettings.NumberOfSamples, 2);
}

TEST_F(MainWindowTest, GetAndSaveBringTheWindowBackWhereItWasClosed)
{
    os.commandLine = "/get/save";
    window->move(123, 77);
    window->resize(640, 480);   // above the minimum size, within the offscreen screen
    window->close();

    frmMainScreen next(ctx);
    next.SetSettingsStore(store.get());
    next.Form_Load();
    EXPECT_EQ(next.pos(), QPoint(123, 77));
    EXPECT_EQ(next.size(), QSize(640, 480));

    // A position on a screen that is gone comes back where its title bar can be reached.
    QSettings(store->FileName(), QSettings::IniFormat).setValue("Position/Left", "150000");
    SettingsStore moved(store->FileName());
    frmMainScreen again(ctx);
    again.SetSettingsStore(&moved);
    again.Form_Load();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(again.pos(), QPoint(screen.right() + 1 - 640, 77));
}

TEST_F(MainWindowTest, AStoreThatCannotBeWrittenIsReportedAtClose)
{
    os.commandLine = "/save";
    SettingsStore folder(dir.path());   // a folder: never opened, never written
    window->SetSettingsStore(&folder);
    window->close();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QString("The settings store %1 could not be written:\r\n"
                                              "the window position and configuration were not stored.")
                                          .arg(QDir::toNativeSeparators(dir.path())));
}

TEST_F(MainWindowTest, TypingInTheDisplayModeBoxChangesNothing)
{
    window->cboDisplayMode->setEnabled(true);
    window->show();
    window->cboDisplayMode->setFocus();
    QTest::keyClick(window->cboDisplayMode, Qt::Key_Down);
    QTest::keyClick(window->cboDisplayMode, Qt::Key_V);
    const QPointF at(5, 5);
    QWheelEvent wheel(at, window->cboDisplayMode->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window->cboDisplayMode, &wheel);
    EXPECT_EQ(window->cboDisplayMode->currentIndex(), 0);
}
