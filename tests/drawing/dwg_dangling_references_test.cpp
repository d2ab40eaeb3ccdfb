// SPDX-License-Identifier: GPL-3.0-or-later
// Real drawings name objects they no longer hold, and objects of classes the reader does not
// know. Such a drawing is read: what is missing is skipped (a reference not found is not
// there, a layer or block name not found is empty). Only a drawing without a block table is
// refused. The files are made from an R2000 sample by rewriting its object map.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "drawing/dwg/crc16.h"
#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using Map = std::vector<std::pair<std::uint64_t, std::int64_t>>;  // handle, offset

void putLittleEndian32(std::string& bytes, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i));
}

std::size_t mapLocator(const std::string& bytes) {
    const std::uint32_t count = littleEndian(bytes, 0x15, 4);
    for (std::size_t record = 0; record < count; ++record) {
        const std::size_t at = 0x19 + record * 9;
        if (bytes[at] == 2) return at;
    }
    return 0;
}

std::uint64_t modularChar(const std::string& bytes, std::size_t& at) {
    std::uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        value |= std::uint64_t{byte & 0x7Fu} << shift;
        if (!(byte & 0x80)) return value;
    }
}

std::int64_t signedModularChar(const std::string& bytes, std::size_t& at) {
    std::int64_t value = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(bytes[at++]);
        if (byte & 0x80) {
            value |= std::int64_t{byte & 0x7F} << shift;
            continue;
        }
        value |= std::int64_t{byte & 0x3F} << shift;
        return (byte & 0x40) ? -value : value;
    }
}

void putModularChar(std::string& out, std::uint64_t value) {
    do {
        const auto low = static_cast<unsigned char>(value & 0x7F);
        value >>= 7;
        out += static_cast<char>(value ? low | 0x80 : low);
    } while (value);
}

void putSignedModularChar(std::string& out, std::int64_t value) {
    const bool negative = value < 0;
    auto magnitude = static_cast<std::uint64_t>(negative ? -value : value);
    while (magnitude >= 0x40) {
        out += static_cast<char>((magnitude & 0x7F) | 0x80);
        magnitude >>= 7;
    }
    out += static_cast<char>(magnitude | (negative ? 0x40 : 0));
}

Map readMap(const std::string& bytes) {
    const std::size_t locator = mapLocator(bytes);
    std::size_t at = littleEndian(bytes, locator + 1, 4);
    Map map;
    for (;;) {
        const std::size_t size = (unsigned{static_cast<unsigned char>(bytes[at])} << 8) |
                                 static_cast<unsigned char>(bytes[at + 1]);
        if (size == 2) return map;
        std::size_t in = at + 2;
        std::uint64_t handle = 0;
        std::int64_t offset = 0;
        while (in < at + size) {
            handle += modularChar(bytes, in);
            offset += signedModularChar(bytes, in);
            map.emplace_back(handle, offset);
        }
        at += size + 2;
    }
}

void appendSection(std::string& out, const std::string& body) {
    std::string section;
    section += static_cast<char>((body.size() + 2) >> 8);
    section += static_cast<char>((body.size() + 2) & 0xFF);
    section += body;
    const std::uint16_t crc = dwg::crc16(section, 0xC0C1);
    out += section;
    out += static_cast<char>(crc >> 8);
    out += static_cast<char>(crc & 0xFF);
}

// The file with `map` as its object map, written after its last byte.
std::string withMap(std::string bytes, const Map& map) {
    std::string encoded;
    std::string body;
    std::uint64_t handle = 0;
    std::int64_t offset = 0;
    for (const auto& [h, o] : map) {
        putModularChar(body, h - handle);
        putSignedModularChar(body, o - offset);
        handle = h;
        offset = o;
        if (body.size() > 2000) {
            appendSection(encoded, body);
            body.clear();
            handle = 0;
            offset = 0;
        }
    }
    if (!body.empty()) appendSection(encoded, body);
    appendSection(encoded, {});
    const std::size_t locator = mapLocator(bytes);
    putLittleEndian32(bytes, locator + 1, static_cast<std::uint32_t>(bytes.size()));
    putLittleEndian32(bytes, locator + 5, static_cast<std::uint32_t>(encoded.size()));
    bytes += encoded;
    // The file header's check value, masked by its record count.
    const std::uint32_t count = littleEndian(bytes, 0x15, 4);
    const std::size_t crcAt = 0x19 + count * 9;
    static const std::uint16_t kMasks[] = {0, 0, 0, 0xA598, 0x8101, 0x3CC4, 0x8461};
    const std::uint16_t crc =
        dwg::crc16(std::string_view(bytes).substr(0, crcAt), 0) ^ (count < 7 ? kMasks[count] : 0);
    bytes[crcAt] = static_cast<char>(crc & 0xFF);
    bytes[crcAt + 1] = static_cast<char>(crc >> 8);
    return bytes;
}

