#include "library/tdamefiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QSet>

#include "library/explorerrow.h"
#include "library/queuedcaller.h"
#include "platform/shell/volumesource.h"

namespace {
using Clock = std::chrono::steady_clock;
constexpr size_t kBatchRows = 256;
constexpr auto kBatchTime = std::chrono::milliseconds(20);

bool byNameAnyCase(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}
}  // namespace

// One pass's walk on the worker thread.
struct tdamefiles::Walk {
    tdamefiles& owner;
    const Request& request;
    QSet<QString> hidden;  // mount points left out
    QString shownRoot, realRoot;  // the folder as asked for, and as the mount table names it
    std::vector<std::pair<dev_t, ino_t>> path;  // the folders being walked, outermost first
    QList<QStringList> batch;
    Clock::time_point lastPost = Clock::now();

    bool stopped() const { return owner.wanted_.load(std::memory_order_relaxed) != request.pass; }

    void post(bool force)
    {
        if (batch.empty()) return;
        if (!force && size_t(batch.size()) < kBatchRows && Clock::now() - lastPost < kBatchTime) return;
        owner.deliverRows(request.pass, std::exchange(batch, {}));
        lastPost = Clock::now();
    }

    void folder(const QString& dirPath, bool top)
    {
        if (!top && hidden.contains(realRoot + dirPath.mid(shownRoot.size()))) return;
        owner.entering(dirPath);
        if (stopped()) return;
        post(false);  // rows found a while ago go out even when this folder adds none
        const QByteArray raw = QFile::encodeName(dirPath);
        const int fd = ::open(raw.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return;
        struct stat self {};
        if (::fstat(fd, &self) != 0 ||
            std::find(path.begin(), path.end(), std::pair{self.st_dev, self.st_ino}) != path.end()) {
            ::close(fd);
            return;
        }
        DIR* d = ::fdopendir(fd);
        if (!d) {
            ::close(fd);
            return;
        }
        path.emplace_back(self.st_dev, self.st_ino);
        const QString prefix = dirPath.endsWith(QLatin1Char('/')) ? dirPath : dirPath + QLatin1Char('/');
        QStringList files, dirs;
        while (dirent* e = ::readdir(d)) {
            if (stopped()) break;
            const char* n = e->d_name;
            if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0))) continue;
            unsigned char type = e->d_type;
            if (type == DT_UNKNOWN || type == DT_LNK) {
                struct stat st {};
                if (::fstatat(fd, n, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
                const bool link = S_ISLNK(st.st_mode);
                if (link && ::fstatat(fd, n, &st, 0) != 0) continue;  // a dangling link
                // a link to a folder is not followed; a link to a file is a file
                type = S_ISREG(st.st_mode) ? DT_REG : S_ISDIR(st.st_mode) && !link ? DT_DIR : DT_UNKNOWN;
            }
            if (type == DT_REG) {
                const QString name = QFile::decodeName(n);
                if (explorerrow::searched(name) && name.contains(request.text, Qt::CaseInsensitive)) files << name;
            } else if (type == DT_DIR && request.recursive) {
                dirs << QFile::decodeName(n);
            }
        }
        ::closedir(d);  // closes fd
        std::sort(files.begin(), files.end(), byNameAnyCase);
        for (const QString& name : files) {
            if (stopped()) break;
            batch.push_back(explorerrow::fileRow(prefix + name, name, explorerrow::Split::Search));
            post(false);
        }
        std::sort(dirs.begin(), dirs.end(), byNameAnyCase);
        for (const QString& name : dirs) {
            if (stopped()) break;
            folder(prefix + name, false);
        }
        path.pop_back();
    }
};

tdamefiles::tdamefiles(VolumeSource* mounts) : mounts_(mounts), context_(new QueuedCaller)
{
    worker_ = std::thread([this] { run(); });
}

tdamefiles::~tdamefiles()
{
    shutdown();
    delete context_;  // with it, every call still queued for it
}

void tdamefiles::shutdown()
{
    if (!worker_.joinable()) return;
    {
        std::lock_guard<std::mutex> g(m_);
        quit_ = true;
        request_.reset();
    }
    wanted_ = -1;
    cv_.notify_all();
    worker_.join();
}

int tdamefiles::init(const QString& mfilename, const QString& mpath, bool minDir)
{
    const int pass = ++current_;
    wdpics[0] = 0;
    {
        std::lock_guard<std::mutex> g(m_);
        request_ = Request{pass, mfilename, mpath, minDir};
        pendingPass_ = pass;
        wanted_ = pass;  // a running pass sees it at its next entry and stops
    }
    cv_.notify_all();
    return pass;
}

void tdamefiles::closeth()
{
    std::lock_guard<std::mutex> g(m_);
    if (request_ && request_->pass == current_) {
        request_.reset();
        pendingPass_ = 0;
        // the pass never ran: its "Finish" still comes, from the worker's side of the queue
        const int pass = current_;
        context_->post([this, pass] { finish(pass); });
    }
    wanted_ = 0;
}

void tdamefiles::fin()
{
    closeth();
    wdpics[1] = 0;
    if (FMyEvent) FMyEvent(current_, QStringLiteral("Finish"));
}

void tdamefiles::run()
{
    for (;;) {
        Request r;
        {
            std::unique_lock<std::mutex> l(m_);
            cv_.wait(l, [this] { return quit_ || request_; });
            if (quit_) return;
            r = std::move(*request_);
            request_.reset();
            running_ = true;
            pendingPass_ = 0;
        }
        search(r);
        running_ = false;
        deliverFinish(r.pass);
    }
}

void tdamefiles::search(const Request& r)
{
    Walk walk{*this, r, {}, {}, {}, {}, {}};
    if (mounts_)
        for (const QString& m : hiddenMountPoints(mounts_->mounts())) walk.hidden.insert(m);
    // Rows keep the folder as it was asked for; below it no link is followed, so a folder's
    // real path is the real start folder followed by the rest of its path. Both prefixes
    // have no trailing "/" (the root is the empty prefix).
    QString shown = r.folder;
    while (shown.size() > 1 && shown.endsWith(QLatin1Char('/'))) shown.chop(1);
    QString real = QFileInfo(shown).canonicalFilePath();
    if (real.isEmpty()) real = shown;
    walk.shownRoot = shown == QLatin1String("/") ? QString() : shown;
    walk.realRoot = real == QLatin1String("/") ? QString() : real;
    walk.folder(shown, true);
    walk.post(true);
}

void tdamefiles::deliverRows(int pass, QList<QStringList> rows)
{
    context_->post([this, pass, rows = std::move(rows)]() mutable {
        if (pass == current_ && onRows) onRows(pass, std::move(rows));
    });
}

void tdamefiles::deliverFinish(int pass)
{
    context_->post([this, pass] { finish(pass); });
}

void tdamefiles::finish(int pass)
{
    if (pass != current_) return;
    wdpics[0] = 1;
    wdpics[1] = 0;
    if (FMyEvent) FMyEvent(pass, QStringLiteral("Finish"));
}
