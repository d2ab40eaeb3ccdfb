#include "engine/drawing/dwg/reed_solomon.h"

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
            exp[i] = static_cast<std::uint8_t>(x);
            log[x] = i;
            x <<= 1;
            if (x & 0x100) x ^= polynomial;
        }
        for (int i = 255; i < 512; ++i) exp[i] = exp[i - 255];
    }
};

// x^8 + x^6 + x^5 + x^3 + 1 for system pages, x^8 + x^4 + x^3 + x^2 + 1 for data pages.
constexpr Field kSystemField(0x169);
constexpr Field kDataField(0x11D);

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
    const Field& field = code == ReedSolomonCode::SystemPage ? kSystemField : kDataField;
    const int roots = static_cast<int>(kReedSolomonWord - reedSolomonDataSize(code));
    for (std::size_t word = 0; word < factor; ++word) {
        // Byte i is the coefficient of x^i; the generator's roots are alpha^1 .. alpha^roots,
        // so a code word evaluates to zero at each of them (Horner from the top byte down).
        for (int root = 1; root <= roots; ++root) {
            unsigned sum = 0;
            for (std::size_t i = kReedSolomonWord; i-- > 0;) {
                if (sum != 0) sum = field.exp[field.log[sum] + root];
                sum ^= static_cast<unsigned char>(encoded[word + i * factor]);
            }
            if (sum != 0) return false;
        }
    }
    return true;
}

}  // namespace drawing::dwg
