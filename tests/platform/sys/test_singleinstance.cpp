// One running copy per user and profile folder, across processes: a later start brings the
// first forward and ends; a crashed copy's lock and socket never block a start; starts at once
// leave one copy; other profiles and other runtime folders do not meet.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "tests/platform/sys/coreapp.h"

#include <memory>

#include "platform/sys/singleinstance.h"
#include "tests/support/privatefolders.h"

namespace {

// A private HOME, TMPDIR and XDG_RUNTIME_DIR (mode 0700) for the helpers.
struct Runtime {
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString run;
    Runtime()
    {
        testsupport::makePrivateFolders(dir.path());
        env = testsupport::privateEnvironment(dir.path());
        run = dir.path() + QStringLiteral("/run");
    }
};

std::unique_ptr<QProcess> helper(const Runtime& rt, const QString& profile, bool stay = false)
{
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(rt.env);
    QStringList args{profile};
    if (stay) args << QStringLiteral("stay");
    p->start(QStringLiteral(OSTREL_TEST_BIN_DIR "/singleinstance_helper"), args);
    EXPECT_TRUE(p->waitForStarted(5000));
    return p;
}

// The helper's first line ("first" or "signalled").
QString firstWord(QProcess& p)
{
    for (int i = 0; i < 100 && !p.canReadLine(); ++i) p.waitForReadyRead(100);
    return QString::fromUtf8(p.readLine()).trimmed();
}

}  // namespace

TEST(SingleInstance, SecondStartAsksTheFirstToComeForwardAndEnds)
{
    coreApp();
    Runtime rt;
    auto first = helper(rt, "/p/OSTREL_KORVANTA/");
    ASSERT_EQ(firstWord(*first), "first");
    auto second = helper(rt, "/p/OSTREL_KORVANTA/");
    ASSERT_TRUE(second->waitForFinished(5000));
    EXPECT_EQ(QString::fromUtf8(second->readAllStandardOutput()).trimmed(), "signalled");
    ASSERT_TRUE(first->waitForFinished(5000));
    EXPECT_EQ(QString::fromUtf8(first->readAllStandardOutput()).trimmed(), "raised");
}

TEST(SingleInstance, CrashedCopyLeavesNothingThatBlocksAStart)
{
    coreApp();
    Runtime rt;
    auto crashed = helper(rt, "/p/");
    ASSERT_EQ(firstWord(*crashed), "first");
    crashed->kill();
    crashed->waitForFinished(5000);
    const QStringList left = QDir(rt.run).entryList(QDir::Files | QDir::System | QDir::NoDotAndDotDot);
    EXPECT_EQ(left.size(), 2) << left.join(' ').toStdString();  // its lock and its socket stay
    auto next = helper(rt, "/p/");
    EXPECT_EQ(firstWord(*next), "first");
    auto third = helper(rt, "/p/");
    ASSERT_TRUE(third->waitForFinished(5000));
    EXPECT_EQ(QString::fromUtf8(third->readAllStandardOutput()).trimmed(), "signalled");
    ASSERT_TRUE(next->waitForFinished(5000));
}

TEST(SingleInstance, StartsAtOnceLeaveOneCopy)
{
    coreApp();
    Runtime rt;
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < 4; ++i) starts.push_back(helper(rt, "/p/", true));
    int firsts = 0, signalled = 0;
    for (auto& p : starts) {
        const QString word = firstWord(*p);
        firsts += word == "first";
        signalled += word == "signalled";
    }
    EXPECT_EQ(firsts, 1);
    EXPECT_EQ(signalled, 3);
    for (auto& p : starts) {
        p->kill();
        p->waitForFinished(5000);
    }
}

TEST(SingleInstance, OtherProfilesAndOtherRuntimeFoldersDoNotMeet)
{
    coreApp();
    Runtime rt, otherRt;
    auto a = helper(rt, "/p/one/");
    auto b = helper(rt, "/p/two/");
    auto c = helper(otherRt, "/p/one/");
    EXPECT_EQ(firstWord(*a), "first");
    EXPECT_EQ(firstWord(*b), "first");
    EXPECT_EQ(firstWord(*c), "first");
    for (QProcess* p : {a.get(), b.get(), c.get()}) {
        p->kill();
        p->waitForFinished(5000);
    }
}

TEST(SingleInstance, RaiseRequestReachesTheFirstInProcess)
{
    coreApp();
    Runtime rt;
    qputenv("XDG_RUNTIME_DIR", rt.run.toUtf8());
    SingleInstance first(QStringLiteral("ostrel_probe"), QStringLiteral("/q/"));
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    EXPECT_TRUE(first.lockPath().startsWith(rt.run + "/ostrel_probe-"));
    QSignalSpy raised(&first, &SingleInstance::raiseRequested);
    auto later = helper(rt, "/q/");
    // polled rather than waited for in a nested loop: a loop the earlier cases left asked to
    // quit would return at once
    QDeadlineTimer deadline(5000);
    while (raised.isEmpty() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    ASSERT_FALSE(raised.isEmpty());
    // the events handled above may have seen it end already: then there is nothing to wait for
    ASSERT_TRUE(later->state() == QProcess::NotRunning || later->waitForFinished(5000));
    EXPECT_EQ(later->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(QString::fromUtf8(later->readAllStandardOutput()).trimmed(), "signalled");
}
