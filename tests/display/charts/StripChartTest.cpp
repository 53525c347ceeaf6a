#include "display/charts/StripChart.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

// A shown chart holding the ramp 0, 10, ..., 990 as points 1 to 100, all in view.
class StripChartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart.resize(600, 300);
        chart.show();
        std::vector<double> ramp;
        for (int i = 0; i < 100; ++i)
            ramp.push_back(i * 10);
        chart.SetPointCapacity(110);
        chart.SetXViewEnd(99);
        chart.SetXSpan(100);
        chart.LoadTrace(0, ramp);
        chart.SetTopLimit(990);
        chart.SetBottomLimit(0);
        plot()->replot();   // lays out the axes for the pixel mapping
    }

    QPoint PixelAt(double x, double y) const
    {
        return QPoint(int(std::lround(plot()->xAxis->coordToPixel(x))),
                      int(std::lround(plot()->yAxis->coordToPixel(y))));
    }
    QCustomPlot* plot() const { return chart.Plot(); }
    std::pair<double, double> X() const { return {plot()->xAxis->range().lower, plot()->xAxis->range().upper}; }
    std::pair<double, double> Y() const { return {plot()->yAxis->range().lower, plot()->yAxis->range().upper}; }

    StripChart chart;
};

TEST_F(StripChartTest, DrawsElementIAtPointIPlusOneAndTheViewEndsAtTheLastPoint)
{
    ASSERT_EQ(chart.PointCount(), 100);
    auto data = plot()->graph(0)->data();
    EXPECT_EQ(data->at(0)->key, 1.0);
    EXPECT_EQ(data->at(99)->key, 100.0);
    EXPECT_EQ(data->at(99)->value, 990.0);
    // The span counts from the point before the first one shown.
    EXPECT_EQ(X(), std::pair(0.0, 100.0));
    EXPECT_EQ(Y().second, 990.0);
    chart.SetXSpan(49);
    chart.SetXViewEnd(99);
    EXPECT_EQ(X(), std::pair(51.0, 100.0));

    // A flat block sets equal limits; the axis still gets a range around them.
    chart.SetTopLimit(7);
    chart.SetBottomLimit(7);
    EXPECT_EQ(chart.TopLimit(), 7.0);
    EXPECT_LT(Y().first, 7.0);
    EXPECT_GT(Y().second, 7.0);
}

TEST_F(StripChartTest, DraggingTheCursorReportsThePointUnderIt)
{
    QSignalSpy moved(&chart, &StripChart::CursorChange);
    QSignalSpy released(&chart, &StripChart::MouseUp);
    QTest::mousePress(plot(), Qt::LeftButton, {}, PixelAt(37.2, 500));
    EXPECT_TRUE(plot()->item(4)->visible());   // the cursor line
    QTest::mouseMove(plot(), PixelAt(51.8, 300));
    QTest::mouseMove(plot(), PixelAt(52.1, 200));   // same point: no new event
    QTest::mouseMove(plot(), QPoint(1, 150));       // left of the first point
    QTest::mouseRelease(plot(), Qt::LeftButton, Qt::ShiftModifier, PixelAt(10, 100));
    QTest::mouseMove(plot(), PixelAt(80, 100));     // no button held: no cursor
    QList<double> points;
    for (const auto& args : moved)
        points << args.at(0).toDouble();
    EXPECT_EQ(points, (QList<double>{37, 52, 1}));
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released[0].at(0).toInt(), 1);   // left button
    EXPECT_EQ(released[0].at(1).toInt(), 1);   // shift
    EXPECT_FALSE(plot()->item(4)->visible());
}

TEST_F(StripChartTest, HandlesZoomOnDoubleClickThenDoubleOrRightClickGoesBack)
{
    chart.SetTopHandle(800);
    chart.SetBottomHandle(200);
    chart.SetLeftHandle(9);     // drawn at 10
    chart.SetRightHandle(79);   // drawn at 80
    chart.SetHandleMode(3);
    plot()->replot();

    // Drag the left handle from 10 to 30.
    QSignalSpy moved(&chart, &StripChart::CursorChange);
    QTest::mousePress(plot(), Qt::LeftButton, {}, PixelAt(10, 500));
    QTest::mouseMove(plot(), PixelAt(30, 500));
    QTest::mouseRelease(plot(), Qt::LeftButton, {}, PixelAt(30, 500));
    EXPECT_EQ(moved.count(), 0);   // a handle drag is not a cursor

    for (const bool rightClickBack : {false, true}) {
        QTest::mouseDClick(plot(), Qt::LeftButton, {}, PixelAt(50, 500));
        EXPECT_EQ(X(), std::pair(30.0, 80.0));
        EXPECT_EQ(Y(), std::pair(200.0, 800.0));
        EXPECT_EQ(chart.TopLimit(), 800.0);
        plot()->replot();
        if (rightClickBack)
            QTest::mouseClick(plot(), Qt::RightButton, {}, PixelAt(50, 500));
        else
            QTest::mouseDClick(plot(), Qt::LeftButton, {}, PixelAt(50, 500));
        EXPECT_EQ(X(), std::pair(0.0, 100.0)) << rightClickBack;
        EXPECT_EQ(chart.TopLimit(), 990.0) << rightClickBack;
        plot()->replot();
    }
}

TEST_F(StripChartTest, AChartAskedToDrawWhileHiddenDrawsBeforeItIsShownAgain)
{
    QSignalSpy drawn(plot(), &QCustomPlot::afterReplot);
    chart.hide();
    QTest::qWait(50);
    drawn.clear();
    chart.Redraw();
    QTest::qWait(50);
    EXPECT_EQ(drawn.count(), 0);
    chart.show();
    EXPECT_EQ(drawn.count(), 1);
}

} // namespace
