// Hands a parameter record from a control thread to the audio thread. The writer holds
// the lock only for a copy; the audio thread never waits for it: when the lock is taken
// it keeps the record it has and picks the new one up on its next block.
#pragma once

#include <atomic>
#include <mutex>

namespace sound {

template <class T>
class ParamSlot {
public:
    explicit ParamSlot(const T& initial = T{}) : latest_(initial) {}

    void set(const T& v)
    {
        std::lock_guard<std::mutex> l(m_);
        latest_ = v;
        dirty_.store(true, std::memory_order_release);
    }

    T get() const
    {
        std::lock_guard<std::mutex> l(m_);
        return latest_;
    }

    // read-modify-write under the lock (one band of several, say)
    template <class F>
    void update(F&& f)
    {
        std::lock_guard<std::mutex> l(m_);
        f(latest_);
        dirty_.store(true, std::memory_order_release);
    }

    // Audio thread: copies a waiting record into out and says so; never blocks.
    bool take(T& out)
    {
        if (!dirty_.load(std::memory_order_acquire)) return false;
        std::unique_lock<std::mutex> l(m_, std::try_to_lock);
        if (!l.owns_lock()) return false;
        out = latest_;
        dirty_.store(false, std::memory_order_relaxed);
        return true;
    }

private:
    mutable std::mutex m_;
    T latest_;
    std::atomic<bool> dirty_{true};
};

}  // namespace sound
