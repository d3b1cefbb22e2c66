// A deck with the real peaks and tempo worker: the second load scans, the tick takes the
// tempo over, the cache serves the next load, and an unload stops a running scan.
#include <gtest/gtest.h>

#include <QFile>

#include "tests/engine/deck/deckrig.h"
#include "engine/peakscache.h"
#include "engine/tdamepicos.h"

using namespace deckrig;

namespace {

TEST(DeckPeaks, ScanHandsOverTempoAndPeaksThenTheCacheServes)
{
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("%1-beat120.wav").arg(QCoreApplication::applicationPid()));
    ASSERT_TRUE(clickTrack(f, 44100, 44100 * 20, 22050));
    TDamepicos worker(BpmEntryPoints{}, QStringLiteral("ostrel1"));
    Rig rig(1);
    rig.deck->creo_onda = &worker;
    QFile::remove(PeaksCache::fileFor(f));

    ASSERT_TRUE(rig.load(f));  // first load: no scan
    EXPECT_FALSE(worker.busy());
    ASSERT_TRUE(rig.load(f));
    worker.waitForEnd();
    carga& d = *rig.deck;
    const double found = d.wdpics[0];
    ASSERT_GT(found, 0.0);
    d.fchangetimerTimer();
    EXPECT_DOUBLE_EQ(d.fbpm, found);  // the analyser's accuracy is tested with the analyser
    EXPECT_DOUBLE_EQ(d.basseqfx->tag[0], d.fbpm);
    ASSERT_EQ(rig.library.files.size(), 1);
    const int s = d.basseqfx->surface;
    const PeakBufferPtr wave = d.basseqfx->wavebufL.get();
    int loud = 0;
    for (size_t i = 2 * size_t(s); i < wave->size(); ++i) loud += wave->get(i) > 0;
    EXPECT_GT(loud, 30);  // one point a click at least
    ASSERT_TRUE(QFile::exists(PeaksCache::fileFor(f)));

    // a track with its tempo and a cache: no scan, the peaks come from the file
    ASSERT_TRUE(rig.load(f));
    EXPECT_FALSE(worker.busy());
    EXPECT_FALSE(d.dibujo);
    EXPECT_TRUE(d.basseqfx->drawfirsttime);
    EXPECT_EQ(d.basseqfx->ratio, PeaksCache::pointsFor(d.basseqfx->length));
    QFile::remove(PeaksCache::fileFor(f));
}

TEST(DeckPeaks, UnloadStopsARunningScan)
{
    QTemporaryDir dir;
    const QString f = dir.filePath(QStringLiteral("%1-long.wav").arg(QCoreApplication::applicationPid()));
    ASSERT_TRUE(clickTrack(f, 44100, 44100 * 240, 22050));
    TDamepicos worker(BpmEntryPoints{}, QStringLiteral("ostrel2"));
    Rig rig(2);
    rig.deck->creo_onda2 = &worker;
    QFile::remove(PeaksCache::fileFor(f));
    ASSERT_TRUE(rig.load(f, 2));
    rig.deck->Unload();
    EXPECT_FALSE(worker.busy());
    // and a new load while a scan runs replaces it
    ASSERT_TRUE(rig.load(f));
    ASSERT_TRUE(rig.load(f));
    EXPECT_TRUE(rig.deck->loaded);
    worker.waitForEnd();
    rig.deck->fchangetimerTimer();
    EXPECT_GT(rig.deck->fbpm, 0.0);
    QFile::remove(PeaksCache::fileFor(f));
}

}  // namespace
