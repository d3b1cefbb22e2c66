// The deck handlers on a real engine rendering offline (loadrig's decks, views and loader), with
// the controllers' shared flags, the transport, mixer, hot cue, jog and status handlers wired as
// the window wires them.
#pragma once

#include "controllers/dispatch/dispatcherstate.h"
#include "engine/hintmailbox.h"
#include "mainwindow/logic/automixwalk.h"
#include "mainwindow/logic/hotcues.h"
#include "mainwindow/logic/jogwheel.h"
#include "mainwindow/logic/statustimer.h"
#include "mainwindow/logic/transport.h"
#include "platform/sound/sound.h"
#include "tests/mainwindow/logic/loadrig.h"

namespace handlerrig {

struct Rig : loadrig::Rig {
    Rig()
    {
        for (DeckControls* d : {&deckA, &deckB}) d->state = &state;
        for (int n = 1; n <= 2; ++n) {
            FakeDeckViews& v = views(n);
            for (int i = 1; i <= 8; ++i)
                v.button(QStringLiteral("r%1").arg(i).toLatin1().constData(), QStringLiteral("l%1").arg(i).toLatin1().constData())
                    .tag_ = i;
            for (int i = 0; i < 6; ++i) controls(n).cue[size_t(i)]->setTag(i + 1);
        }
        viewsA.position("trackfrequency", "trackfrequency2").onChange = [this] { transport.trackfrequencyChange(deckA); };
        viewsB.position("trackfrequency", "trackfrequency2").onChange = [this] { transport.trackfrequencyChange(deckB); };
        viewsA.position("trackvolume", "trackvolume2").onChange = [this] { mixer.trackvolumeChange(deckA); };
        viewsB.position("trackvolume", "trackvolume2").onChange = [this] { mixer.trackvolumeChange(deckB); };
        crossfader.onChange = [this] { mixer.crossfaderChange(); };
        for (int n = 1; n <= 2; ++n) {
            FakeDeckViews& v = views(n);
            DeckControls& d = controls(n);
            v.position("gain1", "gain2") = FakePosition(0, 20, 10);
            for (const char* a : {"tre1", "mid1", "bas1"}) {
                std::string b = a;
                b.back() = '2';
                v.position(a, b.c_str()) = FakePosition(0, 30, 15);
            }
            v.position("gain1", "gain2").onChange = [this, &d] { mixer.gainChange(d, d.name("gain1", "gain2")); };
            v.position("tre1", "tre2").onChange = [this, &d] { mixer.gainChange(d, d.name("tre1", "tre2")); };
            v.position("mid1", "mid2").onChange = [this, &d] { mixer.gainChange(d, d.name("mid1", "mid2")); };
            v.position("bas1", "bas2").onChange = [this, &d] { mixer.gainChange(d, d.name("bas1", "bas2")); };
            v.position("wet1", "wet2") = FakePosition(100, 950, 525);
        }
        transport.hooks.automixOff = [this] { ++automixOffs; };
        transport.hooks.lucesloop = [this] { cues.lucesloop(); };
        cues.hooks.salvacues = [this](int deck) { saved.push_back(deck); };
        cues.hooks.btnplayMouseDown = [this](DeckControls& d) { transport.btnplayMouseDown(d); };
    }

    DeckControls& controls(int n) { return n == 2 ? deckB : deckA; }
    carga& player(int n) { return *controls(n).player(); }
    PRecord& record(int n) { return *player(n).basseqfx; }
    TBassStatus stateOf(int n) { return record(n).Fstatus; }

    // a tone of `seconds` on deck n, loaded from row 1 of the Playlists grid
    bool loadTone(int n, double seconds = 10, const QString& bpm = QStringLiteral("120.000"))
    {
        const QString path = tone(QStringLiteral("deck%1.wav").arg(n), seconds);
        put(playlists.grid_, 1, path, QStringLiteral("Artist"), QStringLiteral("Title"), bpm);
        source.msender = &playlists.grid_;
        return load(n);
    }

    // the rate the deck's stream plays at
    float rate(int n)
    {
        float f = 0;
        sound::getAttribute(player(n).Channel, sound::Attribute::Freq, f);
        return f;
    }

    DispatcherState state;
    Transport transport{deckA, deckB, source};
    HotCues cues{deckA, deckB};
    JogWheel jog{deckA, deckB, source, transport};
    HintMailbox mailbox;
    AutomixWalk walk{deckA, deckB, source};
    StatusTimer status{deckA, deckB, mailbox, walk, cues};
    int automixOffs = 0;
    std::vector<int> saved;
};

}  // namespace handlerrig
