// Mixer controls: channel volumes, crossfader, gain and EQ with their +/- buttons and kills,
// the headphone cue and its volumes. The recording level (volrecChange) is start-up's. A change
// handler runs after the control's controller value was written back (tform1controllers.cpp).
// Deck A's and deck B's handlers forward to one implementation given the deck (MixerControls).
#include "controllers/controllerset.h"
#include "mainwindow/tform1.h"

void Tform1::trackvolumeChange(QObject*) { mixer.trackvolumeChange(deckA); }
void Tform1::trackvolume2Change(QObject*) { mixer.trackvolumeChange(deckB); }
void Tform1::crossfaderChange(QObject*) { mixer.crossfaderChange(); }
void Tform1::gain1Change(QObject* Sender) { mixer.gainChange(deckA, Sender && Sender != this ? Sender->objectName() : QString()); }
void Tform1::gain2Change(QObject* Sender) { mixer.gainChange(deckB, Sender && Sender != this ? Sender->objectName() : QString()); }
void Tform1::volhead1Change(QObject*) { mixer.volheadChange(deckA); }
void Tform1::volhead2Change(QObject*) { mixer.volheadChange(deckB); }
void Tform1::headaMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.headMouseDown(deckA, deckB); }
void Tform1::headbMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.headMouseDown(deckB, deckA); }

// clang-format off
// the +/- buttons: the dial one step on, then the deck's EQ handler with the window as sender
void Tform1::g1masMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckA, deckA.gain, 1); }
void Tform1::g2masMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckB, deckB.gain, 1); }
void Tform1::g1menosMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckA, deckA.gain, -1); }
void Tform1::g2menosMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckB, deckB.gain, -1); }
void Tform1::h1masMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckA, deckA.tre, 1); }
void Tform1::h2masMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckB, deckB.tre, 1); }
void Tform1::h1menosMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckA, deckA.tre, -1); }
void Tform1::h2menosMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckB, deckB.tre, -1); }
void Tform1::m1masMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckA, deckA.mid, 1); }
void Tform1::m2masMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckB, deckB.mid, 1); }
void Tform1::m1menosMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckA, deckA.mid, -1); }
void Tform1::m2menosMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckB, deckB.mid, -1); }
void Tform1::l1masMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckA, deckA.bas, 1); }
void Tform1::l2masMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckB, deckB.bas, 1); }
void Tform1::l1menosMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckA, deckA.bas, -1); }
void Tform1::l2menosMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.stepDial(deckB, deckB.bas, -1); }
void Tform1::kb1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.killMouseDown(deckA, MixerControls::Band::bass); }
void Tform1::kb2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.killMouseDown(deckB, MixerControls::Band::bass); }
void Tform1::kh1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.killMouseDown(deckA, MixerControls::Band::treble); }
void Tform1::kh2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.killMouseDown(deckB, MixerControls::Band::treble); }
void Tform1::km1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.killMouseDown(deckA, MixerControls::Band::mid); }
void Tform1::km2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { mixer.killMouseDown(deckB, MixerControls::Band::mid); }
// clang-format on

void Tform1::wireMixer()
{
    const std::pair<const char*, MouseHandler> buttons[] = {
        {"g1mas", &Tform1::g1masMouseDown}, {"g1menos", &Tform1::g1menosMouseDown},
        {"h1mas", &Tform1::h1masMouseDown}, {"h1menos", &Tform1::h1menosMouseDown},
        {"m1mas", &Tform1::m1masMouseDown}, {"m1menos", &Tform1::m1menosMouseDown},
        {"l1mas", &Tform1::l1masMouseDown}, {"l1menos", &Tform1::l1menosMouseDown},
        {"g2mas", &Tform1::g2masMouseDown}, {"g2menos", &Tform1::g2menosMouseDown},
        {"h2mas", &Tform1::h2masMouseDown}, {"h2menos", &Tform1::h2menosMouseDown},
        {"m2mas", &Tform1::m2masMouseDown}, {"m2menos", &Tform1::m2menosMouseDown},
        {"l2mas", &Tform1::l2masMouseDown}, {"l2menos", &Tform1::l2menosMouseDown},
        {"kb1", &Tform1::kb1MouseDown},     {"km1", &Tform1::km1MouseDown},
        {"kh1", &Tform1::kh1MouseDown},     {"kb2", &Tform1::kb2MouseDown},
        {"km2", &Tform1::km2MouseDown},     {"kh2", &Tform1::kh2MouseDown},
    };
    for (const auto& [name, h] : buttons) onMouseDown(QLatin1String(name), h);
    // a MIDI controller in single mode gets every light again
    mixer.midiDisplayModeZero = [this] { return set && (set->tables.hdm.modo == 0 || set->tables.hdm2.modo == 0); };
}
