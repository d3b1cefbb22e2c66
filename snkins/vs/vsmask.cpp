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
    // Rows come out top to bottom and runs left to right; a row whose runs equal the row
    // above it lengthens that row's band. That is QRegion's own canonical form, so the
    // region compares equal to one built by uniting the same pixels.
    QList<QRect> rects;
    qsizetype bandStart = 0;  // first rectangle of the band the last row joined
    QList<std::pair<int, int>> runs, previous;
    for (int y = 0; y < h; ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        runs.clear();
        int x = 0;
        while (x < w) {
            while (x < w && (line[x] & 0xFFFFFF) == key) ++x;
            if (x >= w) break;
            const int start = x;
            while (x < w && (line[x] & 0xFFFFFF) != key) ++x;
            runs.append({start, x});
        }
        const bool continues = !runs.isEmpty() && runs == previous && bandStart < rects.size() &&
                               rects[bandStart].y() + rects[bandStart].height() == offsetY + y;
        if (continues) {
            for (qsizetype i = bandStart; i < rects.size(); ++i) rects[i].setHeight(rects[i].height() + 1);
        } else {
            bandStart = rects.size();
            for (const auto& [start, end] : runs) rects.append(QRect(offsetX + start, offsetY + y, end - start, 1));
        }
        previous.swap(runs);
    }
    QRegion region;
    if (!rects.isEmpty()) region.setRects(rects.constData(), int(rects.size()));
    return region;
}
