// Fields that several threads read and write: the deck record and the configuration
// are touched by the UI thread, the loading threads, the peaks workers and the audio
// callbacks. A scalar is an atomic, a text or a byte block sits behind a short lock.
// Both stay copyable so that records can be copied whole (the engine's old config).
#pragma once

#include <atomic>
#include <mutex>
#include <utility>

#include <QString>

template <class T>
class Shared {
public:
    Shared() : v_(T{}) {}
    Shared(T v) : v_(v) {}  // NOLINT: implicit on purpose, fields read like plain values
    Shared(const Shared& o) : v_(o.load()) {}
    Shared& operator=(const Shared& o) { store(o.load()); return *this; }
    Shared& operator=(T v) { store(v); return *this; }
    operator T() const { return load(); }

    T load() const { return v_.load(std::memory_order_acquire); }
    void store(T v) { v_.store(v, std::memory_order_release); }
    T exchange(T v) { return v_.exchange(v, std::memory_order_acq_rel); }

    // read-modify-write for counters; integers only
    T operator+=(T d) requires std::is_integral_v<T> { return v_.fetch_add(d) + d; }
    T operator-=(T d) requires std::is_integral_v<T> { return v_.fetch_sub(d) - d; }
    T operator++() requires std::is_integral_v<T> { return v_.fetch_add(1) + 1; }
    T operator++(int) requires std::is_integral_v<T> { return v_.fetch_add(1); }
    T operator--() requires std::is_integral_v<T> { return v_.fetch_sub(1) - 1; }

private:
    std::atomic<T> v_;
};

// A value behind a mutex held only for the copy in or out.
template <class T>
class Guarded {
public:
    Guarded() = default;
    Guarded(T v) : v_(std::move(v)) {}  // NOLINT
    Guarded(const Guarded& o) : v_(o.get()) {}
    Guarded& operator=(const Guarded& o) { set(o.get()); return *this; }
    Guarded& operator=(T v) { set(std::move(v)); return *this; }
    operator T() const { return get(); }

    T get() const { std::lock_guard<std::mutex> l(m_); return v_; }
    void set(T v) { std::lock_guard<std::mutex> l(m_); v_ = std::move(v); }

private:
    mutable std::mutex m_;
    T v_{};
};

using SharedText = Guarded<QString>;

inline bool operator==(const SharedText& a, const QString& b) { return a.get() == b; }
