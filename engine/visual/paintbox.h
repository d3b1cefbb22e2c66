// A paint box of the deck displays (waveform or overview), as the visual step sees it: a
// picture of 32-bit pixels that the step copies its surface onto, and the paint event the
// step binds (the box calls it whenever it is painted, before it shows the picture).
#pragma once

#include <functional>

class DibCanvas;

class PaintBox {
public:
    virtual ~PaintBox() = default;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // The box's picture, Width() x Height(); valid until the box changes size.
    virtual DibCanvas& Canvas() = 0;
    // The picture changed: show it.
    virtual void Changed() = 0;

    std::function<void()> OnPaint;
};
