// The visual step under its real load: both decks loaded with 10-minute tracks whose peaks the
// workers have found, both playing in an offline render, the form's boxes (480 x 74 waveforms,
// 480 x 30 overviews, 480 x 13 cue strips) and the kit's meters, LEDs, level bars and
// platters behind their links. 2,000 steps in the waveform view, 2,000 in the spectrum view;
// between two steps the decks play on for the step's pause (2 ms, 25 ms), which is not timed.
// The peer, measured in the same run, is one bare waveform pass at the same size: fill, one
// line up and one down each column, copy to the window picture.
// Prints the times and last "visual step us: wave W, spectrum S".
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QTemporaryDir>

#include "engine/cargaasio.h"
#include "engine/peakscache.h"
#include "engine/tdamepicos.h"
#include "engine/visual/tvisuales.h"
#include "engine/visual/widgets/cuestripview.h"
#include "engine/visual/widgets/displaybox.h"
#include "engine/visual/widgets/kitlevelbar.h"
#include "engine/visual/widgets/kitneedlemeter.h"
#include "engine/visual/widgets/kitpeaklamp.h"
#include "engine/visual/widgets/kitplatter.h"
#include "engine/visual/widgets/kitprogressview.h"
#include "engine/visual/widgets/kittextlabel.h"
#include "engine/visual/widgets/visualpicture.h"
#include "snkins/vr/tvrled.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 44100, kMinutes = 10, kSteps = 2000;
constexpr int W = 480, H = 74, OH = 30;

// A 10-minute track: a kick every half second over a chord that swells and fades.
bool writeTrack(const QString& path, double detune)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const uint32_t frames = uint32_t(kMinutes * 60 * kRate), bytes = frames * 4;
    auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
    f.write("RIFF", 4); u32(36 + bytes); f.write("WAVEfmt ", 8); u32(16); u16(1); u16(2);
    u32(kRate); u32(kRate * 4); u16(4); u16(16); f.write("data", 4); u32(bytes);
    std::vector<int16_t> block;
    block.reserve(1 << 17);
    for (uint32_t i = 0; i < frames; ++i) {
        const double t = double(i) / kRate, beat = std::fmod(t, 0.5);
        const double swell = 0.5 + 0.4 * std::sin(t * 0.2);
        double v = swell * 0.3 * (std::sin(2 * M_PI * 220 * detune * t) + std::sin(2 * M_PI * 1033.6 * t) * 0.5);
        if (beat < 0.08) v += 0.5 * (1 - beat / 0.08) * std::sin(2 * M_PI * 60 * t);
        const int16_t s = int16_t(std::lround(std::clamp(v, -1.0, 1.0) * 32000));
        block.push_back(s);
        block.push_back(s);
        if (block.size() >= (1 << 17)) {
            f.write(reinterpret_cast<const char*>(block.data()), qint64(block.size() * 2));
            block.clear();
        }
    }
    f.write(reinterpret_cast<const char*>(block.data()), qint64(block.size() * 2));
    return true;
}

struct DeckControls {
    DeckControls()
    {
        wave.resize(W, H);
        over.resize(W, OH);
        strip.resize(W, 13);
        QImage flag(9, 13, QImage::Format_RGB32);
        flag.fill(Qt::white);
        strip.SetMarks(flag, flag);
        meter.SetMaxValue(38000);
        bar1.SetMaxValue(33768);
        bar2.SetMaxValue(33768);
    }
    DisplayBox wave, over;
    CueStripView strip;
    TVrQuorAngularMeter meter;
    TRLed bar1, bar2;
    TVrLed led;
    TVrCompass platter;
    TVrProgressBar pro;
    QLabel caption, remain;
    KitNeedleMeter vu{&meter};
    KitLevelBar l{&bar1}, r{&bar2};
    KitPeakLamp lamp{&led};
    KitPlatter disp{&platter};
    KitProgressView position{&pro};
    KitTextLabel capt{&caption}, rem{&remain};
};

struct Deck {
    Deck(int n, const QString& file, bool keylock)
    {
        cfg.usekeylock = true;
        player = std::make_unique<cargaasio>(&cfg, n);
        player->offlinerender = true;
        player->basseqfx->vol = 100;
        player->basseqfx->gain = 10;
        worker = std::make_unique<TDamepicos>(BpmEntryPoints{}, QStringLiteral("ostrel%1").arg(n));
        (n == 1 ? player->creo_onda : player->creo_onda2) = worker.get();
        QFile::remove(PeaksCache::fileFor(file));
        for (int i = 0; i < 2; ++i) {  // the second load scans
            player->filename = file;
            player->Load(file);
        }
        worker->waitForEnd();
        player->setkeylock(keylock);
        player->SetDmcSlider(-int(std::lround(player->freq)));
        player->SetPosition(int64_t(90 * kRate) * 4);
        player->Play();
        // hot cues about the play position, and one loop cue
        PRecord& r = *player->basseqfx;
        for (int j = 0; j < 3; ++j) r.tag[size_t(j + 1)] = (90 + 3.0 * j - 2) * kRate * 4;
        r.tag[9] = 200.0 * kRate * 4;
        player->actcues();
    }
    void play(int frames)
    {
        std::vector<int16_t> out(size_t(frames) * 2);
        sound::getData(player->CMaster, out.data(), frames * 4);
    }
    PSoundConfig cfg;
    std::unique_ptr<TDamepicos> worker;  // outlives the deck, which stops it
    std::unique_ptr<cargaasio> player;
};

