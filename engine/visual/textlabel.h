// A caption of the main window whose colour the visual step changes (the "Remain" captions
// and the remaining-time labels).
#pragma once

#include "engine/dib/dibtypes.h"

class TextLabel {
public:
    virtual ~TextLabel() = default;
    virtual void SetFontColor(TColor color) = 0;  // 0xBBGGRR
};
