// Storage for the large sample buffers the audio callback walks through: decoded tracks and
// delay lines. From 1 MB up they are mapped on their own, 2 MB aligned, and marked for
// transparent huge pages, so that a callback touching a few kilobytes here and there in them
// needs a handful of TLB entries instead of one per 4 kB page. Smaller ones come from the
// ordinary heap. Under the address sanitizer everything comes from the heap, where overruns
// are caught.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

namespace sound {

// nullptr when the memory is not there
void* bigAllocate(std::size_t bytes) noexcept;
// bytes: the same count as given to bigAllocate
void bigFree(void* p, std::size_t bytes) noexcept;

template <class T>
struct BigAllocator {
    using value_type = T;
    BigAllocator() noexcept = default;
    template <class U>
    BigAllocator(const BigAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T)) throw std::bad_array_new_length();
        void* p = bigAllocate(n * sizeof(T));
        if (!p) throw std::bad_alloc();
        return static_cast<T*>(p);
    }
    void deallocate(T* p, std::size_t n) noexcept { bigFree(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const BigAllocator<U>&) const noexcept { return true; }
};

template <class T>
using BigVector = std::vector<T, BigAllocator<T>>;

// A fixed array of n samples, left uninitialised: its pages come when they are first written.
template <class T>
class BigArray {
public:
    BigArray() = default;
    explicit BigArray(std::size_t n)
    {
        if (n == 0 || n > std::size_t(-1) / sizeof(T)) return;
        p_ = static_cast<T*>(bigAllocate(n * sizeof(T)));
        n_ = p_ ? n : 0;
    }
    ~BigArray() { bigFree(p_, n_ * sizeof(T)); }
    BigArray(BigArray&& o) noexcept : p_(o.p_), n_(o.n_) { o.p_ = nullptr; o.n_ = 0; }
    BigArray& operator=(BigArray&& o) noexcept
    {
        if (this != &o) {
            bigFree(p_, n_ * sizeof(T));
            p_ = o.p_;
            n_ = o.n_;
            o.p_ = nullptr;
            o.n_ = 0;
        }
        return *this;
    }
    BigArray(const BigArray&) = delete;
    BigArray& operator=(const BigArray&) = delete;

    explicit operator bool() const { return p_ != nullptr; }
    T* get() const { return p_; }
    T& operator[](std::size_t i) const { return p_[i]; }
    std::size_t size() const { return n_; }

private:
    T* p_ = nullptr;
    std::size_t n_ = 0;
};

}  // namespace sound
