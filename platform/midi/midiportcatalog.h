// The MIDI ports as the configuration lists and stores them: the ALSA ports, then the JACK ports,
// without this program's own. A port's product name is, for ALSA, "client:port" without the
// numbers RtMidi appends, and for JACK the client name (the text before the first ':'), so a
// device's input and output share it. Its listed name is the product name followed by its index
// among the listed ports of that product name: "ctl0", "Midi Through:Midi Through Port-01".
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/midi/midibackend.h"

namespace midi {

struct ListedPort {
    Api api = Api::Alsa;
    unsigned rawIndex = 0;  // index in the API's own list, which counts our ports too
    std::string rawName;
    std::string product;
    int productIndex = 0;
    std::string listedName;
};

class MidiPortCatalog {
public:
    static std::vector<ListedPort> inputs(Backend& backend);
    static std::vector<ListedPort> outputs(Backend& backend);
    // Both at one look of each service (Backend::portNames): the first holds the inputs.
    static std::pair<std::vector<ListedPort>, std::vector<ListedPort>> inputsAndOutputs(Backend& backend);

    // The position of the first port of product name `product`, or of `port` itself; -1 for none.
    static int findProduct(const std::vector<ListedPort>& ports, const std::string& product);
    static int position(const std::vector<ListedPort>& ports, const ListedPort& port);

    static std::string productName(Api api, const std::string& rawName);
    static bool isOwnPort(Api api, const std::string& rawName);

private:
    static std::vector<ListedPort> list(const std::vector<std::string>& alsa, const std::vector<std::string>& jack);
};

}  // namespace midi
