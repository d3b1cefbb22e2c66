#include "snkins/vr/tvrbevel.h"

#include "snkins/vr/vrfunctions.h"

void TVrBevel::Assign(const TVrBevel& Source)
{
    if (&Source == this) return;
    BeginUpdate();
    SetBorderWidth(Source.FBorderWidth);
    SetBorderColor(Source.FBorderColor);
    SetInnerShadow(Source.FInnerShadow);
    SetInnerHighlight(Source.FInnerHighlight);
    SetInnerWidth(Source.FInnerWidth);
    SetInnerStyle(Source.FInnerStyle);
    SetInnerOutline(Source.FInnerOutline);
    SetInnerSpace(Source.FInnerSpace);
    SetInnerColor(Source.FInnerColor);
    SetOuterShadow(Source.FOuterShadow);
    SetOuterHighlight(Source.FOuterHighlight);
    SetOuterWidth(Source.FOuterWidth);
    SetOuterStyle(Source.FOuterStyle);
    SetOuterOutline(Source.FOuterOutline);
    SetOuterSpace(Source.FOuterSpace);
    SetOuterColor(Source.FOuterColor);
    SetVisible(Source.FVisible);
    EndUpdate();
}

void TVrBevel::GetVisibleArea(QRect& rect) const
{
    if (!FVisible) return;
    int w = FBorderWidth + FInnerSpace + FOuterSpace;
    if (FInnerOutline != osNone) ++w;
    if (FOuterOutline != osNone) ++w;
    if (FInnerStyle != bsNone) w += FInnerWidth;
    if (FOuterStyle != bsNone) w += FOuterWidth;
    rect.adjust(w, w, -w, -w);
}

namespace {

void paintPart(QPainter& canvas, QRect& rect, TVrBevelOutlineStyle outline, TVrBevelStyle style, int width,
               TColor highlight, TColor shadow, int space, TColor spaceColor)
{
    if (outline == osOuter) DrawFrame3D(canvas, rect, clBlack, clBlack, 1);
    if (style == bsRaised) DrawFrame3D(canvas, rect, highlight, shadow, width);
    if (style == bsLowered) DrawFrame3D(canvas, rect, shadow, highlight, width);
    if (outline == osInner) DrawFrame3D(canvas, rect, clBlack, clBlack, 1);
    DrawFrame3D(canvas, rect, spaceColor, spaceColor, space);
}

}  // namespace

void TVrBevel::Paint(QPainter& canvas, QRect& rect) const
{
    if (!FVisible) return;
    if (FBorderWidth > 0) DrawFrame3D(canvas, rect, FBorderColor, FBorderColor, FBorderWidth);
    paintPart(canvas, rect, FOuterOutline, FOuterStyle, FOuterWidth, FOuterHighlight, FOuterShadow, FOuterSpace,
              FOuterColor);
    paintPart(canvas, rect, FInnerOutline, FInnerStyle, FInnerWidth, FInnerHighlight, FInnerShadow, FInnerSpace,
              FInnerColor);
}
