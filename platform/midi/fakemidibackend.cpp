#include "platform/midi/fakemidibackend.h"

namespace midi {

class FakeMidiBackend::FakeInput : public Backend::Input {
public:
    FakeInput(FakeMidiBackend& b, int id) : b_(b), id_(id) {}
    ~FakeInput() override
    {
        std::lock_guard<std::recursive_mutex> l(b_.m_);
        b_.open_.erase(id_);
    }

private:
    FakeMidiBackend& b_;
    int id_;
};

class FakeMidiBackend::FakeOutput : public Backend::Output {
public:
    FakeOutput(FakeMidiBackend& b, Api api, unsigned index) : b_(b), api_(api), index_(index) {}
    ~FakeOutput() override
    {
        std::lock_guard<std::recursive_mutex> l(b_.m_);
        --b_.openOutputs_;
    }
    bool send(const uint8_t* bytes, size_t size, std::string*) override
    {
        std::lock_guard<std::recursive_mutex> l(b_.m_);
        b_.sent_[{api_, index_}].emplace_back(bytes, bytes + size);
        return true;
    }

private:
    FakeMidiBackend& b_;
    Api api_;
    unsigned index_;
};

void FakeMidiBackend::setInputs(Api api, std::vector<std::string> names)
{
    std::lock_guard<std::recursive_mutex> l(m_);
    inputs_[api] = std::move(names);
}

void FakeMidiBackend::setOutputs(Api api, std::vector<std::string> names)
{
    std::lock_guard<std::recursive_mutex> l(m_);
    outputs_[api] = std::move(names);
}

void FakeMidiBackend::setRefuseOpens(bool refuse)
{
    std::lock_guard<std::recursive_mutex> l(m_);
    refuse_ = refuse;
}

std::vector<std::string> FakeMidiBackend::inputNames(Api api)
{
    std::lock_guard<std::recursive_mutex> l(m_);
    return inputs_[api];
}

std::vector<std::string> FakeMidiBackend::outputNames(Api api)
{
    std::lock_guard<std::recursive_mutex> l(m_);
    return outputs_[api];
}

std::unique_ptr<Backend::Input> FakeMidiBackend::openInput(Api api, unsigned index, const std::string& name,
                                                           InputCallback callback, void* user, std::string* error)
{
    std::lock_guard<std::recursive_mutex> l(m_);
    const auto& names = inputs_[api];
    if (refuse_ || index >= names.size() || names[index] != name) {
        if (error) *error = refuse_ ? "the device refused to open" : "the port " + name + " is gone";
        return nullptr;
    }
    const int id = nextId_++;
    open_[id] = OpenInput{api, index, callback, user};
    return std::make_unique<FakeInput>(*this, id);
}

std::unique_ptr<Backend::Output> FakeMidiBackend::openOutput(Api api, unsigned index, const std::string& name,
                                                             std::string* error)
{
    std::lock_guard<std::recursive_mutex> l(m_);
    const auto& names = outputs_[api];
    if (refuse_ || index >= names.size() || names[index] != name) {
        if (error) *error = refuse_ ? "the device refused to open" : "the port " + name + " is gone";
        return nullptr;
    }
    ++openOutputs_;
    return std::make_unique<FakeOutput>(*this, api, index);
}

int FakeMidiBackend::deliver(Api api, unsigned index, const std::vector<uint8_t>& bytes)
{
    // held while the callbacks run, as a closing port waits for a running callback
    std::lock_guard<std::recursive_mutex> l(m_);
    int n = 0;
    for (const auto& [id, in] : open_) {
        if (in.api != api || in.index != index) continue;
        in.callback(in.user, bytes.data(), bytes.size());
        ++n;
    }
    return n;
}

std::vector<std::vector<uint8_t>> FakeMidiBackend::sent(Api api, unsigned index) const
{
    std::lock_guard<std::recursive_mutex> l(m_);
    const auto it = sent_.find({api, index});
    return it == sent_.end() ? std::vector<std::vector<uint8_t>>{} : it->second;
}

int FakeMidiBackend::openInputCount() const
{
    std::lock_guard<std::recursive_mutex> l(m_);
    return int(open_.size());
}

int FakeMidiBackend::openOutputCount() const
{
    std::lock_guard<std::recursive_mutex> l(m_);
    return openOutputs_;
}

}  // namespace midi
