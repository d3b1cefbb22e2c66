// The window as the controllers' surface: buttons pressed by name, sliders and dials set and
// read, labels, the deck state; the key events through the keyboard map; the controller value
// copy (Timer2), the lights (Timer3) and the keyboard button; the HID drivers at the activations
// and the controllers' part of the shut-down.
//
// A button the controllers press runs its handler: the handlers of this concern's table directly,
// any other button's through its own press or click event, so the concern that owns a button
// binds its handler once, for the mouse and the controllers alike.
//
// A slider or dial changed by the user or by the controllers first writes its position back into
// its controller value (the pitch sliders excepted: their handler writes it unless the brake
// holds the deck), then runs its change handler.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <QWindow>

#include "controllers/controllerset.h"
#include "engine/precord.h"
#include "controllers/virtualkeys.h"
#include "engine/audiobase.h"
#include "engine/carga.h"
#include "mainwindow/explorerpanelview.h"
#include "mainwindow/songpanelviews.h"
#include "mainwindow/logic/buttonview.h"
#include "mainwindow/logic/positionview.h"
#include "mainwindow/tform1.h"
#include "snkins/quor/tquorbutton.h"
#include "snkins/quor/tquordial.h"
#include "snkins/vr/trled.h"
#include "snkins/vr/tvrbitmapdial.h"
#include "snkins/vs/tvsbutton.h"
#include "snkins/vs/tvsslider.h"

