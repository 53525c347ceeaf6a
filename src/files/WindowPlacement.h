#pragma once

#include <QList>
#include <QRect>

// Where to put a window whose frame is `frame` (pixels; its title bar is the top
// `titleHeight` pixels) so that the whole title bar lies on one of `screens` (their
// available areas) and the user can reach it: unchanged when it already does; otherwise
// moved onto the screen the frame overlaps most (the first when it overlaps none),
// narrowed to that screen's width when wider. With no screens the frame is unchanged.
QRect ReachableFrame(QRect frame, int titleHeight, const QList<QRect>& screens);
