// The main window made in the test process: a private HOME (entered before the QApplication),
// a profile folder of the test's own, fake splash, MIDI ports and sleep inhibitor, and an
// engine whose outputs nobody pulls. Notices for the user are recorded.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <memory>

#include "mainwindow/logic/splashview.h"
#include "mainwindow/tform1.h"
#include "platform/hid/fakehidbackend.h"
#include "platform/midi/fakemidibackend.h"
#include "platform/sys/sleepinhibitor.h"
#include "tests/mainwindow/support/privatehome.h"

class FakeSplash : public SplashView {
public:
    struct Step {
        QString text;
        int position;
    };
    void step(const QString& text, int position) override { steps.push_back({text, position}); }
    void setVersion(const QString& text) override { version = text; }
    void setLabel1(const QString& text) override { label1 = text; }
    void hideProgress() override { progressHidden = true; }
    void startupEnded(const QString& exever) override
    {
        ended = exever;
        stepsWhenEnded = int(steps.size());
    }
    std::vector<Step> steps;
    QString version, label1, ended;
    bool progressHidden = false;
    int stepsWhenEnded = -1;
};

class FakeSleep : public SleepInhibitor {
public:
    void acquire() override { ++acquired; }
    void release() override { ++released; }
    bool held() const override { return acquired > released; }
    int acquired = 0, released = 0;
};

// The process's QApplication, made once, after the process moved into a private HOME.
inline QApplication& windowApp(const char* platform = "offscreen")
{
    static PrivateHome home;
    static QApplication* app = [platform] {
        // a test that made its own application object (in its own private HOME) keeps it
        if (auto* made = qobject_cast<QApplication*>(QCoreApplication::instance())) return made;
        home.enter();
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", platform);
        qputenv("QT_SCALE_FACTOR", "1");
        static int argc = 1;
        static char arg0[] = "mainwindow_test";
        static char* argv[] = {arg0, nullptr};
        return new QApplication(argc, argv);
    }();
    return *app;
}

inline bool waitUntil(const std::function<bool()>& pred, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

struct WindowRig {
    // `prepare` runs on the profile folder before the window starts (it may not exist yet)
    // `before` runs on the rig right before the window is made (devices plugged into the fakes)
    explicit WindowRig(const std::function<void(const QString& profile)>& prepare = {}, bool offline = true,
                       const std::function<void(WindowRig&)>& before = {})
    {
        windowApp();
        profile = dir.filePath(QStringLiteral("Documents/OSTREL_KORVANTA/"));
        if (prepare) prepare(profile);
        Tform1::Options o;
        o.profile = profile;
        o.splash = &splash;
        o.midi = &midi;
        o.sleep = &sleep;
        o.offlineEngine = offline;
        o.tell = [this](const QString& t) { told << t; };
        o.hid = &hid;
        if (before) before(*this);
        o.listAfterShow = listAfterShow;
        form = std::make_unique<Tform1>(o);
    }
    ~WindowRig() { form.reset(); }

    QTemporaryDir dir;
    QString profile;
    FakeSplash splash;
    midi::FakeMidiBackend midi;
    hid::FakeHidBackend hid;
    FakeSleep sleep;
    QStringList told;
    bool listAfterShow = false;  // Tform1::Options::listAfterShow, set by `before`
    std::unique_ptr<Tform1> form;
};
