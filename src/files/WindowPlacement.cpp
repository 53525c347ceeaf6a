#include "files/WindowPlacement.h"

#include <algorithm>

namespace {

qint64 Overlap(const QRect& a, const QRect& b)
{
    const QRect common = a.intersected(b);
    return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

} // namespace

QRect ReachableFrame(QRect frame, int titleHeight, const QList<QRect>& screens)
{
    const QRect titleBar(frame.topLeft(), QSize(frame.width(), titleHeight));
    if (screens.isEmpty()
        || std::any_of(screens.begin(), screens.end(), [&](const QRect& s) { return s.contains(titleBar); }))
        return frame;

    const QRect screen = *std::max_element(screens.begin(), screens.end(), [&](const QRect& a, const QRect& b) {
        return Overlap(frame, a) < Overlap(frame, b);
    });
    frame.setWidth(std::min(frame.width(), screen.width()));
    const int x = std::clamp(frame.x(), screen.left(), screen.left() + screen.width() - frame.width());
    const int y = std::clamp(frame.y(), screen.top(), std::max(screen.top(), screen.top() + screen.height() - titleHeight));
    frame.moveTo(x, y);
    return frame;
}
