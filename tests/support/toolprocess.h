// Programs a test runs for its fixtures (sox, ffmpeg, jack_wait).
//
// Not QProcess: it starts a child with clone(CLONE_VM | CLONE_VFORK) behind ThreadSanitizer's
// back, the child runs the sanitizer's interceptors on the parent's thread state and execs from
// inside one, and from then on every lock the parent takes goes unseen (each access under the
// graph lock is reported as a race). posix_spawn's child calls no interposed function, and no
// code of ours runs between fork and exec in a process that already has threads.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

// Exit code of program (looked up in PATH), or -1 when it did not start, was killed or ran past
// timeoutMs (then it is killed). Its standard output goes to *output when given, else nowhere;
// its standard error is ours.
inline int runTool(const QString& program, const QStringList& args, QByteArray* output = nullptr,
                   int timeoutMs = 60000)
{
    std::vector<std::string> text{program.toStdString()};
    for (const QString& a : args) text.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& t : text) argv.push_back(t.data());
    argv.push_back(nullptr);

    int pipeFds[2] = {-1, -1};
    if (output && pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (output) posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    else posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (output) close(pipeFds[1]);
    if (err != 0) {
        if (output) close(pipeFds[0]);
        return -1;
    }

    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    bool open = output != nullptr;
    int status = 0;
    for (;;) {
        if (open) {
            pollfd p{pipeFds[0], POLLIN, 0};
            if (poll(&p, 1, 20) > 0) {
                char buf[4096];
                const ssize_t n = read(pipeFds[0], buf, sizeof buf);
                if (n > 0) output->append(buf, qsizetype(n));
                else if (n == 0 || errno != EINTR) open = false;
                continue;
            }
        }
        const pid_t w = waitpid(pid, &status, WNOHANG);
        if (w == pid && !open) break;
        if (w == pid) {
            // the child is gone; what it wrote is still in the pipe
            for (char buf[4096];;) {
                const ssize_t n = read(pipeFds[0], buf, sizeof buf);
                if (n <= 0) break;
                output->append(buf, qsizetype(n));
            }
            break;
        }
        if (std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            status = -1;
            break;
        }
        if (!open) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (output) close(pipeFds[0]);
    if (status == -1 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace testsupport
