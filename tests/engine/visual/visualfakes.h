// Stand-ins for the controls the visual step reaches: paint boxes over plain pixel blocks, a cue
// strip, meters, bars, lamps, platters, labels and pictures that record what they were told.
#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "engine/dib/dibcanvas.h"
#include "engine/visual/cuestrip.h"
#include "engine/visual/levelbar.h"
#include "engine/visual/needlemeter.h"
#include "engine/visual/paintbox.h"
#include "engine/visual/peaklamp.h"
#include "engine/visual/platter.h"
#include "engine/visual/shownimage.h"
#include "engine/visual/textlabel.h"

struct FakeBox : PaintBox {
    FakeBox(int w, int h) : pixels(size_t(w) * size_t(h), 0xFF123456u), w(w), h(h) {}
    int Width() const override { return w; }
    int Height() const override { return h; }
    DibCanvas& Canvas() override
    {
        canvas = DibCanvas(pixels.data(), w, h, w * 4);
        return canvas;
    }
    void Changed() override { ++changes; }
    // the pixel as 0xBBGGRR
    TColor at(int x, int y) const
    {
        const uint32_t p = pixels[size_t(y) * size_t(w) + size_t(x)];
        return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
    }
    // rows of column x in colour c
    int count(int x, TColor c) const
    {
        int n = 0;
        for (int y = 0; y < h; ++y) n += at(x, y) == c;
        return n;
    }
    std::vector<uint32_t> pixels;
    int w, h;
    DibCanvas canvas{nullptr, 0, 0, 0};
    int changes = 0;
};

struct FakeStrip : CueStrip {
    struct Mark {
        int x, y;
        bool loop;
    };
    struct Text {
        int x, y;
        QString text;
        TColor color;
    };
    bool HasMarks() const override { return marksThere; }
    void Clear() override
    {
        ++clears;
        marks.clear();
        texts.clear();
    }
    void DrawMark(int x, int y, bool loop) override { marks.push_back({x, y, loop}); }
    void DrawText(int x, int y, const QString& t, TColor c) override { texts.push_back({x, y, t, c}); }
    bool marksThere = true;
    int clears = 0;
    std::vector<Mark> marks;
    std::vector<Text> texts;
};

struct FakeMeter : NeedleMeter {
    void SetPico(int v) override
    {
        picos.push_back(v);
        if (v > position) position = v;
    }
    double Position() const override { return position; }
    void SetPosition(double v) override { position = v; }
    bool Enabled() const override { return enabled; }
    void SetStateWord(const QString& w, TColor c) override
    {
        word = w;
        wordColor = c;
    }
    void SetRemainColor(TColor c) override { remainColor = c; }
    std::vector<int> picos;
    double position = 0;
    bool enabled = true;
    QString word;
    TColor wordColor = 0x123456, remainColor = 0x123456;
};

struct FakeBar : LevelBar {
    void SetPico(int v) override { picos.push_back(v); }
    void SetPosition(int v) override { positions.push_back(v); }
    std::vector<int> picos, positions;
};

struct FakeLamp : PeakLamp {
    void SetActive(bool v) override { on = v; }
    bool on = false;
};

struct FakePlatter : Platter {
    bool Enabled() const override { return enabled; }
    void SetHeading(int d) override { heading = d; }
    bool enabled = true;
    int heading = -1;
};

struct FakeLabel : TextLabel {
    void SetFontColor(TColor c) override { color = c; }
    TColor color = 0x123456;
};

struct FakeImage : ShownImage {
    void SetVisible(bool v) override { visible = v; }
    bool visible = false;
};
