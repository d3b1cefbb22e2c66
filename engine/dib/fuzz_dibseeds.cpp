// Writes the fuzz target's first corpus into the folder given: stored images of every
// pixel format, plain and LZH-packed, converting on load, with an alpha mask; and small
// Windows bitmaps.
#include <QDir>
#include <QFile>

#include "engine/dib/tdibultra.h"

namespace {

void Write(const QString& name, const QByteArray& data)
{
    QFile f(name);
    if (f.open(QIODevice::WriteOnly)) f.write(data);
}

QByteArray Bmp(int w, int h, int bits, uint32_t compression, const QByteArray& extra, const QByteArray& px)
{
    QByteArray b(54, '\0');
    auto put = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
    };
    b[0] = 'B', b[1] = 'M';
    put(2, uint32_t(54 + extra.size() + px.size()));
    put(10, uint32_t(54 + extra.size()));
    put(14, 40), put(18, uint32_t(w)), put(22, uint32_t(h));
    b[26] = 1, b[28] = char(bits);
    put(30, compression);
    return b + extra + px;
}

}  // namespace

int main(int argc, char** argv)
{
    const QDir dir(argc > 1 ? argv[1] : ".");
    int n = 0;
    auto save = [&](TDIBUltra& d, TDUPixelFormat final) {
        QFile f(dir.filePath(QStringLiteral("seed%1.dib").arg(n++)));
        if (f.open(QIODevice::WriteOnly)) d.SaveToStream(f, DUsmDIBUltra, final);
    };
    for (int f = DUpf1; f <= DUpf32; ++f)
        for (bool lzh : {false, true}) {
            TDIBUltra d(13, 5, TDUPixelFormat(f));
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x) d.DirectPlot(x, y, uint32_t(x / 3 + y * 7) & DUmaxValue[f]);
            d.WLZH(lzh);
            save(d, TDUPixelFormat(f));
            save(d, TDUPixelFormat((f + 3) % DUpfCount));
        }
    TDIBUltra pic(9, 4, DUpf8), mask(9, 4, DUpf8);
    mask.DirectPlot(2, 2, 255);
    mask.DirectPlot(3, 2, 100);
    pic.SetAlphaMask(mask, 1, 0);
    save(pic, DUpf8);
    pic.WLZH(false);
    save(pic, DUpf8);
    Write(dir.filePath("seed24.bmp"), Bmp(2, 2, 24, 0, {}, QByteArray(16, 'x')));
    Write(dir.filePath("seed16.bmp"), Bmp(2, 2, 16, 3, QByteArray::fromHex("007c0000e00300001f000000"), QByteArray(8, 'y')));
    Write(dir.filePath("seed8.bmp"), Bmp(3, 2, 8, 0, QByteArray(64, 'p'), QByteArray(8, '\1')));
    Write(dir.filePath("seed1.bmp"), Bmp(9, 2, 1, 0, QByteArray::fromHex("00000000ffffff00"), QByteArray(8, '\x55')));
    return 0;
}
