#include "display/widgets/StripChart.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

class StripChartTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        chart.resize(600, 300);
        chart.show();
        std::vector<double> ramp(100);
        for (std::size_t i = 0; i < ramp.size(); ++i)
            ramp[i] = double(i) * 10;
        chart.ClearTrace();
        chart.SetPointCapacity(110);
        chart.SetXViewEnd(99);
        chart.SetXSpan(100);
        chart.LoadTrace(0, ramp);
        chart.SetTopLimit(990);
        chart.SetBottomLimit(0);
        chart.Plot()->replot();   // lays out the axes for the pixel mapping
    }

    QPoint PixelAt(double x, double y) const
    {
        return QPoint(int(std::lround(plot()->xAxis->coordToPixel(x))),
                      int(std::lround(plot()->yAxis->coordToPixel(y))));
    }
    QCustomPlot* plot() const { return chart.Plot(); }
    QCPRange XRange() const { return plot()->xAxis->range(); }

    StripChart chart;
};

TEST_F(StripChartTest, DrawsElementIAtPointIPlusOne)
{
    ASSERT_EQ(chart.PointCount(), 100);
    auto data = plot()->graph(0)->data();
    EXPECT_EQ(data->at(0)->key, 1.0);
    EXPECT_EQ(data->at(99)->key, 100.0);
    EXPECT_EQ(data->at(99)->value, 990.0);

    // A new trace of the same length replaces the values; another length the points.
    chart.LoadTrace(0, std::vector<double>(100, 5.0));
    EXPECT_EQ(plot()->graph(0)->data()->at(42)->value, 5.0);
    chart.LoadTrace(0, {1, 2, 3});
    EXPECT_EQ(chart.PointCount(), 3);
    EXPECT_EQ(plot()->graph(0)->data()->at(2)->key, 3.0);
    chart.ClearTrace();
    EXPECT_EQ(chart.PointCount(), 0);
}

TEST_F(StripChartTest, ViewEndsAtTheLastPointAndSpansXSpanPoints)
{
    // The span counts from the point before the first one shown.
    EXPECT_DOUBLE_EQ(XRange().lower, 0.0);
    EXPECT_DOUBLE_EQ(XRange().upper, 100.0);   // point 99 is drawn at 100
    chart.SetXSpan(49);
    chart.SetXViewEnd(99);
    EXPECT_DOUBLE_EQ(XRange().lower, 51.0);
    EXPECT_DOUBLE_EQ(XRange().upper, 100.0);
    EXPECT_DOUBLE_EQ(plot()->yAxis->range().upper, 990.0);

    // A flat block sets equal limits; the axis still gets a range around them.
    chart.SetTopLimit(7);
    chart.SetBottomLimit(7);
    EXPECT_EQ(chart.TopLimit(), 7.0);
    EXPECT_LT(plot()->yAxis->range().lower, 7.0);
    EXPECT_GT(plot()->yAxis->range().upper, 7.0);
}

