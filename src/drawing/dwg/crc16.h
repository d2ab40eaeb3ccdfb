// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The 16-bit check value DWG files put after the file header, each object map section and
// each object (CRC-16 with the polynomial 0x8005, bits reflected).

#include <cstdint>
#include <string_view>

namespace drawing::dwg {

std::uint16_t crc16(std::string_view bytes, std::uint16_t seed);

}  // namespace drawing::dwg
