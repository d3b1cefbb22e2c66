// A knob strip for the gallery and the bench: `frames` knobs side by side, a dark cap with a
// light pointer and an accent arc from the minimum to the frame's value (280 degrees of sweep).
#pragma once

#include <QImage>
#include <QPainter>
#include <cmath>

inline QImage KnobStrip(int frames, int size, QColor accent)
{
    QImage strip(frames * size, size, QImage::Format_RGB32);
    strip.fill(QColor(0x21, 0x21, 0x21));
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = size / 2.0;
    for (int i = 0; i < frames; ++i) {
        const QPointF c(i * size + r, r);
        const double t = frames > 1 ? double(i) / (frames - 1) : 0;
        p.setPen(QPen(QColor(0x11, 0x11, 0x11), 1));
        p.setBrush(QColor(0x2E, 0x2E, 0x2E));
        p.drawEllipse(c, r - 6, r - 6);
        p.setPen(QPen(QColor(0x3A, 0x3A, 0x3A), 3, Qt::SolidLine, Qt::FlatCap));
        const QRectF ring(c.x() - r + 3, c.y() - r + 3, 2 * r - 6, 2 * r - 6);
        p.drawArc(ring, 225 * 16, -280 * 16);  // from seven o'clock, clockwise
        p.setPen(QPen(accent, 3, Qt::SolidLine, Qt::FlatCap));
        p.drawArc(ring, 225 * 16, -int(std::lround(280 * 16 * t)));
        const double a = (225 - 280 * t) * M_PI / 180;
        p.setPen(QPen(QColor(0xDD, 0xDD, 0xDD), 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c, c + QPointF(std::cos(a) * (r - 9), -std::sin(a) * (r - 9)));
    }
    return strip;
}
