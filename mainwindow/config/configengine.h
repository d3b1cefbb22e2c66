// What the configuration dialog needs of the engine: the live configuration it edits, the
// device lists it offers, the recording input in use, and the stop of the decks before a
// device change. AudiobaseConfigEngine is the engine's; tests have a fake.
//
// Device positions: an ALSA ("DirectSound") list position p is the engine's device p + 1 (device
// 0, the no-sound device, is never listed); a JACK ("ASIO") position is the device's own number.
// A position outside a list reads as an empty name and no channels.
#pragma once

#include <QString>
#include <QStringList>

class PSoundConfig;

class ConfigEngine {
  public:
    virtual ~ConfigEngine() = default;

    virtual PSoundConfig& soundcfg() = 0;

    // JACK devices 0..asiodevices (listaasio) and their connected outputs (listaasiooutcha)
    virtual QStringList asioNames() const = 0;
    virtual int asioOutputs(int position) const = 0;
    // ALSA output devices 1..dsdevices (listads) and their speaker counts (listadsoutcha),
    // both by list position
    virtual QStringList dsNames() const = 0;
    virtual int dsOutputs(int position) const = 0;
    // recording devices 0..dsrdevices (listards) and the one in use (recds)
    virtual QStringList recordNames() const = 0;
    virtual int recds() const = 0;
    virtual void setRecds(int position) = 0;

    // the decks were stopped for a device change (stoppedcarga)
    virtual bool stoppedcarga() const = 0;
    virtual void stopcargas() = 0;
    // read the ALSA (with the recording devices) and the JACK lists again
    virtual void dameds() = 0;
    virtual void dameasio() = 0;
};
