#include "display/widgets/FFTControl.h"
#include "display/widgets/AnalysisSettingsDialog.h"
#include "display/widgets/HistogramControl.h"
#include "display/widgets/StripChart.h"
#include "analysis/SpectrumAnalyzer.h"
#include "analysis/TestSignals.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <algorithm>

namespace {

std::vector<double> Sine(int bits, std::size_t n, double cycles, double amplitude = -1)
{
    return QuantisedSine({.bits = bits, .n = n, .cycles = cycles, .amplitude = amplitude, .phase = 0.2});
}

QStringList Texts(const QWidget& w)
{
    QStringList texts;
    for (const QLabel* l : w.findChildren<QLabel*>())
        texts << l->text();
    return texts;
}

// Half the block in dBFS of the resolution, and the fundamental in hertz or in bins.
TEST(FFTControl, FillsHalfTheBlockInDbfsAndShowsTheFundamentalInHertzOrBins)
{
    FFTControl fft;
    const auto codes = Sine(12, 1024, 101, 2047.5 / 2);
    std::vector<double> spectrum{1, 2, 3};
    fft.ComputeSpectrum(codes, spectrum);
    ASSERT_EQ(spectrum.size(), 512u);   // 12 bits until told otherwise
    EXPECT_NEAR(spectrum[101], -6.02, 0.05);
    fft.SetResolution(13);
    fft.ComputeSpectrum(codes, spectrum);
    EXPECT_NEAR(spectrum[101], -12.04, 0.05);

    const std::pair<std::optional<std::int32_t>, QString> shown[] = {
        {std::nullopt, "bin 101.0"}, {102400, "10.100 kHz"}, {1024, "101.0 Hz"}, {20'000'000, "1.9727 MHz"}};
    for (const auto& [fs, frequency] : shown) {
        fft.ComputeSpectrum(codes, spectrum, fs);
        EXPECT_TRUE(Texts(fft).contains(frequency)) << frequency.toStdString();
    }
    fft.ComputeSpectrum(std::vector<double>(1, 7.0), spectrum);   // too short for metrics
    EXPECT_EQ(spectrum.size(), 1u);
    EXPECT_FALSE(Texts(fft).contains("bin 101.0"));
}

// The value label of a read-out row, found by its row name.
QLabel* Value(const QWidget& w, const QString& name)
{
    const auto labels = w.findChildren<QLabel*>();
    for (qsizetype i = 0; i + 1 < labels.size(); ++i)
        if (labels[i]->text() == name)
            return labels[i + 1];
    return nullptr;
}

TEST(FFTControl, GreysWhatItCannotTrustMarksTheHarmonicsAndAverages)
{
    FFTControl fft;
    StripChart chart;
    fft.AttachChart(&chart);
    std::vector<double> spectrum;
    // 256 samples leave too few noise bins for SNR; the tone still reads.
    fft.ComputeSpectrum(Sine(12, 256, 21), spectrum);
    QLabel* snr = Value(fft, "SNR");
    EXPECT_FALSE(snr->isEnabled());
    EXPECT_EQ(snr->text(), "-");
    EXPECT_TRUE(snr->toolTip().contains("too few samples"));
    EXPECT_TRUE(Value(fft, "Ain")->isEnabled());

    fft.SetAveraging(4);
    for (int i = 0; i < 3; ++i)
        fft.ComputeSpectrum(Sine(12, 4096, 201), spectrum);
    EXPECT_TRUE(snr->isEnabled());
    EXPECT_EQ(Value(fft, "Avg")->text(), "3/4");
    const QStringList marks = ChartMarkerLabels(chart.Plot());
    // The fundamental, harmonics 2 to 5 and, when the noise holds a higher peak, that spur.
    ASSERT_GE(marks.size(), 5);
    for (int order = 1; order <= 5; ++order)
        EXPECT_TRUE(marks[order - 1].startsWith(QString("%1: ").arg(order))) << order;
    fft.findChild<QToolButton*>("cmdRestartAveraging")->click();
    EXPECT_EQ(Value(fft, "Avg")->text(), "0/4");
}

TEST(FFTControl, WindowChosenOnThePanelOrInTheDialogRaisesBHWindowAndIsStored)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("settings.ini"), QSettings::IniFormat);
    FFTControl fft;
    fft.UseSettingsStore(&store);
    auto* box = fft.findChild<QComboBox*>("cboWindow");
    EXPECT_EQ(box->currentText(), "BH4");
    QSignalSpy windowChanged(&fft, &FFTControl::BHWindow);
    box->setCurrentIndex(box->findText("Hann"));
    EXPECT_EQ(windowChanged.count(), 1);
    fft.SetWindow(WindowKind::FlatTop);   // from code: no event
    EXPECT_EQ(windowChanged.count(), 1);
    EXPECT_EQ(box->currentText(), "Flat top");

    std::vector<double> spectrum;
    fft.ComputeSpectrum(Sine(12, 8192, 1001), spectrum, 8192);
    fft.ShowSettingsDialog();
    auto* dialog = fft.findChild<AnalysisSettingsDialog*>();
    dialog->findChild<QLineEdit*>("txtWantedFrequency")->setText("1000.9");
    EXPECT_TRUE(dialog->findChild<QLineEdit*>("txtCoherent")->text().startsWith("1001.000 Hz (1001 cycles)"));
    dialog->findChild<QSpinBox*>("spnAveraging")->setValue(8);
    dialog->findChild<QComboBox*>()->setCurrentText("BH7");
    dialog->accept();
    EXPECT_EQ(windowChanged.count(), 2);
    EXPECT_EQ(store.value("Analysis/Averaging").toInt(), 8);

    FFTControl next;
    next.UseSettingsStore(&store);
    EXPECT_EQ(next.Window(), WindowKind::BlackmanHarris7);
    EXPECT_EQ(next.Analyzer().Averaging(), 8);
}

