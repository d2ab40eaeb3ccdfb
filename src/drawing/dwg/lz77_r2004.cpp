// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/lz77_r2004.h"

#include <algorithm>

#include "drawing/dwg/lz77_copy.h"

namespace drawing::dwg {

namespace {

constexpr unsigned kEndOfStream = 0x11;
// Each byte of input makes at most 255 bytes of output, so reserving beyond this is waste.
constexpr std::size_t kReserveLimit = std::size_t{1} << 20;

class Decompressor {
public:
    Decompressor(std::string_view in, std::string& out, std::size_t maxSize)
        : m_in(in), m_out(out), m_maxSize(maxSize) {}

    bool run() {
        m_out.clear();
        m_out.reserve(std::min(m_maxSize, kReserveLimit));
        unsigned opcode = 0;
        if (!next(opcode)) return false;
        // A literal run may open the stream; after that every step is a back reference.
        if (opcode < 0x10 && !literalRun(opcode, opcode)) return false;
        while (opcode != kEndOfStream) {
            std::size_t length = 0;
            std::size_t distance = 0;
            unsigned trailer = 0;  // the byte whose low two bits count the literals that follow
            if (opcode >= 0x40) {
                unsigned high = 0;
                if (!next(high)) return false;
                length = (opcode >> 4) - 1;
                distance = (((opcode >> 2) & 3u) | (high << 2)) + 1;
                trailer = opcode;
            } else if (opcode >= 0x20) {
                if (!matchLength(opcode, 0x1F, length) || !twoByteOffset(distance, trailer))
                    return false;
                distance += 1;
            } else if (opcode >= 0x10) {
                if (!matchLength(opcode, 0x07, length) || !twoByteOffset(distance, trailer))
                    return false;
                distance += (static_cast<std::size_t>(opcode & 8u) << 11) + 0x4000;
            } else {
                return false;  // 0x00-0x0F never follow a literal run
            }
            if (!copyMatch(length, distance)) return false;

            const unsigned literals = trailer & 3u;
            if (literals != 0) {
                if (!copyLiterals(literals) || !next(opcode)) return false;
            } else {
                if (!next(opcode)) return false;
                if (opcode < 0x10 && !literalRun(opcode, opcode)) return false;
            }
        }
        return true;
    }

private:
    bool next(unsigned& value) {
        if (m_at >= m_in.size()) return false;
        value = static_cast<unsigned char>(m_in[m_at++]);
        return true;
    }

    // A length whose small form is `base` (zero meaning it goes on in the following bytes:
    // each zero byte adds 255, the first non-zero byte adds itself and ends it).
    bool extendedLength(std::size_t base, std::size_t& length) {
        length = base;
        unsigned value = 0;
        for (;;) {
            if (!next(value)) return false;
            if (value != 0) break;
            length += 0xFF;
        }
        length += value;
        return true;
    }

    bool matchLength(unsigned opcode, unsigned mask, std::size_t& length) {
        length = opcode & mask;
        if (length == 0 && !extendedLength(mask, length)) return false;
        length += 2;
        return true;
    }

    bool twoByteOffset(std::size_t& offset, unsigned& first) {
        unsigned second = 0;
        if (!next(first) || !next(second)) return false;
        offset = (first >> 2) | (second << 6);
        return true;
    }

    // A literal run whose length is coded in `opcode` (0x00-0x0F); `following` gets the opcode
    // after it.
    bool literalRun(unsigned opcode, unsigned& following) {
        std::size_t count = opcode & 0x0Fu;
        if (count == 0 && !extendedLength(0x0F, count)) return false;
        if (!copyLiterals(count + 3)) return false;
        return next(following);
    }

    bool copyLiterals(std::size_t count) {
        if (count > m_in.size() - m_at || count > m_maxSize - m_out.size()) return false;
        m_out.append(m_in.substr(m_at, count));
        m_at += count;
        return true;
    }

    bool copyMatch(std::size_t length, std::size_t distance) {
        if (distance == 0 || distance > m_out.size() || length > m_maxSize - m_out.size())
            return false;
        copyBack(m_out, distance, length);
        return true;
    }

    std::string_view m_in;
    std::string& m_out;
    std::size_t m_maxSize;
    std::size_t m_at = 0;
};

}  // namespace

bool decompressR2004(std::string_view compressed, std::string& out, std::size_t maxSize) {
    return Decompressor(compressed, out, maxSize).run();
}

}  // namespace drawing::dwg
