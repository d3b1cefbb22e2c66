#include "tests/e2e/child.h"

#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace e2e {

Child::~Child()
{
    if (pid_ > 0 && !reaped_) stop(1000);
    if (in_ >= 0) close(in_);
    if (outFd_ >= 0) close(outFd_);
}

bool Child::start(const QString& program, const QStringList& args, const std::vector<std::string>& env,
                  const QString& stderrPath)
{
    QString path = program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    if (path.isEmpty()) return false;
    std::vector<std::string> text{path.toStdString()};
    for (const QString& a : args) text.push_back(a.toStdString());
    std::vector<char*> argv;
    for (std::string& t : text) argv.push_back(t.data());
    argv.push_back(nullptr);
    std::vector<std::string> envText = env;
    std::vector<char*> envp;
    for (std::string& e : envText) envp.push_back(e.data());
    envp.push_back(nullptr);

    int inPipe[2], outPipe[2];
    if (pipe2(inPipe, O_CLOEXEC) != 0) return false;
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        close(inPipe[0]);
        close(inPipe[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inPipe[0], 0);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    const std::string err = stderrPath.toStdString();
    if (!err.empty()) posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), env.empty() ? environ : envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(inPipe[0]);
    close(outPipe[1]);
    in_ = inPipe[1];
    outFd_ = outPipe[0];
    if (rc != 0) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool Child::running()
{
    if (pid_ <= 0 || reaped_) return false;
    int st = 0;
    const pid_t w = waitpid(pid_, &st, WNOHANG);
    if (w == pid_) {
        reaped_ = true;
        status_ = st;
        signal_ = WIFSIGNALED(st) ? WTERMSIG(st) : 0;
        return false;
    }
    return true;
}

bool Child::send(const std::string& line)
{
    if (in_ < 0) return false;
    const std::string l = line + "\n";
    return write(in_, l.data(), l.size()) == ssize_t(l.size());
}

void Child::closeInput()
{
    if (in_ >= 0) close(in_);
    in_ = -1;
}

void Child::readSome(int timeoutMs)
{
    if (outFd_ < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
        return;
    }
    pollfd p{outFd_, POLLIN, 0};
    if (poll(&p, 1, timeoutMs) <= 0) return;
    char buf[4096];
    const ssize_t n = read(outFd_, buf, sizeof buf);
    if (n > 0) out_.append(buf, size_t(n));
    else if (n == 0 || errno != EINTR) {
        close(outFd_);
        outFd_ = -1;
    }
}

std::string Child::waitLine(const std::string& text, int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        for (size_t nl; (nl = out_.find('\n', scanned_)) != std::string::npos;) {
            const std::string line = out_.substr(scanned_, nl - scanned_);
            scanned_ = nl + 1;
            if (line.find(text) != std::string::npos) return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return {};
        readSome(int(std::min<long long>(left.count(), 50)));
    }
}

int Child::wait(int timeoutMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (running()) {
        if (std::chrono::steady_clock::now() > end) return -1;
        readSome(20);
    }
    while (outFd_ >= 0) readSome(20);
    if (pid_ <= 0) return -1;
    return WIFEXITED(status_) ? WEXITSTATUS(status_) : -1;
}

void Child::stop(int graceMs)
{
    if (!running()) return;
    kill(pid_, SIGTERM);
    if (wait(graceMs) == -1 && running()) {
        kill(pid_, SIGKILL);
        int st = 0;
        waitpid(pid_, &st, 0);
        reaped_ = true;
        status_ = st;
        signal_ = SIGKILL;
    }
}

}  // namespace e2e
