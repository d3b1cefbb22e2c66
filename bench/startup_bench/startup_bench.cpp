// Start-up speed of ostrelkorvanta: the time from spawning the program until its main window is
// mapped on the X server, with a temporary HOME, TMPDIR and XDG_RUNTIME_DIR and a stored
// configuration whose output is a JACK dummy server named by its client name (so no dialog
// opens), once with an empty library and once with a library of 100,000 tracks. The peer,
// measured in the same run, is the form preview: the same form, shown without engine, library
// or controllers. Started without a DISPLAY it runs itself on a private X server (xvfb-run -a).
//
// Last line: "startup ms (empty): E, startup ms (100k): H".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sqlite3.h>
#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include "library/tmsql.h"
#include "tests/support/jackserver.h"

extern char** environ;

namespace {
using Clock = std::chrono::steady_clock;

// A private HOME, TMPDIR and XDG_RUNTIME_DIR, mode 0700, and the profile folder in it.
struct Home {
    Home()
    {
        for (const char* sub : {"home/Documents/OSTREL_KORVANTA", "tmp", "run"}) QDir().mkpath(dir.filePath(sub));
        for (const char* sub : {"home", "tmp", "run"}) QFile::setPermissions(dir.filePath(sub), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QString profile() const { return dir.filePath(QStringLiteral("home/Documents/OSTREL_KORVANTA/")); }
    std::string log() const { return dir.filePath(QStringLiteral("tmp/program.log")).toStdString(); }
    std::vector<std::string> env() const
    {
        std::vector<std::string> e;
        for (char** v = environ; *v; ++v) {
            const std::string s(*v);
            if (s.rfind("HOME=", 0) && s.rfind("TMPDIR=", 0) && s.rfind("XDG_", 0)) e.push_back(s);
        }
        e.push_back("HOME=" + dir.filePath(QStringLiteral("home")).toStdString());
        e.push_back("TMPDIR=" + dir.filePath(QStringLiteral("tmp")).toStdString());
        e.push_back("XDG_RUNTIME_DIR=" + dir.filePath(QStringLiteral("run")).toStdString());
        e.push_back("QT_QPA_PLATFORM=xcb");
        return e;
    }
    QTemporaryDir dir;
};

// The library database: the stored output and panels, and `tracks` songs in one group.
bool prepare(const Home& home, int tracks)
{
    const QString db = home.profile() + QStringLiteral("korvanta.db");
    {
        Tmsql sql(db);
        sql.db().ExecSQL(QStringLiteral(
            "UPDATE config SET devicemode = 0, workmode = 1, asnum1 = 0, asname1 = 'system', wexp = 9"));
        if (tracks > 0) sql.altadegrupo(0, QStringLiteral("Everything"), true, 0);
    }
    if (tracks == 0) return true;
    sqlite3* h = nullptr;
    if (sqlite3_open(db.toUtf8().constData(), &h) != SQLITE_OK) return false;
    sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h,
                       "INSERT INTO songs (ID, GRUPO, PARENTID, ROOTID, FICHERO, TIPO, BPM, FILENAME, ARTISTA, "
                       "CANCION, ORDEN, VECES) VALUES (?, 1, 1, 1, ?, 0, '128.000', ?, ?, ?, ?, 3)",
                       -1, &st, nullptr);
    for (int i = 1; i <= tracks; ++i) {
        const std::string file = "/music/artist" + std::to_string(i % 997) + "/track" + std::to_string(i) + ".mp3";
        const std::string name = "track" + std::to_string(i) + ".mp3";
        const std::string artist = "Artist " + std::to_string(i % 997);
        const std::string title = "Title number " + std::to_string(i);
        sqlite3_bind_int(st, 1, i);
        sqlite3_bind_text(st, 2, file.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 3, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 4, artist.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 5, title.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(st, 6, i);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    const bool ok = sqlite3_exec(h, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(h);
    return ok;
}

// Milliseconds from spawning `program` until a window at least 1000 pixels wide is mapped; the
// program is ended afterwards. -1 when it does not show within 30 s.
double timeToWindow(const std::string& program, const std::vector<std::string>& env, const std::string& log)
{
    // the server now and then refuses a connection right after another client left: ask again
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    for (int i = 0; i < 20 && xcb_connection_has_error(c); ++i) {
        xcb_disconnect(c);
        usleep(100000);
        c = xcb_connect(nullptr, nullptr);
    }
    if (const int e = xcb_connection_has_error(c)) {
        std::fprintf(stderr, "startup_bench: the X server refused the connection (%d)\n", e);
        xcb_disconnect(c);
        return -1;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<char*> argv{const_cast<char*>(program.c_str()), nullptr};
    std::vector<char*> envp;
    for (const std::string& s : env) envp.push_back(const_cast<char*>(s.c_str()));
    envp.push_back(nullptr);
    pid_t pid = -1;
    const auto t0 = Clock::now();
    // what the program says goes to a log in its home, shown when it does not come up
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    const int spawned = posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) {
        std::fprintf(stderr, "startup_bench: the program could not be started: %s\n", std::strerror(spawned));
        xcb_disconnect(c);
        return -1;
    }
    double ms = -1;
    const int fd = xcb_get_file_descriptor(c);
    while (ms < 0 && Clock::now() - t0 < std::chrono::seconds(30)) {
        fd_set set;
        FD_ZERO(&set);
        FD_SET(fd, &set);
        timeval tv{0, 20000};
        select(fd + 1, &set, nullptr, nullptr, &tv);
        while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
            if ((e->response_type & 0x7F) == XCB_MAP_NOTIFY && ms < 0) {
                const auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
                xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(c, xcb_get_geometry(c, m->window), nullptr);
                if (g && g->width >= 1000)
                    ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
                free(g);
            }
            free(e);
        }
    }
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    xcb_disconnect(c);
    if (ms < 0) {
        std::fprintf(stderr, "startup_bench: no window within 30 s; the program said:\n");
        if (FILE* f = std::fopen(log.c_str(), "r")) {
            char line[512];
            while (std::fgets(line, sizeof line, f)) std::fputs(line, stderr);
            std::fclose(f);
        }
    }
    return ms;
}

// of the runs that showed the window
double median(std::vector<double> v)
{
    v.erase(std::remove_if(v.begin(), v.end(), [](double m) { return m < 0; }), v.end());
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("DISPLAY")) {
        // a private X server for the measurement
        execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", argv[0], nullptr);
        std::perror("xvfb-run");
        return 1;
    }
    QCoreApplication app(argc, argv);
    const std::string dir = QCoreApplication::applicationDirPath().toStdString();
    const std::string program = dir + "/../../mainwindow/ostrelkorvanta";
    const std::string peer = dir + "/../../mainwindow/form/ostrel_formpreview";
    JackServer jack;
    if (!jack.start()) {
        std::fprintf(stderr, "startup_bench: the JACK dummy server did not start\n");
        return 1;
    }
    constexpr int kRuns = 5;

    Home peerHome;
    std::vector<double> peerMs;
    for (int i = 0; i < kRuns; ++i) peerMs.push_back(timeToWindow(peer, peerHome.env(), peerHome.log()));

    std::vector<double> results;
    for (int tracks : {0, 100000}) {
        Home home;
        if (!prepare(home, tracks)) {
            std::fprintf(stderr, "startup_bench: the library of %d tracks could not be made\n", tracks);
            return 1;
        }
        // the first start of a profile is measured too: it is what a DJ waits for
        std::vector<double> ms;
        for (int i = 0; i < kRuns; ++i) ms.push_back(timeToWindow(program, home.env(), home.log()));
        std::printf("%d tracks: runs", tracks);
        for (double m : ms) std::printf(" %.0f", m);
        std::printf(" ms\n");
        results.push_back(median(ms));
    }
    const double P = median(peerMs);
    std::printf("peer: the form alone shown in %.0f ms; startup (empty) / peer %.2f, startup (100k) / peer %.2f\n", P,
                results[0] / P, results[1] / P);
    std::printf("startup ms (empty): %.0f, startup ms (100k): %.0f\n", results[0], results[1]);
    return 0;
}
