// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/lz77_r2007.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "drawing/dwg/lz77_copy.h"

namespace drawing::dwg {

namespace {

constexpr std::size_t kReserveLimit = std::size_t{1} << 20;

// One piece of a shuffled literal run: `size` bytes taken from `from` within the run.
struct Piece {
    std::uint8_t size = 0;
    std::uint8_t from = 0;
};

// How a literal run of 1 to 31 bytes is laid out: pieces in output order. Pieces of 2 and 3
// bytes come reversed, 16 bytes come as their upper then lower 8; 1, 4 and 8 come straight.
constexpr std::array<std::array<Piece, 6>, 32> kPieces = {{
    {},
    {{{1, 0}}},
    {{{2, 0}}},
    {{{3, 0}}},
    {{{4, 0}}},
    {{{1, 4}, {4, 0}}},
    {{{1, 5}, {4, 1}, {1, 0}}},
    {{{2, 5}, {4, 1}, {1, 0}}},
    {{{8, 0}}},
    {{{1, 8}, {8, 0}}},
    {{{1, 9}, {8, 1}, {1, 0}}},
    {{{2, 9}, {8, 1}, {1, 0}}},
    {{{4, 8}, {8, 0}}},
    {{{1, 12}, {4, 8}, {8, 0}}},
    {{{1, 13}, {4, 9}, {8, 1}, {1, 0}}},
    {{{2, 13}, {4, 9}, {8, 1}, {1, 0}}},
    {{{16, 0}}},
    {{{8, 9}, {1, 8}, {8, 0}}},
    {{{1, 17}, {16, 1}, {1, 0}}},
    {{{3, 16}, {16, 0}}},
    {{{4, 16}, {16, 0}}},
    {{{1, 20}, {4, 16}, {16, 0}}},
    {{{2, 20}, {4, 16}, {16, 0}}},
    {{{3, 20}, {4, 16}, {16, 0}}},
    {{{8, 16}, {16, 0}}},
    {{{8, 17}, {1, 16}, {16, 0}}},
    {{{1, 25}, {8, 17}, {1, 16}, {16, 0}}},
    {{{2, 25}, {8, 17}, {1, 16}, {16, 0}}},
    {{{4, 24}, {8, 16}, {8, 8}, {8, 0}}},
    {{{1, 28}, {4, 24}, {8, 16}, {8, 8}, {8, 0}}},
    {{{2, 28}, {4, 24}, {8, 16}, {8, 8}, {8, 0}}},
    {{{1, 30}, {4, 26}, {8, 18}, {8, 10}, {8, 2}, {2, 0}}},
}};

// Appends the `length` bytes of a literal run starting at `run` in the order they stand for.
void appendLiteral(std::string& out, const char* run, std::size_t length) {
    for (; length >= 32; length -= 32, run += 32) {
        // Whole blocks of 32 come as their four 8-byte quarters in reverse order.
        for (int quarter = 3; quarter >= 0; --quarter) out.append(run + 8 * quarter, 8);
    }
    for (const Piece p : kPieces[length]) {
        if (p.size == 0) break;
        const char* from = run + p.from;
        switch (p.size) {
            case 2:
            case 3:
                for (int i = p.size - 1; i >= 0; --i) out.push_back(from[i]);
                break;
            case 16:
                out.append(from + 8, 8);
                out.append(from, 8);
                break;
            default:
                out.append(from, p.size);
        }
    }
}

class Decompressor {
public:
    Decompressor(std::string_view in, std::size_t maxOutput) : in_(in), max_(maxOutput) {}

    std::optional<std::string> run() {
        if (in_.empty()) return std::string();
        // Each byte of input makes a bounded amount of output, so reserving beyond the
        // limit would only waste memory on a corrupt size.
        out_.reserve(std::min(max_, kReserveLimit));
        if (!next(opcode_)) return std::nullopt;
        std::uint64_t length = 0;
        if ((opcode_ & 0xF0) == 0x20) {
            // A leading 0x2? opcode carries the first literal's length in its fourth byte.
            if (pos_ + 3 > in_.size()) return std::nullopt;
            pos_ += 3;
            length = static_cast<unsigned char>(in_[pos_ - 1]) & 7;
        }
        while (pos_ < in_.size()) {
            if (length == 0 && !literalLength(length)) return std::nullopt;
            if (!literal(length)) return std::nullopt;
            if (pos_ >= in_.size()) break;
            if (!matches(length)) return std::nullopt;
        }
        return std::move(out_);
    }

private:
    bool next(unsigned& byte) {
        if (pos_ >= in_.size()) return false;
        byte = static_cast<unsigned char>(in_[pos_++]);
        return true;
    }

