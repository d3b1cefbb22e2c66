// The window's place in each width mode (maximizo): 1024 wide, or in the wide mode the screen's
// width up to 1280; as high as the work area, at its top; centred on the screen, its left edge
// kept inside the work area (a screen narrower than the window, a second monitor).
#pragma once

#include <QRect>

class WindowGeometry {
public:
    static constexpr int kNormalWidth = 1024;
    static constexpr int kWideMax = 1280;
    // `screen`: the screen's rectangle; `work`: its work area
    static QRect place(const QRect& screen, const QRect& work, bool wide);
};