TEST(HistogramControl, DrawsTheCountsAndReadsOutTheSineLinearity)
{
    HistogramControl histogram;
    auto codes = Sine(8, 65536, 4099);
    std::replace(codes.begin(), codes.end(), 100.0, 101.0);   // a missing code
    histogram.BuildHistogram(codes, 8);

    auto* bars = qobject_cast<QCPBars*>(histogram.findChild<QCustomPlot*>()->plottable(0));
    ASSERT_NE(bars, nullptr);
    EXPECT_EQ(bars->data()->size(), 256);
    EXPECT_EQ(bars->data()->at(100)->value, 0.0);
    ASSERT_TRUE(histogram.Linearity().valid);
    EXPECT_EQ(histogram.Linearity().missingCodes, 1);
    const QStringList shown = Texts(histogram);
    EXPECT_TRUE(shown.contains("0..255"));
    EXPECT_TRUE(std::any_of(shown.begin(), shown.end(),
                            [](const QString& t) { return t.endsWith("/-1.00"); }));

    histogram.SetView(HistogramControl::View::Dnl);
    auto* dnl = qobject_cast<QCPGraph*>(histogram.findChild<QCustomPlot*>()->plottable(1));
    ASSERT_NE(dnl, nullptr);
    EXPECT_EQ(dnl->data()->size(), 254);   // the end codes are left out
    EXPECT_EQ(dnl->data()->at(99)->value, -1.0);
}

TEST(HistogramControl, SumsBlocksUntilEveryCodeHasEnoughHits)
{
    HistogramControl histogram;
    auto dnlShown = [&] { return !Texts(histogram).filter("/").isEmpty(); };
    // The middle codes of a 12-bit sine get 8192 / (pi 2047.5) = 1.27 hits a block; 16
    // are needed, so 13 blocks.
    for (int block = 1; block <= 12; ++block) {
        histogram.BuildHistogram(Sine(12, 8192, 1001), 12);
        ASSERT_FALSE(dnlShown()) << block;
    }
    EXPECT_TRUE(histogram.findChild<QLabel*>("lblHistogramWarning")->text().startsWith("Collecting"));
    histogram.BuildHistogram(Sine(12, 8192, 1001), 12);
    EXPECT_TRUE(dnlShown());
    EXPECT_EQ(histogram.findChild<QLabel*>("lblHistogramBlocks")->text(), "13");
    EXPECT_EQ(histogram.Histogram().inRange, 13 * 8192);

    histogram.findChild<QToolButton*>("cmdRestartHistogram")->click();
    EXPECT_EQ(histogram.Blocks(), 0);
    histogram.BuildHistogram(Sine(12, 8192, 1001), 12);
    EXPECT_FALSE(dnlShown());
    EXPECT_EQ(histogram.Histogram().inRange, 8192);
}

} // namespace
