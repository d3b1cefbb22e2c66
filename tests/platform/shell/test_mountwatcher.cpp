#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSignalSpy>

#include "platform/shell/fakevolumesource.h"
#include "platform/shell/mountwatcher.h"

namespace {

QCoreApplication& app()
{
    static int argc = 1;
    static char arg0[] = "test";
    static char* argv[] = {arg0, nullptr};
    static auto* a = new QCoreApplication(argc, argv);
    return *a;
}

class ExplorerMountWatcher : public ::testing::Test {
protected:
    void SetUp() override { app(); }
    FakeVolumeSource source{{FakeVolumeSource::volume("/"), FakeVolumeSource::volume("/proc", "", "proc")}};
};

TEST_F(ExplorerMountWatcher, CheckReportsArrivalsAndRemovals)
{
    MountWatcher w(source);
    ASSERT_EQ(w.volumes().size(), 1u);
    QSignalSpy in(&w, &MountWatcher::arrived), out(&w, &MountWatcher::removed);

    source.add(FakeVolumeSource::volume("/media/dj/STICK", "STICK", "vfat", true));
    source.add(FakeVolumeSource::volume("/dev/shm", "", "tmpfs"));
    w.check();
    ASSERT_EQ(in.size(), 1);
    EXPECT_EQ(in[0][0].value<Volume>().label, QStringLiteral("STICK"));
    EXPECT_EQ(out.size(), 0);

    w.check();
    EXPECT_EQ(in.size(), 1) << "nothing changed";

    source.remove("/media/dj/STICK");
    w.check();
    ASSERT_EQ(out.size(), 1);
    EXPECT_EQ(out[0][0].value<Volume>().mountPoint, QStringLiteral("/media/dj/STICK"));
}

TEST_F(ExplorerMountWatcher, AnotherDiscAtTheSameMountPointIsRemovedThenArrives)
{
    source.add(FakeVolumeSource::volume("/media/cdrom", "ONE", "iso9660"));
    MountWatcher w(source);
    QStringList events;
    QObject::connect(&w, &MountWatcher::removed, [&](const Volume& v) { events << "-" + v.label; });
    QObject::connect(&w, &MountWatcher::arrived, [&](const Volume& v) { events << "+" + v.label; });
    source.set({FakeVolumeSource::volume("/"), FakeVolumeSource::volume("/media/cdrom", "TWO", "iso9660")});
    w.check();
    EXPECT_EQ(events, (QStringList{"-ONE", "+TWO"}));
}

TEST_F(ExplorerMountWatcher, TheWorkerReportsOnTheWatchersThread)
{
    MountWatcher w(source);
    QSignalSpy in(&w, &MountWatcher::arrived), out(&w, &MountWatcher::removed);
    Qt::HANDLE seenOn = nullptr;
    QObject::connect(&w, &MountWatcher::arrived, [&] { seenOn = QThread::currentThreadId(); });
    w.start(std::chrono::milliseconds(5000));  // the fake's change event wakes it, not the limit

    for (int round = 0; round < 3; ++round) {
        source.add(FakeVolumeSource::volume("/media/usb", "USB", "vfat", true));
        ASSERT_TRUE(in.wait(3000)) << round;
        EXPECT_EQ(seenOn, QThread::currentThreadId());
        source.remove("/media/usb");
        ASSERT_TRUE(out.wait(3000)) << round;
    }
    EXPECT_EQ(in.size(), 3);
    EXPECT_EQ(out.size(), 3);
    w.stop();
    EXPECT_FALSE(w.running());
}

TEST_F(ExplorerMountWatcher, StopsPromptlyWhileWaiting)
{
    MountWatcher w(source);
    w.start(std::chrono::milliseconds(60000));
    const auto t = std::chrono::steady_clock::now();
    w.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - t, std::chrono::seconds(5));
}

TEST_F(ExplorerMountWatcher, DestroyedWhileChangesAreInFlight)
{
    for (int i = 0; i < 20; ++i) {
        auto w = std::make_unique<MountWatcher>(source);
        w->start(std::chrono::milliseconds(1));
        source.add(FakeVolumeSource::volume(QStringLiteral("/media/%1").arg(i)));
        w.reset();  // queued reports of a destroyed watcher are dropped
        QCoreApplication::processEvents();
    }
}

}  // namespace
