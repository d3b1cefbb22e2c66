#include "library/walcheckpointer.h"

#include <sqlite3.h>

#include "library/librarylog.h"
#include "library/sqliteexception.h"
#include "library/tsqlitedatabase.h"

WalCheckpointer::WalCheckpointer(sqlite3* db, const QString& path) : db_(db)
{
    try {
        own_ = std::make_unique<TSQLiteDatabase>(path);
        // a connection learns the file's journal mode from its first read
        if (own_->GetTableString(QStringLiteral("PRAGMA journal_mode")).compare(QLatin1String("wal"),
                                                                                  Qt::CaseInsensitive) != 0) {
            own_.reset();
            return;
        }
    } catch (const ESQLiteException& e) {
        logError("checkpoints", e.message());
        own_.reset();
        return;
    }
    sqlite3_wal_hook(db_, &WalCheckpointer::onCommit, this);
    thread_ = std::thread([this] { run(); });
}

WalCheckpointer::~WalCheckpointer()
{
    if (!thread_.joinable()) return;
    sqlite3_wal_autocheckpoint(db_, kPages);  // the default hook again
    {
        std::lock_guard<std::mutex> g(m_);
        stop_ = true;
    }
    cv_.notify_one();
    thread_.join();
}

int WalCheckpointer::checkpoints() const
{
    std::lock_guard<std::mutex> g(m_);
    return done_;
}

int WalCheckpointer::onCommit(void* self, sqlite3*, const char*, int pages)
{
    if (pages < kPages) return SQLITE_OK;
    auto* w = static_cast<WalCheckpointer*>(self);
    {
        std::lock_guard<std::mutex> g(w->m_);
        w->wanted_ = true;
    }
    w->cv_.notify_one();
    return SQLITE_OK;
}

bool WalCheckpointer::busy() const
{
    std::lock_guard<std::mutex> g(m_);
    return wanted_ || running_;
}

void WalCheckpointer::run()
{
    std::unique_lock<std::mutex> g(m_);
    for (;;) {
        cv_.wait(g, [this] { return wanted_ || stop_; });
        if (stop_) return;
        wanted_ = false;
        running_ = true;
        g.unlock();
        const int rc = sqlite3_wal_checkpoint_v2(own_->handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        if (rc != SQLITE_OK && rc != SQLITE_BUSY)
            logError("checkpoint", QString::fromUtf8(sqlite3_errmsg(own_->handle())));
        g.lock();
        running_ = false;
        ++done_;
    }
}
