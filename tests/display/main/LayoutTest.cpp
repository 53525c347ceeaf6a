#include "MainWindowFixture.h"


TEST_F(MainWindowTest, WiderAndTallerWindowsGrowTheChartsAndATinyOneWaitsForTheRestore)
{
    window->show();
    LoadBoardProgram();
    Sample();
    window->resize(900, 650);
    QTest::qWait(0);
    TwipsGeometry& g = window->Geometry();
    const double fftWidth = g.Width(Find<StripChart>(*window, "StripFFT"));
    const double fftControl = g.Left(Find<FFTControl>(*window, "VEXMFFTControl1"));
    const double controlWidth = g.Width(Find<FFTControl>(*window, "VEXMFFTControl1"));
    const double height = g.Height(Find<StripChart>(*window, "stripDSO"));

    // 100 pixels more width go to both charts; the panel beside them moves over.
    window->resize(1000, 650);
    EXPECT_NEAR(g.Width(Find<StripChart>(*window, "StripFFT")) - fftWidth, g.ToTwipsX(100), 1);
    EXPECT_EQ(g.Width(Find<StripChart>(*window, "stripDSO")), g.Width(Find<StripChart>(*window, "StripFFT")));
    EXPECT_NEAR(g.Left(Find<FFTControl>(*window, "VEXMFFTControl1")) - fftControl, g.ToTwipsX(100), 1);
    EXPECT_EQ(g.Width(Find<FFTControl>(*window, "VEXMFFTControl1")), controlWidth);
    // 100 pixels more height are shared by the two charts.
    window->resize(1000, 750);
    EXPECT_NEAR(g.Height(Find<StripChart>(*window, "stripDSO")) - height, g.ToTwipsY(100) / 2, 1);
    EXPECT_EQ(g.Height(Find<StripChart>(*window, "StripFFT")), g.Height(Find<StripChart>(*window, "stripDSO")));
    EXPECT_NEAR(g.Top(Find<StripChart>(*window, "StripFFT")), g.Top(Find<StripChart>(*window, "stripDSO")) + g.Height(Find<StripChart>(*window, "stripDSO")) + 60, 1);

    // Too small a window stops the layout part way; the next size lays everything out again.
    const QWidget* charts[] = {Find<StripChart>(*window, "stripDSO"), Find<StripChart>(*window, "StripFFT"), Find<FFTControl>(*window, "VEXMFFTControl1"), Find<QCheckBox>(*window, "chkVGrid")};
    std::vector<QRect> laidOut;
    for (const QWidget* w : charts)
        laidOut.push_back(w->geometry());
    window->resize(40, 30);
    QTest::qWait(0);
    window->resize(1000, 750);
    for (std::size_t i = 0; i < laidOut.size(); ++i)
        EXPECT_EQ(charts[i]->geometry(), laidOut[i]) << i;
}

TEST_F(MainWindowTest, TheDesignSizeIsOuterAndTheSmallestWindowKeepsControlsApart)
{
    window->SetOuterSize(15000, 10800);
    window->show();
    TwipsGeometry& g = window->Geometry();
    const QSize design(g.ToPixelsX(15000), g.ToPixelsY(10800));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->frameGeometry().size() == design; }));
    EXPECT_LT(window->width(), design.width());

    window->resize(1, 1);
    QTest::qWait(0);
    Find<QLabel>(*window, "lblCursorInfo")->show();
    QList<QWidget*> controls;
    for (QWidget* w : window->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(window.get()))
            controls << w;
    ASSERT_GE(controls.size(), 22);
    const QRect area = window->centralWidget()->rect();
    for (const QWidget* a : controls) {
        EXPECT_TRUE(area.contains(a->geometry())) << a->metaObject()->className();
        for (const QWidget* b : controls) {
            if (a < b) {
                EXPECT_FALSE(a->geometry().intersects(b->geometry()))
                    << a->metaObject()->className() << " " << b->metaObject()->className();
            }
        }
    }
}
