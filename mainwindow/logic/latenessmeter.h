// How late a repeating timer fires. Each fire is due one interval after the one before, so a
// fire's lateness is how much longer than the interval its gap was. Fed the fire times in
// order (milliseconds on a monotonic clock); keeps the longest. No clock of its own.
#pragma once

class LatenessMeter {
public:
    explicit LatenessMeter(double intervalMs) : interval_(intervalMs) {}

    void fired(double atMs);
    // the longest lateness so far in ms; 0 before a gap was measured
    double longestMs() const { return longest_; }
    // at least one gap (two fires) was measured
    bool measured() const { return fires_ >= 2; }

private:
    double interval_;
    double last_ = 0;
    double longest_ = 0;
    long fires_ = 0;
};
