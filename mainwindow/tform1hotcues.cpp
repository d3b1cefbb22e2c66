// Hot cues and loops, and their lights lucescues / lucesloop. Deck A's and deck B's handlers
// forward to one implementation given the deck (HotCues); a hot cue or loop-length button's
// slot is its Tag.
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "engine/decklibrary.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/songgrid.h"
#include "mainwindow/tform1.h"

namespace {
int tagOf(Tform1& w, QObject* sender)
{
    ButtonView* b = sender ? w.buttonView(sender->objectName()) : nullptr;
    return b ? b->tag() : 0;
}
}  // namespace

void Tform1::lucescues() { cues.lucescues(); }
void Tform1::lucesloop() { cues.lucesloop(); }

// clang-format off
void Tform1::cue11MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.cueMouseDown(deckA, tagOf(*this, Sender)); }
void Tform1::cue21MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.cueMouseDown(deckB, tagOf(*this, Sender)); }
void Tform1::memory1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.memoryMouseDown(deckA); }
void Tform1::memory2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.memoryMouseDown(deckB); }
void Tform1::delete1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.deleteMouseDown(deckA); }
void Tform1::delete2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.deleteMouseDown(deckB); }
void Tform1::loop1aMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopaMouseDown(deckA); }
void Tform1::loop1bMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopbMouseDown(deckA); }
void Tform1::loop1reloopMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopreloopMouseDown(deckA); }
void Tform1::loop2aMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopaMouseDown(deckB); }
void Tform1::loop2bMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopbMouseDown(deckB); }
void Tform1::loop2reloopMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopreloopMouseDown(deckB); }
void Tform1::R1MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopLengthMouseDown(deckA, tagOf(*this, Sender)); }
void Tform1::R1MouseUp(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopLengthMouseUp(deckA, tagOf(*this, Sender)); }
void Tform1::l1MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopLengthMouseDown(deckB, tagOf(*this, Sender)); }
void Tform1::l1MouseUp(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { cues.loopLengthMouseUp(deckB, tagOf(*this, Sender)); }
// clang-format on

void Tform1::salvacues(int deck)
{
    DeckControls& d = deck == 2 ? deckB : deckA;
    carga* p = d.player();
    if (!p || d.fichero.isEmpty()) return;
    // the database rows of the file, then every grid row of it
    if (adj && adj->mquorsql) adj->mquorsql->salvatag(*p->basseqfx, d.fichero);
    for (PanelView* panel : panelViews())
        if (panel) refreshCueRows(*panel->browser().grid(), d.fichero, *p->basseqfx);
}

void Tform1::wireHotcues()
{
    cues.hooks.salvacues = [this](int deck) { salvacues(deck); };
    cues.hooks.btnplayMouseDown = [this](DeckControls& d) {
        if (d.deck == 1) btnplay1MouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
        else btnplay2MouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1);
    };
    // the controllers press these through the buttons' own events
    const char* const deckACues[] = {"cue11", "cue12", "cue13", "cue14", "cue15", "CUE16"};
    const char* const deckBCues[] = {"cue21", "cue22", "cue23", "cue24", "cue25", "CUE26"};
    for (const char* n : deckACues) onMouseDown(QLatin1String(n), &Tform1::cue11MouseDown);
    for (const char* n : deckBCues) onMouseDown(QLatin1String(n), &Tform1::cue21MouseDown);
    for (int i = 1; i <= 8; ++i) {
        onMouseDown(QStringLiteral("r%1").arg(i), &Tform1::R1MouseDown);
        onMouseUp(QStringLiteral("r%1").arg(i), &Tform1::R1MouseUp);
        onMouseDown(QStringLiteral("l%1").arg(i), &Tform1::l1MouseDown);
        onMouseUp(QStringLiteral("l%1").arg(i), &Tform1::l1MouseUp);
    }
    const std::pair<const char*, MouseHandler> buttons[] = {
        {"memory1", &Tform1::memory1MouseDown},         {"memory2", &Tform1::memory2MouseDown},
        {"delete1", &Tform1::delete1MouseDown},         {"delete2", &Tform1::delete2MouseDown},
        {"loop1a", &Tform1::loop1aMouseDown},           {"loop1b", &Tform1::loop1bMouseDown},
        {"loop1reloop", &Tform1::loop1reloopMouseDown}, {"loop2a", &Tform1::loop2aMouseDown},
        {"loop2b", &Tform1::loop2bMouseDown},           {"loop2reloop", &Tform1::loop2reloopMouseDown},
    };
    for (const auto& [name, h] : buttons) onMouseDown(QLatin1String(name), h);
}
