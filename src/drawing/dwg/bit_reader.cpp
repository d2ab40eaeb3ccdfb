// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/bit_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace drawing::dwg {

std::uint64_t HandleRef::resolve(std::uint64_t ownHandle) const {
    switch (code) {
        case 6:
            return ownHandle + 1;
        case 8:
            return ownHandle - 1;
        case 10:
            return ownHandle + value;
        case 12:
            return ownHandle - value;
        default:
            return value;
    }
}

BitReader::BitReader(std::string_view bytes, std::size_t beginBit, std::size_t endBit)
    : m_bytes(bytes),
      m_begin(std::min(beginBit, bytes.size() * 8)),
      m_pos(m_begin),
      m_end(std::clamp(endBit, m_begin, bytes.size() * 8)) {}

void BitReader::seek(std::size_t bit) {
    if (bit < m_begin || bit > m_end) {
        m_failed = true;
        return;
    }
    m_pos = bit;
}

void BitReader::skipBits(std::size_t count) {
    if (m_failed || count > m_end - m_pos) {
        m_failed = true;
        return;
    }
    m_pos += count;
}

std::uint64_t BitReader::bits(unsigned count) {
    if (m_failed || count > m_end - m_pos) {
        m_failed = true;
        return 0;
    }
    // Big-endian within the stream: the first bit read is the most significant.
    std::uint64_t value = 0;
    unsigned left = count;
    while (left > 0) {
        const std::size_t byte = m_pos >> 3;
        const unsigned offset = static_cast<unsigned>(m_pos & 7);
        const unsigned take = std::min(left, 8 - offset);
        const unsigned current = static_cast<unsigned char>(m_bytes[byte]);
        const unsigned chunk = (current >> (8 - offset - take)) & ((1u << take) - 1);
        value = (value << take) | chunk;
        left -= take;
        m_pos += take;
    }
    return value;
}

std::uint16_t BitReader::rawShort() {
    const unsigned low = rawChar();
    const unsigned high = rawChar();
    return static_cast<std::uint16_t>(low | (high << 8));
}

std::uint32_t BitReader::rawLong() {
    const std::uint32_t low = rawShort();
    const std::uint32_t high = rawShort();
    return low | (high << 16);
}

double BitReader::rawDouble() {
    std::uint64_t value = 0;
    for (unsigned i = 0; i < 8; ++i) value |= std::uint64_t{rawChar()} << (8 * i);
    return std::bit_cast<double>(value);
}

std::int16_t BitReader::bitShort() {
    switch (twoBits()) {
        case 0:
            return static_cast<std::int16_t>(rawShort());
        case 1:
            return rawChar();
        case 2:
            return 0;
        default:
            return 256;
    }
}

std::int32_t BitReader::bitLong() {
    switch (twoBits()) {
        case 0:
            return static_cast<std::int32_t>(rawLong());
        case 1:
            return rawChar();
        case 2:
            return 0;
        default:
            m_failed = true;  // not a valid code
            return 0;
    }
}

std::uint64_t BitReader::bitLongLong() {
    const unsigned count = static_cast<unsigned>(bits(3));
    std::uint64_t value = 0;
    for (unsigned i = 0; i < count; ++i) value |= std::uint64_t{rawChar()} << (8 * i);
    return m_failed ? 0 : value;
}

double BitReader::bitDouble() {
    switch (twoBits()) {
        case 0:
            return rawDouble();
        case 1:
            return 1.0;
        case 2:
            return 0.0;
        default:
            m_failed = true;
            return 0.0;
    }
}

double BitReader::defaultDouble(double defaultValue) {
    const unsigned code = twoBits();
    if (code == 0) return defaultValue;
    if (code == 3) return rawDouble();
    // The stored bytes replace the low-order bytes of the default's little-endian form.
    unsigned char bytes[8];
    std::memcpy(bytes, &defaultValue, 8);
    if (code == 1) {
        for (int i = 0; i < 4; ++i) bytes[i] = rawChar();
    } else {
        bytes[4] = rawChar();
        bytes[5] = rawChar();
        for (int i = 0; i < 4; ++i) bytes[i] = rawChar();
    }
    double value;
    std::memcpy(&value, bytes, 8);
    return value;
}