    bool literalLength(std::uint64_t& length) {
        length = opcode_ + 8;
        if (length != 0x17) return true;
        unsigned n = 0;
        if (!next(n)) return false;
        length += n;
        if (n != 0xFF) return true;
        do {
            unsigned lo = 0;
            unsigned hi = 0;
            if (!next(lo) || !next(hi)) return false;
            n = lo | (hi << 8);
            length += n;
        } while (n == 0xFFFF);
        return true;
    }

    bool literal(std::uint64_t length) {
        if (length > in_.size() - pos_ || length > max_ - out_.size()) return false;
        appendLiteral(out_, in_.data() + pos_, static_cast<std::size_t>(length));
        pos_ += length;
        return true;
    }

    // One instruction's back-reference: its offset and length; `opcode_` becomes the byte that
    // tells what follows.
    bool instruction(std::uint64_t& offset, std::uint64_t& length) {
        unsigned a = 0;
        unsigned b = 0;
        switch (opcode_ >> 4) {
            case 0:
                length = (opcode_ & 0xF) + 0x13;
                if (!next(a) || !next(opcode_)) return false;
                length += (opcode_ >> 3) & 0x10;
                offset = ((opcode_ & 0x78) << 5) + 1 + a;
                return true;
            case 1:
                if (!next(a) || !next(b)) return false;
                length = (opcode_ & 0xF) + 3;
                opcode_ = b;
                offset = ((opcode_ & 0xF8) << 5) + 1 + a;
                return true;
            case 2:
                if (!next(a) || !next(b)) return false;
                offset = a | (b << 8);
                length = opcode_ & 7;
                if ((opcode_ & 8) == 0) {
                    if (!next(opcode_)) return false;
                    length += opcode_ & 0xF8;
                } else {
                    unsigned c = 0;
                    if (!next(c) || !next(opcode_)) return false;
                    ++offset;
                    length += (c << 3) + ((opcode_ & 0xF8) << 8) + 0x100;
                }
                return true;
            default:
                length = opcode_ >> 4;
                offset = opcode_ & 0xF;
                if (!next(opcode_)) return false;
                offset += ((opcode_ & 0xF8) << 1) + 1;
                return true;
        }
    }

    bool copy(std::uint64_t offset, std::uint64_t length) {
        if (offset == 0 || offset > out_.size() || length > max_ - out_.size()) return false;
        copyBack(out_, static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
        return true;
    }

    // Back-references until the next literal run, whose length (or 0 to read it) is returned.
    bool matches(std::uint64_t& literal) {
        if (!next(opcode_)) return false;
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
        if (!instruction(offset, length)) return false;
        for (;;) {
            if (!copy(offset, length)) return false;
            literal = opcode_ & 7;
            if (literal != 0 || pos_ >= in_.size()) return true;
            if (!next(opcode_)) return false;
            if ((opcode_ >> 4) == 0) return true;
            if ((opcode_ >> 4) == 15) opcode_ &= 15;
            if (!instruction(offset, length)) return false;
        }
    }

    std::string_view in_;
    std::size_t max_;
    std::size_t pos_ = 0;
    unsigned opcode_ = 0;
    std::string out_;
};

// The instructions the compressor writes: literal runs, and copies in two forms: short ones
// (3 to 18 bytes from at most 8192 back) in three bytes, others (up to 255 bytes from at most
// 65535 back) in four. The last byte of a copy holds the length of a literal run of 1 to 7
// bytes that follows it; longer runs get their own length opcode.
class Compressor {
public:
    explicit Compressor(std::string_view in) : in_(in) {}

    std::string run() {
        if (in_.empty()) return {};
        findCopies();
        // Each run of literals, then its copy; a run between two copies may be empty.
        std::size_t at = 0;
        for (std::size_t i = 0; i < copies_.size(); ++i) {
            const Copy& c = copies_[i];
            literalRun(at, c.at - at);
            const std::size_t end = c.at + c.length;
            const std::size_t next = i + 1 < copies_.size() ? copies_[i + 1].at : in_.size();
            copy(c.distance, c.length, next - end);
            at = end;
        }
        literalRun(at, in_.size() - at);
        return std::move(out_);
    }

private:
    struct Copy {
        std::size_t at;
        std::size_t distance;
        std::size_t length;  // at most kMaxCopy
    };

    static constexpr std::size_t kHashBits = 15;
    static constexpr std::size_t kMinMatch = 4;
    static constexpr std::size_t kMaxDistance = 0xFFFF;
    static constexpr std::size_t kShortDistance = 0x2000;
    static constexpr std::size_t kMaxCopy = 0xFF;
    static constexpr int kChainDepth = 32;

    std::uint32_t hashAt(std::size_t pos) const {
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < kMinMatch; ++i)
            value |= std::uint32_t{static_cast<unsigned char>(in_[pos + i])} << (8 * i);
        return (value * 2654435761u) >> (32 - kHashBits);
    }

