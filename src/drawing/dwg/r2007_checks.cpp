// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/r2007_checks.h"

#include <array>
#include <cstddef>

namespace drawing::dwg::r2007 {

namespace {

constexpr std::array<std::uint64_t, 256> normalTable() {
    std::array<std::uint64_t, 256> table{};
    for (std::uint64_t i = 0; i < 256; ++i) {
        std::uint64_t value = i << 56;
        for (int bit = 0; bit < 8; ++bit)
            value = (value >> 63) ? (value << 1) ^ 0x42F0E1EBA9EA3693ull : value << 1;
        table[i] = value;
    }
    return table;
}

constexpr std::array<std::uint64_t, 256> mirroredTable() {
    std::array<std::uint64_t, 256> table{};
    for (std::uint64_t i = 0; i < 256; ++i) {
        std::uint64_t value = i;
        for (int bit = 0; bit < 8; ++bit)
            value = (value & 1) ? (value >> 1) ^ 0x95AC9329AC4BC9B5ull : value >> 1;
        table[i] = value;
    }
    return table;
}

constexpr auto kNormal = normalTable();
constexpr auto kMirrored = mirroredTable();
static_assert(kMirrored[1] == 0x7AD870C830358979ull);

// The order in which the bytes of a block of 8, or of a tail of 1 to 7, are visited.
constexpr std::array<std::uint8_t, 8> kBlockOrder = {6, 7, 4, 5, 2, 3, 0, 1};
constexpr std::array<std::array<std::uint8_t, 7>, 8> kTailOrder = {{
    {},
    {0},
    {0, 1},
    {0, 1, 2},
    {2, 3, 0, 1},
    {2, 3, 0, 1, 4},
    {2, 3, 0, 1, 4, 5},
    {2, 3, 0, 1, 4, 5, 6},
}};

template <typename Visit>
void visitShuffled(std::string_view bytes, Visit&& visit) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t whole = bytes.size() & ~std::size_t{7};
    for (std::size_t block = 0; block < whole; block += 8)
        for (const std::uint8_t i : kBlockOrder) visit(data[block + i]);
    const std::size_t tail = bytes.size() - whole;
    for (std::size_t k = 0; k < tail; ++k) visit(data[whole + kTailOrder[tail][k]]);
}

}  // namespace

std::uint64_t normalCrc(std::string_view bytes, std::uint64_t seed) {
    std::uint64_t crc = seed;
    visitShuffled(bytes, [&crc](unsigned char byte) {
        crc = kNormal[(byte ^ (crc >> 56)) & 0xFF] ^ (crc << 8);
    });
    return ~crc;
}

std::uint64_t mirroredCrc(std::string_view bytes, std::uint64_t seed) {
    std::uint64_t crc = seed;
    visitShuffled(
        bytes, [&crc](unsigned char byte) { crc = kMirrored[(crc ^ byte) & 0xFF] ^ (crc >> 8); });
    return crc;
}

std::uint64_t updateSeed1(std::uint64_t seed, std::uint64_t length) {
    seed = (seed + length) * 0x343FDull + 0x269EC3ull;
    seed |= seed * (0x343FDull << 32) + (0x269EC3ull << 32);
    return ~seed;
}

std::uint64_t updateSeed2(std::uint64_t seed, std::uint64_t length) {
    seed = (seed + length) * 0x343FDull + 0x269EC3ull;
    seed = seed * ((1ull << 32) + 0x343FDull) + (length + 0x269EC3ull);
    return ~seed;
}

std::uint32_t decodeSeed(std::uint64_t encoded) {
    // Bit masks of the encoded value, from the lowest data bit up.
    constexpr std::array<std::uint64_t, 10> kBits = {
        0x8000000ull << 32, 0x200000ull << 32, 0x8000ull << 32, 0x200ull << 32, 0x8ull << 32,
        0x20000000ull,      0x800000ull,       0x20000ull,      0x800ull,       0x20ull};
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < kBits.size(); ++i)
        if (encoded & kBits[i]) value |= 1u << i;
    return value;
}

std::uint32_t pageChecksum(std::string_view bytes, std::uint64_t seed) {
    seed = (seed + bytes.size()) * 0x343FDull + 0x269EC3ull;
    std::uint64_t sum1 = seed & 0xFFFF;
    std::uint64_t sum2 = (seed >> 16) & 0xFFFF;
    // The sums are reduced after every chunk of 0x15B0 bytes (a multiple of 8, so the
    // shuffled order stays within a chunk).
    constexpr std::size_t kChunk = 0x15B0;
    for (std::size_t at = 0; at < bytes.size(); at += kChunk) {
        visitShuffled(bytes.substr(at, kChunk), [&](unsigned char byte) {
            sum1 += byte;
            sum2 += sum1;
        });
        sum1 %= 0xFFF1;
        sum2 %= 0xFFF1;
    }
    return static_cast<std::uint32_t>((sum2 << 16) | (sum1 & 0xFFFF));
}

}  // namespace drawing::dwg::r2007
