// Copies the write-ahead log back into the database file on a thread of its own, so that a
// commit on the UI thread never waits for that copy and its syncs (tens of milliseconds on
// a busy disk). The committing connection reports the log's size after each commit; past
// kPages the thread checkpoints through a connection of its own, PASSIVE: it never waits
// for a reader or a writer. Without that connection the committing one keeps checkpointing
// by itself, as SQLite does by default.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include <QString>

struct sqlite3;
class TSQLiteDatabase;

class WalCheckpointer {
public:
    static constexpr int kPages = 1000;

    // attaches to db, the connection that commits; path names its file
    WalCheckpointer(sqlite3* db, const QString& path);
    ~WalCheckpointer();  // detaches and joins; call before db is closed
    WalCheckpointer(const WalCheckpointer&) = delete;
    WalCheckpointer& operator=(const WalCheckpointer&) = delete;

    int checkpoints() const;  // checkpoints run so far
    bool busy() const;        // one is asked for or running

private:
    static int onCommit(void* self, sqlite3* db, const char* name, int pages);
    void run();

    sqlite3* db_;
    std::unique_ptr<TSQLiteDatabase> own_;
    std::thread thread_;
    mutable std::mutex m_;
    std::condition_variable cv_;
    bool wanted_ = false;
    bool running_ = false;
    bool stop_ = false;
    int done_ = 0;
};
