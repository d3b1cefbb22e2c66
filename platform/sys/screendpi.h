// The primary screen's logical resolution in pixels per inch, horizontal and vertical: 96 x 96
// without a GUI application or without a screen. Qt 6 scales windows by itself, so it reports
// 96 on a screen it scales. UI thread, or before the GUI application exists.
#pragma once

namespace sys {

struct Dpi {
    int x = 96;
    int y = 96;
};

Dpi screenDpi();

}  // namespace sys
