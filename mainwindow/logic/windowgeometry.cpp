#include "mainwindow/logic/windowgeometry.h"

#include <algorithm>

QRect WindowGeometry::place(const QRect& screen, const QRect& work, bool wide)
{
    const int width = wide ? std::clamp(screen.width(), kNormalWidth, kWideMax) : kNormalWidth;
    int left = screen.left() + (screen.width() - width) / 2;
    // inside the work area where it fits, else at its left edge
    left = std::min(left, work.left() + work.width() - width);
    left = std::max(left, work.left());
    return QRect(left, work.top(), width, work.height());
}
