// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The LZ77 variant AC1021 (R2007) files compress their system and data pages with; unlike the
// R2004 one it stores literal runs with their bytes shuffled in blocks of up to 32.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace drawing::dwg {

// The bytes `compressed` expands to, at most `maxOutput` of them; nothing when the stream ends
// inside an instruction, refers back before the output's start or would exceed `maxOutput`.
std::optional<std::string> decompressR2007(std::string_view compressed, std::size_t maxOutput);

// A stream that decompressR2007() expands to `data` exactly. Data that does not repeat itself
// comes out a few bytes longer than it went in.
std::string compressR2007(std::string_view data);

}  // namespace drawing::dwg
