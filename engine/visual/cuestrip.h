// The strip above a waveform that carries the cue flags, as the visual step sees it. It holds
// its two marker pictures (a cue, a loop cue), its brush (black) and its font (white, size 7).
#pragma once

#include <QString>

#include "engine/dib/dibtypes.h"

class CueStrip {
public:
    virtual ~CueStrip() = default;
    // Both marker pictures are there.
    virtual bool HasMarks() const = 0;
    // Fills the whole strip with its brush.
    virtual void Clear() = 0;
    // The cue marker (loop: the loop cue marker) with its top-left corner at (x, y).
    virtual void DrawMark(int x, int y, bool loop) = 0;
    // Text with its top-left corner at (x, y), in `color` (0xBBGGRR).
    virtual void DrawText(int x, int y, const QString& text, TColor color) = 0;
};
