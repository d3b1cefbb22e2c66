// A picture of the main window that the visual step shows and hides (the end-of-track
// warnings).
#pragma once

class ShownImage {
public:
    virtual ~ShownImage() = default;
    virtual void SetVisible(bool visible) = 0;
};
