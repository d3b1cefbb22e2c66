#include "engine/tdamepicos.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QFileInfo>
#include <QMetaObject>

#include "platform/bpm/bpmlibrary.h"
#include "engine/bpmresult.h"
#include "engine/peakscache.h"
#include "platform/sound/sound.h"

namespace {

constexpr int kBlock = 4096;   // bytes read at a time
constexpr int kPointValues = 1024;

}  // namespace

TDamepicos::TDamepicos(BpmEntryPoints engineEntries, const QString& ownLibrary, QObject* ui)
    : mine_(std::move(engineEntries)), ui_(ui)
{
    // each entry point is looked up only while it is still unset
    if (auto lib = BpmLibrary::load(ownLibrary)) {
        if (!own_.DameBpm) own_.DameBpm = lib->lookup(QStringLiteral("DameBpm")).DameBpm;
        if (!own_.Decode) own_.Decode = lib->lookup(QStringLiteral("Decode")).Decode;
        if (!own_.Init) own_.Init = lib->lookup(QStringLiteral("Init")).Init;
    }
    cacheFileFor = [](const QString& f) { return PeaksCache::fileFor(f); };
}

TDamepicos::~TDamepicos()
{
    std::lock_guard<std::mutex> l(control_);
    stopAndJoin();
    closeDecoder();
}

void TDamepicos::stopAndJoin()
{
    mfin_ = true;
    if (thread_.joinable()) thread_.join();
    running_ = false;
}

void TDamepicos::closeDecoder()
{
    reader_.reset();
}

void TDamepicos::init(int /*points*/, int width, const QString& file, HandOverCells* cells,
                      PeakBufferPtr wavebufL, PeakBufferPtr wavebufR, PeakBufferPtr pnewl, bool tempo, bool peaks)
{
    std::lock_guard<std::mutex> l(control_);
    // the previous scan reads the decoder and buffers about to be replaced: let it end first
    stopAndJoin();
    prepared_ = false;
    mffile_ = file;
    mancho_ = std::max(1, width);
    wdpics_ = cells;
    if (cells) (*cells)[0] = 0;
    mconteo_ = tempo;
    mdibujo_ = peaks;

    closeDecoder();
    if (OnConteo) OnConteo();
    // one decoder reads every format: no choice by extension
    reader_ = sound::FileReader::open(file.toStdString(), sound::OpenOptions{.flags = sound::Decode | sound::Prescan, .sequential = true});
    if (OnConteo) OnConteo();

    slength_ = reader_ ? std::max<int64_t>(0, reader_->lengthBytes()) : 0;
    const int64_t offset = std::llround(double(slength_) / PeaksCache::kPointBytes);
    samplesize_ = int(std::max<int64_t>(1, offset / mancho_));

    if (reader_ && reader_->rate() > 0) {
        if (mine_.Init) mine_.Init(2, reader_->rate());
        if (own_.Init) own_.Init(2, reader_->rate());
    }

    mwavebufL_ = std::move(wavebufL);
    mwavebufr_ = std::move(wavebufR);
    mpwavebufL_ = std::move(pnewl);
    for (int i = 0; i < 2 * mancho_; ++i) {
        if (mwavebufL_) mwavebufL_->set(size_t(i), 0);
        if (mwavebufr_) mwavebufr_->set(size_t(i), 0);
    }
    mfin_ = false;
    prepared_ = true;
}

void TDamepicos::resume()
{
    std::lock_guard<std::mutex> l(control_);
    if (!prepared_ || running_) return;
    if (thread_.joinable()) thread_.join();  // a scan that ended by itself
    prepared_ = false;
    running_ = true;
    thread_ = std::thread([this] {
        Sort();
        running_ = false;
    });
}

void TDamepicos::fin()
{
    std::lock_guard<std::mutex> l(control_);
    terminate();
    if (thread_.joinable()) thread_.join();
    // the scan may have written its progress between the stop request and its next block
    if (HandOverCells* c = wdpics_.load()) (*c)[1] = 0;
    running_ = false;
    prepared_ = false;
}

void TDamepicos::terminate()
{
    mfin_ = true;
    if (HandOverCells* c = wdpics_.load()) (*c)[1] = 0;
}

