// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Test helpers that build DWG bytes by hand or change the samples' bytes: numbers in the file's
// byte orders, bit streams, the object map's modular numbers, and the check values a changed
// file needs to be read again.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/dwg/crc16.h"
#include "drawing/dwg/file_header.h"
#include "drawing/dwg/object_map.h"

namespace drawing::test {

inline std::uint32_t littleEndian(std::string_view bytes, std::size_t at, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= std::uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
    return value;
}

inline void putLittleEndian(std::string& bytes, std::size_t at, std::uint32_t value,
                            std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

inline std::string flipped(std::string bytes, std::size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    return bytes;
}

// An R13-R2000 file header: from 0x19, records of 9 bytes (number, offset, size) locate the
// sections; the object map is number 2.
inline std::size_t objectMapLocator(std::string_view bytes) {
    for (std::size_t at = 0x19; at < 0x19 + 6 * 9; at += 9)
        if (bytes[at] == 2) return at;
    return 0;
}

// The entries of an R13-R2000 file's object map; none (and the test failed) when unreadable.
inline std::vector<dwg::ObjectMap::Entry> objectMapOf(std::string_view bytes) {
    QString problem;
    const auto header = dwg::readFileHeader(bytes, true, problem);
    const auto map = header ? dwg::ObjectMap::read(
                                  bytes.substr(header->objectMap.offset, header->objectMap.size),
                                  bytes.size(), true, problem)
                            : std::nullopt;
    EXPECT_TRUE(map) << problem.toStdString();
    return map ? map->entries() : std::vector<dwg::ObjectMap::Entry>{};
}

// Makes the file header's check value match again; it is masked by the number of records.
inline void resealFileHeader(std::string& bytes) {
    static const std::uint16_t kMasks[] = {0, 0, 0, 0xA598, 0x8101, 0x3CC4, 0x8461};
    const std::uint32_t count = littleEndian(bytes, 0x15, 4);
    const std::size_t crcAt = 0x19 + count * 9;
    putLittleEndian(
        bytes, crcAt,
        dwg::crc16(std::string_view(bytes).substr(0, crcAt), 0) ^ (count < 7 ? kMasks[count] : 0),
        2);
}

// An R11/R12 file: its entities lie between the offsets at 0x14 and 0x18, each starting with
// its type and its size (at 2), and ending with a check value.
constexpr unsigned char kR12Insert = 14;
constexpr unsigned char kR12Attrib = 16;

// Where the first entity of `type` starts; 0 when there is none.
inline std::size_t r12Entity(std::string_view bytes, unsigned char type) {
    const std::size_t end = littleEndian(bytes, 0x18, 4);
    for (std::size_t at = littleEndian(bytes, 0x14, 4); at + 4 <= end;
         at += littleEndian(bytes, at + 2, 2))
        if (static_cast<unsigned char>(bytes[at]) == type) return at;
    return 0;
}

inline void resealR12Entity(std::string& bytes, std::size_t entity) {
    const std::size_t size = littleEndian(bytes, entity + 2, 2);
    putLittleEndian(bytes, entity + size - 2,
                    dwg::crc16(std::string_view(bytes).substr(entity, size - 2), 0xC0C1), 2);
}

// Modular chars: 7 bits a byte, low first; the signed form keeps its sign in the last byte.
inline void putModularChar(std::string& out, std::uint64_t value) {
    do {
        const auto low = static_cast<unsigned char>(value & 0x7F);
        value >>= 7;
        out += static_cast<char>(value ? low | 0x80 : low);
    } while (value);
}

inline void putSignedModularChar(std::string& out, std::int64_t value) {
    auto magnitude = static_cast<std::uint64_t>(value < 0 ? -value : value);
    for (; magnitude >= 0x40; magnitude >>= 7) out += static_cast<char>((magnitude & 0x7F) | 0x80);
    out += static_cast<char>(magnitude | (value < 0 ? 0x40 : 0));
}

// An object map: sections of (handle, offset) deltas from the previous entry of the section,
// each with its size big-endian (counting itself) before and a check value after; an empty
// section closes it.
inline std::string encodedObjectMap(const std::vector<dwg::ObjectMap::Entry>& map) {
    const auto appendSection = [](std::string& out, const std::string& body) {
        std::string section = {static_cast<char>((body.size() + 2) >> 8),
                               static_cast<char>((body.size() + 2) & 0xFF)};
        section += body;
        const std::uint16_t crc = dwg::crc16(section, 0xC0C1);
        out += section + static_cast<char>(crc >> 8) + static_cast<char>(crc & 0xFF);
    };
    std::string encoded;
    std::string body;
    std::uint64_t handle = 0;
    std::int64_t offset = 0;
    for (const auto& entry : map) {
        putModularChar(body, entry.handle - handle);
        putSignedModularChar(body, std::int64_t{entry.offset} - offset);
        handle = entry.handle;
        offset = entry.offset;
        if (body.size() > 2000) {
            appendSection(encoded, body);
            body.clear();
            handle = 0;
            offset = 0;
        }
    }
    if (!body.empty()) appendSection(encoded, body);
    appendSection(encoded, {});
    return encoded;
}

// A DWG bit stream, written with the bit codes of its fields, first bit the most significant.
class BitWriter {
public:
    void bits(std::uint64_t value, std::size_t count) {
        for (std::size_t i = count; i-- > 0;) {
            if (m_bits % 8 == 0) m_bytes.push_back('\0');
            if (i < 64 && ((value >> i) & 1))
                m_bytes.back() = static_cast<char>(m_bytes.back() | (0x80 >> (m_bits % 8)));
            ++m_bits;
        }
    }
    void bit(bool value) { bits(value ? 1 : 0, 1); }
    // Raw numbers: `size` bytes, the low one first.
    void raw(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) bits((value >> (8 * i)) & 0xFF, 8);
    }
    void rc(unsigned value) { raw(value, 1); }
    void rd(double value) { raw(std::bit_cast<std::uint64_t>(value), 8); }
    void bs(unsigned value) {
        if (value == 0) return bits(2, 2);
        if (value == 256) return bits(3, 2);
        if (value < 256) return bits(1, 2), rc(value);
        bits(0, 2);
        raw(value, 2);
    }
    void bl(std::uint32_t value) {
        if (value == 0) return bits(2, 2);
        if (value < 256) return bits(1, 2), rc(value);
        bits(0, 2);
        raw(value, 4);
    }
    void bd(double value) {
        if (value == 0.0) return bits(2, 2);
        if (value == 1.0) return bits(1, 2);
        bits(0, 2);
        rd(value);
    }
    void point(double x, double y, double z) {
        bd(x);
        bd(y);
        bd(z);
    }
    void handle(unsigned code, std::uint64_t value) {
        unsigned length = 0;
        for (std::uint64_t v = value; v != 0; v >>= 8) ++length;
        rc((code << 4) | length);
        for (unsigned i = length; i-- > 0;) rc(static_cast<unsigned>(value >> (8 * i)));
    }
    void text(std::u16string_view units) {
        bs(static_cast<unsigned>(units.size()));
        for (const char16_t unit : units) raw(unit, 2);
    }
    void append(const BitWriter& other) {
        for (std::size_t i = 0; i < other.m_bits; ++i)
            bit((static_cast<unsigned char>(other.m_bytes[i / 8]) >> (7 - i % 8)) & 1);
    }
    std::size_t size() const { return m_bits; }
    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
    std::size_t m_bits = 0;
};

}  // namespace drawing::test
