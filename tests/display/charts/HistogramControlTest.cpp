#include "display/charts/HistogramControl.h"
#include "analysis/CodeHistogram.h"
#include "analysis/SineCodeDensity.h"
#include "analysis/TestSignals.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include <algorithm>

namespace {

std::vector<double> Sine(int bits, std::size_t n, double cycles)
{
    return QuantisedSine({.bits = bits, .n = n, .cycles = cycles, .amplitude = -1, .phase = 0.2});
}

QStringList Texts(const QWidget& w)
{
    QStringList texts;
    for (const QLabel* l : w.findChildren<QLabel*>())
        texts << l->text();
    return texts;
}

// Shows a sum the way the engine hands it over: the histogram with its linearity.
void ShowSum(HistogramControl& view, const CodeHistogramAccumulator& sum)
{
    view.Show(sum.Histogram(), sum.Blocks(), SineCodeDensity(sum.Histogram()));
}

TEST(HistogramControl, DrawsTheCountsAndReadsOutTheSineLinearity)
{
    HistogramControl histogram;
    auto codes = Sine(8, 65536, 4099);
    std::replace(codes.begin(), codes.end(), 100.0, 101.0);   // a missing code
    CodeHistogramAccumulator sum;
    sum.Add(codes, 8);
    ShowSum(histogram, sum);

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

TEST(HistogramControl, ShowsTheLinearityOnlyOnceEveryCodeHasEnoughHits)
{
    HistogramControl histogram;
    CodeHistogramAccumulator sum;
    auto dnlShown = [&] { return !Texts(histogram).filter("/").isEmpty(); };
    // The middle codes of a 12-bit sine get 8192 / (pi 2047.5) = 1.27 hits a block; 16
    // are needed, so 13 blocks.
    for (int block = 1; block <= 12; ++block) {
        sum.Add(Sine(12, 8192, 1001), 12);
        ShowSum(histogram, sum);
        ASSERT_FALSE(dnlShown()) << block;
    }
    EXPECT_TRUE(histogram.findChild<QLabel*>("lblHistogramWarning")->text().startsWith("Collecting"));
    sum.Add(Sine(12, 8192, 1001), 12);
    ShowSum(histogram, sum);
    EXPECT_TRUE(dnlShown());
    EXPECT_EQ(histogram.findChild<QLabel*>("lblHistogramBlocks")->text(), "13");
    EXPECT_EQ(histogram.Histogram().inRange, 13 * 8192);

    QSignalSpy restart(&histogram, &HistogramControl::Restart);
    histogram.findChild<QToolButton*>("cmdRestartHistogram")->click();
    EXPECT_EQ(restart.count(), 1);
}

} // namespace
