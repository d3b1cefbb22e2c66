// What the controllers need of the system's MIDI service: the ports of each API by index and
// name, an input port that hands every short message to a callback on the service's thread, and
// an output port that sends bytes. RtMidiBackend is the real one, FakeMidiBackend the tests' one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace midi {

enum class Api { Alsa, Jack };

// The prefix of every client this program opens; ports of such clients are never listed.
inline constexpr const char* kOurClient = "ostrelkorvanta";

class Backend {
public:
    // Runs on the service's thread (for JACK inside the process cycle) for each message of 1 to 3
    // bytes. It must not block, allocate or take a lock held elsewhere.
    using InputCallback = void (*)(void* user, const uint8_t* bytes, size_t size);

    // An open input port; closing it (destroying it) returns only when no callback runs any more.
    class Input {
    public:
        virtual ~Input() = default;
    };

    class Output {
    public:
        virtual ~Output() = default;
        // False, with the reason in *error, when the service refused the message.
        virtual bool send(const uint8_t* bytes, size_t size, std::string* error) = 0;
    };

    virtual ~Backend() = default;

    // Raw port names of one API in the service's index order (ours included); empty when the API
    // is not available on this machine. Inputs are the ports we can read from.
    virtual std::vector<std::string> inputNames(Api api) = 0;
    virtual std::vector<std::string> outputNames(Api api) = 0;
    // Both lists of one API at one look, one client of the service where it can.
    virtual void portNames(Api api, std::vector<std::string>& inputs, std::vector<std::string>& outputs)
    {
        inputs = inputNames(api);
        outputs = outputNames(api);
    }

    // Opens raw port `index` of `api` when it still carries `name` (JACK, whose names identify its
    // ports, goes by the name alone); a port gone or renamed since it was listed, or any error of
    // the service, gives nullptr and the reason in *error.
    virtual std::unique_ptr<Input> openInput(Api api, unsigned index, const std::string& name,
                                             InputCallback callback, void* user, std::string* error) = 0;
    virtual std::unique_ptr<Output> openOutput(Api api, unsigned index, const std::string& name,
                                               std::string* error) = 0;
};

}  // namespace midi