Point3 BitReader::bitPoint3() {
    Point3 p;
    p.x = bitDouble();
    p.y = bitDouble();
    p.z = bitDouble();
    return p;
}

Point3 BitReader::extrusion() {
    if (bit()) return {0, 0, 1};
    return bitPoint3();
}

double BitReader::thickness() {
    if (bit()) return 0.0;
    return bitDouble();
}

std::uint64_t BitReader::modularChar() {
    std::uint64_t value = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        const unsigned byte = rawChar();
        if (m_failed) return 0;
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if (!(byte & 0x80)) return value;
    }
    m_failed = true;
    return 0;
}

std::int64_t BitReader::signedModularChar() {
    std::uint64_t value = 0;
    for (unsigned shift = 0; shift < 63; shift += 7) {
        const unsigned byte = rawChar();
        if (m_failed) return 0;
        if (byte & 0x80) {
            value |= std::uint64_t{byte & 0x7Fu} << shift;
            continue;
        }
        // The last byte holds the sign in its 0x40 bit.
        value |= std::uint64_t{byte & 0x3Fu} << shift;
        const auto magnitude = static_cast<std::int64_t>(value);
        return (byte & 0x40) ? -magnitude : magnitude;
    }
    m_failed = true;
    return 0;
}

std::uint32_t BitReader::modularShort() {
    std::uint32_t value = 0;
    for (unsigned shift = 0; shift < 32; shift += 15) {
        const unsigned word = rawShort();
        if (m_failed) return 0;
        value |= std::uint32_t{word & 0x7FFFu} << shift;
        if (!(word & 0x8000)) return value;
    }
    m_failed = true;
    return 0;
}

int BitReader::objectType(bool r2010Coding) {
    if (!r2010Coding) return static_cast<std::uint16_t>(bitShort());
    switch (twoBits()) {
        case 0:
            return rawChar();
        case 1:
            return 0x1F0 + rawChar();
        default:
            return rawShort();
    }
}

HandleRef BitReader::handle() {
    HandleRef ref;
    const unsigned head = rawChar();
    ref.code = static_cast<std::uint8_t>(head >> 4);
    const unsigned counter = head & 0x0F;
    if (counter > 8) {
        m_failed = true;
        return {};
    }
    for (unsigned i = 0; i < counter; ++i) ref.value = (ref.value << 8) | rawChar();
    if (m_failed) return {};
    return ref;
}

std::string BitReader::text() {
    const auto length = static_cast<std::uint16_t>(bitShort());
    if (m_failed || std::size_t{length} * 8 > m_end - m_pos) {
        m_failed = true;
        return {};
    }
    std::string out(length, '\0');
    for (char& c : out) c = static_cast<char>(rawChar());
    // Some writers count a terminating zero byte in the length.
    while (!out.empty() && out.back() == '\0') out.pop_back();
    return out;
}

std::string BitReader::unicodeText() {
    const auto units = static_cast<std::uint16_t>(bitShort());
    if (m_failed || std::size_t{units} * 16 > m_end - m_pos) {
        m_failed = true;
        return {};
    }
    std::string out;
    out.reserve(units);
    const auto append = [&out](std::uint32_t c) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    };
    for (std::uint16_t i = 0; i < units; ++i) {
        std::uint32_t unit = rawShort();
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units) {
            const std::uint32_t low = rawShort();
            ++i;
            if (low >= 0xDC00 && low < 0xE000) {
                append(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                continue;
            }
            append(0xFFFD);
            unit = low;
        }
        // A lone surrogate cannot be written as UTF-8.
        append(unit >= 0xD800 && unit < 0xE000 ? 0xFFFD : unit);
    }
    // Some writers count a terminating zero in the length.
    while (!out.empty() && out.back() == '\0') out.pop_back();
    return out;
}

}  // namespace drawing::dwg
