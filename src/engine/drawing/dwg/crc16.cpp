#include "engine/drawing/dwg/crc16.h"

#include <array>

namespace drawing::dwg {

namespace {

constexpr std::array<std::uint16_t, 256> makeTable() {
    std::array<std::uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned value = i;
        for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xA001u : value >> 1;
        table[i] = static_cast<std::uint16_t>(value);
    }
    return table;
}

constexpr auto kTable = makeTable();

}  // namespace

std::uint16_t crc16(std::string_view bytes, std::uint16_t seed) {
    unsigned crc = seed;
    for (const char c : bytes)
        crc = (crc >> 8) ^ kTable[(crc ^ static_cast<unsigned char>(c)) & 0xFFu];
    return static_cast<std::uint16_t>(crc);
}

}  // namespace drawing::dwg
