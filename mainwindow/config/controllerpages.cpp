#include "mainwindow/config/controllerpages.h"

#include <algorithm>

#include <QDir>

#include "controllers/profilepath.h"
#include "engine/psoundconfig.h"
#include "mainwindow/config/confighiddriver.h"
#include "mainwindow/config/midiportreader.h"
#include "mainwindow/config/pendingchoices.h"

namespace {

// the definition files of a folder: "*.xml" whatever its case, upper-cased, extension included
QStringList definitionFiles(const QString& folder) {
    QStringList out;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists()) return out;
    const QStringList names =
        dir.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::Readable, QDir::Name | QDir::IgnoreCase);
    for (const QString& n : names)
        out << n.toUpper();
    return out;
}

bool isPortList(ControllerPages::List l) {
    return l == ControllerPages::listview1 || l == ControllerPages::ListView4 ||
           l == ControllerPages::ListView7 || l == ControllerPages::ListView9;
}

} // namespace

ControllerPages::ControllerPages(ConfigMidiPorts* midi, MidiPortReader* reader, ConfigHidDriver* hid,
                                 PendingChoices& pending, PSoundConfig& config, const QString& profile)
    : midi_(midi), reader_(reader), hid_(hid), pending_(pending), cfg_(config), profile_(profile) {
    attached_.fill(true);
}

ControllerPages::~ControllerPages() {
    stopReading();
}

void ControllerPages::detach() {
    for (List l : {listview1, ListView3, ListView5, ListView4, ListView6, ListView7})
        attached_[size_t(l)] = false;
}

void ControllerPages::attach() {
    attached_.fill(true);
}

QString& ControllerPages::pendingOf(List l) {
    switch (l) {
    case listview1:
        return pending_.portconin;
    case ListView3:
        return pending_.controladora;
    case ListView4:
        return pending_.portconin2;
    case ListView5:
        return pending_.controladora2;
    case ListView6:
        return pending_.nhid;
    case ListView7:
        return pending_.porthid;
    case ListView8:
        return pending_.nhid2;
    case ListView9:
    default:
        return pending_.porthid2;
    }
}

ControllerPages::List ControllerPages::partner(List l) {
    switch (l) {
    case listview1:
        return ListView4;
    case ListView4:
        return listview1;
    case ListView7:
        return ListView9;
    case ListView9:
        return ListView7;
    default:
        return l;
    }
}

void ControllerPages::setCheck(List l, int index, bool on) {
    CheckList& c = list(l);
    if (index < 0 || index >= c.size() || c.checked[size_t(index)] == on) return;
    c.checked[size_t(index)] = on;
    if (attached_[size_t(l)]) change(l, index);
}

// the other entries' marks cleared without running the handler
void ControllerPages::checkOnly(List l, int index) {
    CheckList& c = list(l);
    for (int j = 0; j < c.size(); ++j)
        if (j != index) c.checked[size_t(j)] = false;
}

void ControllerPages::change(List l, int index) {
    CheckList& c = list(l);
    QString& pending = pendingOf(l);
    const bool checked = c.isChecked(index);
    if (isPortList(l)) {
        if (l == listview1 || l == ListView4) pending.clear();
        if (!checked) {
            pending.clear();
            return;
        }
        pending = c.items[index];
        checkOnly(l, index);
        // one port or device cannot serve both controllers
        if (list(partner(l)).isChecked(index)) setCheck(l, index, false);
        return;
    }
    // a map list: unchecking keeps the last checked file as the choice
    if (!checked) return;
    pending = c.items[index];
    checkOnly(l, index);
}

// ---- fills

void ControllerPages::refreshHidDevices() {
    if (!hid_) return;
    hid_->limpialista();
    hid_->Enumerate();
}

void ControllerPages::fillMaps() {
    list(ListView3).clear();
    list(ListView5).clear();
    for (const QString& f : definitionFiles(ProfilePath::find(profile_, QStringLiteral("devices")))) {
        list(ListView3).add(f);
        list(ListView5).add(f);
    }
    const int i = list(ListView3).indexOf(cfg_.controler);
    if (i >= 0) {
        setCheck(ListView3, i, true);
        pending_.controladora = cfg_.controler;
    }
    const int j = list(ListView5).indexOf(cfg_.controler2);
    if (j >= 0) {
        setCheck(ListView5, j, true);
        pending_.controladora2 = cfg_.controler2;
    }
}

void ControllerPages::fillHidMaps() {
    list(ListView6).clear();
    list(ListView8).clear();
    for (const QString& f : definitionFiles(ProfilePath::find(profile_, QStringLiteral("devices/HID")))) {
        list(ListView6).add(f);
        list(ListView8).add(f);
    }
    const int i = list(ListView6).indexOf(cfg_.hid);
    if (i >= 0) {
        setCheck(ListView6, i, true);
        pending_.nhid = cfg_.hid;
    }
    const int j = list(ListView8).indexOf(cfg_.hid2);
    if (j >= 0) {
        setCheck(ListView8, j, true);
        if (list(ListView8).isChecked(j)) pending_.nhid2 = cfg_.hid2;
    }
}

