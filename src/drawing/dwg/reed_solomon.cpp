// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/reed_solomon.h"

#include <array>
#include <cstdint>

namespace drawing::dwg {

namespace {

// Arithmetic in GF(256) over one primitive polynomial.
struct Field {
    std::array<std::uint8_t, 512> exp{};
    std::array<int, 256> log{};

    constexpr explicit Field(unsigned polynomial) {
        unsigned x = 1;
        for (int i = 0; i < 255; ++i) {
            exp[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(x);
            log[x] = i;
            x <<= 1;
            if (x & 0x100) x ^= polynomial;
        }
        for (std::size_t i = 255; i < 512; ++i) exp[i] = exp[i - 255];
    }
};

// x^8 + x^6 + x^5 + x^3 + 1 for system pages, x^8 + x^4 + x^3 + x^2 + 1 for data pages.
constexpr Field kSystemField(0x169);
constexpr Field kDataField(0x11D);

constexpr std::size_t kMaxRoots =
    kReedSolomonWord - reedSolomonDataSize(ReedSolomonCode::SystemPage);

// times[r - 1][x] is x * alpha^r: one lookup for each step of Horner's rule.
using RootTables = std::array<std::array<std::uint8_t, 256>, kMaxRoots>;

constexpr RootTables rootTables(const Field& field) {
    RootTables tables{};
    for (std::size_t r = 0; r < kMaxRoots; ++r)
        for (unsigned x = 1; x < 256; ++x)
            tables[r][x] = field.exp[static_cast<std::size_t>(field.log[x]) + r + 1];
    return tables;
}

constexpr RootTables kSystemTimes = rootTables(kSystemField);
constexpr RootTables kDataTimes = rootTables(kDataField);

// Whether one code word evaluates to zero at alpha^1 .. alpha^Roots; all syndromes are
// computed together, so each byte is fetched once.
template <std::size_t Roots>
bool wordValid(const unsigned char* word, std::size_t stride, const RootTables& times) {
    std::array<std::uint8_t, Roots> sums{};
    // Byte i is the coefficient of x^i: Horner from the top byte down.
    for (std::size_t i = kReedSolomonWord; i-- > 0;) {
        const std::uint8_t byte = word[i * stride];
        for (std::size_t r = 0; r < Roots; ++r)
            sums[r] = static_cast<std::uint8_t>(times[r][sums[r]] ^ byte);
    }
    std::uint8_t any = 0;
    for (const std::uint8_t sum : sums) any |= sum;
    return any == 0;
}

}  // namespace

std::string deinterleaveReedSolomon(std::string_view encoded, std::size_t factor,
                                    ReedSolomonCode code) {
    const std::size_t k = reedSolomonDataSize(code);
    std::string data;
    if (factor == 0 || encoded.size() / kReedSolomonWord < factor) return data;
    data.resize(factor * k);
    std::size_t out = 0;
    for (std::size_t word = 0; word < factor; ++word)
        for (std::size_t i = 0; i < k; ++i) data[out++] = encoded[word + i * factor];
    return data;
}

bool reedSolomonWordsValid(std::string_view encoded, std::size_t factor, ReedSolomonCode code) {
    if (factor == 0 || encoded.size() / kReedSolomonWord < factor) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(encoded.data());
    constexpr std::size_t kDataRoots =
        kReedSolomonWord - reedSolomonDataSize(ReedSolomonCode::DataPage);
    for (std::size_t word = 0; word < factor; ++word) {
        const bool valid = code == ReedSolomonCode::SystemPage
                               ? wordValid<kMaxRoots>(bytes + word, factor, kSystemTimes)
                               : wordValid<kDataRoots>(bytes + word, factor, kDataTimes);
        if (!valid) return false;
    }
    return true;
}

}  // namespace drawing::dwg