void TDamepicos::waitForEnd()
{
    std::lock_guard<std::mutex> l(control_);
    if (thread_.joinable()) thread_.join();
    running_ = false;
}

void TDamepicos::VisualSwap(double v)
{
    HandOverCells* cells = wdpics_;
    if (!cells) return;
    if (ui_) {
        QMetaObject::invokeMethod(ui_.data(), [cells, v] { (*cells)[1] = v; }, Qt::QueuedConnection);
    } else {
        (*cells)[1] = v;
    }
}

void TDamepicos::Sort()
{
    if (mfin_) return;
    HandOverCells* cells = wdpics_;
    auto cell = [cells](int i) -> Shared<double>* { return cells ? &(*cells)[size_t(i)] : nullptr; };

    // A decoder that refused the file, or a track of no length, is a failed scan: no cache,
    // no tempo handed over (an empty cache would stand for the file's waveform for good).
    const bool decoded = reader_ && slength_ > 0;
    bool readFailed = false;

    QByteArray peaks;
    if (mdibujo_) peaks.reserve(int(std::min<int64_t>(PeaksCache::pointsFor(slength_) * 8, 1 << 30)));
    std::vector<int16_t> buffer(kBlock / 2 + 1);
    int64_t posit = 0, xpos = 0;
    int lSample = 0;
    int64_t imi = 0;
    int ppos = 0;
    int64_t sumL = 0, sumR = 0;
    const int wave0 = 2 * mancho_;

    while (decoded && posit < slength_) {
        if (mfin_) return;  // stopped: no cache, no tempo, cells as they are
        const int want = slength_ - posit > kBlock ? kBlock : int(slength_ - posit);
        const int got = reader_->read(buffer.data(), want);
        if (got < 0) {
            readFailed = true;
            break;
        }
        posit += want;  // the last, short block counts as read in full
        const int values = got / 2;
        for (int i = 0; i < values; ++i) {
            ++xpos;
            if (buffer[size_t(i)] > lSample) lSample = buffer[size_t(i)];
            if (xpos % kPointValues != 0) continue;
            if (Shared<double>* c = cell(1)) {
                const double pct = std::trunc(double(posit) / double(slength_) * 100);
                if (pct > c->load()) *c = pct;
            }
            if (!mdibujo_) continue;
            const int v = PeaksCache::peakValue(lSample);
            if (mwavebufL_) mwavebufL_->set(size_t(wave0 + imi), int16_t(v));
            if (mwavebufr_) mwavebufr_->set(size_t(wave0 + imi), int16_t(v));
            PeaksCache::appendPair(peaks, v);
            sumL += v;
            sumR += v;
            lSample = 0;
            ++imi;
            if (imi % samplesize_ == 0 && ppos < mancho_ - 1) {
                if (mpwavebufL_) {
                    mpwavebufL_->set(size_t(2 * ppos), int16_t(sumL / samplesize_));
                    mpwavebufL_->set(size_t(2 * ppos + 1), int16_t(sumR / samplesize_));
                }
                sumL = sumR = 0;
                ++ppos;
            }
        }
        if (mconteo_ && got == kBlock) {
            if (mine_.Decode) {
                try {
                    mine_.Decode(buffer.data(), kBlock / 2);
                } catch (...) {
                }
            }
            if (own_.Decode) own_.Decode(buffer.data(), kBlock);
        }
        if (got < want) break;  // a short read ends the scan after this block
    }

    if (Shared<double>* c = cell(1)) *c = 0;
    if (decoded && !readFailed && mconteo_) {
        const bool hasMine = bool(mine_.DameBpm), hasOwn = bool(own_.DameBpm);
        const float mybpm = hasMine ? mine_.DameBpm() : 0.0f;
        const float mybpm2 = hasOwn ? own_.DameBpm() : 0.0f;
        if (Shared<double>* c = cell(0)) *c = double(bpmresult::finish(hasMine, mybpm, hasOwn, mybpm2));
    }
    if (decoded && !readFailed && mdibujo_ && !mfin_) {
        const QString onda1 = cacheFileFor ? cacheFileFor(mffile_) : PeaksCache::fileFor(mffile_);
        PeaksCache::write(onda1, peaks);  // a failed write only costs a rescan next time
    }
    VisualSwap(0);
    terminate();
}
