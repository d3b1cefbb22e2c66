#include "mainwindow/form/formlook.h"

#include <cmath>

namespace formlook {

namespace {

const QColor kRaised(0x33, 0x33, 0x33);
const QColor kHot(0x40, 0x40, 0x40);
const QColor kDisabled(0x26, 0x26, 0x26);
const QColor kDark(0x11, 0x11, 0x11);
const QColor kLight(0xF0, 0xF0, 0xF0);
const QColor kEdge(0x11, 0x11, 0x11);

QColor mix(const QColor& a, const QColor& b, double f)  // f of a, the rest of b
{
    return QColor(int(std::lround(a.red() * f + b.red() * (1 - f))),
                  int(std::lround(a.green() * f + b.green() * (1 - f))),
                  int(std::lround(a.blue() * f + b.blue() * (1 - f))));
}

// The preferred text colour when it reads on `fill`, else the better of dark and light.
QColor readable(const QColor& fill, const QColor& preferred)
{
    if (contrast(fill, preferred) >= 4.5) return preferred;
    return contrast(fill, kDark) >= contrast(fill, kLight) ? kDark : kLight;
}

QString base(const QString& look)  // "cueSetA" -> "A"
{
    if (look.startsWith(QLatin1String("cue"))) return look.right(1);
    return look;
}

// The text a dark cell of the look carries: its accent, lightened where the accent is dim.
QColor restText(const QString& look)
{
    if (look == QLatin1String("red")) return QColor(0xFF, 0x80, 0x80);
    if (look == QLatin1String("neutral")) return QColor(0xDD, 0xDD, 0xDD);
    return accent(look);
}

}  // namespace

QColor accent(const QString& look)
{
    const QString b = base(look);
    if (b == QLatin1String("A")) return QColor(0xFE, 0xB2, 0x0A);
    if (b == QLatin1String("B")) return QColor(0x8A, 0xCE, 0x1B);
    if (b == QLatin1String("red")) return QColor(0xFF, 0x20, 0x20);
    if (b == QLatin1String("loop")) return QColor(0x3F, 0xA9, 0xF5);
    return QColor(0xE0, 0xE0, 0xE0);
}

Cell buttonCell(const QString& look, int cell, bool alwaysLit)
{
    Cell c;
    const QColor acc = accent(look);
    const bool cueEmpty = look.startsWith(QLatin1String("cueEmpty"));
    const bool cueSet = look.startsWith(QLatin1String("cueSet"));
    const bool cueLoop = look.startsWith(QLatin1String("cueLoop"));
    if (cueSet || cueLoop) {
        // a stored cue lights the cell in the deck's colour, a stored loop in the loop blue;
        // the current one carries a ring
        const QColor lit = cueLoop ? accent(QStringLiteral("loop")) : acc;
        switch (cell) {
        case 2: c.fill = kDisabled; break;
        case 3: c.fill = mix(lit, kDisabled, 0.35); break;
        case 4: c.fill = lit.lighter(112); break;
        default: c.fill = lit; break;
        }
        c.ring = cell == 1;
        c.edge = kEdge;
        c.text = readable(c.fill, cell == 2 ? QColor(0x99, 0x99, 0x99) : kDark);
        return c;
    }
    if (cueEmpty) {
        switch (cell) {
        case 0: c.fill = kRaised; c.text = QColor(0xB0, 0xB0, 0xB0); break;
        case 1: c.fill = QColor(0x5A, 0x5A, 0x5A); c.text = kLight; c.ring = true; break;
        case 2: c.fill = kDisabled; c.text = QColor(0x99, 0x99, 0x99); break;
        case 3: c.fill = QColor(0x40, 0x40, 0x40); c.text = kLight; break;
        default: c.fill = kHot; c.text = QColor(0xD0, 0xD0, 0xD0); break;
        }
        c.edge = mix(acc, kEdge, 0.35);
        c.text = readable(c.fill, c.text);
        return c;
    }
    const bool lit = cell == 1 || (alwaysLit && cell != 2 && cell != 3);
    if (lit) {
        c.fill = acc;
        c.text = readable(c.fill, kDark);
    } else if (cell == 2) {
        c.fill = kDisabled;
        c.text = readable(c.fill, QColor(0x99, 0x99, 0x99));
    } else if (cell == 3) {
        c.fill = mix(acc, kDisabled, 0.35);
        c.text = readable(c.fill, kLight);
    } else if (cell == 4) {
        c.fill = kHot;
        c.text = readable(c.fill, restText(look).lighter(115));
    } else {
        c.fill = kRaised;
        c.text = readable(c.fill, restText(look));
    }
    c.edge = lit ? acc.darker(160) : mix(acc, kEdge, 0.25);
    return c;
}

double luminance(const QColor& c)
{
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace formlook
