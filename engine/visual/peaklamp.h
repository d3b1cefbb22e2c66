// A deck's peak LED beside its needle meter, as the visual step sees it.
#pragma once

class PeakLamp {
public:
    virtual ~PeakLamp() = default;
    virtual void SetActive(bool on) = 0;
};
