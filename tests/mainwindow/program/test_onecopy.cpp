// One running copy per user and profile folder, with the real program started as a user starts
// it (offscreen, a private HOME, TMPDIR and XDG_RUNTIME_DIR each).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QThread>
#include <memory>


#include "platform/sys/singleinstance.h"
#include "tests/mainwindow/support/privatehome.h"

namespace {

QCoreApplication& app()
{
    static int argc = 1;
    static char arg0[] = "onecopy_test";
    static char* argv[] = {arg0, nullptr};
    static QCoreApplication* a = new QCoreApplication(argc, argv);
    return *a;
}

std::unique_ptr<QProcess> start(const PrivateHome& home)
{
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = home.environment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("JACK_DEFAULT_SERVER"), QStringLiteral("ostrel-none"));
    p->setProcessEnvironment(env);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral(OSTREL_PROGRAM), {});
    p->waitForStarted(5000);
    return p;
}

void stop(QProcess& p)
{
    if (p.state() == QProcess::NotRunning) return;
    p.terminate();
    if (!p.waitForFinished(5000)) {
        p.kill();
        p.waitForFinished(5000);
    }
}

// The first copy's socket path as the program names it.
QString socketOf(const PrivateHome& home)
{
    app();
    const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(home.runtime()));
    const QString path = SingleInstance(QStringLiteral("ostrelkorvanta"), home.profile()).socketPath();
    qputenv("XDG_RUNTIME_DIR", old);
    return path;
}

bool listening(const QString& socket)
{
    QLocalSocket s;
    s.connectToServer(socket);
    const bool ok = s.waitForConnected(200);
    s.abort();
    return ok;
}

bool waitFor(const std::function<bool()>& pred, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(20);
    }
    return true;
}

}  // namespace

TEST(OneCopy, ASecondStartAsksTheFirstToComeForwardAndEnds)
{
    PrivateHome home;
    const QString socket = socketOf(home);
    auto first = start(home);
    ASSERT_TRUE(first->waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] { return listening(socket); }, 20000));
    auto second = start(home);
    ASSERT_TRUE(second->waitForFinished(15000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_TRUE(listening(socket)) << "the first copy still answers";
    stop(*first);
}

TEST(OneCopy, ALockAndASocketLeftByACrashDoNotBlockAStart)
{
    PrivateHome home;
    const QString socket = socketOf(home);
    const QString lock = socket.chopped(5) + QStringLiteral(".lock");
    auto crashed = start(home);
    ASSERT_TRUE(waitFor([&] { return listening(socket); }, 20000));
    crashed->kill();  // no clean-up at all
    ASSERT_TRUE(crashed->waitForFinished(5000));
    ASSERT_TRUE(QFile::exists(lock));
    ASSERT_TRUE(QFile::exists(socket));
    ASSERT_FALSE(listening(socket));

    auto next = start(home);
    ASSERT_TRUE(waitFor([&] { return listening(socket); }, 20000)) << "the next start took over";
    EXPECT_EQ(next->state(), QProcess::Running);
    stop(*next);
}

TEST(OneCopy, TwoStartsAtOnceLeaveOneCopy)
{
    PrivateHome home;
    const QString socket = socketOf(home);
    auto a = start(home);
    auto b = start(home);
    ASSERT_TRUE(waitFor([&] { return a->state() == QProcess::NotRunning || b->state() == QProcess::NotRunning; }, 20000));
    waitFor([] { return false; }, 500);
    const int running = int(a->state() == QProcess::Running) + int(b->state() == QProcess::Running);
    EXPECT_EQ(running, 1);
    QProcess& ended = a->state() == QProcess::Running ? *b : *a;
    EXPECT_EQ(ended.exitCode(), 0);
    EXPECT_TRUE(listening(socket));
    stop(*a);
    stop(*b);
}

TEST(OneCopy, ProgramsWithTheirOwnHomeDoNotSeeEachOther)
{
    PrivateHome one, two;
    auto a = start(one);
    auto b = start(two);
    ASSERT_TRUE(waitFor([&] { return listening(socketOf(one)) && listening(socketOf(two)); }, 20000));
    EXPECT_EQ(a->state(), QProcess::Running);
    EXPECT_EQ(b->state(), QProcess::Running);
    stop(*a);
    stop(*b);
}
