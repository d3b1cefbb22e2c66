// The instrument kit's LED lamps, ":/kit/LI_RND", ":/kit/LI_RECT" and ":/kit/LI_BIG".
//
// Each picture holds two frames side by side, the unlit lamp on the left and the lit one on the
// right, of one shape:
//   LI_RND   18 x 9  (frames 9 x 9):  a disc 7 pixels across
//   LI_RECT  20 x 5  (frames 10 x 5): a bar 8 x 3
//   LI_BIG   34 x 7  (frames 17 x 7): a bar 15 x 5
// The LED recolours every lamp pixel by its exact colour and leaves black out, so the lamps are
// drawn pixel by pixel, without edge smoothing: lamp pixels are exactly maroon (0x000080 as the
// kit writes colours, RGB #800000) in the unlit frame and red (0x0000FF, RGB #FF0000) in the lit
// one, every pixel around the lamp is black, and the glint is white and grey (kept as drawn).
#include <QImage>
#include <functional>

#include "snkins/art/artgen.h"

namespace {

const QRgb kUnlit = qRgb(0x80, 0x00, 0x00);
const QRgb kLit = qRgb(0xFF, 0x00, 0x00);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(0xFF, 0xFF, 0xFF);
const QRgb kGrey = qRgb(0xC0, 0xC0, 0xC0);

// Draws both frames of a lamp: `lamp` says which pixels of a frame belong to the lamp, `glint`
// which of those carry the highlight (white when it returns 2, grey when 1).
QImage lampStrip(int frameW, int frameH, const std::function<bool(int, int)>& lamp,
                 const std::function<int(int, int)>& glint)
{
    QImage img(2 * frameW, frameH, QImage::Format_RGB32);
    img.fill(kBlack);
    for (int f = 0; f < 2; ++f)
        for (int y = 0; y < frameH; ++y)
            for (int x = 0; x < frameW; ++x) {
                if (!lamp(x, y)) continue;
                const int g = glint(x, y);
                img.setPixel(f * frameW + x, y, g == 2 ? kWhite : g == 1 ? kGrey : f == 0 ? kUnlit : kLit);
            }
    return img;
}

void drawLeds(ArtContext& ctx)
{
    ctx.saveBmp(QStringLiteral("LI_RND"),
                lampStrip(
                    9, 9, [](int x, int y) { return (x - 4) * (x - 4) + (y - 4) * (y - 4) <= 10; },
                    [](int x, int y) { return x == 3 && y == 2 ? 2 : (x == 2 && y == 3) || (x == 2 && y == 2) ? 1 : 0; }));
    ctx.saveBmp(QStringLiteral("LI_RECT"),
                lampStrip(
                    10, 5, [](int x, int y) { return x >= 1 && x <= 8 && y >= 1 && y <= 3; },
                    [](int x, int y) { return y == 1 && x == 2 ? 2 : y == 1 && x == 3 ? 1 : 0; }));
    ctx.saveBmp(QStringLiteral("LI_BIG"),
                lampStrip(
                    17, 7, [](int x, int y) { return x >= 1 && x <= 15 && y >= 1 && y <= 5; },
                    [](int x, int y) { return y == 1 && x == 2 ? 2 : y == 1 && x >= 3 && x <= 5 ? 1 : 0; }));
}

}  // namespace

ART_MODULE("kit", kit_vr_leds, drawLeds);
