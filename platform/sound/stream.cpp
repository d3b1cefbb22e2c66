#include "platform/sound/stream.h"

#include <algorithm>
#include <cstring>

#include "platform/sound/realtime.h"

namespace sound {

Stream::Stream(Kind k, int r, unsigned f)
    : Object(k), rate(r), flags(f), playState((f & Decode) ? State::Playing : State::Stopped),
      history(std::size_t(kHistory) * 2, 0.0f)
{
    freq.set(float(r));
    volume.set(1.0f);
    pan.set(0.0f);
}

Stream::~Stream()
{
    forbidOnAudioThread("destroying a stream");
}

bool Stream::seek(std::int64_t frame)
{
    if (!seekFrames(frame))
        return false;
    ++seeks_;
    endFired_ = false;
    return true;
}

void Stream::addProcessor(ProcessorEntry* e)
{
    e->order = nextOrder++;
    auto it = std::find_if(processors.begin(), processors.end(),
                           [&](ProcessorEntry* p) { return p->priority < e->priority; });
    processors.insert(it, e);
}

void Stream::dropAttachment(Attachment* a)
{
    a->dead = true;
    if (iterating > 0)
        return;  // the walker skips dead entries and compacts when it is done
    compactAttachments();
}

void Stream::compactAttachments()
{
    syncs.erase(std::remove_if(syncs.begin(), syncs.end(), [](SyncEntry* s) { return s->dead; }),
                syncs.end());
    processors.erase(std::remove_if(processors.begin(), processors.end(),
                                    [](ProcessorEntry* p) { return p->dead; }),
                     processors.end());
}

int Stream::read(float* out, int n)
{
    if (n <= 0)
        return 0;
    n = std::min(n, kMaxBlock);
    ++iterating;
    int done = 0;
    int idle = 0;
    while (done < n && !dead) {
        const std::int64_t p = positionFrames();
        const int dir = direction();
        int lim = n - done;
        for (SyncEntry* s : syncs) {
            if (s->dead || s->type != SyncType::Position)
                continue;
            std::int64_t d = dir > 0 ? s->frame - p : p - s->frame;
            if (d > 0)
                d = outputFramesTo(d);
            if (d > 0 && d < lim)
                lim = int(d);
        }
        const std::uint64_t seeksBefore = seeks_;
        int got = produce(out + 2 * done, lim);
        if (got < 0) got = 0;
        done += got;
        const std::int64_t q = positionFrames();
        if (got > 0)
            endFired_ = false;
        for (std::size_t i = 0; i < syncs.size() && !dead; ++i) {
            SyncEntry* s = syncs[i];
            if (s->dead || s->type != SyncType::Position || seeks_ != seeksBefore)
                continue;
            bool crossed = dir > 0 ? (p < s->frame && s->frame <= q) : (p > s->frame && s->frame >= q);
            if (!crossed)
                continue;
            // a removed entry lives until the render ends, so it can be called after removal
            if (s->oneTime) {
                dropAttachment(s);
                Graph::instance().remove(s);
            }
            if (s->callback)
                s->callback(s->handle, handle, s->frame * 4);
        }
        if (got < lim && seeks_ == seeksBefore) {
            if (!endFired_ && atEnd()) {
                endFired_ = true;
                fireEnd();
            }
            if (seeks_ == seeksBefore)
                break;
        }
        if (got == 0 && ++idle > 8)
            break;  // callbacks keep seeking to places with nothing to give
    }
    --iterating;
    if (dead) {
        std::memset(out, 0, sizeof(float) * 2 * std::size_t(n));
        return 0;
    }
    if (done > 0) {
        ++iterating;
        for (std::size_t i = 0; i < processors.size(); ++i) {
            ProcessorEntry* e = processors[i];
            if (!e->dead && e->processor)
                e->processor->process(out, done, rate);
            if (dead) break;
        }
        --iterating;
        remember(out, done);
    }
    if (iterating == 0)
        compactAttachments();
    return dead ? 0 : done;
}

void Stream::fireEnd()
{
    for (std::size_t i = 0; i < syncs.size() && !dead; ++i) {
        SyncEntry* s = syncs[i];
        if (s->dead || s->type != SyncType::End)
            continue;
        if (s->oneTime) {
            dropAttachment(s);
            Graph::instance().remove(s);
        }
        if (s->callback)
            s->callback(s->handle, handle, 0);
    }
}

void Stream::remember(const float* f, int n)
{
    if (n >= kHistory) {
        f += 2 * (n - kHistory);
        n = kHistory;
    }
    int first = std::min(n, kHistory - histPos);
    std::memcpy(&history[2 * std::size_t(histPos)], f, sizeof(float) * 2 * std::size_t(first));
    if (n > first)
        std::memcpy(&history[0], f + 2 * first, sizeof(float) * 2 * std::size_t(n - first));
    histPos = (histPos + n) % kHistory;
    histFrames += n;
}

void Stream::recent(float* out, int n) const
{
    n = std::min(n, kHistory);
    if (n <= 0) return;
    int start = (histPos - n + kHistory) % kHistory;
    int first = std::min(n, kHistory - start);
    std::memcpy(out, &history[2 * std::size_t(start)], sizeof(float) * 2 * std::size_t(first));
    if (n > first)
        std::memcpy(out + 2 * first, &history[0], sizeof(float) * 2 * std::size_t(n - first));
}

}  // namespace sound
