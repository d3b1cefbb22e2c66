// The visual step of the deck displays, as the engine sees it (TVisuales in engine/visual).
#pragma once

class VisualStep {
public:
    virtual ~VisualStep() = default;
    // One repaint step. Safe from any thread: off the display's thread it is handed over as a
    // queued call and the caller does not wait.
    virtual void muevelo() = 0;
    // Stops the regular steps (shut-down).
    virtual void suspender() = 0;
};
