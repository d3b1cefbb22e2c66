// Renders as an audio thread does them, with every allocation made on that thread counted:
// freshly built chains and a source taken out of its mixer in the middle of a render make none.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "platform/sound/realtime.h"
#include "platform/sound/sound.h"
#include "tests/platform/sound/soundfixtures.h"

namespace {
std::atomic<long> audioAllocations{0};
}  // namespace

void* operator new(std::size_t n)
{
    if (sound::renderingInRealTime) audioAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n) { return ::operator new(n); }
// every form, so that what one form took another gives back to the same heap
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    if (sound::renderingInRealTime) audioAllocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t& t) noexcept { return ::operator new(n, t); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using sound::Handle;

// frames rendered as an audio thread, in 256-frame periods; the allocations made meanwhile
long allocationsWhileRendering(Handle mixer, int periods)
{
    std::vector<float> out(256 * 2);
    const long before = audioAllocations.load();
    sound::renderingInRealTime = true;
    for (int i = 0; i < periods; ++i) sound::renderFloat(mixer, out.data(), 256);
    sound::renderingInRealTime = false;
    return audioAllocations.load() - before;
}

struct Chain {
    Handle mixer = 0, decoder = 0, top = 0;
};

// a deck's chain: decoder, reverse stream, effects on it, maybe a tempo stream, in a mixer
Chain deckChain(bool tempo)
{
    Chain c;
    c.mixer = sound::createMixer(44100, 2, sound::Decode | sound::NonStop);
    c.decoder = soundtest::memoryStream(44100 * 4, 44100, [](int i, int ch) { return (i * 37 + ch * 1000) % 20000; });
    c.top = sound::createReverse(c.decoder, 0.1, sound::Decode | sound::FreeSource);
    sound::addFx(c.top, sound::FxType::PeakEq, 5);
    sound::setFxParams(sound::addFx(c.top, sound::FxType::Echo, 4), sound::EchoParams{1, 0.5f, 0.25f, -1});
    sound::mixerAdd(c.mixer, c.top, sound::NoRampIn | sound::Buffered);
    if (tempo) {
        const Handle t = sound::createTempo(c.top, sound::Decode | sound::TakePlace);
        sound::setAttribute(t, sound::Attribute::Tempo, 4.0f);
        c.top = t;
    }
    return c;
}

struct RenderCase {
    std::string name;
    bool tempo;
    std::function<void(const Chain&)> before;  // what a control thread does before the renders
};

class AudioThreadRender : public ::testing::TestWithParam<RenderCase> {};

TEST_P(AudioThreadRender, AllocatesNothing)
{
    const RenderCase& c = GetParam();
    const Chain chain = deckChain(c.tempo);
    ASSERT_NE(chain.top, 0u);
    if (c.before) c.before(chain);
    EXPECT_EQ(allocationsWhileRendering(chain.mixer, 40), 0);
    sound::freeAll();
}

INSTANTIATE_TEST_SUITE_P(
    Chains, AudioThreadRender,
    ::testing::Values(
        RenderCase{"FreshReverseStream", false, {}},
        RenderCase{"FreshTempoStream", true, {}},
        RenderCase{"EffectsReset", false, [](const Chain& c) { sound::resetProcessors(c.top); }},
        RenderCase{"SourceTakenOutByASync", false,
                   [](const Chain& c) {
                       sound::setSync(c.top, sound::SyncType::Position, 4 * 3000,
                                      [](Handle, Handle s, std::int64_t) { sound::mixerRemove(s); }, true);
                   }}),
    [](const ::testing::TestParamInfo<RenderCase>& i) { return i.param.name; });

}  // namespace
