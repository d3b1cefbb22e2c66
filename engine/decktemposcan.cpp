#include "engine/decktemposcan.h"

#include <vector>

#include "platform/bpm/tempoanalyser.h"

namespace {
constexpr int kBlock = 4096;  // bytes read at a time
}

DeckTempoScan::~DeckTempoScan() { stop(); }

void DeckTempoScan::start(const QString& file, Progress progress, Done done)
{
    std::lock_guard<std::mutex> l(m_);
    for (auto it = runs_.begin(); it != runs_.end();) {
        (*it)->stop = true;
        if ((*it)->ended) {
            (*it)->thread.join();
            it = runs_.erase(it);
        } else {
            ++it;
        }
    }
    auto run = std::make_unique<Run>();
    Run* r = run.get();
    r->thread = std::thread([r, file, progress, done = std::move(done)] {
        scan(*r, file, progress, done);
        r->ended = true;
    });
    runs_.push_back(std::move(run));
}

void DeckTempoScan::stop()
{
    std::vector<std::unique_ptr<Run>> runs;
    {
        std::lock_guard<std::mutex> l(m_);
        runs.swap(runs_);
    }
    for (auto& r : runs) r->stop = true;
    for (auto& r : runs) r->thread.join();
}

bool DeckTempoScan::busy() const
{
    std::lock_guard<std::mutex> l(m_);
    return !runs_.empty() && !runs_.back()->ended;
}

void DeckTempoScan::scan(Run& run, const QString& file, Progress progress, const Done& done)
{
    // the scan's own decoder: no handle, no graph lock held while it decodes
    auto dec = sound::FileReader::open(file.toStdString(),
                                       sound::OpenOptions{.flags = sound::Decode | sound::Prescan, .sequential = true});
    if (!dec) return;
    const int64_t length = dec->lengthBytes();
    TempoAnalyser analyser;
    analyser.start(2, dec->rate());
    std::vector<int16_t> block(kBlock / 2);
    int64_t read = 0;
    bool whole = length > 0;
    while (read < length) {
        if (run.stop) {
            whole = false;
            break;
        }
        const int got = dec->read(block.data(), kBlock);
        if (got <= 0) {
            whole = got == 0;  // an early end reads as the end; an error spoils the scan
            break;
        }
        analyser.feed(block.data(), size_t(got / 2));
        read += got;
        if (progress && !run.stop) progress(0, float(std::min<int64_t>(read, length) * 100.0 / double(length)));
    }
    dec.reset();
    if (whole && !run.stop && done) done(analyser.tempo());
}
