// The configuration dialog's model over the fakes: a profile folder, an engine with an ALSA
// list (three outputs: "default" with 2 channels, "USB Audio" with 6, "USB Audio (2)" with 2)
// and a JACK list ("system" with 2 outputs, "devA" and "devB" with 4), the configuration row
// in memory, the unit-level choices of its own.
#pragma once

#include <memory>

#include "mainwindow/config/configdialogmodel.h"
#include "mainwindow/config/pendingchoices.h"
#include "tests/mainwindow/config/configfakes.h"
#include "tests/support/fakemainservices.h"

struct DialogRig {
    DialogRig() {
        row.read(engine.cfg);
        engine.ds = {QStringLiteral("default"), QStringLiteral("USB Audio"), QStringLiteral("USB Audio (2)")};
        engine.dsOut = {2, 6, 2};
        engine.asio = {QStringLiteral("system"), QStringLiteral("devA"), QStringLiteral("devB")};
        engine.asioOut = {2, 4, 4};
        engine.rec = {QStringLiteral("default"), QStringLiteral("Line")};
        profile.file(QStringLiteral("Skin/black.ini"));
    }

    // a configuration every page shows as it stands: its names match the lists
    void settled() {
        PSoundConfig& c = engine.cfg;
        c.dsname[0] = QStringLiteral("default");
        for (int i = 1; i <= 6; ++i)
            *c.sample(i) = profile.path() + QStringLiteral("Samples/s%1.wav").arg(i);
        c.cutdb = -60;
    }

    ConfigDialogModel& open(bool hidDriver = false) {
        model.reset();
        ConfigDialogModel::Services s;
        s.engine = &engine;
        s.prompts = &prompts;
        s.midi = &midi;
        s.hid = hidDriver ? &hid : nullptr;
        s.main = &services;
        s.pending = &pending;
        s.profile = profile.path();
        model = std::make_unique<ConfigDialogModel>(s);
        model->create();
        model->activate();
        return *model;
    }

    TestProfile profile;
    FakeConfigEngine engine;
    FakePrompts prompts;
    FakeMidiPorts midi;
    FakeHidDriver hidDriver;
    HidDriverList<FakeHidDriver> hid{hidDriver};
    FakeMainServices services;
    PendingChoices pending;
    MemoryRow row;
    std::unique_ptr<ConfigDialogModel> model;
};