std::shared_ptr<TDIBUltra> background(const QColor& c)
{
    QImage img(W, H, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 0, H);
    g.setColorAt(0, c.darker(190));
    g.setColorAt(0.5, c.lighter(110));
    g.setColorAt(1, c.darker(190));
    p.fillRect(img.rect(), g);
    p.end();
    return dibFromImage(img);
}

// Microseconds per step: `steps` steps, the decks playing `frames` frames between two.
double perStep(TVisuales& v, Deck& a, Deck& b, int frames, int steps)
{
    double us = 0;
    for (int i = 0; i < steps; ++i) {
        a.play(frames);
        b.play(frames);
        const auto t = Clock::now();
        v.muevelo();
        us += std::chrono::duration<double, std::micro>(Clock::now() - t).count();
    }
    return us / steps;
}

double peerPass()
{
    TDIBUltra d(W, H, DUpf24);
    d.SetClipRect({0, 0, W, H});
    d.NotLast = true;
    QImage window(W, H, QImage::Format_RGB32);
    DibCanvas screen(reinterpret_cast<uint32_t*>(window.bits()), W, H, int(window.bytesPerLine()));
    const auto t = Clock::now();
    for (int p = 0; p < kSteps; ++p) {
        d.SetBrhColor(0x202020);
        d.FillRect(d.ClpRect);
        for (int x = 0; x < W; ++x) {
            const int h = 1 + (x * 7 + p * 3) % (H / 2 - 1);
            d.SetPenColor(x < W / 2 ? 0x00C000 : 0xC00000);
            d.MoveTo(x, H / 2);
            d.LineTo(x, H / 2 - h);
            d.MoveTo(x, H / 2);
            d.LineTo(x, H / 2 + h);
        }
        d.DrawOn({0, 0, W, H}, screen, 0, 0);
    }
    return std::chrono::duration<double, std::micro>(Clock::now() - t).count() / kSteps;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());  // the peaks cache goes there
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString fa = dir.filePath(QStringLiteral("a.wav")), fb = dir.filePath(QStringLiteral("b.wav"));
    if (!writeTrack(fa, 1.0) || !writeTrack(fb, 1.5)) {
        std::fprintf(stderr, "cannot write the tracks\n");
        return 1;
    }
    Deck a(1, fa, true), b(2, fb, false);

    TVisuales v;
    DeckControls ca, cb;
    v.paintbox1 = &ca.wave;
    v.paintbox2 = &cb.wave;
    v.paintboxp1 = &ca.over;
    v.paintboxp2 = &cb.over;
    v.imgcues1 = &ca.strip;
    v.imgcues2 = &cb.strip;
    v.bmp1 = background(QColor(0xFE, 0xB2, 0x0A));
    v.bmp2 = background(QColor(0x8A, 0xCE, 0x1B));
    v.bmp3 = background(QColor(0x3F, 0xA9, 0xF5));
    v.xdispa = &ca.disp;
    v.xdispb = &cb.disp;
    v.vu1 = &ca.vu;
    v.vu2 = &cb.vu;
    v.led1 = &ca.lamp;
    v.led2 = &cb.lamp;
    v.xrll1 = &ca.l;
    v.xrlr1 = &ca.r;
    v.xrll2 = &cb.l;
    v.xrlr2 = &cb.r;
    v.pro1 = &ca.position;
    v.pro2 = &cb.position;
    v.lab1 = &ca.capt;
    v.lab2 = &ca.rem;
    v.lab3 = &cb.capt;
    v.lab4 = &cb.rem;
    v.init(a.player->basseqfx, b.player->basseqfx);
    v.suspender();  // the steps are ours

    const double peer = peerPass();
    perStep(v, a, b, 88, 200);  // warm-up
    const double wave = perStep(v, a, b, 88, kSteps);
    v.setdisplayspec(true);
    perStep(v, a, b, 1102, 100);
    const double spectrum = perStep(v, a, b, 1102, kSteps);

    std::printf("visual step, both decks playing 10-minute tracks, %d steps a view\n", kSteps);
    std::printf("  waveform view  %8.1f us/step (a %dx%d waveform, every 20th its %dx%d overview)\n", wave, W, H,
                W, OH);
    std::printf("  spectrum view  %8.1f us/step (FFT 1024, 129 bars)\n", spectrum);
    std::printf("  peer: bare %dx%d waveform pass %8.1f us; ratio wave step / pass %.2f\n", W, H, peer, wave / peer);
    std::printf("  share of the UI thread: wave %.1f %% (a step every 2 ms), spectrum %.1f %% (every 25 ms)\n",
                wave / 2000 * 100, spectrum / 25000 * 100);
    std::printf("visual step us: wave %.0f, spectrum %.0f\n", wave, spectrum);
    return 0;
}
