#include "engine/deferredstart.h"

void DeferredStart::launch(std::function<bool()> ready, std::function<void()> start, std::chrono::milliseconds limit)
{
    cancel();
    {
        std::lock_guard<std::mutex> l(m_);
        cancelled_ = false;
        settled_ = false;
    }
    const auto until = std::chrono::steady_clock::now() + limit;
    t_ = std::thread([this, ready = std::move(ready), start = std::move(start), until] {
        std::unique_lock<std::mutex> l(m_);
        while (!cancelled_ && !ready() && std::chrono::steady_clock::now() < until)
            cv_.wait_for(l, std::chrono::milliseconds(2), [this] { return cancelled_; });
        if (!cancelled_) start();
        settled_ = true;
    });
}

void DeferredStart::cancel()
{
    {
        std::lock_guard<std::mutex> l(m_);
        cancelled_ = true;
        settled_ = true;
    }
    cv_.notify_all();
    if (t_.joinable()) t_.join();
}

bool DeferredStart::settled()
{
    std::lock_guard<std::mutex> l(m_);
    return settled_;
}
