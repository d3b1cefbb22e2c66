// A control's bevel: an optional border, an outer and an inner 3-D frame with their outlines
// and spaces, painted from the outside in.
#pragma once

#include <QRect>

#include "snkins/vr/tvrpersistent.h"
#include "snkins/vr/tvrtypes.h"

class QPainter;

class TVrBevel : public TVrPersistent {
    Q_OBJECT
public:
    explicit TVrBevel(QObject* parent = nullptr) : TVrPersistent(parent) {}

    // Copies every field in one update bracket (one notification).
    void Assign(const TVrBevel& Source);
    // Shrinks rect on every side by the width the bevel paints.
    void GetVisibleArea(QRect& rect) const;
    // Paints the bevel inside rect and leaves rect shrunk to what is inside it.
    void Paint(QPainter& canvas, QRect& rect) const;

    TVrBorderWidth BorderWidth() const { return FBorderWidth; }
    TColor BorderColor() const { return FBorderColor; }
    TColor InnerShadow() const { return FInnerShadow; }
    TColor InnerHighlight() const { return FInnerHighlight; }
    TVrBevelWidth InnerWidth() const { return FInnerWidth; }
    TVrBevelStyle InnerStyle() const { return FInnerStyle; }
    TVrBevelOutlineStyle InnerOutline() const { return FInnerOutline; }
    TVrBevelSpace InnerSpace() const { return FInnerSpace; }
    TColor InnerColor() const { return FInnerColor; }
    TColor OuterShadow() const { return FOuterShadow; }
    TColor OuterHighlight() const { return FOuterHighlight; }
    TVrBevelWidth OuterWidth() const { return FOuterWidth; }
    TVrBevelStyle OuterStyle() const { return FOuterStyle; }
    TVrBevelOutlineStyle OuterOutline() const { return FOuterOutline; }
    TVrBevelSpace OuterSpace() const { return FOuterSpace; }
    TColor OuterColor() const { return FOuterColor; }
    bool Visible() const { return FVisible; }

    void SetBorderWidth(TVrBorderWidth v) { set(FBorderWidth, v); }
    void SetBorderColor(TColor v) { set(FBorderColor, v); }
    void SetInnerShadow(TColor v) { set(FInnerShadow, v); }
    void SetInnerHighlight(TColor v) { set(FInnerHighlight, v); }
    void SetInnerWidth(TVrBevelWidth v) { set(FInnerWidth, v); }
    void SetInnerStyle(TVrBevelStyle v) { set(FInnerStyle, v); }
    void SetInnerOutline(TVrBevelOutlineStyle v) { set(FInnerOutline, v); }
    void SetInnerSpace(TVrBevelSpace v) { set(FInnerSpace, v); }
    void SetInnerColor(TColor v) { set(FInnerColor, v); }
    void SetOuterShadow(TColor v) { set(FOuterShadow, v); }
    void SetOuterHighlight(TColor v) { set(FOuterHighlight, v); }
    void SetOuterWidth(TVrBevelWidth v) { set(FOuterWidth, v); }
    void SetOuterStyle(TVrBevelStyle v) { set(FOuterStyle, v); }
    void SetOuterOutline(TVrBevelOutlineStyle v) { set(FOuterOutline, v); }
    void SetOuterSpace(TVrBevelSpace v) { set(FOuterSpace, v); }
    void SetOuterColor(TColor v) { set(FOuterColor, v); }
    void SetVisible(bool v) { set(FVisible, v); }

private:
    template <typename T>
    void set(T& field, T value)
    {
        if (field == value) return;
        field = value;
        Changed();
    }

    TVrBorderWidth FBorderWidth = 0;
    TColor FBorderColor = clBtnFace;
    TColor FInnerShadow = clBtnShadow;
    TColor FInnerHighlight = clBtnHighlight;
    TVrBevelWidth FInnerWidth = 1;
    TVrBevelStyle FInnerStyle = bsLowered;
    TVrBevelOutlineStyle FInnerOutline = osNone;
    TVrBevelSpace FInnerSpace = 1;
    TColor FInnerColor = clBtnFace;
    TColor FOuterShadow = clBtnShadow;
    TColor FOuterHighlight = clBtnHighlight;
    TVrBevelWidth FOuterWidth = 1;
    TVrBevelStyle FOuterStyle = bsRaised;
    TVrBevelOutlineStyle FOuterOutline = osOuter;
    TVrBevelSpace FOuterSpace = 0;
    TColor FOuterColor = clBtnFace;
    bool FVisible = true;
};
