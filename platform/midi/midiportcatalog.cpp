#include "platform/midi/midiportcatalog.h"

#include <cctype>
#include <map>

namespace midi {

namespace {

// RtMidi's ALSA names end in " client:port" (" 14:0"); that part moves with the order of plugging.
std::string stripAlsaNumbers(const std::string& raw)
{
    size_t i = raw.size();
    const auto digits = [&](size_t& at) {
        const size_t end = at;
        while (at > 0 && std::isdigit(static_cast<unsigned char>(raw[at - 1]))) --at;
        return at < end;
    };
    if (!digits(i) || i == 0 || raw[i - 1] != ':') return raw;
    --i;
    if (!digits(i) || i == 0 || raw[i - 1] != ' ') return raw;
    return raw.substr(0, i - 1);
}

std::string clientPart(const std::string& name)
{
    const size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(0, colon);
}

}  // namespace

std::string MidiPortCatalog::productName(Api api, const std::string& rawName)
{
    return api == Api::Alsa ? stripAlsaNumbers(rawName) : clientPart(rawName);
}

bool MidiPortCatalog::isOwnPort(Api api, const std::string& rawName)
{
    return clientPart(productName(api, rawName)).rfind(kOurClient, 0) == 0;
}

std::vector<ListedPort> MidiPortCatalog::list(const std::vector<std::string>& alsa,
                                              const std::vector<std::string>& jack)
{
    std::vector<ListedPort> out;
    std::map<std::string, int> seen;
    const auto add = [&](Api api, const std::vector<std::string>& names) {
        for (unsigned i = 0; i < names.size(); ++i) {
            if (isOwnPort(api, names[i])) continue;
            ListedPort p;
            p.api = api;
            p.rawIndex = i;
            p.rawName = names[i];
            p.product = productName(api, names[i]);
            p.productIndex = seen[p.product]++;
            p.listedName = p.product + std::to_string(p.productIndex);
            out.push_back(std::move(p));
        }
    };
    add(Api::Alsa, alsa);
    add(Api::Jack, jack);
    return out;
}

int MidiPortCatalog::findProduct(const std::vector<ListedPort>& ports, const std::string& product)
{
    for (size_t i = 0; i < ports.size(); ++i)
        if (ports[i].product == product) return int(i);
    return -1;
}

int MidiPortCatalog::position(const std::vector<ListedPort>& ports, const ListedPort& port)
{
    for (size_t i = 0; i < ports.size(); ++i)
        if (ports[i].api == port.api && ports[i].rawIndex == port.rawIndex && ports[i].rawName == port.rawName)
            return int(i);
    return -1;
}

std::vector<ListedPort> MidiPortCatalog::inputs(Backend& backend)
{
    return list(backend.inputNames(Api::Alsa), backend.inputNames(Api::Jack));
}

std::vector<ListedPort> MidiPortCatalog::outputs(Backend& backend)
{
    return list(backend.outputNames(Api::Alsa), backend.outputNames(Api::Jack));
}

std::pair<std::vector<ListedPort>, std::vector<ListedPort>> MidiPortCatalog::inputsAndOutputs(Backend& backend)
{
    std::vector<std::string> alsaIn, alsaOut, jackIn, jackOut;
    backend.portNames(Api::Alsa, alsaIn, alsaOut);
    backend.portNames(Api::Jack, jackIn, jackOut);
    return {list(alsaIn, jackIn), list(alsaOut, jackOut)};
}

}  // namespace midi
