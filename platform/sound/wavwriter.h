// A RIFF WAVE file of 16-bit PCM written as it grows. The header always describes
// whole frames already on disk, and is brought up to date at least once per second
// of audio, so a crash loses at most the last second and leaves a readable file.
// Not thread-safe: one thread writes (the recorder's writer thread).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace sound {

class WavWriter {
public:
    enum class Result { Ok, CannotCreate, DiskFull, WriteFailed, TooLarge, NotOpen };

    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // Creates or truncates path and writes a header for an empty file.
    Result open(const std::string& path, int rate = 44100, int channels = 2);
    // Appends interleaved frames. After a failure the file is cut back to the last whole
    // frame, its header fixed, and every later call returns the same failure.
    Result write(const int16_t* interleaved, size_t frames);
    // Final header and close; returns the first failure seen, if any.
    Result close();

    bool isOpen() const { return fd_ >= 0; }
    uint64_t framesWritten() const { return dataBytes_ / frameBytes(); }
    Result failure() const { return failure_; }
    int rate() const { return rate_; }
    int channels() const { return channels_; }

    static constexpr int kHeaderBytes = 44;
    // Test hook: the data size at which a file counts as full (TooLarge) instead of the
    // 4 GiB a WAV header can state; 0 restores that.
    static void setDataLimitForTests(uint64_t bytes);

private:
    uint32_t frameBytes() const { return uint32_t(channels_) * 2; }
    bool updateHeader();
    Result fail(Result r);

    int fd_ = -1;
    int rate_ = 44100;
    int channels_ = 2;
    uint64_t dataBytes_ = 0;
    uint64_t headerBytes_ = 0;  // data size the header on disk states
    std::chrono::steady_clock::time_point headerTime_{};
    Result failure_ = Result::Ok;
};

}  // namespace sound