namespace {
using B = SurfaceButton;
using C = SurfaceControl;
using MouseHandler = Tform1::MouseHandler;
using NotifyHandler = Tform1::NotifyHandler;

struct ButtonEntry {
    B button;
    const char* name;
    MouseHandler down = nullptr;
    MouseHandler up = nullptr;
    NotifyHandler click = nullptr;
};

const std::vector<ButtonEntry>& buttonTable()
{
    static const std::vector<ButtonEntry> table = {
        {B::btnplay1, "btnplay1", &Tform1::btnplay1MouseDown},
        {B::btnplay2, "btnplay2", &Tform1::btnplay2MouseDown},
        {B::btnpause1, "btnpause1", &Tform1::btnpause1MouseDown},
        {B::btnpause2, "btnpause2", &Tform1::btnpause2MouseDown},
        {B::btncue1, "btncue1", &Tform1::btncue1MouseDown, &Tform1::btncue1MouseUp, &Tform1::btncue1Click},
        {B::btncue2, "btncue2", &Tform1::btncue2MouseDown, &Tform1::btncue2MouseUp, &Tform1::btncue2Click},
        {B::btnload1, "btnload1", &Tform1::btnload1MouseDown},
        {B::btnload2, "btnload2", &Tform1::btnload2MouseDown},
        {B::match1, "match1", &Tform1::match1MouseDown},
        {B::match2, "match2", &Tform1::match2MouseDown},
        {B::reverse, "reverse", &Tform1::reverseMouseDown},
        {B::reverse2, "reverse2", &Tform1::reverse2MouseDown},
        {B::brake, "brake", &Tform1::brakeMouseDown},
        {B::brake2, "brake2", &Tform1::brake2MouseDown},
        {B::bendmas1, "bendmas1", &Tform1::bendmas1MouseDown, &Tform1::bendmas1MouseUp},
        {B::bendmenos1, "bendmenos1", &Tform1::bendmenos1MouseDown, &Tform1::bendmenos1MouseUp},
        {B::BendMas2, "BendMas2", &Tform1::bendmas2MouseDown, &Tform1::bendmas2MouseUp},
        {B::Bendmenos2, "Bendmenos2", &Tform1::bendmenos2MouseDown, &Tform1::bendmenos2MouseUp},
        // effects, beat fractions, sampler pads, automix and recording (tform1effects.cpp,
        // tform1automix.cpp)
        {B::echo, "echo", &Tform1::echoMouseDown, &Tform1::echoMouseUp},
        {B::flange, "flange", &Tform1::echoMouseDown, &Tform1::echoMouseUp},
        {B::wah, "wah", &Tform1::echoMouseDown, &Tform1::echoMouseUp},
        {B::echo2, "echo2", &Tform1::echo2MouseDown, &Tform1::echoMouseUp},
        {B::flange2, "flange2", &Tform1::echo2MouseDown, &Tform1::echoMouseUp},
        {B::wah2, "wah2", &Tform1::echo2MouseDown, &Tform1::echoMouseUp},
        {B::t1, "t1", &Tform1::t1MouseDown},
        {B::t2, "t2", &Tform1::t1MouseDown},
        {B::t3, "t3", &Tform1::t1MouseDown},
        {B::t4, "t4", &Tform1::t1MouseDown},
        {B::t5, "t5", &Tform1::t1MouseDown},
        {B::t12, "t12", &Tform1::t12MouseDown},
        {B::t22, "t22", &Tform1::t12MouseDown},
        {B::t32, "t32", &Tform1::t12MouseDown},
        {B::t42, "t42", &Tform1::t12MouseDown},
        {B::t52, "t52", &Tform1::t12MouseDown},
        {B::vl1, "vl1", &Tform1::vl1MouseDown, &Tform1::vl1MouseUp},
        {B::vl2, "vl2", &Tform1::vl1MouseDown, &Tform1::vl1MouseUp},
        {B::vl3, "vl3", &Tform1::vl1MouseDown, &Tform1::vl1MouseUp},
        {B::vl4, "vl4", &Tform1::vl1MouseDown, &Tform1::vl1MouseUp},
        {B::vl5, "vl5", &Tform1::vl1MouseDown, &Tform1::vl1MouseUp},
        {B::vl6, "vl6", &Tform1::vl1MouseDown, &Tform1::vl1MouseUp},
        {B::vl7, "vl7", &Tform1::vl7MouseDown},
        {B::vr1, "vr1", &Tform1::vr1MouseDown, &Tform1::vr1MouseUp},
        {B::vr2, "vr2", &Tform1::vr1MouseDown, &Tform1::vr1MouseUp},
        {B::vr3, "vr3", &Tform1::vr1MouseDown, &Tform1::vr1MouseUp},
        {B::vr4, "vr4", &Tform1::vr1MouseDown, &Tform1::vr1MouseUp},
        {B::vr5, "vr5", &Tform1::vr1MouseDown, &Tform1::vr1MouseUp},
        {B::vr6, "vr6", &Tform1::vr1MouseDown, &Tform1::vr1MouseUp},
        {B::vr7, "vr7", &Tform1::vr7MouseDown},
        {B::auto_enable, "auto_enable", &Tform1::auto_enableMouseDown},
        {B::REC, "REC", &Tform1::recMouseDown},
    };
    return table;
}

const ButtonEntry* entry(B b)
{
    for (const ButtonEntry& e : buttonTable())
        if (e.button == b) return &e;
    return nullptr;
}

struct ControlEntry {
    C control;
    const char* name;
    NotifyHandler change = nullptr;
    bool writesBack = true;  // the copy is written before the handler runs
};

const std::vector<ControlEntry>& controlTable()
{
    static const std::vector<ControlEntry> table = {
        {C::trackfrequency, "trackfrequency", &Tform1::trackfrequencyChange, false},
        {C::trackfrequency2, "trackfrequency2", &Tform1::trackfrequency2Change, false},
        {C::trackvolume, "trackvolume", &Tform1::trackvolumeChange},
        {C::trackvolume2, "trackvolume2", &Tform1::trackvolume2Change},
        {C::crossfader, "crossfader", &Tform1::crossfaderChange},
        {C::bas1, "bas1", &Tform1::gain1Change},
        {C::bas2, "bas2", &Tform1::gain2Change},
        {C::mid1, "mid1", &Tform1::gain1Change},
        {C::mid2, "mid2", &Tform1::gain2Change},
        {C::tre1, "tre1", &Tform1::gain1Change},
        {C::tre2, "tre2", &Tform1::gain2Change},
        {C::gain1, "gain1", &Tform1::gain1Change},
        {C::gain2, "gain2", &Tform1::gain2Change},
        {C::dry1, "dry1", &Tform1::dry1Change},
        {C::wet1, "wet1", &Tform1::dry1Change},
        {C::dry2, "dry2", &Tform1::dry2Change},
        {C::wet2, "wet2", &Tform1::dry2Change},
        {C::samplevolume, "samplevolume", &Tform1::samplevolumeChange},
        {C::samplevolume2, "samplevolume2", &Tform1::samplevolume2Change},
        {C::volhead1, "volhead1", &Tform1::volhead1Change},
        {C::volhead2, "volhead2", &Tform1::volhead2Change},
        {C::volrec, "volrec", &Tform1::volrecChange},
        {C::RLed3, "RLed3"},
        {C::vrwheela, "vrwheela"},
        {C::vrWheelb, "vrWheelb"},
    };
    return table;
}

const ControlEntry* entry(C c)
{
    for (const ControlEntry& e : controlTable())
        if (e.control == c) return &e;
    return nullptr;
}

const char* labelName(SurfaceLabel l)
{
    switch (l) {
    case SurfaceLabel::track1: return "track1";
    case SurfaceLabel::track2: return "track2";
    case SurfaceLabel::laut_t1: return "laut_t1";
    case SurfaceLabel::laut_t2: return "laut_t2";
    case SurfaceLabel::lelapsed1: return "lelapsed1";
    case SurfaceLabel::lelapsed2: return "lelapsed2";
    case SurfaceLabel::lpitp1: return "lpitp1";
    case SurfaceLabel::lpitp2: return "lpitp2";
    }
    return "";
}
}  // namespace

