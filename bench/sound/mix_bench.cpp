// mix_bench: renders 60 s offline through one mixer fed by two decks (decoder, reverse
// stream, tempo stream at +6 %, deck mixer) and two plain sources, one of them at 48 kHz.
// Prints the real-time factor: seconds of audio mixed per second of one core.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <QByteArray>

#include "platform/sound/sound.h"

namespace {

QByteArray wav(int frames, int rate, double f1, double f2)
{
    auto le32 = [](std::uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [](std::uint16_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    std::uint32_t bytes = std::uint32_t(frames) * 4;
    QByteArray out = "RIFF" + le32(36 + bytes) + "WAVEfmt " + le32(16) + le16(1) + le16(2) + le32(std::uint32_t(rate)) +
                     le32(std::uint32_t(rate) * 4) + le16(4) + le16(16) + "data" + le32(bytes);
    std::vector<std::int16_t> pcm(std::size_t(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        pcm[2 * std::size_t(i)] = std::int16_t(12000 * std::sin(2 * M_PI * f1 * t) * (0.6 + 0.4 * std::sin(t)));
        pcm[2 * std::size_t(i) + 1] = std::int16_t(12000 * std::sin(2 * M_PI * f2 * t));
    }
    out.append(reinterpret_cast<const char*>(pcm.data()), int(bytes));
    return out;
}

sound::Handle open(int seconds, int rate, double f1, double f2)
{
    QByteArray img = wav(seconds * rate, rate, f1, f2);
    return sound::openMemory(img.constData(), std::size_t(img.size()));
}

sound::Handle deck(sound::Handle master, double f)
{
    sound::Handle dec = open(70, 44100, f, f * 1.5);
    sound::Handle rev = sound::createReverse(dec);
    sound::Handle tempo = sound::createTempo(rev);
    sound::setAttribute(tempo, sound::Attribute::Tempo, 6);
    sound::Handle mixer = sound::createMixer(44100, 2, sound::Decode);
    sound::mixerAdd(mixer, tempo, sound::NoRampIn);
    sound::mixerAdd(master, mixer);
    sound::setDsp(mixer, [](sound::Handle, sound::Handle, float*, int) {});  // a bus tap's cost
    return mixer;
}

}  // namespace

int main()
{
    const int rate = 44100, seconds = 60, block = 1024;
    sound::Handle master = sound::createMixer(rate, 2, sound::Decode | sound::NonStop);
    deck(master, 220);
    deck(master, 330);
    sound::Handle plain1 = open(70, 44100, 440, 550);
    sound::Handle plain2 = open(70, 48000, 660, 770);
    sound::mixerAdd(master, plain1);
    sound::mixerAdd(master, plain2);

    std::vector<float> out(std::size_t(block) * 2);
    auto t0 = std::chrono::steady_clock::now();
    std::int64_t frames = 0;
    while (frames < std::int64_t(rate) * seconds) {
        sound::renderFloat(master, out.data(), block);
        frames += block;
    }
    double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    std::printf("rendered %.1f s of audio in %.3f s\n", double(frames) / rate, elapsed);
    std::printf("mix realtime factor: %.1f\n", double(frames) / rate / elapsed);
    sound::freeAll();
    return 0;
}
