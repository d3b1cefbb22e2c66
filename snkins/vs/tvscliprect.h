// The part of a graphic a skinned control uses: left, top, width and height.
#pragma once

#include <QRect>

#include "snkins/vs/tvspersistent.h"

class TVsClipRect : public TVsPersistent {
    Q_OBJECT
public:
    explicit TVsClipRect(QObject* parent = nullptr) : TVsPersistent(parent) {}

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
    void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
    void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
    void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }

    // Stores the four values; one notice, and only when one of them differs.
    void SetBounds(int left, int top, int width, int height);

    QRect BoundsRect() const { return QRect(FLeft, FTop, FWidth, FHeight); }
    void SetBoundsRect(const QRect& r) { SetBounds(r.left(), r.top(), r.width(), r.height()); }

    void Assign(const TVsClipRect& source);

private:
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
};
