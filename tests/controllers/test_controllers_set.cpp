// The controllers as the main window holds them: a key and a MIDI note reach the window's play
// button through the keyboard map, the MIDI path and the dispatcher; the value copy moves a slider.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "controllers/controllerset.h"
#include "engine/psoundconfig.h"
#include "platform/midi/fakemidibackend.h"
#include "tests/controllers/definitionxml.h"
#include "tests/controllers/fakesurface.h"

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
