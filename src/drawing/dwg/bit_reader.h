// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The bit stream DWG objects are written in: values packed without regard to byte
// boundaries, with short encodings for common values (see the ODA DWG format notes, the
// chapter on bit codes). Every read checks the bound; reading past it sets a sticky
// failure flag and yields zeros, so a caller checks failed() once after a group of reads.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "drawing/point.h"

namespace drawing::dwg {

// A handle reference: its code (how it relates to the referring object) and its value.
struct HandleRef {
    std::uint8_t code = 0;
    std::uint64_t value = 0;

    // The handle it names, given the handle of the object it was read in (codes 6, 8, 10 and
    // 12 are relative to that); 0 for none.
    std::uint64_t resolve(std::uint64_t ownHandle) const;
};

class BitReader {
public:
    // Reads the bits [beginBit, endBit) of `bytes`; endBit is clamped to the bytes' size.
    BitReader(std::string_view bytes, std::size_t beginBit, std::size_t endBit);
    explicit BitReader(std::string_view bytes) : BitReader(bytes, 0, bytes.size() * 8) {}

    bool failed() const { return m_failed; }
    void fail() { m_failed = true; }
    std::size_t position() const { return m_pos; }
    std::size_t end() const { return m_end; }
    std::size_t remaining() const { return m_failed ? 0 : m_end - m_pos; }
    // Moves to the bit `bit` of the underlying bytes; outside [begin, end] fails.
    void seek(std::size_t bit);
    void skipBits(std::size_t count);

    unsigned bit() { return static_cast<unsigned>(bits(1)); }
    unsigned twoBits() { return static_cast<unsigned>(bits(2)); }
    std::uint8_t rawChar() { return static_cast<std::uint8_t>(bits(8)); }
    std::uint16_t rawShort();
    std::uint32_t rawLong();
    double rawDouble();

    std::int16_t bitShort();
    std::int32_t bitLong();
    std::uint64_t bitLongLong();  // BLL: a 3-bit byte count, then that many bytes
    double bitDouble();
    double defaultDouble(double defaultValue);
    Point3 bitPoint3();
    Point3 extrusion();  // BE
    double thickness();  // BT

    std::uint64_t modularChar();
    std::int64_t signedModularChar();
    std::uint32_t modularShort();

    // An object's type: a BS before R2010, then a 2-bit code and one or two bytes.
    int objectType(bool r2010Coding);

    HandleRef handle();
    // A text value of R2000 and R2004: a length (BS), then that many bytes.
    std::string text();
    // A text value of R2007 and later: a length in UTF-16 units (BS), then the units;
    // returned as UTF-8.
    std::string unicodeText();

private:
    std::uint64_t bits(unsigned count);  // count <= 57

    std::string_view m_bytes;
    std::size_t m_begin;
    std::size_t m_pos;
    std::size_t m_end;
    bool m_failed = false;
};

}  // namespace drawing::dwg
