// The position compass in a jog wheel's centre (the deck's platter), as the visual step sees
// it: one turn a second of play.
#pragma once

class Platter {
public:
    virtual ~Platter() = default;
    virtual bool Enabled() const = 0;
    // Degrees clockwise from straight up.
    virtual void SetHeading(int degrees) = 0;
};
