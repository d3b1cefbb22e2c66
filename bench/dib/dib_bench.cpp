// One waveform pass on a 480 x 60 24-bit surface: fill the box, 960 one-pixel vertical lines
// from the centre line, copy to a 32-bit window image. The peer does the same with QPainter on
// a QImage of the same format, in the same run. The display redraws a deck every few
// milliseconds, so a pass must stay far below 2 ms.
#include <chrono>
#include <cstdio>
#include <vector>

#include <QImage>
#include <QPainter>

#include "engine/dib/tdibultra.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int W = 480, H = 60, Passes = 2000;

int Height(int x, int pass) { return 1 + (x * 7 + pass * 3) % (H / 2 - 1); }

double OursPerPass(std::vector<uint32_t>& screen)
{
    TDIBUltra d(W, H, DUpf24);
    d.SetClipRect({0, 0, W, H});
    d.NotLast = true;
    DibCanvas window(screen.data(), W, H, W * 4);
    const auto t = Clock::now();
    for (int p = 0; p < Passes; ++p) {
        d.SetBrhColor(0x202020);
        d.FillRect(d.ClpRect);
        for (int x = 0; x < W; ++x) {
            d.SetPenColor(x < W / 2 ? 0x00C000 : 0xC00000);
            d.MoveTo(x, H / 2);
            d.LineTo(x, H / 2 - Height(x, p));
            d.MoveTo(x, H / 2);
            d.LineTo(x, H / 2 + Height(x, p));
        }
        d.DrawOn({0, 0, W, H}, window, 0, 0);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - t).count() / Passes;
}

double PeerPerPass(QImage& screen)
{
    QImage surface(W, H, QImage::Format_RGB888);
    const auto t = Clock::now();
    for (int p = 0; p < Passes; ++p) {
        {
            QPainter g(&surface);
            g.fillRect(0, 0, W - 1, H - 1, QColor(0x20, 0x20, 0x20));
            for (int x = 0; x < W; ++x) {
                g.setPen(x < W / 2 ? QColor(0, 0xC0, 0) : QColor(0, 0, 0xC0));
                g.drawLine(x, H / 2, x, H / 2 - Height(x, p) + 1);
                g.drawLine(x, H / 2, x, H / 2 + Height(x, p) - 1);
            }
        }
        QPainter w(&screen);
        w.drawImage(0, 0, surface);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - t).count() / Passes;
}

}  // namespace

int main()
{
    std::vector<uint32_t> screen(size_t(W * H));
    QImage peerScreen(W, H, QImage::Format_RGB32);
    OursPerPass(screen);  // warm-up
    PeerPerPass(peerScreen);
    const double ours = OursPerPass(screen), peer = PeerPerPass(peerScreen);
    std::printf("waveform pass %dx%d, %d passes\n", W, H, Passes);
    std::printf("  TDIBUltra        %8.1f us/pass\n", ours);
    std::printf("  QPainter/QImage  %8.1f us/pass\n", peer);
    std::printf("  ratio ours/peer  %8.2f\n", ours / peer);
    return 0;
}
