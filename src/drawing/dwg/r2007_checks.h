// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The check values of AC1021 (R2007) files: 64-bit CRCs in two flavours, the seed updates
// that precede them, the 10-bit seed encoding and the 32-bit data page checksum. All of them
// visit the bytes of each 8-byte block in the order 6 7 4 5 2 3 0 1 (shorter tails likewise
// shuffled), as the writer's unrolled loops do.

#include <cstdint>
#include <string_view>

namespace drawing::dwg::r2007 {

// ECMA-182 polynomial, bits not reflected, result inverted: the file header's CRCs.
std::uint64_t normalCrc(std::string_view bytes, std::uint64_t seed);
// Reflected polynomial 0x95AC9329AC4BC9B5, result as is: system and data page CRCs.
std::uint64_t mirroredCrc(std::string_view bytes, std::uint64_t seed);

std::uint64_t updateSeed1(std::uint64_t seed, std::uint64_t length);
std::uint64_t updateSeed2(std::uint64_t seed, std::uint64_t length);

// The 10 data bits spread over an encoded 64-bit seed.
std::uint32_t decodeSeed(std::uint64_t encoded);

// The Adler-like checksum of a data page's uncompressed bytes.
std::uint32_t pageChecksum(std::string_view bytes, std::uint64_t seed);

}  // namespace drawing::dwg::r2007
