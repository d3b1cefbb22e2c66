// What one step of the visual step works on: one deck's record, player, boxes, surfaces and
// controls, and its own counters (private to the visual step's files).
#pragma once

#include <cstdint>

#include "engine/peakbuffer.h"
#include "engine/visual/tvisuales.h"

struct TVisuales::Deck {
    int n;  // 1 deck A, 2 deck B
    PRecord* rec;
    carga* player;  // the deck player of that record; none for a record alone
    PaintBox* box;
    PaintBox* boxp;
    TDIBUltra* dib;
    TDIBUltra* dibp;
    TDIBUltra* dibf;
    CueStrip* cues;
    Platter* disp;
    NeedleMeter* vu;
    PeakLamp* led;
    LevelBar* left;
    LevelBar* right;
    ProgressView* pro;
    TextLabel* caption;  // "Remain"
    TextLabel* remain;   // the remaining time
    ShownImage* end;
    TSpectrum* spec;
    int& zpos;
    int& dibpeq;
    int& drawpar;
    bool& dawpar;
    int& levl;
    int& levr;
    int& updatecount;
};

// A peak point; 0 outside the buffer (or without one).
inline int peakAt(const PeakBuffer* b, int64_t i) { return b && i >= 0 ? b->get(size_t(i)) : 0; }
