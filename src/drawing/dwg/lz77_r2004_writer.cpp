// SPDX-License-Identifier: GPL-3.0-or-later
// Compressing with the LZ77 variant of AC1018 and later files. The codes, as the decompressor
// reads them:
// - a literal run of n >= 4 bytes: n - 3 in the low nibble of a byte below 0x10, or 0 there
//   and the rest in an extended count (zero bytes worth 255 each, ended by a non-zero byte
//   worth itself); it opens the stream or follows a back reference whose trailer is 0;
// - a back reference of 3 to 14 bytes from at most 0x400 back: one opcode of 0x40 and above,
//   then a byte; of any length from at most 0x4000 back: an opcode 0x20-0x3F and two offset
//   bytes; from 0x4001 to 0xBFFF back: an opcode 0x10-0x1F (0x11 excepted) and two offset
//   bytes. Its trailer (the opcode's or first offset byte's low two bits) counts the 0 to 3
//   literals that follow it;
// - 0x11 ends the stream.

#include <algorithm>
#include <vector>

#include "drawing/dwg/lz77_r2004.h"

namespace drawing::dwg {

namespace {

constexpr char kEndOfStream = 0x11;
constexpr std::size_t kZeroByteWorth = 0xFF;
constexpr std::size_t kMaxTrailerLiterals = 3;
constexpr std::size_t kMinMatch = 3;
// Beyond this distance the shortest match has 4 bytes: the code of 3 would be 0x11.
constexpr std::size_t kNearDistance = 0x4000;
constexpr std::size_t kMaxDistance = 0xBFFF;
constexpr std::size_t kShortDistance = 0x400;
constexpr std::size_t kShortMaxLength = 14;

// `value` (at least 1) in the low bits `mask` of `opcode`, or in an extended count after it.
void putCount(std::string& out, unsigned opcode, std::size_t mask, std::size_t value) {
    if (value <= mask) {
        out += static_cast<char>(opcode | value);
        return;
    }
    out += static_cast<char>(opcode);
    std::size_t rest = value - mask;
    for (; rest > kZeroByteWorth; rest -= kZeroByteWorth) out += '\0';
    out += static_cast<char>(rest);
}

void putLiterals(std::string& out, std::string_view literals) {
    putCount(out, 0x00, 0x0F, literals.size() - 3);
    out += literals;
}

void putMatch(std::string& out, std::size_t length, std::size_t distance, std::size_t trailer) {
    if (length <= kShortMaxLength && distance <= kShortDistance) {
        const std::size_t offset = distance - 1;
        out += static_cast<char>(((length + 1) << 4) | ((offset & 3) << 2) | trailer);
        out += static_cast<char>(offset >> 2);
        return;
    }
    std::size_t offset = 0;
    if (distance <= kNearDistance) {
        offset = distance - 1;
        putCount(out, 0x20, 0x1F, length - 2);
    } else {
        offset = distance - kNearDistance;
        const unsigned far = offset >= kNearDistance ? 0x08 : 0x00;
        offset &= kNearDistance - 1;
        putCount(out, 0x10 | far, 0x07, length - 2);
    }
    out += static_cast<char>(((offset & 0x3F) << 2) | trailer);
    out += static_cast<char>(offset >> 6);
}

// Where earlier occurrences of each three bytes start: the latest by hash, then a chain.
class MatchFinder {
public:
    explicit MatchFinder(std::string_view data)
        : m_data(data),
          m_heads(std::size_t{1} << kHashBits, kNone),
          m_previous(data.size(), kNone) {}

    void insert(std::size_t at) {
        if (at + kMinMatch > m_data.size()) return;
        std::size_t& head = m_heads[hash(at)];
        m_previous[at] = head;
        head = at;
    }

    // The longest match for the bytes at `at`: its length (0 when none) and distance.
    std::pair<std::size_t, std::size_t> longest(std::size_t at) const {
        constexpr int kChainDepth = 48;
        std::size_t bestLength = 0;
        std::size_t bestDistance = 0;
        if (at + kMinMatch > m_data.size()) return {0, 0};
        std::size_t candidate = m_heads[hash(at)];
        for (int depth = 0; depth < kChainDepth && candidate != kNone; ++depth) {
            const std::size_t distance = at - candidate;
            if (distance > kMaxDistance) break;
            // A match never overlaps the bytes it makes: some readers copy it with memmove.
            const std::size_t limit = std::min(distance, m_data.size() - at);
            std::size_t length = 0;
            while (length < limit && m_data[candidate + length] == m_data[at + length]) ++length;
            const std::size_t needed = distance > kNearDistance ? kMinMatch + 1 : kMinMatch;
            if (length >= needed && length > bestLength) {
                bestLength = length;
                bestDistance = distance;
            }
            candidate = m_previous[candidate];
        }
        return {bestLength, bestDistance};
    }

private:
    static constexpr std::size_t kNone = ~std::size_t{0};
    static constexpr int kHashBits = 15;

    std::size_t hash(std::size_t at) const {
        const auto byte = [this](std::size_t i) {
            return std::uint32_t{static_cast<unsigned char>(m_data[i])};
        };
        const std::uint32_t key = byte(at) | (byte(at + 1) << 8) | (byte(at + 2) << 16);
        return (key * 2654435761u) >> (32 - kHashBits);
    }

    std::string_view m_data;
    std::vector<std::size_t> m_heads;
    std::vector<std::size_t> m_previous;
};

}  // namespace

std::string literalStreamR2004(std::string_view data) {
    std::string out;
    out.reserve(data.size() + data.size() / kZeroByteWorth + 3);
    putLiterals(out, data);
    out += kEndOfStream;
    return out;
}

std::string compressR2004(std::string_view data) {
    std::string out;
    MatchFinder finder(data);
    // A back reference is written once the literals after it are known: its trailer counts
    // them when there are at most three.
    std::size_t pendingLength = 0;
    std::size_t pendingDistance = 0;
    std::size_t literalsFrom = 0;
    const auto flush = [&](std::size_t literalsTo) {
        const std::string_view literals = data.substr(literalsFrom, literalsTo - literalsFrom);
        if (pendingLength == 0) {
            putLiterals(out, literals);
            return;
        }
        const bool inTrailer = literals.size() <= kMaxTrailerLiterals;
        putMatch(out, pendingLength, pendingDistance, inTrailer ? literals.size() : 0);
        if (inTrailer)
            out += literals;
        else
            putLiterals(out, literals);
    };
    // The stream opens with a literal run, which holds at least kMinLiteralRun bytes.
    std::size_t at = 0;
    for (; at < kMinLiteralRun && at < data.size(); ++at) finder.insert(at);
    while (at < data.size()) {
        const auto [length, distance] = finder.longest(at);
        if (length == 0) {
            finder.insert(at++);
            continue;
        }
        flush(at);
        pendingLength = length;
        pendingDistance = distance;
        for (const std::size_t end = at + length; at < end; ++at) finder.insert(at);
        literalsFrom = at;
    }
    flush(data.size());
    out += kEndOfStream;
    return out;
}

}  // namespace drawing::dwg