void Tform1::wireControllers()
{
    for (const ButtonEntry& e : buttonTable()) {
        if (e.down) onMouseDown(QLatin1String(e.name), e.down);
        if (e.up) onMouseUp(QLatin1String(e.name), e.up);
        if (e.click) onClick(QLatin1String(e.name), e.click);
    }
    for (const ControlEntry& e : controlTable()) {
        QObject* o = object(QLatin1String(e.name));
        const C c = e.control;
        if (auto* s = qobject_cast<TVsSlider*>(o)) connect(s, &TVsSlider::OnChange, this, [this, c] { controlChanged(c); });
        else if (auto* d = qobject_cast<TVrBitmapDial*>(o))
            connect(d, &TVrBitmapDial::OnChange, this, [this, c] { controlChanged(c); });
    }
    onClick(QStringLiteral("VsButton3"), &Tform1::VsButton3Click);
    onTimer(QStringLiteral("Timer2"), &Tform1::Timer2Timer);
    onTimer(QStringLiteral("Timer3"), &Tform1::Timer3Timer);
    // the timers of the other concerns
    onTimer(QStringLiteral("Timer1"), &Tform1::Timer1Timer);
    onTimer(QStringLiteral("Timer5"), &Tform1::Timer5Timer);
    onTimer(QStringLiteral("actjo"), &Tform1::actjoTimer);
    onMouseDown(QStringLiteral("heada"), &Tform1::headaMouseDown);
    onMouseDown(QStringLiteral("headaa"), &Tform1::headaMouseDown);
    onMouseDown(QStringLiteral("headb"), &Tform1::headbMouseDown);
    onMouseDown(QStringLiteral("headbb"), &Tform1::headbMouseDown);
}

void Tform1::controlChanged(SurfaceControl c)
{
    const ControlEntry* e = entry(c);
    if (!e) return;
    if (set && e->writesBack)
        for (const auto& [control, global] : ControlValueCopy::kPairs)
            if (control == c) set->values.*global = Position(c);
    if (e->change) (this->*(e->change))(object(QLatin1String(e->name)));
}

void Tform1::Timer2Timer()
{
    if (set) set->valueCopy.Timer2Timer();
}

void Tform1::Timer3Timer()
{
    if (set) set->lights.Timer3Timer();
}

void Tform1::createHidDrivers()
{
    if (set) set->hid.createDrivers();
}

void Tform1::setUpHidControllers()
{
    if (set) set->hid.setUp();
}

void Tform1::closeControllers()
{
    if (!set) return;
    // the HID inputs stop first; then every lit MIDI light goes out and controller 1 counts as
    // not set up (controller 2's flag stays as it was)
    set->hid.close();
    set->lights.apagamidilights();
    if (adj) adj->soundcfg->inicializada = false;
}

void Tform1::VsButton3Click(QObject*)
{
    if (set) set->keyboard.VsButton3Click();
}

// ---- buttons

