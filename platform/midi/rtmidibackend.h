// The MIDI service: ALSA sequencer ports through RtMidi, JACK MIDI ports on libjack itself (see
// jackmidiports.h; RtMidi's JACK close lets a port go while its process callback may still use it).
// Every RtMidi object is made with its API named and gets an error callback at once, so nothing it
// reports reaches standard error or escapes as an exception; a failed call leaves that port closed
// and returns the reason. Timing clock and active sensing are passed on; system exclusive input is not.
#pragma once

#include "platform/midi/midibackend.h"

namespace midi {

class RtMidiBackend : public Backend {
public:
    static RtMidiBackend& instance();

    std::vector<std::string> inputNames(Api api) override;
    std::vector<std::string> outputNames(Api api) override;
    void portNames(Api api, std::vector<std::string>& inputs, std::vector<std::string>& outputs) override;
    std::unique_ptr<Input> openInput(Api api, unsigned index, const std::string& name, InputCallback callback,
                                     void* user, std::string* error) override;
    std::unique_ptr<Output> openOutput(Api api, unsigned index, const std::string& name,
                                       std::string* error) override;

private:
    RtMidiBackend();
};

}  // namespace midi
