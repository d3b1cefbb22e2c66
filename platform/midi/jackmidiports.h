// JACK MIDI ports on libjack itself, one client per open port. A port is closed by deactivating
// its client first, which returns only once its process callback has finished and will not run
// again; only then are the port and the client let go. An output hands messages to the process
// callback through a lock-free ring and, when closed, waits (a bounded time) until what it was
// given has gone out.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/midi/midibackend.h"

namespace midi::jack {

// Raw port names in the server's order: the ports we can read from into *inputs and those we can
// write to into *outputs, at one look. Either may be null; both stay empty when no server answers.
void portNames(std::vector<std::string>* inputs, std::vector<std::string>* outputs);

// A port is found by its name alone: JACK's names are what identifies a port, while its place in
// the list moves as other clients come and go.
std::unique_ptr<Backend::Input> openInput(const std::string& name, Backend::InputCallback callback, void* user,
                                          std::string* error);
std::unique_ptr<Backend::Output> openOutput(const std::string& name, std::string* error);

}  // namespace midi::jack
