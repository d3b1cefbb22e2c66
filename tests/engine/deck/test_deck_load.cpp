// Load chain of the four players: formats, record fields, scan hand-off, failures, chain
// rates, buffers sized from the display width, effects kept over a load, keylock without
// a tempo stream, unload while a scan runs.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <QThread>

#include <QDir>

#include "tests/engine/deck/deckrig.h"
#include "engine/decktime.h"
#include "engine/ostrelli.h"

#include <QFileInfo>

using namespace deckrig;

namespace {

QString unique(const QTemporaryDir& dir, const QString& name)
{
    return dir.filePath(QStringLiteral("%1-%2").arg(QCoreApplication::applicationPid()).arg(name));
}

struct Format {
    const char* ext;
    QStringList codec;
};

class DeckFormats : public ::testing::TestWithParam<Format> {};

TEST_P(DeckFormats, LoadsIntoEveryPlayer)
{
    const Format f = GetParam();
    QTemporaryDir dir;
    const QString wav = unique(dir, "src.wav");
    ASSERT_TRUE(tone(wav, 44100, 3.0, 440));
    const QString file = unique(dir, QStringLiteral("track.%1").arg(f.ext));
    if (QString(f.ext) != "wav") ASSERT_TRUE(convert(wav, file, f.codec)) << f.ext;
    else QFile::copy(wav, file);

    for (int nc = 1; nc <= 4; ++nc) {
        Rig rig(nc);
        ASSERT_TRUE(rig.load(file)) << f.ext << " player " << nc;
        PRecord& r = *rig.deck->basseqfx;
        const sound::Handle probe = sound::openFile(file.toStdString());
        const int64_t length = sound::getLength(probe);
        const double secs = sound::bytesToSeconds(probe, length);
        sound::freeStream(probe);
        EXPECT_EQ(r.length, length);
        EXPECT_EQ(r.lengthms, roundEven(secs * 1000));
        // decks A and B take their ratio from the peaks (none before the first scan)
        EXPECT_EQ(r.ratio, nc <= 2 ? 0 : roundEven(length / 4096.0));
        EXPECT_TRUE(rig.deck->loaded);
        EXPECT_EQ(r.Fstatus, sStop);
        if (nc <= 2) {
            EXPECT_EQ(r.duration.get(), decode_time(r.lengthms, 'R')) << f.ext;
            EXPECT_EQ(r.remain.get(), r.duration.get());
            EXPECT_EQ(r.elapsed.get(), QStringLiteral("0:00:00:00"));
            EXPECT_FALSE(rig.deck->dioerror);
        }
        // and it plays
        rig.unity();
        rig.deck->Play();
        const auto out = rig.render(44100);
        int peak = 0;
        for (size_t i = 0; i < out.size(); i += 2) peak = std::max(peak, std::abs(int(out[i])));
        EXPECT_GT(peak, 8000) << f.ext << " player " << nc;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ten, DeckFormats,
    ::testing::Values(Format{"wav", {}}, Format{"mp3", {"-c:a", "libmp3lame", "-b:a", "192k"}},
                      Format{"mp2", {"-c:a", "mp2"}}, Format{"ogg", {"-c:a", "libvorbis"}},
                      Format{"wma", {"-c:a", "wmav2"}}, Format{"flac", {}}, Format{"aiff", {}},
                      Format{"aac", {"-c:a", "aac"}}, Format{"mp4", {"-c:a", "aac"}},
                      Format{"m4a", {"-c:a", "aac"}}),
    [](const auto& info) { return std::string(info.param.ext); });

// mp1 has no encoder on these machines; an mp2 stream renamed .mp1 goes the same decoder path.
TEST(DeckLoad, Mp1NameTakesTheMpegPath)
{
    QTemporaryDir dir;
    const QString wav = unique(dir, "src.wav"), mp2 = unique(dir, "t.mp2"), mp1 = unique(dir, "t.mp1");
    ASSERT_TRUE(tone(wav, 44100, 1.0, 440));
    ASSERT_TRUE(convert(wav, mp2, {"-c:a", "mp2"}));
    QFile::copy(mp2, mp1);
    Rig rig(1);
    EXPECT_TRUE(rig.load(mp1));
}

TEST(DeckLoad, FirstLoadStartsNoScanLaterLoadsDo)
{
    QTemporaryDir dir;
    const QString a = unique(dir, "first.wav"), b = unique(dir, "second.wav");
    ASSERT_TRUE(tone(a, 44100, 1.0, 440));
    ASSERT_TRUE(tone(b, 44100, 1.0, 220));
    for (int nc = 1; nc <= 4; ++nc) {
        Rig rig(nc);
        ASSERT_TRUE(rig.load(a));
        EXPECT_EQ(rig.worker.count("init"), 0) << nc;
        ASSERT_TRUE(rig.load(a));
        const int expected = nc <= 2 ? 1 : 0;
        EXPECT_EQ(rig.worker.count("init"), expected) << nc;
        EXPECT_EQ(rig.worker.count("resume"), expected) << nc;
        // a scan is stopped and joined before the next one is prepared
        ASSERT_TRUE(rig.load(b));
        EXPECT_FALSE(rig.worker.initWhileRunning);
        if (nc <= 2) {
            EXPECT_EQ(rig.worker.count("init"), 2);
            EXPECT_TRUE(rig.deck->conteo);
            EXPECT_TRUE(rig.deck->dibujo);
        }
    }
}

TEST(DeckLoad, TrackWithTempoAndCacheStartsNoScan)
{
    QTemporaryDir dir;
    const QString file = unique(dir, "cached.wav");
    ASSERT_TRUE(tone(file, 44100, 1.0, 440));
    Rig rig(1);
    ASSERT_TRUE(rig.load(file));
    // a cache with the right number of points
    const int64_t points = rig.deck->basseqfx->length / 2048;
    QDir().mkpath(GetUserProfile() + "Peaks");
    QFile pek(GetUserProfile() + "Peaks/" + QFileInfo(file).completeBaseName() + ".pek");
    ASSERT_TRUE(pek.open(QIODevice::WriteOnly));
    for (int64_t p = 0; p < points; ++p) {
        const int32_t v = int32_t(p % 80);
        pek.write(reinterpret_cast<const char*>(&v), 4);
        pek.write(reinterpret_cast<const char*>(&v), 4);
    }
    pek.close();
    rig.deck->basseqfx->tag[0] = 128.0;
    ASSERT_TRUE(rig.load(file));
    EXPECT_EQ(rig.worker.count("init"), 0);
    EXPECT_FALSE(rig.deck->dibujo);
    EXPECT_TRUE(rig.deck->basseqfx->drawfirsttime);
    EXPECT_EQ(rig.deck->basseqfx->ratio, points);
    const int s = rig.deck->basseqfx->surface;
    EXPECT_EQ(rig.deck->basseqfx->wavebufL.get()->get(2 * s + 5), 5);
    EXPECT_EQ(rig.deck->basseqfx->wavebufR.get()->get(2 * s + 79), 79);
    EXPECT_EQ(rig.deck->basseqfx->wavebufL.get()->size(), size_t(points + 4 * s));
    // fewer points than pixels: one point a pixel
    const PeakBufferPtr overview = rig.deck->basseqfx->pnewl.get();
    EXPECT_EQ(overview->get(2 * 7), 7);
    EXPECT_EQ(overview->get(2 * 7 + 1), 7);
    EXPECT_EQ(rig.deck->basseqfx->peaks.get().size(), points * 8);
    // more points than pixels: c = points / surface points a pixel, averaged
    rig.deck->basseqfx->surface = 10;
    rig.deck->readpeaks(pek.fileName());
    const int64_t c = points / 10;
    int64_t sum = 0;
    for (int64_t p = 1; p <= c; ++p) sum += p;
    EXPECT_EQ(rig.deck->basseqfx->pnewl.get()->get(2), sum / c);
    EXPECT_EQ(rig.deck->basseqfx->pnewl.get()->get(2 * 9 + 1), (8 * c + 1 + 9 * c) * c / 2 / c);
    rig.deck->basseqfx->surface = 480;
    // without a tempo the scan runs even with a cache, for the tempo only
    rig.deck->basseqfx->tag[0] = 0.0;
    ASSERT_TRUE(rig.load(file));
    ASSERT_EQ(rig.worker.count("init"), 1);
    EXPECT_TRUE(rig.worker.log.filter("init").first().endsWith(" 1 0"));
    pek.remove();
}

TEST(DeckLoad, MissingOrCorruptFileWarnsAndDeckStaysUsable)
{
    QTemporaryDir dir;
    const QString good = unique(dir, "good.wav"), corrupt = unique(dir, "corrupt.mp3");
    ASSERT_TRUE(tone(good, 44100, 1.0, 440));
    QFile c(corrupt);
    ASSERT_TRUE(c.open(QIODevice::WriteOnly));
    c.write(QByteArray(4096, 'x'));
    c.close();
    for (int nc = 1; nc <= 2; ++nc) {
        for (const QString& bad : {unique(dir, "missing.mp3"), corrupt}) {
            Rig rig(nc);
            ASSERT_TRUE(rig.load(good));
            EXPECT_FALSE(rig.load(bad));
            ASSERT_EQ(rig.box.calls.size(), 1u);
            EXPECT_EQ(rig.box.calls[0].caption, QStringLiteral("Warning "));
            EXPECT_EQ(rig.box.calls[0].text, QStringLiteral("Audio format not sopported !  "));
            EXPECT_EQ(rig.box.calls[0].timeout, 1000);
            EXPECT_TRUE(rig.deck->dioerror);
            EXPECT_FALSE(rig.deck->loaded);
            EXPECT_FALSE(rig.deck->loading);
            // transport on the empty deck does nothing
            rig.deck->Play();
            EXPECT_EQ(rig.deck->basseqfx->Fstatus, sStop);
            ASSERT_TRUE(rig.load(good));
            EXPECT_FALSE(rig.deck->dioerror);
            rig.unity();
            rig.deck->Play();
            EXPECT_FALSE(clicks(rig.render(22050), 4000).empty());
        }
    }
    // a sampler fails quietly
    Rig sampler(3);
    EXPECT_FALSE(sampler.load(corrupt));
    EXPECT_TRUE(sampler.box.calls.empty());
}

// A box shown off the UI thread waits for the UI thread, as the kit's box does; a box shown
// on the UI thread returns at once.
struct WaitingBox : DeckMessageBox {
    bool MessageDlg(const QString&, const QString& text, int, int, int) override
    {
        if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
            entered = true;
            std::unique_lock<std::mutex> l(m);
            if (!cv.wait_for(l, std::chrono::seconds(3), [&] { return released; })) waitedInVain = true;
        }
        std::lock_guard<std::mutex> l(m);
        shown << text;
        return true;
    }
    void release()
    {
        std::lock_guard<std::mutex> l(m);
        released = true;
        cv.notify_all();
    }
    std::mutex m;
    std::condition_variable cv;
    bool released = false, waitedInVain = false;
    std::atomic<bool> entered{false};
    QStringList shown;
};

// The load-failure box is posted to the UI thread, unawaited: Unload on the UI thread during
// a failing load returns, and the box is shown there afterwards.
TEST(LoadFailures, UnloadOnTheUiThreadDuringAFailingLoadReturns)
{
    int argc = 1;
    char name[] = "test_deck";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString corrupt = unique(dir, "corrupt.mp3");
    QFile c(corrupt);
    ASSERT_TRUE(c.open(QIODevice::WriteOnly));
    c.write(QByteArray(4096, 'x'));
    c.close();
    Rig rig(1);
    WaitingBox box;
    rig.deck->message1 = &box;
    std::atomic<bool> done{false};
    std::thread loader([&] {
        rig.deck->Load(corrupt);
        done = true;
    });
    for (int i = 0; i < 500 && !done && !box.entered; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    rig.deck->Unload();
    box.release();
    loader.join();
    EXPECT_FALSE(box.waitedInVain) << "the loading thread waited for the UI thread while it held the deck";
    QCoreApplication::processEvents();
    EXPECT_EQ(box.shown, QStringList{QStringLiteral("Audio format not sopported !  ")});
    rig.deck->message1 = nullptr;
}

TEST(DeckLoad, BuffersFollowTheDisplayWidth)
{
    QTemporaryDir dir;
    const QString file = unique(dir, "wide.wav");
    ASSERT_TRUE(tone(file, 44100, 2.0, 440));
    Rig rig(1);
    rig.deck->basseqfx->surface = 1200;
    ASSERT_TRUE(rig.load(file));
    PRecord& r = *rig.deck->basseqfx;
    const size_t offset = size_t(roundEven(r.length / 2048.0));
    EXPECT_GE(r.pnewl.get()->size(), 4u * 1200);
    EXPECT_EQ(r.wavebufL.get()->size(), 2 * offset + 4 * 1200);
    EXPECT_EQ(r.wavebufR.get()->size(), 2 * offset + 4 * 1200);
}

TEST(DeckLoad, MixersRunAtTheBusRateWhateverTheTrack)
{
    QTemporaryDir dir;
    const QString file = unique(dir, "rate48.wav");
    ASSERT_TRUE(clickTrack(file, 48000, 48000 * 2, 4800));
    const sound::Handle bus = sound::createPushStream(44100, 2, sound::Decode, 44100);
    chanheadphones = bus;
    useheadphones = true;
    {
        Rig rig(1);
        rig.deck->headphones = true;
        ASSERT_TRUE(rig.load(file));
        sound::StreamInfo info;
        ASSERT_TRUE(sound::getInfo(rig.deck->Mixer, info));
        EXPECT_EQ(info.rate, 44100);
        ASSERT_TRUE(sound::getInfo(rig.deck->CMaster, info));
        EXPECT_EQ(info.rate, 44100);
        EXPECT_EQ(rig.deck->freqchan, 48000.0f);
        rig.unity();
        rig.deck->Play();
        // one second of output holds ten clicks of the 48 kHz track: it plays at its own speed
        const auto out = rig.render(44100);
        EXPECT_NEAR(double(clicks(out).size()), 10.0, 1.0);
        // the headphone bus got one second of frames, not 48000/44100 of it
        EXPECT_LE(sound::pushQueued(bus), 44100);
    }
    useheadphones = false;
    chanheadphones = 0;
    sound::freeStream(bus);
}

TEST(DeckLoad, KeylockWithoutTempoStreamKeepsPlaying)
{
    QTemporaryDir dir;
    const QString file = unique(dir, "nokeylock.wav");
    ASSERT_TRUE(clickTrack(file, 44100, 44100 * 2, 4410));
    Rig rig(1, /*keylock=*/false);
    ASSERT_TRUE(rig.load(file));
    EXPECT_EQ(rig.deck->ChannelTempo, 0u);
    rig.unity();
    rig.deck->Play();
    rig.deck->setkeylock(true);
    EXPECT_FALSE(rig.deck->keylock);
    EXPECT_NEAR(double(clicks(rig.render(44100)).size()), 10.0, 1.0);
}

TEST(DeckLoad, SwitchedOnEffectsStayOnOverALoad)
{
    QTemporaryDir dir;
    const QString a = unique(dir, "fx-a.wav"), b = unique(dir, "fx-b.wav");
    ASSERT_TRUE(tone(a, 44100, 1.0, 440));
    ASSERT_TRUE(tone(b, 44100, 1.0, 220));
    Rig rig(1);
    ASSERT_TRUE(rig.load(a));
    rig.deck->UpdateEcho(0.6f, 0, 0.125f, true);
    rig.deck->UpdateFlange(0, 0.4f, true);
    rig.deck->UpdateWah(0.3f, 500, true);
    ASSERT_TRUE(rig.load(b));
    for (sound::Handle fx : {rig.deck->fxecho2.load(), rig.deck->FXFLANGER.load(), rig.deck->FXWAH.load()}) {
        ASSERT_NE(fx, 0u);
        EXPECT_EQ(sound::streamOfProcessor(fx), rig.deck->Channel.load());
    }
    sound::EchoParams e;
    ASSERT_TRUE(sound::getFxParams(rig.deck->fxecho2, e));
    EXPECT_FLOAT_EQ(e.wetMix, 0.6f);
    EXPECT_FLOAT_EQ(e.dryMix, 0.9f);
    EXPECT_FLOAT_EQ(e.delay, 0.125f);
    sound::FlangerParams fl;
    ASSERT_TRUE(sound::getFxParams(rig.deck->FXFLANGER, fl));
    EXPECT_FLOAT_EQ(fl.speed, 0.4f);
    // switching off still removes them
    rig.deck->UpdateEcho(0.6f, 0, 0.125f, false);
    EXPECT_EQ(rig.deck->fxecho2, 0u);
}

TEST(DeckLoad, UnloadAndLoadStopTheScanFirst)
{
    QTemporaryDir dir;
    const QString a = unique(dir, "scan-a.wav");
    ASSERT_TRUE(tone(a, 44100, 1.0, 440));
    Rig rig(2);
    ASSERT_TRUE(rig.load(a, 2));
    ASSERT_TRUE(rig.worker.running);
    rig.deck->Unload();
    EXPECT_FALSE(rig.worker.running);
    EXPECT_EQ(rig.worker.log.last(), QStringLiteral("fin"));
    EXPECT_EQ(rig.deck->syncloop[0], 100);
    EXPECT_EQ(rig.deck->syncloop[1], 100);
    EXPECT_EQ(rig.deck->basseqfx->tiempopcm, 1);
    EXPECT_EQ(rig.deck->Channel, 0u);
}

}  // namespace

namespace {

// The loading thread loads while the UI thread ticks, plays, seeks and the output pulls.
TEST(DeckLoadThreads, LoadingThreadAgainstTickAndOutput)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("thr-a.wav"), b = dir.filePath("thr-b.wav");
    ASSERT_TRUE(clickTrack(a, 44100, 44100, 4410));
    ASSERT_TRUE(tone(b, 48000, 1.0, 440));
    Rig rig(1);
    ASSERT_TRUE(rig.load(a));
    std::atomic<bool> done{false};
    std::atomic<int> loads{0};
    std::thread loader([&] {
        for (int i = 0; i < 20; ++i) {
            const QString f = i % 2 ? a : b;
            rig.deck->filename = f;
            if (rig.deck->Load(f)) ++loads;
        }
        done = true;
    });
    std::vector<int16_t> buf(2048);
    int round = 0;
    while (!done) {
        rig.deck->fchangetimerTimer();
        if (round % 3 == 0) rig.deck->Play();
        if (round % 5 == 0) rig.deck->SetPosition(40000);
        if (round % 7 == 0) rig.deck->Stop();
        sound::getData(rig.deck->CMaster, buf.data(), int(buf.size() * 2));
        ++round;
    }
    loader.join();
    EXPECT_EQ(loads, 20);
    EXPECT_TRUE(rig.deck->loaded);
    rig.deck->fchangetimerTimer();
}

}  // namespace

namespace {

TEST(DeckLoadWhilePlaying, NewTrackStartsStoppedAtZeroWithTheSliderApplied)
{
    QTemporaryDir dir;
    const QString a = dir.filePath("playing-a.wav"), b = dir.filePath("playing-b.wav");
    ASSERT_TRUE(tone(a, 44100, 2.0, 440));
    ASSERT_TRUE(tone(b, 48000, 2.0, 440));
    Rig rig(1);
    ASSERT_TRUE(rig.load(a));
    rig.deck->SetSlider(20);
    rig.deck->Play();
    rig.render(20000);
    ASSERT_TRUE(rig.load(b));
    EXPECT_EQ(rig.deck->basseqfx->Fstatus, sStop);
    EXPECT_EQ(rig.deck->Getposition(), 0);
    EXPECT_EQ(rig.deck->fcue1, 0);
    EXPECT_EQ(rig.deck->slider, 20);
    const int64_t fastest = roundEven(1.1 * 48000), slowest = roundEven(0.9 * 48000);
    EXPECT_EQ(rig.deck->dmcslider, -(slowest + roundEven(double(fastest - slowest) * 107 / 127)));
    const auto out = rig.render(4410);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 0);  // stopped: nothing heard
}

}  // namespace
