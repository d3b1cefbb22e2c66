#include "platform/hid/reportdescriptor.h"

#include <array>
#include <map>
#include <vector>

namespace hid {

namespace {

struct Globals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

constexpr int kMaxPush = 32;
constexpr uint64_t kMaxReportBits = 64 * 1024 * 8;

// item types and tags (HID 1.11, 6.2.2)
constexpr int kMain = 0, kGlobal = 1;
constexpr int kInput = 8, kOutput = 9;
constexpr int kReportSize = 7, kReportId = 8, kReportCount = 9, kPush = 10, kPop = 11;
constexpr uint8_t kLongItem = 0xFE;

int bytesOf(uint64_t bits) { return int((bits + 7) / 8) + 1; }

}  // namespace

std::optional<ReportLengths> parseReportDescriptor(const uint8_t* bytes, size_t size)
{
    Globals g;
    std::vector<Globals> stack;
    // bits per report ID, input and output
    std::map<uint32_t, uint64_t> bits[2];
    ReportLengths out;

    size_t i = 0;
    while (i < size) {
        const uint8_t prefix = bytes[i];
        if (prefix == kLongItem) {
            if (size - i < 3) return std::nullopt;
            const size_t dataSize = bytes[i + 1];
            if (size - i - 3 < dataSize) return std::nullopt;
            i += 3 + dataSize;
            continue;
        }
        static constexpr std::array<size_t, 4> kSizes = {0, 1, 2, 4};
        const size_t n = kSizes[prefix & 3];
        if (size - i - 1 < n) return std::nullopt;
        uint32_t data = 0;
        for (size_t k = 0; k < n; ++k) data |= uint32_t(bytes[i + 1 + k]) << (8 * k);
        i += 1 + n;
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;

        if (type == kGlobal) {
            switch (tag) {
            case kReportSize: g.reportSize = data; break;
            case kReportCount: g.reportCount = data; break;
            case kReportId:
                if (data == 0 || data > 255) return std::nullopt;
                g.reportId = data;
                out.numbered = true;
                break;
            case kPush:
                if (stack.size() >= kMaxPush) return std::nullopt;
                stack.push_back(g);
                break;
            case kPop:
                if (stack.empty()) return std::nullopt;
                g = stack.back();
                stack.pop_back();
                break;
            default: break;
            }
        } else if (type == kMain && (tag == kInput || tag == kOutput)) {
            uint64_t& b = bits[tag == kInput ? 0 : 1][g.reportId];
            b += uint64_t(g.reportSize) * g.reportCount;
            if (b > kMaxReportBits) return std::nullopt;
        }
    }

    for (int kind = 0; kind < 2; ++kind) {
        int longest = 0;
        for (const auto& [id, b] : bits[kind]) longest = std::max(longest, bytesOf(b));
        (kind == 0 ? out.input : out.output) = longest;
    }
    return out;
}

}  // namespace hid
