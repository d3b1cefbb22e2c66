// The part every stream shares: producing float stereo blocks, position and direction,
// syncs fired at their exact frame, the processor chain (effects and DSP taps), the
// attributes with their slides, the history kept for levels and FFT, and mixer membership.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/sound/graph.h"
#include "platform/sound/param.h"
#include "platform/sound/sound.h"

namespace sound {

class Mixer;
class Stream;

class Attachment : public Object {
public:
    Attachment(Kind k, Stream* s) : Object(k), stream(s) {}
    Stream* stream;
};

class SyncEntry : public Attachment {
public:
    SyncEntry(Stream* s) : Attachment(Kind::Sync, s) {}
    SyncType type = SyncType::Position;
    std::int64_t frame = 0;
    bool oneTime = false;
    SyncCallback callback;
};

class ProcessorEntry : public Attachment {
public:
    ProcessorEntry(Kind k, Stream* s) : Attachment(k, s) {}
    int priority = 0;
    std::uint64_t order = 0;
    std::shared_ptr<Processor> processor;
};

class Stream : public Object {
public:
    static constexpr int kMaxBlock = 4096;       // frames per produce() call at most
    static constexpr int kHistory = 8192;        // frames kept for levels and FFT

    Stream(Kind k, int rate, unsigned flags);
    ~Stream() override;

    // Fills up to n (<= kMaxBlock) frames of float stereo, running syncs and processors.
    // Returns the frames produced; fewer than n means the stream has nothing more for now.
    int read(float* out, int n);

    virtual std::int64_t positionFrames() const = 0;
    virtual bool seekFrames(std::int64_t frame) = 0;   // false: refused, position unchanged
    virtual std::int64_t lengthFrames() const { return -1; }
    virtual int direction() const { return 1; }
    virtual void resetBuffers() {}                     // drop what is buffered inside
    virtual int bytesPerFrame() const { return 4; }
    // Output frames to produce before the position has moved by sourceFrames (> 0).
    virtual std::int64_t outputFramesTo(std::int64_t sourceFrames) const { return sourceFrames; }
    virtual int outChannels() const { return 2; }

    bool seek(std::int64_t frame);                     // seekFrames plus the sync bookkeeping

    int rate;
    unsigned flags;
    State playState;
    Param freq, volume, pan;
    DeviceRef device;                                  // where a played (non-decoding) stream goes
    OutputRoute route;
    Handle output = 0;                                 // the output the device hooks opened
    Mixer* mixer = nullptr;                            // the mixer this stream is a source of
    Stream* owner = nullptr;                           // the reverse/tempo stream over this one
    Stream* source = nullptr;                          // the stream under a reverse/tempo stream

    std::vector<SyncEntry*> syncs;
    std::vector<ProcessorEntry*> processors;
    std::uint64_t nextOrder = 0;
    int iterating = 0;                                 // syncs/processors being walked: removal defers

    void addProcessor(ProcessorEntry* e);
    void dropAttachment(Attachment* a);                // a sync or processor entry going away
    void compactAttachments();

    // history ring
    std::vector<float> history;
    int histPos = 0;
    std::int64_t histFrames = 0;
    void remember(const float* f, int n);
    void recent(float* out, int n) const;              // last n frames, oldest first, zeros before

protected:
    virtual int produce(float* out, int n) = 0;
    virtual bool atEnd() const { return false; }

private:
    void fireEnd();
    bool endFired_ = false;
    std::uint64_t seeks_ = 0;
};

}  // namespace sound
