#include "MainWindowFixture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QRegularExpression>

namespace {

QByteArray Head(const QString& path, int bytes)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(bytes) : QByteArray();
}

QStringList Lines(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly | QIODevice::Text);
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

class ChartExportMenusTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        LoadBoardProgram();
        ctx.CurrentSettings.NumberOfSamples = 2;   // 1024 samples at 100000 Hz
        Sample();
    }
    // Exports through the menu item into a file with the given name and returns its path.
    QString Export(QAction* item, const QString& name)
    {
        Answer(name);
        item->trigger();
        return dir.filePath(name);
    }
};

TEST_F(ChartExportMenusTest, EachFormatGivesAValidFileAndAStatusLine)
{
    const QString png = Export(Find<QAction>(*window, "mnuExportSpectrum"), "s.png");
    EXPECT_EQ(Head(png, 8), QByteArray("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(QImage(png).size(), Find<StripChart>(*window, "StripFFT")->size());
    EXPECT_EQ(Status1().last(), "Chart written to " + png);
    EXPECT_EQ(Head(Export(Find<QAction>(*window, "mnuExportSpectrum"), "s.PDF"), 5), "%PDF-");
    EXPECT_TRUE(Head(Export(Find<QAction>(*window, "mnuExportHistogram"), "h.svg"), 400).contains("<svg"));

    // The data behind the charts, in the axes' units: bin 256 of 1024 at 100 kHz is 25 kHz.
    const QStringList spectrum = Lines(Export(Find<QAction>(*window, "mnuExportSpectrum"), "s.csv"));
    ASSERT_EQ(spectrum.size(), 1 + 512);
    EXPECT_EQ(spectrum[0], "Frequency (Hz),dBFS");
    EXPECT_TRUE(spectrum[1 + 256].startsWith("25000,"));
    const QStringList waveform = Lines(Export(Find<QAction>(*window, "mnuExportWaveform"), "w.csv"));
    ASSERT_EQ(waveform.size(), 1 + 1024);
    EXPECT_EQ(waveform[0], "Sample,Code");
    EXPECT_EQ(waveform[5], "5," + QString::number(ctx.SampleCodes[4]));
    const QStringList histogram = Lines(Export(Find<QAction>(*window, "mnuExportHistogram"), "h.csv"));
    EXPECT_EQ(histogram.value(0), "Code,Hits");
    double hits = 0;
    for (const QString& row : histogram.mid(1))
        hits += row.section(u',', 1).toDouble();
    EXPECT_EQ(hits, 1024);

    ASSERT_TRUE(messages.shown.empty());
    Export(Find<QAction>(*window, "mnuExportWaveform"), "w.txt");
    Export(Find<QAction>(*window, "mnuExportWaveform"), "missing/w.png");
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(messages.shown[0].text.startsWith("Choose a file name ending in .png"));
    EXPECT_TRUE(messages.shown[1].text.contains("missing/w.png"));
    EXPECT_FALSE(QFile::exists(dir.filePath("w.txt")));
}

TEST_F(ChartExportMenusTest, CopyPutsTheMetricsTableOnTheClipboard)
{
    Find<QAction>(*window, "mnuCopy")->trigger();
    const QStringList rows = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows[0], "Name\tValue\tUnit");
    const auto row = [&](const QString& name) {
        return rows.filter(QRegularExpression("^" + name + "\t")).value(0).split(u'\t');
    };
    EXPECT_EQ(row("SNR").value(2), "dB");
    EXPECT_NEAR(row("SNR").value(1).toDouble(), Find<FFTControl>(*window, "VEXMFFTControl1")->Metrics().snrDb.value, 0.05);
    EXPECT_TRUE(row("ENOB").value(2).startsWith("bits")) << rows.join(u'\n').toStdString();
    EXPECT_EQ(Find<QAction>(*window, "mnuCopy")->shortcut(), QKeySequence(QKeySequence::Copy));
}
