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

#include "drawing/dxf_reader.h"
#include "drawing/reader_errors.h"
#include "dwg_bytes.h"
#include "reader_probe.h"

namespace drawing::test {
namespace {

using Map = std::vector<dwg::ObjectMap::Entry>;

// The file with `map` as its object map, written after its last byte.
std::string withMap(std::string bytes, const Map& map) {
    const std::string encoded = encodedObjectMap(map);
    const std::size_t locator = objectMapLocator(bytes);
    putLittleEndian(bytes, locator + 1, static_cast<std::uint32_t>(bytes.size()), 4);
    putLittleEndian(bytes, locator + 5, static_cast<std::uint32_t>(encoded.size()), 4);
    bytes += encoded;
    resealFileHeader(bytes);
    return bytes;
}

Map without(Map map, std::uint64_t handle) {
    std::erase_if(map, [&](const auto& entry) { return entry.handle == handle; });
    return map;
}

// `handle` made to point at the object `other` is stored as.
Map pointing(Map map, std::uint64_t handle, std::uint64_t other) {
    std::uint32_t offset = 0;
    for (const auto& entry : map)
        if (entry.handle == other) offset = entry.offset;
    for (auto& entry : map)
        if (entry.handle == handle) entry.offset = offset;
    return map;
}

QStringList exampleWith(const std::function<void(QStringList&)>& change) {
    QStringList lines = kExampleReferences;
    change(lines);
    return lines;
}

struct Dangling {
    const char* what;
    Map map;
    QStringList expected;
};

TEST(DwgDanglingReferences, MissingObjectsAreSkippedAndOnlyAMissingBlockTableIsFatal) {
    const std::string bytes = autocadBytes(u"example_2000.dwg"_qs);
    ASSERT_FALSE(bytes.empty());
    const Map map = objectMapOf(bytes);
    ASSERT_GT(map.size(), 100u);
    // The rewritten map alone changes nothing.
    ASSERT_EQ(summary(select(parseOrFail(withMap(bytes, map)))), kExampleReferences);
    const QStringList noLayer = exampleWith([](QStringList& l) {
        for (QString& line : l) line.replace(u"Tavolo 3"_qs, u""_qs);
    });

    const std::vector<Dangling> table = {
        {"a reference in the middle of model space's chain", without(map, 0x1D2),
         exampleWith([](QStringList& l) { l.removeAt(4); })},
        {"the first entity of model space", without(map, 0x8B), kExampleReferences},
        {"the last entity of model space", without(map, 0x894), kExampleReferences},
        {"two references in a row", without(without(map, 0x1D0), 0x1D1),
         exampleWith([](QStringList& l) { l.remove(2, 2); })},
        {"an entity before a reference", without(map, 0x1A9), kExampleReferences},
        {"a chain link to an object of an unknown class", pointing(map, 0x1D3, 0x22),
         exampleWith([](QStringList& l) { l.removeAt(5); })},
        {"an attribute", without(map, 0x757),
         exampleWith([](QStringList& l) { l[9] = u"bloko Tavolo 3 756 []"_qs; })},
        {"a layer", without(map, 0x8A), noLayer},
        {"a block definition", without(map, 0x17D), exampleWith([](QStringList& l) {
             l[0].remove(0, 5);
             l[9].remove(0, 5);
         })},
        {"a layer that is an object of an unknown class", pointing(map, 0x8A, 0x22), noLayer},
        {"a layout", without(without(map, 0x51), 0x56), kExampleReferences},
        {"a paper-space block", without(map, 0x50), kExampleReferences},
        {"model space's block", without(map, 0x1F), {}},
    };
    for (const Dangling& test : table) {
        SCOPED_TRACE(test.what);
        EXPECT_EQ(summary(select(parseOrFail(withMap(bytes, test.map)))), test.expected);
    }
    // Only a drawing without its block table is refused.
    const auto result = readDrawingBytes(withMap(bytes, without(map, 1)));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error().number, errors::kMalformed);
    EXPECT_EQ(result.error().description, u"the drawing has no block table"_qs);
}

}  // namespace
}  // namespace drawing::test
