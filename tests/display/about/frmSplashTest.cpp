#include "display/about/frmSplash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QImage Shown(const frmSplash& about) { return about.findChild<QLabel*>("Picture1")->pixmap().toImage(); }
QImage Frame(int phase) { return frmSplash::DrawAnimationFrame(phase).toImage(); }

TEST(frmSplash, FramesRunOneTwoZeroAndTheCounterSurvivesReopening)
{
    EXPECT_TRUE(Frame(0) != Frame(1) && Frame(1) != Frame(2) && Frame(2) != Frame(0));
    int counter = 0;
    {
        frmSplash about(counter);
        EXPECT_EQ(Shown(about), Frame(2));
        for (int expected : {1, 2, 0, 1}) {
            about.Timer1_Timer();
            EXPECT_EQ(counter, expected);
            EXPECT_EQ(Shown(about), Frame(expected));
        }
    }
    frmSplash again(counter);
    again.Timer1_Timer();
    EXPECT_EQ(Shown(again), Frame(2));
}

// Each opening is centred, animates every 100 ms, and a key or a click on any part closes it.
TEST(frmSplash, EveryOpeningIsCentredAnimatesAndClosesOnAKeyOrClick)
{
    int counter = 0;
    const QPoint screenCentre = QGuiApplication::primaryScreen()->geometry().center();
    for (const char* part : {"", "Frame1", "Picture1", "Label1", "lblProductName", "lblCredit1", "lblCredit2"}) {
        frmSplash about(counter);
        about.show();
        EXPECT_LE((about.frameGeometry().center() - screenCentre).manhattanLength(), 2) << part;
        if (!*part) {   // the first opening waits for a tick
            EXPECT_EQ(about.findChild<QTimer*>()->interval(), 100);
            ASSERT_TRUE(QTest::qWaitFor([&] { return counter == 1; }, 2000));
            EXPECT_EQ(Shown(about), Frame(1));
            about.move(0, 0);
            QTest::keyClick(&about, Qt::Key_Space);
        } else {
            QTest::mouseClick(about.findChild<QWidget*>(part), Qt::LeftButton);
        }
        EXPECT_FALSE(about.isVisible()) << part;
    }
}

} // namespace
