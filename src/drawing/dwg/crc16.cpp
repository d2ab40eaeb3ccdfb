// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/crc16.h"

#include <array>
#include <cstddef>

namespace drawing::dwg {

namespace {

// tables[0] is the usual byte table; tables[k][i] is the CRC of byte i followed by k zero
// bytes, so eight bytes are folded in with eight independent lookups.
constexpr std::array<std::array<std::uint16_t, 256>, 8> makeTables() {
    std::array<std::array<std::uint16_t, 256>, 8> tables{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xA001u : value >> 1;
        tables[0][i] = static_cast<std::uint16_t>(value);
    }
    for (std::size_t k = 1; k < tables.size(); ++k)
        for (unsigned i = 0; i < 256; ++i)
            tables[k][i] = static_cast<std::uint16_t>((tables[k - 1][i] >> 8) ^
                                                      tables[0][tables[k - 1][i] & 0xFFu]);
    return tables;
}

constexpr auto kTables = makeTables();

}  // namespace

std::uint16_t crc16(std::string_view bytes, std::uint16_t seed) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t size = bytes.size();
    unsigned crc = seed;
    for (; size >= 8; size -= 8, data += 8) {
        crc = kTables[7][(crc ^ data[0]) & 0xFFu] ^ kTables[6][((crc >> 8) ^ data[1]) & 0xFFu] ^
              kTables[5][data[2]] ^ kTables[4][data[3]] ^ kTables[3][data[4]] ^
              kTables[2][data[5]] ^ kTables[1][data[6]] ^ kTables[0][data[7]];
    }
    for (; size > 0; --size, ++data) crc = (crc >> 8) ^ kTables[0][(crc ^ *data) & 0xFFu];
    return static_cast<std::uint16_t>(crc);
}

}  // namespace drawing::dwg
