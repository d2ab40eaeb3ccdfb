// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/bit_writer.h"

#include <QString>
#include <bit>

namespace drawing::dwg {

void BitWriter::bits(std::uint64_t value, unsigned count) {
    for (unsigned i = count; i > 0; --i) {
        if ((m_bits & 7) == 0) m_bytes.push_back('\0');
        if ((value >> (i - 1)) & 1) {
            const auto shift = static_cast<unsigned>(7 - (m_bits & 7));
            m_bytes.back() =
                static_cast<char>(static_cast<unsigned char>(m_bytes.back()) | (1u << shift));
        }
        ++m_bits;
    }
}

void BitWriter::rawShort(std::uint16_t value) {
    rawChar(static_cast<std::uint8_t>(value & 0xFF));
    rawChar(static_cast<std::uint8_t>(value >> 8));
}

void BitWriter::rawLong(std::uint32_t value) {
    rawShort(static_cast<std::uint16_t>(value & 0xFFFF));
    rawShort(static_cast<std::uint16_t>(value >> 16));
}

void BitWriter::rawDouble(double value) {
    const auto raw = std::bit_cast<std::uint64_t>(value);
    for (unsigned i = 0; i < 8; ++i) rawChar(static_cast<std::uint8_t>(raw >> (8 * i)));
}

void BitWriter::bitShort(std::int16_t value) {
    const auto u = static_cast<std::uint16_t>(value);
    if (u == 0) {
        twoBits(2);
    } else if (u == 256) {
        twoBits(3);
    } else if (u < 256) {
        twoBits(1);
        rawChar(static_cast<std::uint8_t>(u));
    } else {
        twoBits(0);
        rawShort(u);
    }
}

void BitWriter::bitLong(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    if (u == 0) {
        twoBits(2);
    } else if (u < 256) {
        twoBits(1);
        rawChar(static_cast<std::uint8_t>(u));
    } else {
        twoBits(0);
        rawLong(u);
    }
}

void BitWriter::bitDouble(double value) {
    // Only the exact values have the short codes; -0.0 keeps its sign bit.
    if (std::bit_cast<std::uint64_t>(value) == 0) {
        twoBits(2);
    } else if (value == 1.0) {
        twoBits(1);
    } else {
        twoBits(0);
        rawDouble(value);
    }
}

void BitWriter::modularChar(std::uint64_t value) {
    do {
        const auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        rawChar(value ? static_cast<std::uint8_t>(low | 0x80) : low);
    } while (value);
}

void BitWriter::signedModularChar(std::int64_t value) {
    const bool negative = value < 0;
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    // Seven bits a byte; the last byte has six, and the sign in its 0x40 bit.
    while (magnitude >= 0x40) {
        rawChar(static_cast<std::uint8_t>((magnitude & 0x7F) | 0x80));
        magnitude >>= 7;
    }
    rawChar(static_cast<std::uint8_t>(magnitude | (negative ? 0x40 : 0)));
}

void BitWriter::modularShort(std::uint32_t value) {
    do {
        const auto low = static_cast<std::uint16_t>(value & 0x7FFF);
        value >>= 15;
        rawShort(value ? static_cast<std::uint16_t>(low | 0x8000) : low);
    } while (value);
}

void BitWriter::handle(const HandleRef& ref) {
    unsigned counter = 0;
    for (std::uint64_t v = ref.value; v; v >>= 8) ++counter;
    rawChar(static_cast<std::uint8_t>((unsigned{ref.code} << 4) | counter));
    for (unsigned i = counter; i > 0; --i)
        rawChar(static_cast<std::uint8_t>(ref.value >> (8 * (i - 1))));
}

void BitWriter::text(std::string_view bytes) {
    bitShort(static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes.size())));
    for (const char c : bytes) rawChar(static_cast<std::uint8_t>(c));
}

void BitWriter::unicodeText(std::string_view utf8) {
    const std::u16string units = utf16Of(utf8);
    bitShort(static_cast<std::int16_t>(static_cast<std::uint16_t>(units.size())));
    for (const char16_t unit : units) rawShort(static_cast<std::uint16_t>(unit));
}

void BitWriter::copyBits(std::string_view bytes, std::size_t begin, std::size_t end) {
    BitReader reader(bytes, begin, end);
    while (reader.remaining() >= 8) rawChar(reader.rawChar());
    while (reader.remaining() > 0) bit(reader.bit() != 0);
}

void BitWriter::overwrite(std::size_t at, std::uint64_t value, unsigned count) {
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t pos = at + i;
        const auto mask = static_cast<unsigned char>(1u << (7 - (pos & 7)));
        char& byte = m_bytes[pos >> 3];
        const auto old = static_cast<unsigned char>(byte);
        byte = static_cast<char>(((value >> (count - 1 - i)) & 1) ? old | mask : old & ~mask);
    }
}

void BitWriter::padToByte() {
    if (m_bits & 7) bits(0, static_cast<unsigned>(8 - (m_bits & 7)));
}

std::u16string utf16Of(std::string_view utf8) {
    const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    return text.toStdU16String();
}

}  // namespace drawing::dwg
