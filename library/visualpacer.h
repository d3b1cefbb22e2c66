// The visual step (the decks' waveforms keep moving) as long library work calls it: at
// most once per interval, however often it is ticked. The step is a no-op until one is set.
#pragma once

#include <chrono>
#include <functional>

class VisualPacer {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{15};

    void setStep(std::function<void()> step) { step_ = std::move(step); }
    // Runs the step when kInterval has passed since it last ran (the first tick runs it).
    void tick()
    {
        if (!step_) return;
        const Clock::time_point now = Clock::now();
        if (ran_ && now - last_ < kInterval) return;
        ran_ = true;
        step_();
        last_ = Clock::now();
    }

private:
    std::function<void()> step_;
    Clock::time_point last_{};
    bool ran_ = false;
};
