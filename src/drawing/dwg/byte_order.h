// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Little-endian fields at byte offsets, as the file and page headers hold them; the caller
// has checked that the bytes are there.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace drawing::dwg {

inline std::uint16_t le16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                      (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

inline std::uint32_t le32(std::string_view bytes, std::size_t at) {
    return le16(bytes, at) | (std::uint32_t{le16(bytes, at + 2)} << 16);
}

inline std::uint64_t le64(std::string_view bytes, std::size_t at) {
    return le32(bytes, at) | (std::uint64_t{le32(bytes, at + 4)} << 32);
}

inline void putLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

inline void putLe64(std::string& bytes, std::size_t at, std::uint64_t value) {
    putLe32(bytes, at, static_cast<std::uint32_t>(value));
    putLe32(bytes, at + 4, static_cast<std::uint32_t>(value >> 32));
}

}  // namespace drawing::dwg
