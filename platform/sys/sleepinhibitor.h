// Keeps the system from going to sleep while the program runs. Taken at start-up, released at
// shut-down; the screen may still blank as usual. Never blocks the caller and never fails
// visibly: where the system offers no way to hold sleep off, nothing happens.
#pragma once

class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    virtual void acquire() = 0;
    virtual void release() = 0;
    // the system has granted the block and it is still held
    virtual bool held() const = 0;
};