TEST_F(StripChartTest, DraggingTheCursorReportsThePointUnderIt)
{
    QSignalSpy moved(&chart, &StripChart::CursorChange);
    QSignalSpy released(&chart, &StripChart::MouseUp);

    QTest::mousePress(plot(), Qt::LeftButton, {}, PixelAt(37.2, 500));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.last().at(0).toDouble(), 37.0);
    EXPECT_TRUE(plot()->item(4)->visible());   // the cursor line

    QTest::mouseMove(plot(), PixelAt(51.8, 300));
    ASSERT_EQ(moved.count(), 2);
    EXPECT_EQ(moved.last().at(0).toDouble(), 52.0);

    QTest::mouseMove(plot(), PixelAt(52.1, 200));   // same point: no new event
    EXPECT_EQ(moved.count(), 2);

    QTest::mouseMove(plot(), QPoint(1, 150));       // left of the first point
    EXPECT_EQ(moved.last().at(0).toDouble(), 1.0);

    QTest::mouseRelease(plot(), Qt::LeftButton, Qt::ShiftModifier, PixelAt(10, 100));
    ASSERT_EQ(released.count(), 1);
    EXPECT_EQ(released.last().at(0).toInt(), 1);   // left button
    EXPECT_EQ(released.last().at(1).toInt(), 1);   // shift
    EXPECT_FALSE(plot()->item(4)->visible());

    QTest::mouseMove(plot(), PixelAt(80, 100));     // no button held: no cursor
    EXPECT_EQ(moved.count(), 3);
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
        EXPECT_DOUBLE_EQ(XRange().lower, 30.0);
        EXPECT_DOUBLE_EQ(XRange().upper, 80.0);
        EXPECT_DOUBLE_EQ(plot()->yAxis->range().lower, 200.0);
        EXPECT_DOUBLE_EQ(plot()->yAxis->range().upper, 800.0);
        EXPECT_EQ(chart.TopLimit(), 800.0);
        plot()->replot();
        if (rightClickBack)
            QTest::mouseClick(plot(), Qt::RightButton, {}, PixelAt(50, 500));
        else
            QTest::mouseDClick(plot(), Qt::LeftButton, {}, PixelAt(50, 500));
        EXPECT_DOUBLE_EQ(XRange().lower, 0.0) << rightClickBack;
        EXPECT_DOUBLE_EQ(XRange().upper, 100.0) << rightClickBack;
        EXPECT_EQ(chart.TopLimit(), 990.0) << rightClickBack;
        plot()->replot();
    }
}

TEST_F(StripChartTest, DrawsAtMostOncePerFrameTheNewestDataAndNothingWhileHidden)
{
    QSignalSpy drawn(plot(), &QCustomPlot::afterReplot);
    QTest::qWait(50);
    drawn.clear();

    // A burst of blocks within one frame: one drawing, of the last block, whose data was
    // in the chart at once.
    for (int block = 1; block <= 50; ++block) {
        chart.ClearTrace();
        chart.LoadTrace(0, std::vector<double>(100, double(block)));
        chart.SetTopLimit(block);
        chart.Redraw();
        ASSERT_EQ(plot()->graph(0)->data()->at(0)->value, double(block));
    }
    QTest::qWait(100);
    EXPECT_EQ(drawn.count(), 1);

    // A source faster than the screen: at most one drawing per frame (~16 ms).
    drawn.clear();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 320) {
        chart.Redraw();
        QCoreApplication::processEvents();
    }
    EXPECT_GE(drawn.count(), 2);
    EXPECT_LE(drawn.count(), 320 / 15 + 1);

    chart.hide();
    QTest::qWait(50);
    drawn.clear();
    chart.Redraw();
    QTest::qWait(50);
    EXPECT_EQ(drawn.count(), 0);
    chart.show();
    EXPECT_EQ(drawn.count(), 1);   // before its first paint
}

TEST(StripChartGrid, StartsWithBothGridsAndFollowsTheFlagArithmetic)
{
    StripChart chart;
    EXPECT_EQ(chart.GridLines(), 3);
    EXPECT_EQ(chart.HandleMode(), 0);

    struct Step {
        std::int32_t flags;
        bool horizontal, vertical;
    };
    // The option boxes: horizontal off (AND 14), on (OR 1), vertical off (AND 13), ...
    const Step steps[] = {{chart.GridLines() & 14, false, true},
                          {2 | 1, true, true},
                          {3 & 13, true, false},
                          {1 & 14, false, false},
                          {0 | 2, false, true}};
    for (const Step& s : steps) {
        chart.SetGridLines(s.flags);
        EXPECT_EQ(chart.GridLines(), s.flags);
        EXPECT_EQ(chart.Plot()->yAxis->grid()->visible(), s.horizontal) << s.flags;
        EXPECT_EQ(chart.Plot()->xAxis->grid()->visible(), s.vertical) << s.flags;
    }
}

} // namespace
