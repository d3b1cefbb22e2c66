// The peaks and tempo scan a deck hands a newly loaded track to. One per deck A and B.
#pragma once

#include <array>

#include <QString>

#include "engine/peakbuffer.h"
#include "engine/shared.h"

// Cells the worker writes and the deck tick takes over: 0 tempo (above 0 once found),
// 1 scan progress in percent, 2 reserved.
using HandOverCells = std::array<Shared<double>, 3>;

class PeaksWorker {
public:
    virtual ~PeaksWorker() = default;
    // Prepares a scan of `file`: `points` peak points, display `width`; fills `wavebufL`,
    // `wavebufR` after a lead-in of 2 * width and the overview `pnewl`. A running scan is
    // stopped and joined first.
    virtual void init(int points, int width, const QString& file, HandOverCells* cells,
                      PeakBufferPtr wavebufL, PeakBufferPtr wavebufR, PeakBufferPtr pnewl,
                      bool tempo, bool peaks) = 0;
    virtual void resume() = 0;
    // Stops a running scan and waits until it has ended.
    virtual void fin() = 0;
};
