#include "snkins/vs/vsmask.h"

#include <QList>
#include <QRect>

QRegion ExtGenerateMask(int offsetX, int offsetY, const QImage& bitmap, QRgb maskColor)
{
    if (bitmap.isNull()) return QRegion();
    const QImage img = bitmap.format() == QImage::Format_RGB32 || bitmap.format() == QImage::Format_ARGB32
                           ? bitmap
                           : bitmap.convertToFormat(QImage::Format_RGB32);
    const int w = img.width(), h = img.height();
    const QRgb key = maskColor & 0xFFFFFF;
    // rows come out top to bottom and runs left to right: the banded order setRects expects
    QList<QRect> runs;
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        int x = 0;
        while (x < w) {
            while (x < w && (line[x] & 0xFFFFFF) == key) ++x;
            if (x >= w) break;
            const int start = x;
            while (x < w && (line[x] & 0xFFFFFF) != key) ++x;
            runs.append(QRect(offsetX + start, offsetY + y, x - start, 1));
        }
    }
    QRegion region;
    if (!runs.isEmpty()) region.setRects(runs.constData(), int(runs.size()));
    return region;
}
