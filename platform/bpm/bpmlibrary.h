// The tempo libraries the engine and the peaks workers load by name: "ostrellibrary" and
// "ostrellibrary2" (the engine's, deck A and B) and "ostrel1", "ostrel2" (the workers' own).
// Each name is one independent analyser for the whole process, however often it is loaded;
// a trailing ".dll" is ignored. Every call is thread-safe.
//
// Decode(block, count): the engine's libraries count 16-bit values, the workers' own count
// bytes, so that both read the same 4096-byte block the worker hands them. A count that is
// not positive does nothing.
#pragma once

#include <memory>
#include <mutex>

#include <QString>

#include "platform/bpm/bpmentrypoints.h"
#include "platform/bpm/tempoanalyser.h"

class BpmLibrary {
public:
    // nullptr when no library of that name exists.
    static std::shared_ptr<BpmLibrary> load(const QString& name);

    // The entry point "Init", "Decode" or "DameBpm"; an empty function for any other name.
    BpmEntryPoints lookup(const QString& entry);
    BpmEntryPoints all();

    QString name() const { return name_; }

    int Init(int channels, int rate);
    int Decode(const int16_t* block, int count);
    float DameBpm();

    BpmLibrary(const QString& name, bool countsBytes);

private:
    QString name_;
    bool countsBytes_;
    std::mutex m_;
    TempoAnalyser analyser_;
};
