// The text size of the library panels, from the text-size slider's position n (0..6).
#pragma once

struct PanelTextSize {
    int font = 10;          // tree and grid font
    int rowHeight = 19;     // the grid's default row height
    int titleHeight = 24;   // the title strip
    int titleFont = 12;
    int statusHeight = 28;  // the status bar
    int searchFont = 10;    // the search box

    static PanelTextSize of(int n)
    {
        return PanelTextSize{n + 8, 2 * n + 15, 2 * n + 20, n + 10, 2 * n + 24, n + 8};
    }
};
