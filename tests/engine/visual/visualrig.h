// A visual step wired to fakes, over two deck records that tests fill with synthetic tracks.
#pragma once

#include <functional>
#include <memory>

#include "engine/dib/tdibultra.h"
#include "engine/precord.h"
#include "engine/visual/tvisuales.h"
#include "tests/engine/deck/deckfakes.h"
#include "tests/engine/visual/visualfakes.h"

namespace visualrig {

// Background pictures: one solid colour each, so that the wave shows as that colour.
constexpr TColor kBackA = 0x0AB2FE, kBackB = 0x1BCE8A, kBackLoop = 0xF5A93F;
constexpr int kBytesPerPoint = 2048;
constexpr double kBytesPerSecond = 44100 * 4.0;

inline std::shared_ptr<TDIBUltra> solid(int w, int h, TColor c)
{
    auto d = std::make_shared<TDIBUltra>(w, h, DUpf24);
    d->SetBrhColor(c);
    d->ClearAll();
    return d;
}

// The colour a 24-bit colour becomes on its way through a 16-bit (5-6-5) background.
inline TColor through565(TColor c)
{
    TDIBUltra d(1, 1, DUpf16);
    d.SetPixel(0, 0, c);
    TDIBUltra e(1, 1, DUpf24);
    e.Cnv.BitBlt(0, 0, 1, 1, d.Cnv, 0, 0);
    return e.GetPixel(0, 0);
}

// A loaded track of `points` wave points whose value at point p is value(p); the overview
// holds the same values, one a pixel.
inline void track(PRecord& r, int surface, int points, const std::function<int(int)>& value)
{
    r.surface = surface;
    r.length = int64_t(points) * kBytesPerPoint;
    r.ratio = points;
    r.lengthms = int64_t(double(r.length) / kBytesPerSecond * 1000);
    auto wl = std::make_shared<PeakBuffer>(size_t(points) + 4 * size_t(surface));
    auto wr = std::make_shared<PeakBuffer>(size_t(points) + 4 * size_t(surface));
    for (int p = 0; p < points; ++p) {
        wl->set(2 * size_t(surface) + size_t(p), int16_t(value(p)));
        wr->set(2 * size_t(surface) + size_t(p), int16_t(value(p)));
    }
    auto ov = std::make_shared<PeakBuffer>(4 * size_t(surface));
    for (int x = 0; x < surface; ++x) {
        const int v = value(int(int64_t(x) * points / surface));
        ov->set(2 * size_t(x), int16_t(v));
        ov->set(2 * size_t(x) + 1, int16_t(v));
    }
    r.wavebufL = wl;
    r.wavebufR = wr;
    r.pnewl = ov;
    r.loaded = true;
    r.showwave = true;
    r.zoom = 1;
    r.percgain = 1.0;
}

// Where a deck stands: on wave point `point`.
inline void at(PRecord& r, int64_t point) { r.tiempopcm = point * kBytesPerPoint; }

struct Rig {
    explicit Rig(int w = 480, int h = 74, int ow = 480, int oh = 30)
        : box1(w, h), box2(w, h), over1(ow, oh), over2(ow, oh)
    {
        v.paintbox1 = &box1;
        v.paintbox2 = &box2;
        v.paintboxp1 = &over1;
        v.paintboxp2 = &over2;
        v.xdispa = &platter1;
        v.xdispb = &platter2;
        v.vu1 = &vu1;
        v.vu2 = &vu2;
        v.lab1 = &lab1;
        v.lab2 = &lab2;
        v.lab3 = &lab3;
        v.lab4 = &lab4;
        v.led1 = &led1;
        v.led2 = &led2;
        v.pro1 = &pro1;
        v.pro2 = &pro2;
        v.xrll1 = &l1;
        v.xrlr1 = &r1;
        v.xrll2 = &l2;
        v.xrlr2 = &r2;
        v.imgcues1 = &cues1;
        v.imgcues2 = &cues2;
        v.imgend1 = &end1;
        v.imgend2 = &end2;
        v.bmp1 = solid(w, h, kBackA);
        v.bmp2 = solid(w, h, kBackB);
        v.bmp3 = solid(w, h, kBackLoop);
    }

    void start(PRecord* a = nullptr, PRecord* b = nullptr) { v.init(a ? a : &deckA, b ? b : &deckB); }

    TVisuales v;
    PRecord deckA, deckB;
    FakeBox box1, box2, over1, over2;
    FakePlatter platter1, platter2;
    FakeMeter vu1, vu2;
    FakeLabel lab1, lab2, lab3, lab4;
    FakeLamp led1, led2;
    FakeProgress pro1, pro2;
    FakeBar l1, r1, l2, r2;
    FakeStrip cues1, cues2;
    FakeImage end1, end2;
};

}  // namespace visualrig
