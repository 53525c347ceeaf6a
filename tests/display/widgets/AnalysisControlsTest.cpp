#include "display/widgets/FFTControl.h"
#include "display/widgets/AnalysisSettingsDialog.h"
#include "display/charts/ChartMarkers.h"
#include "display/charts/StripChart.h"
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

// The fundamental in hertz with a sample frequency, in bins without; a block too short
// for metrics clears the read-out.
TEST(FFTControl, ShowsTheFundamentalInHertzOrBins)
{
    FFTControl fft;
    SpectrumAnalyzer analysis;
    analysis.Analyse(Sine(12, 1024, 101, 2047.5 / 2));
    const std::pair<std::optional<std::int32_t>, QString> shown[] = {
        {std::nullopt, "bin 101.0"}, {102400, "10.100 kHz"}, {1024, "101.0 Hz"}, {20'000'000, "1.9727 MHz"}};
    for (const auto& [fs, frequency] : shown) {
        fft.Show(analysis, fs);
        EXPECT_TRUE(Texts(fft).contains(frequency)) << frequency.toStdString();
        EXPECT_TRUE(Texts(fft).contains("-6.0 dBFS"));
    }
    analysis.Analyse(std::vector<double>(1, 7.0));
    fft.Show(analysis);
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

TEST(FFTControl, GreysWhatItCannotTrustMarksTheHarmonicsAndShowsTheAverage)
{
    FFTControl fft;
    StripChart chart;
    fft.AttachChart(&chart);
    SpectrumAnalyzer analysis;
    // 256 samples leave too few noise bins for SNR; the tone still reads.
    analysis.Analyse(Sine(12, 256, 21));
    fft.Show(analysis);
    QLabel* snr = Value(fft, "SNR");
    EXPECT_FALSE(snr->isEnabled());
    EXPECT_EQ(snr->text(), "-");
    EXPECT_TRUE(snr->toolTip().contains("too few samples"));
    EXPECT_TRUE(Value(fft, "Ain")->isEnabled());

    analysis.SetAveraging(4);
    for (int i = 0; i < 3; ++i)
        analysis.Analyse(Sine(12, 4096, 201));
    fft.Show(analysis);
    EXPECT_TRUE(snr->isEnabled());
    EXPECT_EQ(Value(fft, "Avg")->text(), "3/4");
    const QStringList marks = ChartMarkerLabels(chart.Plot());
    // The fundamental, harmonics 2 to 5 and, when the noise holds a higher peak, that spur.
    ASSERT_GE(marks.size(), 5);
    for (int order = 1; order <= 5; ++order)
        EXPECT_TRUE(marks[order - 1].startsWith(QString("%1: ").arg(order))) << order;
    QSignalSpy restart(&fft, &FFTControl::RestartAveraging);
    fft.findChild<QToolButton*>("cmdRestartAveraging")->click();
    EXPECT_EQ(restart.count(), 1);
}

// The panel and the dialog only tell what the user chose; choices set from code raise
// nothing.
TEST(FFTControl, TellsTheWindowAndTheSettingsTheUserChose)
{
    FFTControl fft;
    auto* box = fft.findChild<QComboBox*>("cboWindow");
    EXPECT_EQ(box->currentText(), "BH4");
    QSignalSpy windowChanged(&fft, &FFTControl::BHWindow);
    QSignalSpy chosen(&fft, &FFTControl::SettingsChosen);
    box->setCurrentIndex(box->findText("Hann"));
    EXPECT_EQ(windowChanged.count(), 1);
    EXPECT_EQ(fft.Window(), WindowKind::Hann);
    AnalysisSettings flatTop;
    flatTop.metrics.window = WindowKind::FlatTop;
    fft.ShowSettings(flatTop);
    EXPECT_EQ(windowChanged.count(), 1);
    EXPECT_EQ(box->currentText(), "Flat top");

    SpectrumAnalyzer analysis;
    analysis.Analyse(Sine(12, 8192, 1001));
    fft.Show(analysis, 8192);
    fft.ShowSettingsDialog();
    auto* dialog = fft.findChild<AnalysisSettingsDialog*>();
    dialog->findChild<QLineEdit*>("txtWantedFrequency")->setText("1000.9");
    EXPECT_TRUE(dialog->findChild<QLineEdit*>("txtCoherent")->text().startsWith("1001.000 Hz (1001 cycles)"));
    dialog->findChild<QSpinBox*>("spnAveraging")->setValue(8);
    dialog->findChild<QComboBox*>()->setCurrentText("BH7");
    dialog->accept();
    ASSERT_EQ(chosen.count(), 1);
    const auto settings = chosen.at(0).at(0).value<AnalysisSettings>();
    EXPECT_EQ(settings.averaging, 8);
    EXPECT_EQ(settings.metrics.window, WindowKind::BlackmanHarris7);
    EXPECT_EQ(fft.Window(), WindowKind::BlackmanHarris7);
}

// Stored analysis settings come back as they were saved; unusable values take defaults.
TEST(AnalysisSettings, RoundTripThroughTheStoreAndIntoTheAnalyzer)
{
    QTemporaryDir dir;
    QSettings store(dir.filePath("settings.ini"), QSettings::IniFormat);
    AnalysisSettings s;
    s.metrics.window = WindowKind::BlackmanHarris7;
    s.metrics.harmonics = 9;
    s.averaging = 8;
    s.Save(store);
    SpectrumAnalyzer analyzer;
    AnalysisSettings::Load(store).ApplyTo(analyzer);
    EXPECT_EQ(analyzer.Window(), WindowKind::BlackmanHarris7);
    EXPECT_EQ(analyzer.Settings().harmonics, 9);
    EXPECT_EQ(analyzer.Averaging(), 8);

    store.setValue("Analysis/Harmonics", 99);
    store.setValue("Analysis/Averaging", -3);
    store.setValue("Analysis/Window", "Kaiser");
    const AnalysisSettings clamped = AnalysisSettings::Load(store);
    EXPECT_EQ(clamped.metrics.harmonics, 25);
    EXPECT_EQ(clamped.averaging, 1);
    EXPECT_EQ(clamped.metrics.window, DefaultWindow);
}

} // namespace
