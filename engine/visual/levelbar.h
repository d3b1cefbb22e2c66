// One channel's LED level bar, as the visual step sees it.
#pragma once

class LevelBar {
public:
    virtual ~LevelBar() = default;
    // A peak above the level moves the level there; the bar's own timer lets it fall.
    virtual void SetPico(int value) = 0;
    // A value above the bar's maximum is ignored.
    virtual void SetPosition(int value) = 0;
};
