// A font with its colour, as the kit's controls keep their caption, label and time fonts.
#pragma once

#include <QFont>

#include "snkins/vr/tvrtypes.h"

struct KitFont {
    QFont Font;
    TColor Color = clWindowText;

    bool operator==(const KitFont& o) const { return Color == o.Color && Font == o.Font; }
    bool operator!=(const KitFont& o) const { return !(*this == o); }
};
