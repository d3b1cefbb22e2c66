// A program the end-to-end test starts and talks to: started by posix_spawn (see
// tests/support/toolprocess.h for why not QProcess), its standard input a pipe of ours, its
// standard output read line by line with a time limit, its standard error into a file. Ended
// by its own process id only.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <sys/types.h>
#include <vector>

namespace e2e {

class Child {
public:
    Child() = default;
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // `env` as "NAME=value" entries; empty means ours. Standard error goes to `stderrPath`
    // (ours when empty).
    bool start(const QString& program, const QStringList& args, const std::vector<std::string>& env = {},
               const QString& stderrPath = QString());
    pid_t pid() const { return pid_; }
    bool running();

    // Writes a line to its standard input.
    bool send(const std::string& line);
    void closeInput();
    // The next line of its standard output that contains `text` (every line read is kept in
    // output()); empty when none came within `timeoutMs`.
    std::string waitLine(const std::string& text, int timeoutMs);
    const std::string& output() const { return out_; }

    // Waits for it to end; its exit code, or -1 when it did not end in time or was killed by a
    // signal (then signalled() tells which).
    int wait(int timeoutMs);
    int signalled() const { return signal_; }
    // SIGTERM, then SIGKILL after `graceMs`.
    void stop(int graceMs = 3000);

private:
    void readSome(int timeoutMs);
    pid_t pid_ = -1;
    int in_ = -1, outFd_ = -1;
    std::string out_;
    size_t scanned_ = 0;
    int status_ = 0, signal_ = 0;
    bool reaped_ = false;
};

}  // namespace e2e
