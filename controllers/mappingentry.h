// One entry of a controller mapping table: seven integers whose meaning depends on the table.
// Input tables: [0] control code, [1] kind, [2] sensitivity, [3] range, [4] rangelo, [5] rangeup,
// [6] direct flag (1 plain, 0 inverted). Output tables: [0] the MIDI key, [1] the status, [2..5].
#pragma once

#include <array>
#include <cstdint>

using MappingEntry = std::array<int32_t, 7>;
