// The visual step: the scrolling waveform and the overview of one deck.
//
// The wave buffers hold one point per 2048 decoded bytes after a lead-in of 2 * surface zero
// points, so the point under the centre column is gfx_pos + 2 + 2 * W. A column shows point
// i = s + w; cue and loop marks are stored as point index + surface / 2, which puts them at
// i = a + mark (a = W + W / 2).
#include <algorithm>
#include <climits>

#include "engine/carga.h"
#include "engine/decktime.h"
#include "engine/dib/tdibultra.h"
#include "engine/precord.h"
#include "engine/speedslider.h"
#include "engine/visual/cuestrip.h"
#include "engine/visual/needlemeter.h"
#include "engine/visual/paintbox.h"
#include "engine/visual/tvisualesdeck.h"

namespace {

constexpr TColor kWhite = 0xFFFFFF;
constexpr TColor kLoopCueText = 0x00D500;
constexpr TColor kPlayedWarning = 0x716DB8;
constexpr TColor kPlayed = 0xA57A58;

// Each of red, green and blue of `c` scaled by num / den, rounded up.
TColor scaled(TColor c, int num, int den)
{
    auto part = [&](int shift) { return uint32_t((int((c >> shift) & 0xFF) * num + den - 1) / den) << shift; };
    return part(0) | part(8) | part(16);
}

int pixel(int64_t v) { return int(std::clamp<int64_t>(v, -(1 << 20), 1 << 20)); }

}  // namespace

void TVisuales::DrawingNextImage(Deck& d, bool drawn)
{
    if (!d.box || !d.dib) return;
    const bool moved = positionUpdate(d);
    if (d.player && d.player->changedir) {
        d.player->changedir = false;
        return;
    }
    PRecord& r = *d.rec;
    TDIBUltra& dib = *d.dib;
    const int W = d.box->Width(), H = d.box->Height(), H2 = H / 2;
    const bool strip = d.cues && d.cues->HasMarks();
    const bool inloop = r.loop;
    if (strip) d.cues->Clear();
    if (drawn) {
        dib.SetBrhColor(cg[0]);
        dib.FillRect(dib.ClpRect);
    } else {
        TDIBUltra& bg = inloop ? *dibf3 : *d.dibf;
        dib.Cnv.BitBlt(0, 0, bg.DIBWidth, bg.DIBHeight, bg.Cnv, 0, 0);
    }

    // the window of points: the current point in the centre column at every zoom
    const int z = std::clamp(r.zoom.load(), -1, 4);
    const int64_t k = z <= 1 ? 0 : z == 2 ? W / 4 : z == 3 ? W / 3 : 3 * W / 8;
    int64_t s = int64_t(r.gfx_pos) + k + 2;
    int64_t a = W + W / 2, b = a;
    int stride = 1, cols = std::max(z, 1);
    if (z == 0) {
        s += W;
        s += s & 1;
        stride = 2;
        b = a + 2;
    } else if (z == -1) {
        s = (s + 3) & ~int64_t(3);
        stride = 4;
        b = a + 4;
    } else {
        s += W + W / 2;
    }

    const PeakBufferPtr wl = r.wavebufL.get(), wr = r.wavebufR.get();
    const int64_t loopStart = r.loo[0], loopEnd = r.loo[1];
    std::array<int64_t, 12> cue{};
    for (size_t j = 0; j < cue.size(); ++j) cue[j] = r.cue[j];
    const TColor deckColor = d.n == 1 ? cg[2] : cg[3];
    const int quarter = std::max(W / 4, 1);

    // every column, the last one too: left alone it would show the whole background
    int64_t w = 0;
    for (int x = 0; x < W;) {
        const int64_t i = s + w;
        const bool outside = inloop && (i <= a + loopStart || i >= b + loopEnd);
        // the point's height above and below the centre line
        const int up = std::clamp(peakAt(wl.get(), i), 0, 100) * H2 / 100;
        const int down = std::clamp(peakAt(wr.get(), i), 0, 100) * H2 / 100;
        const int first = x;
        for (int c = 0; c < cols; ++c, ++x) {
            if (!drawn) {
                // the lines cover the background outside the wave's envelope
                if (outside) {
                    dib.SetPenColor(cp[2]);
                    dib.MoveTo(x, 1);
                    dib.LineTo(x, 2 * H2);
                }
                dib.SetPenColor(inloop && !outside ? cg[8] : cg[0]);
                dib.MoveTo(x, 0);
                dib.LineTo(x, std::max(1, H2 - up - 1));
                dib.MoveTo(x, H - 1);
                dib.LineTo(x, std::min(2 * H2 - 1, down + H2 - 1));
                continue;
            }
            TColor pen;
            if (inloop) {
                if (!outside) {
                    dib.SetPenColor(cg[10]);
                    dib.MoveTo(x, 1);
                    dib.LineTo(x, 2 * H2);
                    pen = x < W / 2 ? cg[7] : cg[8];
                } else {
                    pen = cg[9];
                }
            } else {
                // the deck's colour, faded in and out over a quarter of the box at each end
                pen = deckColor;
                if (x < quarter) pen = scaled(deckColor, x, quarter);
                else if (x >= W - quarter) pen = scaled(deckColor, W - x, quarter);
                cg[1] = pen;
            }
            dib.SetPenColor(pen);
            dib.MoveTo(x, H2);
            dib.LineTo(x, std::max(1, H2 - up - 1));
            dib.MoveTo(x, H2);
            dib.LineTo(x, std::min(2 * H2 - 1, down + H2 + 1));
        }
        if (strip && !inloop) {
            const int at = first + cols - z;  // x - z, x past the point's columns
            for (int j = 0; j < 6; ++j) {
                if (cue[j] <= 0 || i < a + cue[j] || i > b + cue[j]) continue;
                const bool loopCue = cue[6 + j] > 0;
                d.cues->DrawMark(at - 5, 1, loopCue);
                d.cues->DrawText(at + 5, -2, QStringLiteral("%1 %2").arg(loopCue ? "LOOP" : "CUE").arg(j + 1),
                                 loopCue ? kLoopCueText : cg[2]);
            }
        }
        w += stride;
    }

    dib.SetPenColor(cg[4]);
    dib.MoveTo(W / 2, 0);
    dib.LineTo(W / 2, H);
    dib.DrawOn({0, 0, W, H}, d.box->Canvas(), 0, 0);
    d.box->Changed();

    if (d.player && d.player->vdmcslider) d.player->vdmcslider->setPosition(d.player->dmcslider);
    if (d.disp) meters(d, moved);
}

