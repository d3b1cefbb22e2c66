#include "mainwindow/config/audiobaseconfigengine.h"

#include "engine/audiobase.h"

namespace {

template <class T> T at(const std::vector<T>& v, int i) {
    return i >= 0 && i < int(v.size()) ? v[size_t(i)] : T{};
}

} // namespace

PSoundConfig& AudiobaseConfigEngine::soundcfg() {
    return *adj.soundcfg;
}

QStringList AudiobaseConfigEngine::asioNames() const {
    QStringList l;
    for (int i = 0; i <= adj.asiodevices && i < int(adj.listaasio.size()); ++i)
        l << adj.listaasio[size_t(i)];
    return l;
}

int AudiobaseConfigEngine::asioOutputs(int position) const {
    return at(adj.listaasiooutcha, position);
}

QStringList AudiobaseConfigEngine::dsNames() const {
    QStringList l;
    for (int i = 1; i <= adj.dsdevices && i < int(adj.listads.size()); ++i)
        l << adj.listads[size_t(i)];
    return l;
}

int AudiobaseConfigEngine::dsOutputs(int position) const {
    return position < 0 ? 0 : at(adj.listadsoutcha, position + 1);
}

QStringList AudiobaseConfigEngine::recordNames() const {
    QStringList l;
    for (int i = 0; i <= adj.dsrdevices && i < int(adj.listards.size()); ++i)
        l << adj.listards[size_t(i)];
    return l;
}

int AudiobaseConfigEngine::recds() const {
    return adj.recds;
}

void AudiobaseConfigEngine::setRecds(int position) {
    adj.recds = position;
}

bool AudiobaseConfigEngine::stoppedcarga() const {
    return adj.stoppedcarga;
}

void AudiobaseConfigEngine::stopcargas() {
    adj.stopcargas();
}

void AudiobaseConfigEngine::dameds() {
    adj.dameds();
}

void AudiobaseConfigEngine::dameasio() {
    adj.dameasio();
}
