#include "mainwindow/logic/deckcontrols.h"

#include "engine/audiobase.h"

DeckControls::DeckControls(int d) : deck(d == 2 ? 2 : 1) {}

carga* DeckControls::player() const { return adj ? (deck == 1 ? adj->carga1 : adj->carga2) : nullptr; }

Shared<bool>* DeckControls::followsThis() const { return adj ? (deck == 1 ? &adj->enlace2 : &adj->enlace1) : nullptr; }

// one row per control: deck A's name, deck B's name, the member
#define OSTREL_SLOT(A, B, M) {A, B, [](DeckControls& d) -> auto& { return d.M; }}

const std::vector<DeckControls::Slot<ButtonView>>& DeckControls::buttonSlots()
{
    static const std::vector<Slot<ButtonView>> table = {
        OSTREL_SLOT("btnload1", "btnload2", btnload),
        OSTREL_SLOT("btnplay1", "btnplay2", btnplay),
        OSTREL_SLOT("btnpause1", "btnpause2", btnpause),
        OSTREL_SLOT("btncue1", "btncue2", btncue),
        OSTREL_SLOT("reverse", "reverse2", reverse),
        OSTREL_SLOT("brake", "brake2", brake),
        OSTREL_SLOT("key1", "key2", key),
        OSTREL_SLOT("key11", "key22", keyhidden),
        OSTREL_SLOT("bendmas1", "BendMas2", bendmas),
        OSTREL_SLOT("bendmenos1", "Bendmenos2", bendmenos),
        OSTREL_SLOT("match1", "match2", match),
        OSTREL_SLOT("scratch1", "scratch2", scratch),
        OSTREL_SLOT("search1", "search2", search),
        OSTREL_SLOT("effects1", "effects2", effects),
        OSTREL_SLOT("cue11", "cue21", cue[0]),
        OSTREL_SLOT("cue12", "cue22", cue[1]),
        OSTREL_SLOT("cue13", "cue23", cue[2]),
        OSTREL_SLOT("cue14", "cue24", cue[3]),
        OSTREL_SLOT("cue15", "cue25", cue[4]),
        OSTREL_SLOT("CUE16", "CUE26", cue[5]),
        OSTREL_SLOT("memory1", "memory2", memory),
        OSTREL_SLOT("delete1", "delete2", delete_),
        OSTREL_SLOT("nhcue1", "nhcue2", nhcue),
        OSTREL_SLOT("loop1a", "loop2a", loopa),
        OSTREL_SLOT("loop1b", "loop2b", loopb),
        OSTREL_SLOT("loop1reloop", "loop2reloop", loopreloop),
        OSTREL_SLOT("r1", "l1", looplength[0]),
        OSTREL_SLOT("r2", "l2", looplength[1]),
        OSTREL_SLOT("r3", "l3", looplength[2]),
        OSTREL_SLOT("r4", "l4", looplength[3]),
        OSTREL_SLOT("r5", "l5", looplength[4]),
        OSTREL_SLOT("r6", "l6", looplength[5]),
        OSTREL_SLOT("r7", "l7", looplength[6]),
        OSTREL_SLOT("r8", "l8", looplength[7]),
        OSTREL_SLOT("kh1", "kh2", kh),
        OSTREL_SLOT("km1", "km2", km),
        OSTREL_SLOT("kb1", "kb2", kb),
        OSTREL_SLOT("heada", "headb", head),
        OSTREL_SLOT("headaa", "headbb", headhidden),
        OSTREL_SLOT("echo", "echo2", echo),
        OSTREL_SLOT("flange", "flange2", flange),
        OSTREL_SLOT("wah", "wah2", wah),
        OSTREL_SLOT("t1", "t12", beat[0]),
        OSTREL_SLOT("t2", "t22", beat[1]),
        OSTREL_SLOT("t3", "t32", beat[2]),
        OSTREL_SLOT("t4", "t42", beat[3]),
        OSTREL_SLOT("t5", "t52", beat[4]),
    };
    return table;
}

const std::vector<DeckControls::Slot<PositionView>>& DeckControls::positionSlots()
{
    static const std::vector<Slot<PositionView>> table = {
        OSTREL_SLOT("trackfrequency", "trackfrequency2", trackfrequency),
        OSTREL_SLOT("dmcslider1", "dmcslider2", dmcslider),
        OSTREL_SLOT("trackvolume", "trackvolume2", trackvolume),
        OSTREL_SLOT("gain1", "gain2", gain),
        OSTREL_SLOT("tre1", "tre2", tre),
        OSTREL_SLOT("mid1", "mid2", mid),
        OSTREL_SLOT("bas1", "bas2", bas),
        OSTREL_SLOT("volhead1", "volhead2", volhead),
        OSTREL_SLOT("dry1", "dry2", dry),
        OSTREL_SLOT("wet1", "wet2", wet),
    };
    return table;
}

const std::vector<DeckControls::Slot<LabelView>>& DeckControls::labelSlots()
{
    static const std::vector<Slot<LabelView>> table = {
        OSTREL_SLOT("artist1", "artist2", artist),
        OSTREL_SLOT("title1", "title2", title),
        OSTREL_SLOT("track1", "track2", track),
        OSTREL_SLOT("lpitp1", "lpitp2", lpitp),
        OSTREL_SLOT("LFX1", "lfx2", lfx),
        OSTREL_SLOT("lbpm1", "lbpm2", lbpm),
        OSTREL_SLOT("lpit1", "lpit2", lpit),
        OSTREL_SLOT("lelapsed1", "lelapsed2", lelapsed),
        OSTREL_SLOT("lremain1", "lremain2", lremain),
    };
    return table;
}

const std::vector<DeckControls::Slot<ControlView>>& DeckControls::controlSlots()
{
    static const std::vector<Slot<ControlView>> table = {
        OSTREL_SLOT("panelwheel1", "panelwheel2", panelwheel),
        OSTREL_SLOT("display1grande", "display2grande", displaygrande),
        OSTREL_SLOT("displaypeq1", "displaypeq2", displaypeq),
        OSTREL_SLOT("progres1", "progres2", progres),
        OSTREL_SLOT("pro1", "pro2", pro),
    };
    return table;
}
