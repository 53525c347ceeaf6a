#include "files/WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, TitleBarIsBroughtOntoAScreenThatExists)
{
    const QList<QRect> two{QRect(0, 0, 1920, 1040), QRect(1920, -200, 1280, 1024)};
    struct Case { QRect frame; QList<QRect> screens; QRect placed; };
    const Case cases[] = {
        {QRect(100, 100, 800, 600), two, QRect(100, 100, 800, 600)},        // already reachable
        {QRect(2000, -150, 800, 600), two, QRect(2000, -150, 800, 600)},    // on the second screen
        {QRect(5000, 100, 800, 600), two, QRect(1120, 100, 800, 600)},      // on no screen: the first
        {QRect(1800, 100, 800, 600), two, QRect(1920, 100, 800, 600)},      // mostly on the second
        {QRect(1500, 100, 800, 600), two, QRect(1120, 100, 800, 600)},      // mostly on the first
        {QRect(100, 1030, 800, 600), two, QRect(100, 1010, 800, 600)},      // title bar below the bottom
        {QRect(-900, -700, 800, 600), two, QRect(0, 0, 800, 600)},          // above and left
        {QRect(0, 0, 3000, 600), two, QRect(0, 0, 1920, 600)},              // wider than any screen
        {QRect(100, 100, 800, 600), {}, QRect(100, 100, 800, 600)},         // no screen known
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReachableFrame(c.frame, 30, c.screens), c.placed) << c.frame.x() << "," << c.frame.y();
}