    // Greedy: at each position the longest earlier occurrence within reach, through chains of
    // earlier positions with the same hash.
    void findCopies() {
        std::vector<std::int32_t> head(std::size_t{1} << kHashBits, -1);
        std::vector<std::int32_t> previous(in_.size(), -1);
        const auto remember = [&](std::size_t pos) {
            const std::uint32_t hash = hashAt(pos);
            previous[pos] = head[hash];
            head[hash] = static_cast<std::int32_t>(pos);
        };
        // The stream starts with a literal: the first byte is never a copy.
        if (in_.size() < kMinMatch) return;
        std::size_t pos = 1;
        remember(0);
        while (pos + kMinMatch <= in_.size()) {
            std::size_t length = 0;
            std::size_t distance = 0;
            int depth = kChainDepth;
            for (std::int32_t candidate = head[hashAt(pos)]; candidate >= 0 && depth-- > 0;
                 candidate = previous[static_cast<std::size_t>(candidate)]) {
                const auto from = static_cast<std::size_t>(candidate);
                if (pos - from > kMaxDistance) break;
                std::size_t n = 0;
                while (pos + n < in_.size() && in_[from + n] == in_[pos + n]) ++n;
                // A far copy takes four bytes: worth it from five on.
                const std::size_t worth = pos - from <= kShortDistance ? kMinMatch : kMinMatch + 1;
                if (n >= worth && n > length) {
                    length = n;
                    distance = pos - from;
                }
            }
            if (length == 0) {
                remember(pos++);
                continue;
            }
            for (std::size_t done = 0; done < length; done += kMaxCopy)
                copies_.push_back({pos + done, distance, std::min(kMaxCopy, length - done)});
            for (const std::size_t end = pos + length; pos < end; ++pos)
                if (pos + kMinMatch <= in_.size()) remember(pos);
        }
    }

    void byte(std::size_t value) { out_.push_back(static_cast<char>(value & 0xFF)); }

    // The run's bytes in the order that appendLiteral() turns into in_[at, at + length).
    void literalBytes(std::size_t at, std::size_t length) {
        static constexpr std::array<char, 32> kIdentity = [] {
            std::array<char, 32> identity{};
            for (std::size_t i = 0; i < identity.size(); ++i) identity[i] = static_cast<char>(i);
            return identity;
        }();
        const std::size_t start = out_.size();
        out_.resize(start + length);
        std::string order;
        for (std::size_t done = 0; done < length; done += 32) {
            const std::size_t chunk = std::min<std::size_t>(32, length - done);
            order.clear();
            appendLiteral(order, kIdentity.data(), chunk);
            for (std::size_t j = 0; j < chunk; ++j)
                out_[start + done + static_cast<std::size_t>(order[j])] = in_[at + done + j];
        }
    }

    // A literal run: the first of the stream, or one after a copy, whose last byte holds the
    // length of a run of 1 to 7 bytes; longer runs get their own length opcode.
    void literalRun(std::size_t at, std::size_t length) {
        if (length == 0) return;
        if (out_.empty() && length < 8) {
            // A leading 0x2? opcode carries a short first run's length in its fourth byte.
            for (const std::size_t b : {std::size_t{0x20}, std::size_t{0}, std::size_t{0}, length})
                byte(b);
        } else if (out_.empty() || length >= 8) {
            literalLength(length);
        }
        literalBytes(at, length);
    }

    void literalLength(std::size_t length) {
        if (length < 0x17) return byte(length - 8);
        byte(0x0F);
        std::size_t rest = length - 0x17;
        if (rest < 0xFF) return byte(rest);
        byte(0xFF);
        rest -= 0xFF;
        for (;;) {
            const std::size_t part = std::min<std::size_t>(rest, 0xFFFF);
            byte(part);
            byte(part >> 8);
            rest -= part;
            if (part != 0xFFFF) break;
        }
    }

    void copy(std::size_t distance, std::size_t length, std::size_t nextLiteral) {
        const std::size_t carried = nextLiteral < 8 ? nextLiteral : 0;
        if (length >= 3 && length <= 18 && distance <= kShortDistance) {
            byte(0x10 | (length - 3));
            byte(distance - 1);
            byte((((distance - 1) >> 8) << 3) | carried);
        } else {
            byte(0x20 | (length & 7));
            byte(distance);
            byte(distance >> 8);
            byte((length & 0xF8) | carried);
        }
    }

    std::string_view in_;
    std::vector<Copy> copies_;
    std::string out_;
};

}  // namespace

std::optional<std::string> decompressR2007(std::string_view compressed, std::size_t maxOutput) {
    return Decompressor(compressed, maxOutput).run();
}

std::string compressR2007(std::string_view data) {
    return Compressor(data).run();
}

}  // namespace drawing::dwg
