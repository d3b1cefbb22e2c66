// A MIDI service for tests and benches: port lists a test sets, inputs fed by deliver() on the
// calling thread (standing for the service's thread), outputs that record what was sent.
#pragma once

#include <map>
#include <mutex>
#include <vector>

#include "platform/midi/midibackend.h"

namespace midi {

class FakeMidiBackend : public Backend {
public:
    void setInputs(Api api, std::vector<std::string> names);
    void setOutputs(Api api, std::vector<std::string> names);
    // Every open from now on fails (a device that refuses to open).
    void setRefuseOpens(bool refuse);

    std::vector<std::string> inputNames(Api api) override;
    std::vector<std::string> outputNames(Api api) override;
    std::unique_ptr<Input> openInput(Api api, unsigned index, const std::string& name, InputCallback callback,
                                     void* user, std::string* error) override;
    std::unique_ptr<Output> openOutput(Api api, unsigned index, const std::string& name,
                                       std::string* error) override;

    // Hands `bytes` to every input open on raw port `index` of `api`; the number reached.
    int deliver(Api api, unsigned index, const std::vector<uint8_t>& bytes);
    // What the outputs opened on raw port `index` of `api` sent, in order.
    std::vector<std::vector<uint8_t>> sent(Api api, unsigned index) const;
    int openInputCount() const;
    int openOutputCount() const;

private:
    class FakeInput;
    class FakeOutput;
    struct OpenInput {
        Api api;
        unsigned index;
        InputCallback callback;
        void* user;
    };

    mutable std::recursive_mutex m_;
    std::map<Api, std::vector<std::string>> inputs_, outputs_;
    std::map<int, OpenInput> open_;
    std::map<std::pair<Api, unsigned>, std::vector<std::vector<uint8_t>>> sent_;
    int nextId_ = 0;
    int openOutputs_ = 0;
    bool refuse_ = false;
};

}  // namespace midi
