#include "snkins/vs/tvscliprect.h"

void TVsClipRect::SetBounds(int left, int top, int width, int height)
{
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    Changed();
}

void TVsClipRect::Assign(const TVsClipRect& source)
{
    BeginUpdate();
    SetBounds(source.FLeft, source.FTop, source.FWidth, source.FHeight);
    EndUpdate();
}