void Tform1::MouseDown(SurfaceButton b)
{
    const ButtonEntry* e = entry(b);
    QObject* o = object(QLatin1String(surfaceButtonName(b)));
    if (e && e->down) {
        (this->*(e->down))(o, Qt::LeftButton, Qt::NoModifier, 1, 1);
    } else if (e && (e->up || e->click)) {
        // a button of the table without a press handler has none
    } else if (auto* s = qobject_cast<SkinWidget*>(o)) {
        emit s->OnMouseDown(s, Qt::LeftButton, Qt::NoModifier, 1, 1);
    } else if (auto* q = qobject_cast<TquorButton*>(o)) {
        emit q->mouseDown(Qt::LeftButton, Qt::NoModifier, 1, 1);
    }
}

void Tform1::MouseUp(SurfaceButton b)
{
    const ButtonEntry* e = entry(b);
    QObject* o = object(QLatin1String(surfaceButtonName(b)));
    if (e) {
        if (e->up) (this->*(e->up))(o, Qt::LeftButton, Qt::NoModifier, 1, 1);
    } else if (auto* s = qobject_cast<SkinWidget*>(o)) {
        emit s->OnMouseUp(s, Qt::LeftButton, Qt::NoModifier, 1, 1);
    } else if (auto* q = qobject_cast<TquorButton*>(o)) {
        emit q->mouseUp(Qt::LeftButton, Qt::NoModifier, 1, 1);
    }
}

void Tform1::Click(SurfaceButton b)
{
    const ButtonEntry* e = entry(b);
    QObject* o = object(QLatin1String(surfaceButtonName(b)));
    if (e) {
        // the cue clicks get the form as their sender
        if (e->click) (this->*(e->click))(this);
    } else if (auto* v = qobject_cast<TVsButton*>(o)) {
        emit v->OnClick(v);
    } else if (auto* q = qobject_cast<TquorButton*>(o)) {
        emit q->clicked();
    }
}

bool Tform1::Down(SurfaceButton b) const
{
    ButtonView* v = const_cast<Tform1*>(this)->buttonView(QLatin1String(surfaceButtonName(b)));
    return v && v->down();
}

void Tform1::SetDown(SurfaceButton b, bool down)
{
    if (ButtonView* v = buttonView(QLatin1String(surfaceButtonName(b)))) v->setDown(down);
}

bool Tform1::Enabled(SurfaceButton b) const
{
    ButtonView* v = const_cast<Tform1*>(this)->buttonView(QLatin1String(surfaceButtonName(b)));
    return v && v->enabled();
}

// ---- sliders, dials, level bars and wheels

int Tform1::Position(SurfaceControl c) const
{
    const ControlEntry* e = entry(c);
    QObject* o = e ? object(QLatin1String(e->name)) : nullptr;
    if (auto* led = qobject_cast<TRLed*>(o)) return led->Position();
    if (auto* wheel = qobject_cast<TQuorDial*>(o)) return wheel->Position();
    PositionView* v = e ? const_cast<Tform1*>(this)->positionView(QLatin1String(e->name)) : nullptr;
    return v ? v->position() : 0;
}

int Tform1::Min(SurfaceControl c) const
{
    const ControlEntry* e = entry(c);
    QObject* o = e ? object(QLatin1String(e->name)) : nullptr;
    if (qobject_cast<TRLed*>(o) || qobject_cast<TQuorDial*>(o)) return 0;
    PositionView* v = e ? const_cast<Tform1*>(this)->positionView(QLatin1String(e->name)) : nullptr;
    return v ? v->minimum() : 0;
}

int Tform1::Max(SurfaceControl c) const
{
    const ControlEntry* e = entry(c);
    QObject* o = e ? object(QLatin1String(e->name)) : nullptr;
    if (auto* led = qobject_cast<TRLed*>(o)) return led->MaxValue();
    if (auto* wheel = qobject_cast<TQuorDial*>(o)) return wheel->maxvalue;
    PositionView* v = e ? const_cast<Tform1*>(this)->positionView(QLatin1String(e->name)) : nullptr;
    return v ? v->maximum() : 0;
}

