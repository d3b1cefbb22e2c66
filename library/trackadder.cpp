#include "library/trackadder.h"

#include <chrono>
#include <utility>

#include "library/folderscan.h"
#include "library/queuedcaller.h"
#include "library/songtags.h"
#include "library/taudioinfo.h"
#include "library/tmsql.h"

TrackAdder::TrackAdder() : ui_(std::make_unique<QueuedCaller>()) {}

TrackAdder::~TrackAdder()
{
    abort_ = true;
    if (worker_.joinable()) worker_.join();
    ui_.reset();  // calls still posted to it are dropped with it
}

bool TrackAdder::start(Run run, Listener listener)
{
    if (running_ || !run.sql || !run.insert) return false;
    if (worker_.joinable()) worker_.join();
    running_ = true;
    cancelled_ = false;
    abort_ = false;
    outcome_ = Outcome();
    listener_ = std::move(listener);
    run_.sql = run.sql;
    run_.insert = run.insert;
    worker_ = std::thread([this, run = std::move(run)]() mutable { work(std::move(run)); });
    return true;
}

void TrackAdder::cancel()
{
    if (!running_) return;
    cancelled_ = true;
    abort_ = true;
}

void TrackAdder::work(Run run)
{
    using Clock = std::chrono::steady_clock;
    auto post = [this](std::function<void()> fn) { ui_->post(std::move(fn)); };
    auto label = [this, &post](const QString& text) {
        post([this, text] {
            if (listener_.label && !cancelled_) listener_.label(text);
        });
    };

    QStringList files = run.files;
    if (!run.folder.isEmpty()) {
        label(QStringLiteral("Scanning directory and folders"));
        files += FolderScan::files(run.folder, &abort_,
                                   [&label](const QString& f) { label(QStringLiteral("Scanning ") + f); });
    }
    const int n = int(files.size());
    post([this, n] {
        if (cancelled_) return;
        if (listener_.progress) listener_.progress(0, n);
        if (listener_.label) listener_.label(QStringLiteral("Adding 0/%1").arg(n));
    });

    TAudioInfo info;
    std::vector<Ttagsong> batch;
    Clock::time_point since = Clock::now();
    auto flush = [&] {
        if (batch.empty()) return;
        post([this, b = std::make_shared<std::vector<Ttagsong>>(std::move(batch))] { receive(std::move(*b)); });
        batch = {};
        since = Clock::now();
    };
    bool aborted = false;
    for (int k = 0; k < n; ++k) {
        if (abort_) {
            aborted = true;
            break;
        }
        const QString& file = std::as_const(files)[k];
        Ttagsong t;
        if (!run.skip.contains(file) && songtags::tagStep(file, run.playlists, t, info)) batch.push_back(std::move(t));
        post([this, k, n] {
            if (cancelled_) return;
            if (listener_.progress) listener_.progress(k + 1, n);
            if (listener_.label) listener_.label(QStringLiteral("Adding %1/%2").arg(k + 1).arg(n));
        });
        if (int(batch.size()) >= kBatch || Clock::now() - since >= std::chrono::milliseconds(kBatchMs)) flush();
    }
    if (abort_) aborted = true;
    flush();
    post([this, aborted] { finish(aborted); });
}

void TrackAdder::receive(std::vector<Ttagsong> batch)
{
    if (cancelled_) return;
    run_.sql->beginBatch();
    QStringList in;
    for (const Ttagsong& t : batch) {
        if (run_.insert(t) > 0) in << t.alfichero;
        else outcome_.notAdded << t.alfichero;
    }
    if (run_.sql->endBatch()) outcome_.added += int(in.size());
    else outcome_.notAdded += in;  // the commit failed: none of them stayed
}

void TrackAdder::finish(bool aborted)
{
    if (worker_.joinable()) worker_.join();
    running_ = false;
    outcome_.cancelled = cancelled_ || aborted;
    const Outcome out = outcome_;
    const auto finished = listener_.finished;
    listener_ = Listener();
    run_ = Run();
    if (finished) finished(out);
}
