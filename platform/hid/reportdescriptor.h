// A HID report descriptor read for the two lengths the controllers need: the largest input and
// the largest output report. Follows Push and Pop, skips long items. Untrusted bytes: every read
// is bounded by the descriptor's size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace hid {

struct ReportLengths {
    // the largest report of that kind in bytes, plus 1 for the ID byte; 0 when there is none
    int input = 0;
    int output = 0;
    bool numbered = false;  // a Report ID item was seen
};

// Nothing when the descriptor cannot be read: an item cut short by the end, a Pop with nothing
// pushed, pushes nested deeper than 32, a Report ID of 0 or above 255, or a report above 64 KiB.
std::optional<ReportLengths> parseReportDescriptor(const uint8_t* bytes, size_t size);

}  // namespace hid
