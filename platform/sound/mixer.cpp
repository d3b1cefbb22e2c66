#include "platform/sound/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sound/realtime.h"

namespace sound {

namespace {
constexpr int kRampFrames = 128;
constexpr int kBufFrames = Stream::kMaxBlock * 2 + 8;

// out += in * {gl, gr} over n stereo frames; whole groups of four frames are written so
// that the compiler turns them into vector operations (the same sums, element by element)
void addInto(float* __restrict out, const float* __restrict in, int n, float gl, float gr)
{
    int k = 0;
    if (gl == 1.0f && gr == 1.0f) {
        for (; k + 4 <= n; k += 4)
            for (int j = 0; j < 8; ++j) out[2 * k + j] += in[2 * k + j];
        for (; k < n; ++k) {
            out[2 * k] += in[2 * k];
            out[2 * k + 1] += in[2 * k + 1];
        }
        return;
    }
    const float g[8] = {gl, gr, gl, gr, gl, gr, gl, gr};
    for (; k + 4 <= n; k += 4)
        for (int j = 0; j < 8; ++j) out[2 * k + j] += in[2 * k + j] * g[j];
    for (; k < n; ++k) {
        out[2 * k] += in[2 * k] * gl;
        out[2 * k + 1] += in[2 * k + 1] * gr;
    }
}
}

Mixer::Mixer(int r, int ch, unsigned f)
    : Stream(Kind::Mixer, r, f), channels(ch), tmp_(std::size_t(kMaxBlock) * 2)
{
    src_.reserve(16);
}

Mixer::~Mixer()
{
    for (Source& s : src_)
        if (s.s && s.s->mixer == this)
            s.s->mixer = nullptr;
}

std::vector<float> Mixer::slotBuffer() { return std::vector<float>(std::size_t(kBufFrames) * 2, 0.0f); }

bool Mixer::add(Stream* s, unsigned sf, std::vector<float> buffer)
{
    if (mixing_ == 0)
        compact();
    Source e;
    e.s = s;
    e.ramp = (sf & NoRampIn) ? 0 : kRampFrames;
    if (buffer.size() == std::size_t(kBufFrames) * 2)
        e.buf = std::move(buffer);
    else
        e.buf.assign(std::size_t(kBufFrames) * 2, 0.0f);
    src_.push_back(std::move(e));
    s->mixer = this;
    if (sf & Paused)
        s->playState = State::Paused;
    else if (s->playState == State::Stopped)
        s->playState = State::Playing;
    return true;
}

void Mixer::removeSource(Stream* s)
{
    for (Source& e : src_)
        if (e.s == s)
            e.s = nullptr;
    if (s->mixer == this)
        s->mixer = nullptr;
    if (mixing_ == 0)
        compact();
}

bool Mixer::replaceSource(Stream* old, Stream* with)
{
    for (Source& e : src_)
        if (e.s == old) {
            e.s = with;
            e.frac = 0;
            e.avail = 0;
            old->mixer = nullptr;
            with->mixer = this;
            if (with->playState == State::Stopped)
                with->playState = State::Playing;
            return true;
        }
    return false;
}

void Mixer::compact()
{
    // an audio thread leaves the cleared slots (skipped by the mix) to the next change made by
    // a control thread: handing their blocks over for freeing would allocate
    if (renderingInRealTime)
        return;
    for (Source& e : src_)
        if (!e.s)
            Graph::instance().discard(std::move(e.buf));  // a large block: freed after the hold
    src_.erase(std::remove_if(src_.begin(), src_.end(), [](const Source& e) { return e.s == nullptr; }), src_.end());
}

std::vector<Stream*> Mixer::sources() const
{
    std::vector<Stream*> v;
    for (const Source& e : src_)
        if (e.s) v.push_back(e.s);
    return v;
}

bool Mixer::seekFrames(std::int64_t frame)
{
    if (frame < 0)
        return false;
    produced_ = frame;
    resetBuffers();
    return true;
}

void Mixer::resetBuffers()
{
    for (Source& e : src_) {
        e.frac = 0;
        e.avail = 0;
    }
}

// Takes n output frames of one source into out (stereo), at the source's Freq. Reads from
// the source only what the interpolation needs, so a source's position runs at most two
// frames ahead of what was mixed.
int Mixer::resample(Source& e, float* out, int n)
{
    Stream* s = e.s;
    if (!s->freq.sliding() && s->freq.value == float(rate) && e.frac == double(int(e.frac))) {
        // same rate: hand out what is buffered, then read straight into the output
        int idx = int(e.frac);
        int have = std::max(0, std::min(e.avail - idx, n));
        if (have > 0)
            std::memcpy(out, e.buf.data() + 2 * idx, sizeof(float) * 2 * std::size_t(have));
        e.frac = 0;
        e.avail = 0;
        if (have < n) {
            int got = s->read(out + 2 * have, n - have);
            if (got > 0)
                have += got;
        }
        return have;
    }
    int produced = 0;
    bool ended = false;
    double step = 1.0;
    int blockEnd = 0;  // the step holds until here; a sliding Freq moves every 64 frames
    while (produced < n) {
        if (produced == blockEnd) {
            blockEnd = s->freq.sliding() ? std::min(n, produced + 64) : n;
            step = double(std::clamp(s->freq.value, 1.0f, 100000.0f)) / double(rate);
            s->freq.advance(blockEnd - produced);
        }
        int idx = int(e.frac);
        double t = e.frac - idx;
        int need = t == 0.0 ? idx + 1 : idx + 2;
        if (need > e.avail) {
            if (ended)
                break;
            if (idx > 0) {
                int keep = e.avail - idx;
                if (keep > 0)
                    std::memmove(e.buf.data(), e.buf.data() + 2 * idx, sizeof(float) * 2 * std::size_t(keep));
                e.avail = std::max(keep, 0);
                e.frac -= idx;
                idx = 0;
            }
            // frames needed to finish this block
            double last = e.frac + double(blockEnd - produced - 1) * step;
            int total = int(std::floor(last)) + (last == std::floor(last) ? 1 : 2);
            int want = std::clamp(total - e.avail, 1, std::min(kMaxBlock, kBufFrames - e.avail));
            int got = s->read(e.buf.data() + 2 * e.avail, want);
            if (e.s == nullptr || s->dead)
                break;  // a callback took the source away
            if (got <= 0) {
                ended = true;
                if (e.avail > idx && t != 0.0) {
                    // the last frame has no successor: hold it
                    out[2 * produced] = e.buf[2 * std::size_t(idx)];
                    out[2 * produced + 1] = e.buf[2 * std::size_t(idx) + 1];
                    ++produced;
                    e.frac = e.avail;
                }
                break;
            }
            e.avail += got;
            continue;
        }
        const float* a = &e.buf[2 * std::size_t(idx)];
        if (t == 0.0) {
            out[2 * produced] = a[0];
            out[2 * produced + 1] = a[1];
        } else {
            const float w = float(t);
            out[2 * produced] = a[0] + (a[2] - a[0]) * w;
            out[2 * produced + 1] = a[1] + (a[3] - a[1]) * w;
        }
        ++produced;
        e.frac += step;
    }
    if (produced < n && blockEnd < n)
        s->freq.advance(n - blockEnd);
    return produced;
}

int Mixer::produce(float* out, int n)
{
    std::memset(out, 0, sizeof(float) * 2 * std::size_t(n));
    ++mixing_;
    bool any = false;
    for (std::size_t i = 0; i < src_.size(); ++i) {
        if (!src_[i].s || src_[i].s->dead || src_[i].s->playState != State::Playing)
            continue;
        Stream* s = src_[i].s;
        int got = resample(src_[i], tmp_.data(), n);
        if (i >= src_.size() || src_[i].s != s || s->dead)
            continue;
        if (got > 0)
            any = true;
        Source& e = src_[i];
        float v = s->volume.value, p = s->pan.value;
        const bool flat = !s->volume.sliding() && !s->pan.sliding() && e.ramp == 0;
        if (flat) {
            float gl = v * (p > 0 ? 1 - p : 1), gr = v * (p < 0 ? 1 + p : 1);
            addInto(out, tmp_.data(), got, gl, gr);
        } else {
            for (int k = 0; k < got; ++k) {
                v = s->volume.advance(1);
                p = s->pan.advance(1);
                float g = 1.0f;
                if (e.ramp > 0) {
                    g = float(kRampFrames - e.ramp) / float(kRampFrames);
                    --e.ramp;
                }
                float gl = g * v * (p > 0 ? 1 - p : 1), gr = g * v * (p < 0 ? 1 + p : 1);
                out[2 * k] += tmp_[2 * std::size_t(k)] * gl;
                out[2 * k + 1] += tmp_[2 * std::size_t(k) + 1] * gr;
            }
            if (got < n) {
                s->volume.advance(n - got);
                s->pan.advance(n - got);
            }
        }
    }
    --mixing_;
    if (mixing_ == 0)
        compact();
    if (!any && !(flags & NonStop))
        return 0;
    produced_ += n;
    return n;
}

}  // namespace sound
