// The controllers as the main window holds them: a key and a MIDI note reach the window's play
// button through the keyboard map, the MIDI path and the dispatcher; the value copy moves a slider.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "controllers/controllerset.h"
#include "engine/psoundconfig.h"
#include "platform/hid/fakehidbackend.h"
#include "platform/midi/fakemidibackend.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"
#include "tests/controllers/hiddevice.h"
#include "tests/controllers/qtapp.h"

TEST(CtlControllerSet, KeyAndNoteReachThePlayButton)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/Devices");
    const auto write = [&](const char* name, const QByteArray& bytes) {
        QFile f(dir.path() + "/Devices/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    };
    write("teclado.key", definition({{"INPUT", "32", "144", "BTNPLAYA", "127"}}));
    write("pad.xml", definition({{"INPUT", "36", "153", "BTNPLAYB", "127"}}));

    PSoundConfig config;
    config.controler = QStringLiteral("pad.xml");
    midi::FakeMidiBackend backend;
    backend.setInputs(midi::Api::Jack, {"pad:out"});
    backend.setOutputs(midi::Api::Jack, {"pad:in"});
    FakeSurface surface;
    ControllerSet set(surface, config, backend, dir.path());
    set.midi.loaderPauseMs = 0;

    set.loadKeyboardMap();
    set.keyboard.VsButton3Click();
    set.keyboard.AppOnMessage(VirtualKeys::fromQtKey(Qt::Key_Space, false), true, false);
    set.keyboard.AppOnMessage(VirtualKeys::fromQtKey(Qt::Key_Space, false), false, false);
    EXPECT_EQ(surface.calls, std::vector<std::string>{"MouseDown btnplay1"});

    set.midi.inicializamidifile("PAD0");
    ASSERT_TRUE(config.inicializada);
    backend.deliver(midi::Api::Jack, 0, {0x99, 36, 100});
    backend.deliver(midi::Api::Jack, 0, {0x89, 36, 0});
    set.midi.processPending();
    EXPECT_EQ(surface.calls, (std::vector<std::string>{"MouseDown btnplay1", "MouseDown btnplay2"}));

    set.values.quorfreq2 = 100;
    set.valueCopy.Timer2Timer();
    EXPECT_EQ(surface.Position(SurfaceControl::trackfrequency2), 100);
}

// A HID controller's button, read by its device's thread, reaches the play button on the UI thread
// through the mailbox, the driver, the HID input handler and the dispatcher; its light goes back
// out through the light timer. Unplugged and plugged in again, the device is found again.
TEST(CtlControllerSet, HidButtonReachesThePlayButtonAndItsLightGoesOut)
{
    ensureApp();
    QTemporaryDir dir;
    QDir().mkpath(dir.path() + "/Devices/hid");
    QFile f(dir.path() + "/Devices/hid/deck.xml");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(definition({{"INPUT", "9", "144", "BTNPLAYA", "127"}, {"OUTPUT", "8", "0", "SPLAYA"}}));
    f.close();

    PSoundConfig config;
    config.hid = QStringLiteral("deck.xml");
    config.porthid = QStringLiteral("Deck");
    midi::FakeMidiBackend midiBackend;
    hid::FakeHidBackend hidBackend;
    hidBackend.plug(device("/dev/hidraw4", "Deck", 20, 3));
    FakeSurface surface;
    ControllerSet set(surface, config, midiBackend, dir.path(), hidBackend);
    set.hid.loaderPauseMs = 0;
    set.hid.createDrivers();
    set.hid.setUp();
    ASSERT_TRUE(set.hid.live(1));

    surface.onMouseDown = [&](SurfaceButton b) {
        if (b == SurfaceButton::btnplay1) surface.SetDown(b, true);
    };
    hidBackend.inject("/dev/hidraw4", {0, 0x00, 0x01});  // data byte 1, bit 0: button 9
    ASSERT_TRUE(runUntil([&] { return !surface.calls.empty(); }));
    EXPECT_EQ(surface.calls, std::vector<std::string>{"MouseDown btnplay1"});

    set.lights.Timer3Timer();
    // the set-up's own reports may still be on their way: wait for the light's report to be last
    EXPECT_TRUE(hidBackend.waitLastWritten("/dev/hidraw4", {0, 0x01, 0}, 5000))
        << "reports written: " << ::testing::PrintToString(hidBackend.written("/dev/hidraw4"));

    // gone: the read error releases the device; back: the hot-plug check finds it again
    hidBackend.unplug("/dev/hidraw4");
    ASSERT_TRUE(runUntil([&] { return !set.hid.live(1); }));
    hidBackend.plug(device("/dev/hidraw4", "Deck", 20, 3));
    ASSERT_TRUE(runUntil([&] { return set.hid.live(1) != nullptr; }, 5000));
    surface.calls.clear();
    hidBackend.inject("/dev/hidraw4", {0, 0x00, 0x00});
    hidBackend.inject("/dev/hidraw4", {0, 0x00, 0x01});
    ASSERT_TRUE(runUntil([&] { return !surface.calls.empty(); }));
    EXPECT_EQ(surface.calls, std::vector<std::string>{"MouseDown btnplay1"});
}
