// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/lz77_r2007.h"

#include <algorithm>
#include <array>
#include <cstdint>

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

    void piece(const char* run, Piece p) {
        const char* from = run + p.from;
        switch (p.size) {
            case 2:
            case 3:
                for (int i = p.size - 1; i >= 0; --i) out_.push_back(from[i]);
                break;
            case 16:
                out_.append(from + 8, 8);
                out_.append(from, 8);
                break;
            default:
                out_.append(from, p.size);
        }
    }

    bool literal(std::uint64_t length) {
        if (length > in_.size() - pos_ || length > max_ - out_.size()) return false;
        const char* run = in_.data() + pos_;
        pos_ += length;
        for (; length >= 32; length -= 32, run += 32) {
            // Whole blocks of 32 come as their four 8-byte quarters in reverse order.
            for (int quarter = 3; quarter >= 0; --quarter) out_.append(run + 8 * quarter, 8);
        }
        for (const Piece p : kPieces[length]) {
            if (p.size == 0) break;
            piece(run, p);
        }
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

}  // namespace

std::optional<std::string> decompressR2007(std::string_view compressed, std::size_t maxOutput) {
    return Decompressor(compressed, maxOutput).run();
}

}  // namespace drawing::dwg