void ControllerPages::fillHidDevices() {
    list(ListView7).clear();
    list(ListView9).clear();
    if (!hid_) return;
    for (const QString& name : hid_->lista()) {
        if (name.isEmpty()) continue;
        list(ListView7).add(name);
        list(ListView9).add(name);
    }
    const int i = list(ListView7).indexOf(cfg_.porthid);
    if (i >= 0) {
        setCheck(ListView7, i, true);
        pending_.porthid = cfg_.porthid;
    }
    const int j = list(ListView9).indexOf(cfg_.porthid2);
    if (j >= 0) {
        setCheck(ListView9, j, true);
        if (list(ListView9).isChecked(j)) pending_.porthid2 = cfg_.porthid2;
    }
}

void ControllerPages::fillCreation() {
    if (midi_) midi_->closeFirstInput();
    fillMaps();
    fillHidMaps();
    fillHidDevices();
}

void ControllerPages::readMidiPorts(PortFill fill) {
    if (readingPorts()) {
        fill_ = std::max(fill_, fill);
        return;
    }
    if (!midi_ || !reader_) {
        takePorts(midi_ ? midi_->readPorts() : MidiPortList{}, fill);
        return;
    }
    fill_ = fill;
    ticket_ = reader_->request([this](const MidiPortList& inputs) {
        ticket_ = 0;
        takePorts(inputs, fill_);
        if (portsShown) portsShown();
    });
}

void ControllerPages::stopReading() {
    if (ticket_ && reader_) reader_->cancel(ticket_);
    ticket_ = 0;
}

CheckList ControllerPages::waitingList(List l) const {
    CheckList c;
    const QString port = stored(l);
    if (port.isEmpty() || port == QLatin1String("-")) {
        c.add(QStringLiteral("\u2026"));
        return c;
    }
    c.add(port);
    c.checked[0] = true;
    return c;
}

void ControllerPages::takePorts(const MidiPortList& inputs, PortFill fill) {
    if (fill != PortFill::creation && midi_) midi_->recreatePorts(inputs);
    fillMidiPorts(inputs, fill == PortFill::creation);
    portsListed_ = true;
    if (fill != PortFill::activation) return;
    const bool attached = attached_[size_t(listview1)];
    detach();
    checkStored(listview1);
    checkStored(ListView4);
    if (attached) attach();
}

void ControllerPages::fillMidiPorts(const MidiPortList& inputs, bool creation) {
    list(listview1).clear();
    list(ListView4).clear();
    selectable_.clear();
    if (midi_) {
        for (const MidiPortEntry& p : midi_->inputPorts(inputs)) {
            list(listview1).add(p.text);
            list(ListView4).add(p.text);
            selectable_.push_back(p.selectable);
        }
    }
    const int i = list(listview1).indexOf(pending_.portconin);
    if (i >= 0 && portSelectable(i)) {
        if (!creation) setCheck(listview1, i, true);
        if (creation || list(listview1).isChecked(i)) pending_.portconin = list(listview1).items[i];
    }
    const int j = list(ListView4).indexOf(pending_.portconin2);
    if (j >= 0 && portSelectable(j)) {
        setCheck(ListView4, j, true);
        if (list(ListView4).isChecked(j)) pending_.portconin2 = list(ListView4).items[j];
    }
}

QString ControllerPages::stored(List l) const {
    switch (l) {
    case listview1:
        return cfg_.portconin;
    case ListView4:
        return cfg_.portconin2;
    case ListView3:
        return cfg_.controler;
    case ListView5:
        return cfg_.controler2;
    case ListView6:
        return cfg_.hid;
    case ListView8:
        return cfg_.hid2;
    case ListView7:
        return cfg_.porthid;
    case ListView9:
    default:
        return cfg_.porthid2;
    }
}

void ControllerPages::checkStored(List l) {
    const QString s = stored(l);
    const int i = list(l).indexOf(s);
    if (i < 0) return;
    if ((l == listview1 || l == ListView4) && !portSelectable(i)) return;
    setCheck(l, i, true);
    if (!list(l).isChecked(i)) return; // refused by its handler: the other controller has it
    // a single-choice list shows one mark
    checkOnly(l, i);
    pendingOf(l) = s;
}

void ControllerPages::checkStored() {
    for (List l : {listview1, ListView4, ListView3, ListView5, ListView6, ListView8, ListView7, ListView9})
        checkStored(l);
}

// ---- buttons

void ControllerPages::JvHTButton12Click() {
    readMidiPorts(PortFill::refresh);
}

void ControllerPages::JvHTButton10Click() {
    if (hid_) {
        hid_->limpialista();
        if (busy) busy(true);
        hid_->Enumerate();
        fillHidDevices();
    }
    if (busy) busy(false);
}

// ---- OK

void ControllerPages::store() {
    pending_.nhid = list(ListView6).lastChecked();
    pending_.porthid = list(ListView7).lastChecked();
    pending_.nhid2 = list(ListView8).lastChecked();
    pending_.porthid2 = list(ListView9).lastChecked();
    for (QString* p :
         {&pending_.controladora, &pending_.portconin, &pending_.controladora2, &pending_.portconin2,
          &pending_.nhid, &pending_.porthid, &pending_.nhid2, &pending_.porthid2, &pending_.skin})
        if (p->isEmpty()) *p = QStringLiteral("-");
    cfg_.controler = pending_.controladora;
    cfg_.controler2 = pending_.controladora2;
    if (portsListed_) {
        cfg_.portconin = pending_.portconin;
        cfg_.portconin2 = pending_.portconin2;
    }
    cfg_.hid = pending_.nhid;
    cfg_.porthid = pending_.porthid;
    cfg_.hid2 = pending_.nhid2;
    cfg_.porthid2 = pending_.porthid2;
}
