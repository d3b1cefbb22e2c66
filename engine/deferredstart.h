// A start that waits for a condition on a thread of its own, so that its caller does not: the
// recorder starts once the recording buses hold its cushion, while the UI thread goes on.
// The thread checks `ready` every 2 ms until it holds or the time limit passed, then runs
// `start`, unless cancelled first. Both run under the object's lock, so that once cancel()
// returned neither runs nor will.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class DeferredStart {
public:
    DeferredStart() = default;
    DeferredStart(const DeferredStart&) = delete;
    DeferredStart& operator=(const DeferredStart&) = delete;
    ~DeferredStart() { cancel(); }

    // Cancels a start still pending, then begins this one.
    void launch(std::function<bool()> ready, std::function<void()> start, std::chrono::milliseconds limit);
    // Ends a pending start without running it; waits at most for a check or a start under way.
    void cancel();
    // The last start launched has run or was cancelled.
    bool settled();

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool cancelled_ = false;
    bool settled_ = true;
    std::thread t_;
};
