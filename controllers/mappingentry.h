// One entry of a controller mapping table: seven integers whose meaning depends on the table.
// Input tables: [0] control code, [1] kind, [2] sensitivity, [3] range, [4] rangelo, [5] rangeup,
// [6] direct flag (1 plain, 0 inverted). Output tables: [0] the MIDI key, [1] the status, [2..5].
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

using MappingEntry = std::array<int32_t, 7>;

// Fields 0 to 5 of every entry cleared, field 6 kept: what each definition load does first. The
// fuzz build traces every compare for coverage; the MIDI tables' 65,536 would dominate each run.
template <typename Table>
#if defined(__clang__)
__attribute__((no_sanitize("coverage")))
#endif
void clearFields0to5(Table& table)
{
    for (MappingEntry& e : table) std::fill(e.begin(), e.begin() + 6, 0);
}