void Tform1::SetPosition(SurfaceControl c, int value)
{
    const ControlEntry* e = entry(c);
    if (!e) return;
    const int v = std::clamp(value, Min(c), std::max(Min(c), Max(c)));
    if (v == Position(c)) return;
    QObject* o = object(QLatin1String(e->name));
    if (auto* led = qobject_cast<TRLed*>(o)) {
        led->SetPosition(v);
    } else if (auto* wheel = qobject_cast<TQuorDial*>(o)) {
        wheel->setfcount(v);
    } else if (PositionView* view = positionView(QLatin1String(e->name))) {
        // the handler runs once, whether or not the control reports the move itself
        const bool blocked = o && o->blockSignals(true);
        view->setPosition(v);
        if (o) o->blockSignals(blocked);
        controlChanged(c);
    }
}

// ---- labels

QString Tform1::Caption(SurfaceLabel l) const
{
    auto* label = get<QLabel>(QLatin1String(labelName(l)));
    return label ? label->text() : QString();
}

void Tform1::SetCaption(SurfaceLabel l, const QString& text)
{
    if (auto* label = get<QLabel>(QLatin1String(labelName(l)))) label->setText(text);
}

// ---- decks and the engine

bool Tform1::deckPlaying(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p && p->basseqfx->Fstatus == sPlay;
}

bool Tform1::deckSearchMode(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p && p->ssearch;
}

void Tform1::setvalorbend(int deck, int value)
{
    if (carga* p = (deck == 0 ? deckA : deckB).player()) p->valorbend = value;
}

int Tform1::grabapeak() const { return adj ? adj->grabapeak.load() : 0; }

bool Tform1::deckLoaded(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p && p->basseqfx->loaded;
}

bool Tform1::deckLoopActive(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p && p->basseqfx->loop;
}

int Tform1::deckcargacue(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p ? p->cargacue.load() : 0;
}

void Tform1::setdeckcargacue(int deck, int slot)
{
    if (carga* p = (deck == 0 ? deckA : deckB).player()) p->cargacue = slot;
}

bool Tform1::deckHeadphones(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p && p->headphones;
}

QString Tform1::deckDuration(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p ? p->basseqfx->duration.get() : QString();
}

int Tform1::deckBpmn(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p ? p->basseqfx->bpmn.load() : 0;
}

int Tform1::deckPitchn(int deck) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p ? p->basseqfx->pitchn.load() : 0;
}

void Tform1::deckSetPositions(int deck, int delta, int value)
{
    if (carga* p = (deck == 0 ? deckA : deckB).player()) p->SetPositions(delta, value);
}

void Tform1::deckSetPositionm(int deck, int x, int width)
{
    if (carga* p = (deck == 0 ? deckA : deckB).player()) p->SetPositionm(x, width);
}

int Tform1::deckSetPitchv(int deck, int range)
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    return p ? p->SetPitchv(range) : 0;
}

void Tform1::deckSetSliders(int deck, bool on)
{
    if (carga* p = (deck == 0 ? deckA : deckB).player()) p->SetSliders(on);
}

void Tform1::setdecksliders(int deck, bool on)
{
    if (carga* p = (deck == 0 ? deckA : deckB).player()) p->sliders = on;
}

void Tform1::deckSetScratchOff(int deck)
{
    if (carga* p = (deck == 0 ? deckA : deckB).player()) p->SetScratchOff();
}

void Tform1::setheadphones(bool enable, int canal)
{
    if (adj) adj->setheadphones(enable, canal);
}

// the microphone input is never muted by the window
bool Tform1::bmutemic() const { return false; }

// ---- what the lights read

// a slot's state from the deck's tag block, where the hot cues live with the track
HotCueLook Tform1::hotCue(int deck, int slot) const
{
    carga* p = (deck == 0 ? deckA : deckB).player();
    if (!p || slot < 1 || slot > 6) return HotCueLook::empty;
    return hotCueLook(p->basseqfx->tag[size_t(slot)].load(), p->basseqfx->tag[size_t(slot + 6)].load());
}

bool Tform1::blink(int deck) const { return deck == 0 ? loop.blinka : loop.blinkb; }

bool Tform1::borrar(int deck) const { return (deck == 0 ? deckA : deckB).borrar; }

// ---- the library panels

QString Tform1::msenderName() const { return source.msender ? source.msender->gridName() : QString(); }
int Tform1::sourceRow() const { return source.msender ? source.msender->currentRow() : 0; }
int Tform1::sourceRowCount() const { return source.msender ? source.msender->rowCount() : 0; }