void TVisuales::Drawpeq(Deck& d)
{
    if (++d.dibpeq < 20) return;
    d.dibpeq = 0;
    if (!d.boxp || !d.dibp) return;
    PRecord& r = *d.rec;
    TDIBUltra& dib = *d.dibp;
    const int H = d.boxp->Height(), W = d.boxp->Width();
    const int gp = r.gfx_posp;
    const bool inloop = r.loop;

    dib.SetBrhColor(cp[0]);
    dib.ClearAll();

    // the end of the track: the played part blinks, every drawn overview below 15 s left
    // and every second one below 30 s; a deck that stands still does not blink
    int rem = -1;
    if (d.player) rem = d.player->rem;
    else decode_time(r.lengthms - r.tiempopos, 'R', &rem);
    const bool nearEnd = r.loaded && r.Fstatus != sStop && rem < 30;
    if (nearEnd) {
        const int bit = rem < 15 ? 1 : 2;
        if (d.drawpar & bit) {
            dib.SetBrhColor(cp[7]);
            dib.FillRect({0, 0, gp, H});
            d.dawpar = true;
            endWarning(d, true);
        } else {
            d.dawpar = false;
            endWarning(d, false);
        }
    } else if (d.dawpar) {
        d.dawpar = false;
        endWarning(d, false);
    }
    if (++d.drawpar > 10000) d.drawpar = 0;

    const int ls = pixel(int64_t(r.loo[2]) + 2), le = pixel(int64_t(r.loo[3]) + 4);
    auto progressLines = [&] {
        dib.SetPenColor(kWhite);
        dib.MoveTo(0, H - 1);
        dib.LineTo(gp, H - 1);
        dib.LineTo(gp, 0);
        dib.MoveTo(0, H - 2);
        dib.LineTo(gp, H - 2);
    };
    if (inloop) {
        dib.SetPenColor(cp[6]);
        dib.MoveTo(ls, 0);
        dib.LineTo(le - 1, 0);
        dib.LineTo(le - 1, H - 2);
        dib.LineTo(ls, H - 2);
        dib.LineTo(ls, 0);
    } else {
        progressLines();
    }

    const PeakBufferPtr over = r.pnewl.get();
    const int surface = std::min(r.surface.load(), std::max(dib.DIBWidth, W));
    for (int x = 0; x < surface; ++x) {
        const int h = std::clamp(peakAt(over.get(), 2 * int64_t(x)), 0, 75) * H / 75;
        TColor c;
        if (inloop) c = x >= ls && x <= le ? cp[6] : cp[2];
        else if (x < gp) c = d.dawpar ? kPlayedWarning : kPlayed;
        else c = cp[2];
        dib.SetPenColor(c);
        dib.MoveTo(x, H);
        dib.LineTo(x, H - h - 1);
    }

    if (inloop) {
        dib.SetPenColor(cp[6]);
        for (int x : {ls, le}) {
            dib.MoveTo(x, 0);
            dib.LineTo(x, H);
        }
    }
    for (int j = 0; j < 6; ++j) {
        const int64_t at = r.cuep[j];
        if (at <= 0) continue;
        dib.SetPenColor(r.cue[6 + j] > 0 ? cp[6] : cp[12]);
        dib.MoveTo(pixel(at + 3), 0);
        dib.LineTo(pixel(at + 3), H);
    }
    dib.SetPenColor(kWhite);
    dib.MoveTo(gp, 0);
    dib.LineTo(gp, H);
    if (!inloop) progressLines();
    pmpos = gp;
    dib.DrawOn({0, 0, W, H}, d.boxp->Canvas(), 0, 0);
    d.boxp->Changed();
}
