// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The writing side of BitReader: values packed without regard to byte boundaries, each in the
// encoding BitReader reads back. Where a value has several encodings the shortest is chosen,
// as AutoCAD does; bits copied from an existing object keep whatever encoding they had.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "drawing/dwg/bit_reader.h"

namespace drawing::dwg {

class BitWriter {
public:
    // Every bit written so far; the last byte is padded with zero bits.
    const std::string& bytes() const { return m_bytes; }
    std::size_t bitSize() const { return m_bits; }

    void bits(std::uint64_t value, unsigned count);  // count <= 64, most significant bit first
    void bit(bool value) { bits(value ? 1 : 0, 1); }
    void twoBits(unsigned value) { bits(value, 2); }
    void rawChar(std::uint8_t value) { bits(value, 8); }
    void rawShort(std::uint16_t value);
    void rawLong(std::uint32_t value);
    void rawDouble(double value);

    void bitShort(std::int16_t value);
    void bitLong(std::int32_t value);
    void bitDouble(double value);

    void modularChar(std::uint64_t value);
    void signedModularChar(std::int64_t value);
    void modularShort(std::uint32_t value);

    void handle(const HandleRef& ref);
    // A text value up to R2004: its length (BS), then its bytes.
    void text(std::string_view bytes);
    // A text value from R2007: its length in UTF-16 units (BS), then the units; `utf8` is
    // converted. A terminating zero some writers count is part of `utf8` (as part of `bytes`
    // above).
    void unicodeText(std::string_view utf8);

    // Copies the bits [begin, end) of `bytes` (as BitReader numbers them).
    void copyBits(std::string_view bytes, std::size_t begin, std::size_t end);
    // Overwrites `count` bits at `at`, which lie within what was written.
    void overwrite(std::size_t at, std::uint64_t value, unsigned count);
    void padToByte();

private:
    std::string m_bytes;
    std::size_t m_bits = 0;
};

// The UTF-16 units of a UTF-8 text (invalid sequences become U+FFFD).
std::u16string utf16Of(std::string_view utf8);

}  // namespace drawing::dwg
