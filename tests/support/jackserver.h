// A JACK server of our own for a test: the dummy driver (no sound card), not real-time,
// a server name unique to this process, waited for with jack_wait and stopped by its pid.
// JACK_DEFAULT_SERVER points this process's clients (PortAudio included) at it.
#pragma once

#include <QFile>
#include <QStandardPaths>
#include <QString>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/toolprocess.h"

class JackServer {
public:
    explicit JackServer(int rate = 44100, int period = 256) : rate_(rate), period_(period)
    {
        static int serial = 0;
        name_ = "ostrel_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
    }
    ~JackServer()
    {
        stop();
        unlink(logPath().c_str());
    }

    // True once the server answers. A restart keeps JACK's shared registry: this process's
    // libjack still maps it and would not find a server entered in a new one.
    // Only the first server of a process clears what dead servers left: a later one would
    // take away the registry that this process's libjack still maps, and not be found.
    bool start()
    {
        static std::atomic<bool> started{false};
        return startServer(!started.exchange(true));
    }
    // JACK allows a handful of servers at once: with tests running side by side, wait for a slot.
    bool startWhenFree()
    {
        for (int i = 0; i < 60; ++i) {
            if (start()) return true;
            usleep(500000);
        }
        return false;
    }
    bool restart()
    {
        stop();
        return startServer(false);
    }

private:
    bool startServer(bool clearStale)
    {
        // servers starting at the same moment trip over each other's shared memory; the lock
        // lies beside that memory, so it holds for every process that shares it
        int lock = open("/dev/shm/ostrel-jackd-start.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock < 0) lock = open("/tmp/ostrel-jackd-start.lock", O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (lock >= 0) flock(lock, LOCK_EX);
        if (clearStale) clearStaleShm();
        const bool up = launch();
        if (lock >= 0) close(lock);
        return up;
    }

    // JACK keeps eight server entries in its shared registry and only reclaims a dead entry
    // for a server of the same name; killed test servers (unique names) would fill it and
    // every later server start would hang. With no JACK server alive, whatever JACK left in
    // /dev/shm is stale and goes. A server may run where our /proc does not show it (another
    // PID namespace sharing /dev/shm): one that answers on its socket is alive too. Wiping the
    // files of a live server breaks its clients (sockets gone, shared memory mapped again from
    // another server's segments) and can crash them.
    static void clearStaleShm()
    {
        if (anyJackdAlive() || anyServerAnswers()) return;
        DIR* d = opendir("/dev/shm");
        if (!d) return;
        while (dirent* e = readdir(d)) {
            if (std::strncmp(e->d_name, "jack", 4) == 0)
                unlinkat(dirfd(d), e->d_name, 0);
        }
        closedir(d);
    }

    // A JACK server listens on /dev/shm/jack_<server>_<uid>_0; a stale socket file refuses.
    static bool anyServerAnswers()
    {
        DIR* d = opendir("/dev/shm");
        if (!d) return false;
        bool answered = false;
        while (dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name.rfind("jack_", 0) != 0 || name.size() < 7 || name.compare(name.size() - 2, 2, "_0") != 0) continue;
            const std::string path = "/dev/shm/" + name;
            struct stat st {};
            if (lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode)) continue;
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            if (path.size() >= sizeof addr.sun_path) continue;
            std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
            const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (fd < 0) continue;
            answered = connect(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
            close(fd);
            if (answered) break;
        }
        closedir(d);
        return answered;
    }

    static bool anyJackdAlive()
    {
        DIR* d = opendir("/proc");
        if (!d) return true;
        bool alive = false;
        while (dirent* e = readdir(d)) {
            if (e->d_name[0] < '0' || e->d_name[0] > '9') continue;
            char path[300], buf[256] = {};
            std::snprintf(path, sizeof path, "/proc/%s/stat", e->d_name);
            int fd = open(path, O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            const ssize_t n = read(fd, buf, sizeof buf - 1);
            close(fd);
            if (n <= 0) continue;
            // "pid (comm) state ..."
            const char* open_ = std::strchr(buf, '(');
            const char* close_ = std::strrchr(buf, ')');
            if (!open_ || !close_ || close_ < open_ || close_[1] == 0) continue;
            const std::string comm(open_ + 1, close_);
            const char state = close_[2];
            if ((comm == "jackd" || comm.rfind("jackd", 0) == 0) && state != 'Z') {
                alive = true;
                break;
            }
        }
        closedir(d);
        return alive;
    }

    bool launch()
    {
        // The test already runs threads: the child may only make async-signal-safe calls, so
        // everything it needs is made here.
        const QString jackd = QStandardPaths::findExecutable("jackd");
        if (jackd.isEmpty()) return false;
        const std::string path = jackd.toStdString(), log = logPath();
        const std::string r = std::to_string(rate_), p = std::to_string(period_);
        const char* argv[] = {"jackd", "--no-realtime", "-n", name_.c_str(), "-d", "dummy", "-r", r.c_str(),
                              "-p", p.c_str(), "-P", "4", "-C", "4", nullptr};
        std::vector<std::string> envText{"JACK_NO_AUDIO_RESERVATION=1"};
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "JACK_NO_AUDIO_RESERVATION=", 26) != 0) envText.emplace_back(*e);
        std::vector<char*> envp;
        for (std::string& e : envText) envp.push_back(e.data());
        envp.push_back(nullptr);

        pid_ = fork();
        if (pid_ == 0) {
            // dies with the test, even a killed one
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            // quiet: the server talks on every client and every xrun
            int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            dup2(fd, 2);
            execve(path.c_str(), const_cast<char* const*>(argv), envp.data());
            _exit(127);
        }
        if (pid_ < 0) return false;
        setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
        if (testsupport::runTool("jack_wait", {"-w", "-t", "20"}, nullptr, 30000) != 0) {
            stop();
            QFile log(QString::fromStdString(logPath()));
            if (log.open(QIODevice::ReadOnly))
                fprintf(stderr, "jackd %s did not come up:\n%s\n", name_.c_str(), log.readAll().right(2000).constData());
            return false;
        }
        return true;
    }

public:
    void stop()
    {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && waitpid(pid_, &status, WNOHANG) == 0; ++i) usleep(50000);
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }

    const std::string& name() const { return name_; }
    int rate() const { return rate_; }

private:
    std::string logPath() const { return "/tmp/" + name_ + ".log"; }

    int rate_, period_;
    std::string name_;
    pid_t pid_ = -1;
};