void Tform1::setSourceRow(int row)
{
    if (source.msender) source.msender->setCurrentRow(row);
}

// the panels' trees: the next / previous node, the selected node's action
void Tform1::dtabajo(LibraryPanel p)
{
    if (PanelView* v = panelView(p)) v->dtabajo();
}

void Tform1::dtarriba(LibraryPanel p)
{
    if (PanelView* v = panelView(p)) v->dtarriba();
}

void Tform1::setselected(LibraryPanel p)
{
    if (PanelView* v = panelView(p)) v->setselected();
}

void Tform1::focusea(FocusTarget t)
{
    const char* name = "";
    switch (t) {
    case FocusTarget::grupos: name = "grupos"; break;
    case FocusTarget::explorer: name = "explorer"; break;
    case FocusTarget::playlist: name = "playlist"; break;
    case FocusTarget::sggroups: name = "sggroups"; break;
    case FocusTarget::sgexplorer: name = "sgexplorer"; break;
    case FocusTarget::sg: name = "sg"; break;
    case FocusTarget::dt: name = "dt"; break;
    }
    QWidget* w = get<QWidget>(QLatin1String(name));
    if (!w) {
        const PanelView* panel = t == FocusTarget::sggroups ? panelView(LibraryPanel::groups)
                                 : t == FocusTarget::sgexplorer ? panelView(LibraryPanel::explorer)
                                 : t == FocusTarget::sg ? panelView(LibraryPanel::playlists)
                                                        : nullptr;
        if (panel) w = panel->sg();
        // the tree the controllers step is the Groups panel's
        if (t == FocusTarget::dt && ep) w = ep->tree();
    }
    focusea(w);
}

bool Tform1::panelShown(LibraryPanel p) const
{
    switch (p) {
    case LibraryPanel::groups: return panels.vgr;
    case LibraryPanel::playlists: return panels.vpl;
    case LibraryPanel::explorer: return panels.vex;
    }
    return false;
}

void Tform1::setPanelShown(LibraryPanel p, bool shown)
{
    switch (p) {
    case LibraryPanel::groups: panels.vgr = shown; break;
    case LibraryPanel::playlists: panels.vpl = shown; break;
    case LibraryPanel::explorer: panels.vex = shown; break;
    }
}

// the jog wheels' mouse state (tform1jog.cpp): held, dragged, and the speed it scratches at
ControllerSurface::JogMouse Tform1::jogMouse(int deck) const
{
    const JogState& j = (deck == 0 ? deckA : deckB).jog;
    return {j.botonleft, j.tscratchena, j.b};
}

// each panel's iskeyboard
void Tform1::setPanelsIskeyboard(bool on)
{
    for (PanelView* v : panelViews())
        if (v) v->setKeyboard(on);
}

void Tform1::ShowMessage(const QString& text) { tell(text); }

// ---- key events: each once, through the keyboard map

bool Tform1::eventFilter(QObject* watched, QEvent* e)
{
    // the window's first paint comes with this expose; what waited for it runs after it
    if (groupsListPending_ && e->type() == QEvent::Expose && watched == windowHandle())
        QTimer::singleShot(0, this, &Tform1::firstGroupsListing);
    if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && set)
        if (keyEvent(static_cast<QKeyEvent*>(e))) return true;
    return QWidget::eventFilter(watched, e);
}

bool Tform1::keyEvent(QKeyEvent* e)
{
    // one key event reaches the filter once per widget it passes through
    const LastKey now{int(e->type()), e->key(), e->timestamp(), e->nativeScanCode()};
    if (now.type == lastKey_.type && now.key == lastKey_.key && now.timestamp == lastKey_.timestamp &&
        now.scanCode == lastKey_.scanCode)
        return false;
    lastKey_ = now;
    const bool press = e->type() == QEvent::KeyPress;
    return set->keyboard.AppOnMessage(VirtualKeys::fromQtKey(e->key(), e->modifiers() & Qt::KeypadModifier), press,
                                      e->isAutoRepeat(),
                                      VirtualKeys::shiftSide(e->nativeVirtualKey(), e->nativeScanCode()));
}
