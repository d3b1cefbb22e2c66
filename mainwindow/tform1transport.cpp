// Deck transport controls: play, pause, cue, reverse, brake, key lock, pitch bend, beat match,
// the pitch slider and its range menu, seeking and the jog modes. The handlers of deck A and
// deck B forward to one implementation given the deck (Transport).
#include <QAction>
#include <QLabel>
#include <QMenu>

#include "engine/audiobase.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/tform1.h"
#include "mainwindow/views/mouserelay.h"

// clang-format off
void Tform1::btnplay1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.btnplayMouseDown(deckA); }
void Tform1::btnplay2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.btnplayMouseDown(deckB); }
void Tform1::btnpause1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.btnpauseMouseDown(deckA); }
void Tform1::btnpause2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.btnpauseMouseDown(deckB); }
void Tform1::btncue1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.btncueMouseDown(deckA); }
void Tform1::btncue2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.btncueMouseDown(deckB); }
void Tform1::btncue1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.btncueMouseUp(deckA); }
void Tform1::btncue2MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.btncueMouseUp(deckB); }
void Tform1::btncue1Click(QObject*) { transport.btncueClick(deckA); }
void Tform1::btncue2Click(QObject*) { transport.btncueClick(deckB); }
void Tform1::match1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.matchMouseDown(deckA); }
void Tform1::match2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.matchMouseDown(deckB); }
void Tform1::reverseMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.reverseMouseDown(deckA); }
void Tform1::reverse2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.reverseMouseDown(deckB); }
void Tform1::brakeMouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.brakeMouseDown(deckA); }
void Tform1::brake2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.brakeMouseDown(deckB); }
void Tform1::key1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.keyMouseDown(deckA); }
void Tform1::key2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.keyMouseDown(deckB); }
void Tform1::bendmas1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.bendmasMouseDown(deckA); }
void Tform1::bendmas1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.bendmasMouseUp(deckA); }
void Tform1::bendmenos1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.bendmenosMouseDown(deckA); }
void Tform1::bendmenos1MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.bendmenosMouseUp(deckA); }
void Tform1::bendmas2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.bendmasMouseDown(deckB); }
void Tform1::bendmas2MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.bendmasMouseUp(deckB); }
void Tform1::bendmenos2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.bendmenosMouseDown(deckB); }
void Tform1::bendmenos2MouseUp(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.bendmenosMouseUp(deckB); }
void Tform1::scratch1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.scratchMouseDown(deckA); }
void Tform1::scratch2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.scratchMouseDown(deckB); }
void Tform1::search1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.searchMouseDown(deckA); }
void Tform1::search2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.searchMouseDown(deckB); }
void Tform1::effects1MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.effectsMouseDown(deckA); }
void Tform1::effects2MouseDown(QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { transport.effectsMouseDown(deckB); }
void Tform1::trackfrequencyChange(QObject*) { transport.trackfrequencyChange(deckA); }
void Tform1::trackfrequency2Change(QObject*) { transport.trackfrequencyChange(deckB); }
// clang-format on

namespace {
// a press on a progress bar or an overview: the deck to the place under x
void seekOn(Transport& t, DeckControls& d, QObject* sender, int x)
{
    if (auto* w = qobject_cast<QWidget*>(sender)) t.seek(d, x, w->width());
}

// a pitch range menu item: its data is the range in percent
void pitchRangeOf(Transport& t, DeckControls& d, QObject* sender)
{
    if (auto* a = qobject_cast<QAction*>(sender)) t.pitchRange(d, a->data().toInt());
}
}  // namespace

// clang-format off
void Tform1::pro1MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int X, int) { seekOn(transport, deckA, Sender, X); }
void Tform1::pro2MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int X, int) { seekOn(transport, deckB, Sender, X); }
void Tform1::displaypeq1MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int X, int) { seekOn(transport, deckA, Sender, X); }
void Tform1::displaypeq2MouseDown(QObject* Sender, Qt::MouseButton, Qt::KeyboardModifiers, int X, int) { seekOn(transport, deckB, Sender, X); }
void Tform1::N41Click(QObject* Sender) { pitchRangeOf(transport, deckA, Sender); }
void Tform1::MenuItem1Click(QObject* Sender) { pitchRangeOf(transport, deckB, Sender); }
// clang-format on

void Tform1::wireTransport()
{
    transport.hooks.automixOff = [this] { automixOff(); };
    transport.hooks.bfxDown = [this] {
        ButtonView* b = buttonView(QStringLiteral("bfx"));
        return b && b->down();
    };
    transport.hooks.modemax = [this] { return modemax; };
    transport.hooks.lucesloop = [this] { lucesloop(); };
    transport.hooks.bmixMouseDown = [this] { bmixMouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1); };
    transport.hooks.bfxMouseDown = [this] { bfxMouseDown(this, Qt::LeftButton, Qt::NoModifier, 1, 1); };

    // key lock (the hidden twins press the same handlers) and the jog modes
    const std::pair<const char*, MouseHandler> buttons[] = {
        {"key1", &Tform1::key1MouseDown},         {"key11", &Tform1::key1MouseDown},
        {"key2", &Tform1::key2MouseDown},         {"key22", &Tform1::key2MouseDown},
        {"scratch1", &Tform1::scratch1MouseDown}, {"search1", &Tform1::search1MouseDown},
        {"effects1", &Tform1::effects1MouseDown}, {"scratch2", &Tform1::scratch2MouseDown},
        {"search2", &Tform1::search2MouseDown},   {"effects2", &Tform1::effects2MouseDown},
    };
    for (const auto& [name, h] : buttons) onMouseDown(QLatin1String(name), h);

    // seeking on the progress bars and the overviews
    const std::pair<const char*, MouseHandler> seeks[] = {{"pro1", &Tform1::pro1MouseDown},
                                                          {"pro2", &Tform1::pro2MouseDown},
                                                          {"displaypeq1", &Tform1::displaypeq1MouseDown},
                                                          {"displaypeq2", &Tform1::displaypeq2MouseDown}};
    for (const auto& [name, h] : seeks) {
        auto* w = get<QWidget>(QLatin1String(name));
        if (!w) continue;
        new MouseRelay(w, [this, w, h = h](Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
            (this->*h)(w, b, m, x, y);
        });
    }

    // the pitch range menus open on their labels and carry the range in each item's Tag
    const std::tuple<const char*, const char*, NotifyHandler> menus[] = {
        {"lpitp1", "JvPopupMenu1", &Tform1::N41Click}, {"lpitp2", "JvPopupMenu2", &Tform1::MenuItem1Click}};
    for (const auto& [label, name, h] : menus) {
        auto* menu = get<QMenu>(QLatin1String(name));
        if (!menu) continue;
        for (QAction* a : menu->actions())
            connect(a, &QAction::triggered, this, [this, a, h = h] { (this->*h)(a); });
        if (auto* l = get<QWidget>(QLatin1String(label))) {
            l->setContextMenuPolicy(Qt::CustomContextMenu);
            connect(l, &QWidget::customContextMenuRequested, menu,
                    [menu, l](const QPoint& at) { menu->popup(l->mapToGlobal(at)); });
        }
    }
}
