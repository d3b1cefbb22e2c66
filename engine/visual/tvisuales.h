// The visual step of the deck displays: the scrolling waveform around the play position, the
// overview of the whole track with its play head, the spectrum view in place of both, and the
// needle meters, LED level bars, peak LEDs, platters and state words beside them.
//
// No thread of its own draws. A timer of the display's thread calls muevelo every `dormir`
// milliseconds (2 in the waveform view, 25 in the spectrum view); each step draws one deck,
// deck A and deck B in turn. muevelo called from another thread (the peaks workers' progress,
// through the engine's conteo) is handed over as a queued call. Drawing goes into off-screen
// surfaces that are copied onto the paint boxes; every other control is reached through the
// small interfaces beside this file (the main window gives the real controls, tests fakes).
//
// Deck state comes from the decks' records: scalars are atomics, and the peak buffers are
// taken whole (a shared pointer copy) once a frame and read only inside their bounds.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include <QObject>

#include "engine/dib/dibtypes.h"
#include "engine/peakbuffer.h"
#include "engine/shared.h"
#include "engine/visual/tspectrum.h"
#include "engine/visualstep.h"

class CueStrip;
class LevelBar;
class NeedleMeter;
class PRecord;
class PaintBox;
class PeakLamp;
class Platter;
class ProgressView;
class QTimer;
class ShownImage;
class TDIBUltra;
class TextLabel;
class carga;

class TVisuales : public QObject, public VisualStep {
public:
    // Stopped until init: visualing set, waveform view.
    explicit TVisuales(QObject* parent = nullptr);
    ~TVisuales() override;
    TVisuales(const TVisuales&) = delete;
    TVisuales& operator=(const TVisuales&) = delete;

    // ---- set by the main window before init (any may stay empty)
    PaintBox* paintbox1 = nullptr;   // waveform of deck A
    PaintBox* paintbox2 = nullptr;   // waveform of deck B
    PaintBox* paintboxp1 = nullptr;  // overview of deck A
    PaintBox* paintboxp2 = nullptr;  // overview of deck B
    // waveform backgrounds of deck A, deck B and of an active loop
    std::shared_ptr<TDIBUltra> bmp1, bmp2, bmp3;
    bool bmpfondo = true;  // draw the waveform over the backgrounds
    Platter* xdispa = nullptr;
    Platter* xdispb = nullptr;
    NeedleMeter* vu1 = nullptr;
    NeedleMeter* vu2 = nullptr;
    // "Remain" captions and remaining-time labels: deck A 1, 2; deck B 3, 4
    TextLabel* lab1 = nullptr;
    TextLabel* lab2 = nullptr;
    TextLabel* lab3 = nullptr;
    TextLabel* lab4 = nullptr;
    TColor labcolor = 0xDDDDDD;
    PeakLamp* led1 = nullptr;
    PeakLamp* led2 = nullptr;
    ProgressView* pro1 = nullptr;  // position bars of the spectrum view
    ProgressView* pro2 = nullptr;
    LevelBar* xrll1 = nullptr;
    LevelBar* xrlr1 = nullptr;
    LevelBar* xrll2 = nullptr;
    LevelBar* xrlr2 = nullptr;
    CueStrip* imgcues1 = nullptr;
    CueStrip* imgcues2 = nullptr;
    ShownImage* imgend1 = nullptr;
    ShownImage* imgend2 = nullptr;
    // colour tables of the waveform and the overview (0xBBGGRR), as the main window sets them
    std::array<TColor, 13> cg{0x000000, 0x00B4FF, 0x0AB2FE, 0x1BCE8A, 0x0000FF, 0x12704A, 0x1BCE8A,
                              0x4E401C, 0x241124, 0x9A2F8E, 0x50401B, 0, 0};
    std::array<TColor, 13> cp{0x000000, 0x666669, 0x575757, 0x808080, 0x018ECB, 0xFFFF00, 0x91328D,
                              0x2121A9, 0x1C3039, 0x002638, 0x003220, 0x018ECB, 0x0AB2FE};

    // Builds the surfaces and the spectrum drawers for the boxes as they are now, binds the
    // boxes' paint events and starts the steps. Called once.
    void init(PRecord* deckA, PRecord* deckB);
    // One step: deck A, then deck B on the next.
    void muevelo() override;
    // Spectrum view (true) or waveform view (false) on both decks.
    void setdisplayspec(bool valor);
    // Ends the regular steps; muevelo still works when called.
    void suspender() override;
    // Paint events of the four boxes: the surface at the box's size, copied onto it.
    void spaint1();
    void spaint1p();
    void spaint2();
    void spaint2p();

    // Pause between steps in milliseconds.
    int dormir() const { return dormir_; }
    bool running() const;

    // ---- owned
    std::unique_ptr<TDIBUltra> dib1, dib2, dib1p, dib2p;  // 24-bit: waveforms, overviews
    std::unique_ptr<TDIBUltra> dibf1, dibf2, dibf3;       // 16-bit copies of bmp1..bmp3
    std::unique_ptr<TSpectrum> mspectrum;
    std::unique_ptr<TSpectrum2> mspectrum2;
    TFFTData FFTFata{};
    TFFTData FFTFata2{};  // stays zero: the frame of a deck that does not play
    PRecord* ox1 = nullptr;
    PRecord* ox2 = nullptr;
    bool uno = false;  // deck B is next
    Shared<bool> visualing{true};
    bool displayspec = false;
    int dibpeq = 0, dibpeq2 = 0;      // overview step counters
    int drawpar = 0, drawpar2 = 0;    // end-warning blink counters
    bool dawpar = false, dawpar2 = false;  // end warning shown
    int zpos1 = 0, zpos2 = 0;         // waveform point drawn last
    int pmpos = 0, posit = 0;
    int levl = 0, levr = 0, levl2 = 0, levr2 = 0;  // meter levels
    int updatecount = 0, updatecount2 = 0;

    void moveit();   // deck A
    void moveit2();  // deck B

private:
    struct Deck;
    Deck side(int n);
    void step();
    void moveDeck(int n);
    bool positionUpdate(Deck& d);
    void DrawingNextImage(Deck& d, bool drawn);
    void Drawpeq(Deck& d);
    void DrawSpectrum(Deck& d);
    void meters(Deck& d, bool moved);
    void stateWord(Deck& d);
    void endWarning(Deck& d, bool on);
    static void paintSurface(TDIBUltra* surface, PaintBox* box);

    int dormir_ = 2;
    QTimer* timer_;
};
