// A two-colour palette (Low for index 0 and below, High above) and the recolouring of a
// picture's two key colours into it.
#pragma once

#include <QImage>

#include "snkins/vr/tvrpersistent.h"
#include "snkins/vr/tvrtypes.h"

class TVrPalette : public TVrPersistent {
    Q_OBJECT
public:
    explicit TVrPalette(QObject* parent = nullptr) : TVrPersistent(parent) {}

    // Copies Low and High in one update bracket.
    void Assign(const TVrPalette& Source);
    virtual TColor GetColors(int Index) const { return Index <= 0 ? FLow : FHigh; }
    // Every pixel of Bitmap that was DarkColor becomes Low and every one that was LightColor
    // becomes High (decided on the colours before any change); the others stay.
    void ToBMP(QImage& Bitmap, TColor DarkColor, TColor LightColor) const;

    TColor Low() const { return FLow; }
    TColor High() const { return FHigh; }
    void SetLow(TColor v);
    void SetHigh(TColor v);

private:
    TColor FLow = clGreen;
    TColor FHigh = clLime;
};
