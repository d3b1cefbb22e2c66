// Fuzz target: any bytes as a report descriptor. The lengths it gives must stay within what the
// descriptor can describe.
#include <cstdlib>

#include "platform/hid/reportdescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto lengths = hid::parseReportDescriptor(data, size);
    if (lengths && (lengths->input < 0 || lengths->output < 0 || lengths->input > 64 * 1024 + 1 ||
                    lengths->output > 64 * 1024 + 1))
        std::abort();
    return 0;
}
