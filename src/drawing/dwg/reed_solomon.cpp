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

// The code words are c(x) = D(x) + x^k P(x), the data in the low coefficients. Read backwards,
// c'(x) = x^254 c(1/x) has the data on top and must vanish at alpha^-1 .. alpha^-Roots: the
// parity reversed is the remainder of the data (times x^Roots) by the product of (x - alpha^-j).
struct Generator {
    // The logarithms of the coefficients of x^0 .. x^(roots - 1), -1 for zero; x^roots has 1.
    std::array<int, kMaxRoots> logs{};
};

constexpr std::uint8_t times(const Field& field, std::uint8_t value, int log) {
    return value == 0 ? 0 : field.exp[static_cast<std::size_t>(field.log[value] + log)];
}

constexpr Generator generator(const Field& field, std::size_t roots) {
    // Product of (x + alpha^(255 - j)) for j = 1 .. roots, one factor at a time: the new
    // coefficient of x^i is the old one of x^(i - 1) plus the root times the old one of x^i.
    std::array<std::uint8_t, kMaxRoots + 1> product{};
    product[0] = 1;
    for (std::size_t j = 1; j <= roots; ++j) {
        const int root = static_cast<int>(255 - j);
        for (std::size_t i = j; i > 0; --i)
            product[i] = static_cast<std::uint8_t>(product[i - 1] ^ times(field, product[i], root));
        product[0] = times(field, product[0], root);
    }
    Generator result;
    for (std::size_t i = 0; i < roots; ++i)
        result.logs[i] = product[i] == 0 ? -1 : field.log[product[i]];
    return result;
}

constexpr std::size_t kDataRoots =
    kReedSolomonWord - reedSolomonDataSize(ReedSolomonCode::DataPage);
constexpr Generator kSystemGenerator = generator(kSystemField, kMaxRoots);
constexpr Generator kDataGenerator = generator(kDataField, kDataRoots);

// The parity of one word whose data bytes are word[i * stride], i < k, written after them.
template <std::size_t Roots>
void encodeWord(unsigned char* word, std::size_t stride, const Field& field,
                const Generator& generator) {
    constexpr std::size_t k = kReedSolomonWord - Roots;
    // Division by shifting: the data go in from the top coefficient of c' down.
    std::array<std::uint8_t, Roots> remainder{};
    for (std::size_t i = 0; i < k; ++i) {
        const std::uint8_t feedback =
            static_cast<std::uint8_t>(word[i * stride] ^ remainder.back());
        for (std::size_t r = Roots - 1; r > 0; --r) remainder[r] = remainder[r - 1];
        remainder[0] = 0;
        if (feedback == 0) continue;
        const int logFeedback = field.log[feedback];
        for (std::size_t r = 0; r < Roots; ++r)
            if (generator.logs[r] >= 0)
                remainder[r] = static_cast<std::uint8_t>(
                    remainder[r] ^
                    field.exp[static_cast<std::size_t>(generator.logs[r] + logFeedback)]);
    }
    // Coefficient x^(Roots - 1 - t) of the remainder is byte k + t of the word.
    for (std::size_t t = 0; t < Roots; ++t) word[(k + t) * stride] = remainder[Roots - 1 - t];
}

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

std::string interleaveReedSolomon(std::string_view data, std::size_t factor, ReedSolomonCode code) {
    const std::size_t k = reedSolomonDataSize(code);
    std::string encoded(factor * kReedSolomonWord, '\0');
    for (std::size_t at = 0; at < data.size() && at < factor * k; ++at)
        encoded[at / k + (at % k) * factor] = data[at];
    auto* bytes = reinterpret_cast<unsigned char*>(encoded.data());
    for (std::size_t word = 0; word < factor; ++word) {
        if (code == ReedSolomonCode::SystemPage)
            encodeWord<kMaxRoots>(bytes + word, factor, kSystemField, kSystemGenerator);
        else
            encodeWord<kDataRoots>(bytes + word, factor, kDataField, kDataGenerator);
    }
    return encoded;
}

bool reedSolomonWordsValid(std::string_view encoded, std::size_t factor, ReedSolomonCode code) {
    if (factor == 0 || encoded.size() / kReedSolomonWord < factor) return false;
    const auto* bytes = reinterpret_cast<const unsigned char*>(encoded.data());
    for (std::size_t word = 0; word < factor; ++word) {
        const bool valid = code == ReedSolomonCode::SystemPage
                               ? wordValid<kMaxRoots>(bytes + word, factor, kSystemTimes)
                               : wordValid<kDataRoots>(bytes + word, factor, kDataTimes);
        if (!valid) return false;
    }
    return true;
}

}  // namespace drawing::dwg
