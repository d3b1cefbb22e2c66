#include "platform/hid/hidapibackend.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

#include <hidapi/hidapi.h>

#include "platform/hid/reportdescriptor.h"

namespace hid {

namespace {

std::string utf8(const wchar_t* w)
{
    std::string s;
    if (!w) return s;
    for (; *w; ++w) {
        const uint32_t c = uint32_t(*w);
        if (c < 0x80) {
            s += char(c);
        } else if (c < 0x800) {
            s += char(0xC0 | (c >> 6));
            s += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            s += char(0xE0 | (c >> 12));
            s += char(0x80 | ((c >> 6) & 0x3F));
            s += char(0x80 | (c & 0x3F));
        } else if (c < 0x110000) {
            s += char(0xF0 | (c >> 18));
            s += char(0x80 | ((c >> 12) & 0x3F));
            s += char(0x80 | ((c >> 6) & 0x3F));
            s += char(0x80 | (c & 0x3F));
        }
    }
    return s;
}

class HidapiDevice : public Device {
public:
    HidapiDevice(hid_device* handle, bool numbered) : handle_(handle), numbered_(numbered) {}
    ~HidapiDevice() override { hid_close(handle_); }

    int read(uint8_t* buffer, size_t size, int timeoutMs) override
    {
        if (size < 2) return 0;
        // an unnumbered report gets a leading 0, so byte positions count from the ID byte either way
        uint8_t* into = numbered_ ? buffer : buffer + 1;
        const size_t room = numbered_ ? size : size - 1;
        const int n = hid_read_timeout(handle_, into, room, timeoutMs);
        if (n <= 0) return n < 0 ? -1 : 0;
        if (numbered_) return n;
        buffer[0] = 0;
        return n + 1;
    }

    bool write(const uint8_t* bytes, size_t size) override { return hid_write(handle_, bytes, size) >= 0; }

private:
    hid_device* handle_;
    bool numbered_;
};

}  // namespace

HidapiBackend& HidapiBackend::instance()
{
    static HidapiBackend backend;
    return backend;
}

HidapiBackend::HidapiBackend() { initialised_ = hid_init() == 0; }

std::string HidapiBackend::descriptorPath(const std::string& node, const std::string& sysfsRoot)
{
    const size_t slash = node.find_last_of('/');
    const std::string name = slash == std::string::npos ? node : node.substr(slash + 1);
    return sysfsRoot + "/class/hidraw/" + name + "/device/report_descriptor";
}

void HidapiBackend::readLengths(const std::string& file, DeviceInfo& info)
{
    info.capsOk = false;
    info.inputLength = 10;
    info.outputLength = 0;
    info.numbered = false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return;
    // HID_MAX_DESCRIPTOR_SIZE is 4096; read one byte more to see a longer one
    std::vector<uint8_t> bytes(4097);
    in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(bytes.size()));
    const size_t n = size_t(in.gcount());
    if (n == 0 || n > 4096) return;
    const std::optional<ReportLengths> lengths = parseReportDescriptor(bytes.data(), n);
    if (!lengths) return;
    info.capsOk = true;
    info.inputLength = lengths->input;
    info.outputLength = lengths->output;
    info.numbered = lengths->numbered;
}

std::vector<DeviceInfo> HidapiBackend::enumerate()
{
    std::vector<DeviceInfo> list;
    if (!initialised_) return list;
    hid_device_info* all = hid_enumerate(0, 0);
    std::set<std::string> seen;  // one entry per node, whatever number of top-level usages it has
    for (hid_device_info* d = all; d; d = d->next) {
        if (!d->path || !seen.insert(d->path).second) continue;
        DeviceInfo info;
        info.path = d->path;
        info.product = utf8(d->product_string);
        readLengths(descriptorPath(info.path), info);
        list.push_back(std::move(info));
    }
    hid_free_enumeration(all);
    return list;
}

std::unique_ptr<Device> HidapiBackend::open(const DeviceInfo& info, std::string* error)
{
    if (!initialised_) {
        if (error) *error = "hidapi did not start";
        return nullptr;
    }
    hid_device* handle = hid_open_path(info.path.c_str());
    if (!handle) {
        if (error) *error = "cannot open " + info.path + ": " + std::strerror(errno);
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(handle, info.numbered);
}

}  // namespace hid