Map without(Map map, std::uint64_t handle) {
    std::erase_if(map, [&](const auto& entry) { return entry.first == handle; });
    return map;
}

// `handle` made to point at the object `other` is stored as.
Map pointing(Map map, std::uint64_t handle, std::uint64_t other) {
    std::int64_t offset = -1;
    for (const auto& entry : map)
        if (entry.first == other) offset = entry.second;
    for (auto& entry : map)
        if (entry.first == handle) entry.second = offset;
    return map;
}

const QStringList kExample = {
    u"bloko Tavolo 3 190 [ETIKEDO=valoro de la teksto en bloko]"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1C8"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D0"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D1"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D2"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D3"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D4"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D5"_qs,
    u"CIRKLO_PUNKTOJ Tavolo 3 1D6"_qs,
    u"bloko Tavolo 3 756 [ETIKEDO=valoro]"_qs,
};

QStringList exampleWith(const std::function<void(QStringList&)>& change) {
    QStringList lines = kExample;
    change(lines);
    return lines;
}

struct Dangling {
    const char* what;
    Map map;
    QStringList expected;
};

TEST(DwgDanglingReferences, MissingObjectsAreSkipped) {
    const std::string bytes = autocadBytes(u"example_2000.dwg"_qs);
    ASSERT_FALSE(bytes.empty());
    const Map map = readMap(bytes);
    ASSERT_GT(map.size(), 100u);
    // The rewritten map alone changes nothing.
    ASSERT_EQ(summary(select(readDrawingBytes(withMap(bytes, map)).value())), kExample);

    const std::vector<Dangling> table = {
        {"a reference in the middle of model space's chain", without(map, 0x1D2),
         exampleWith([](QStringList& l) { l.removeAt(4); })},
        {"the first entity of model space", without(map, 0x8B), kExample},
        {"the last entity of model space", without(map, 0x894), kExample},
        {"two references in a row", without(without(map, 0x1D0), 0x1D1),
         exampleWith([](QStringList& l) { l.remove(2, 2); })},
        {"an entity before a reference", without(map, 0x1A9), kExample},
        {"a chain link to an object of an unknown class", pointing(map, 0x1D3, 0x22),
         exampleWith([](QStringList& l) { l.removeAt(5); })},
        {"an attribute", without(map, 0x757),
         exampleWith([](QStringList& l) { l[9] = u"bloko Tavolo 3 756 []"_qs; })},
        {"a layer", without(map, 0x8A), exampleWith([](QStringList& l) {
             for (QString& line : l) line.replace(u"Tavolo 3"_qs, u""_qs);
         })},
        {"a block definition", without(map, 0x17D), exampleWith([](QStringList& l) {
             l[0].remove(0, 5);
             l[9].remove(0, 5);
         })},
        {"a layer that is an object of an unknown class", pointing(map, 0x8A, 0x22),
         exampleWith([](QStringList& l) {
             for (QString& line : l) line.replace(u"Tavolo 3"_qs, u""_qs);
         })},
        {"a layout", without(without(map, 0x51), 0x56), kExample},
        {"a paper-space block", without(map, 0x50), kExample},
        {"model space's block", without(map, 0x1F), {}},
    };
    for (const Dangling& test : table) {
        SCOPED_TRACE(test.what);
        const auto result = readDrawingBytes(withMap(bytes, test.map));
        ASSERT_TRUE(result.ok()) << result.error().description.toStdString();
        EXPECT_EQ(summary(select(result.value())), test.expected);
    }
}

TEST(DwgDanglingReferences, ADrawingWithoutItsBlockTableIsRefused) {
    const std::string bytes = autocadBytes(u"example_2000.dwg"_qs);
    Map map = readMap(bytes);
    const auto result = readDrawingBytes(withMap(bytes, without(map, 1)));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, errors::kMalformed);
    EXPECT_EQ(result.error().description, u"the drawing has no block table"_qs);
}

}  // namespace
}  // namespace drawing::test
