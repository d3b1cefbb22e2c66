// Small helpers of the kit's tests: colours as the kit writes them, pixel reads, test strips.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include "snkins/colorref.h"
#include "snkins/vr/tvrtypes.h"

// The RGB of a kit colour, for comparing with image pixels.
inline QRgb rgbOf(TColor c) { return colorFromRef(c).rgb() & 0xFFFFFF; }
inline QRgb px(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }
inline int alphaAt(const QImage& img, int x, int y) { return qAlpha(img.pixel(x, y)); }

// The colour of frame i in a test strip: every frame is one solid, distinct colour.
inline QRgb frameColour(int i) { return qRgb(10 + i * 8, 250 - i * 8, (i * 37) % 256) & 0xFFFFFF; }

inline QImage solidStrip(int frames, int w, int h)
{
    QImage strip(frames * w, h, QImage::Format_RGB32);
    QPainter p(&strip);
    for (int i = 0; i < frames; ++i) p.fillRect(QRect(i * w, 0, w, h), QColor(frameColour(i)));
    return strip;
}

// How many pixels of `img` inside `r` have exactly colour `rgb`.
inline int countColour(const QImage& img, const QRect& r, QRgb rgb)
{
    int n = 0;
    const QRect box = r.intersected(img.rect());
    for (int y = box.top(); y <= box.bottom(); ++y)
        for (int x = box.left(); x <= box.right(); ++x)
            if (px(img, x, y) == (rgb & 0xFFFFFF) && qAlpha(img.pixel(x, y)) == 255) ++n;
    return n;
}
