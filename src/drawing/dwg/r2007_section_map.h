// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The section map of an AC1021 (R2007) file, once decoded and decompressed: for each section
// its size, flags and pages. Private to the R2007 reader, its writer and their tests.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace drawing::dwg::r2007 {

struct DataPage {
    std::uint64_t offset = 0;  // in the section
    std::uint64_t id = 0;      // in the page map
    std::uint64_t size = 0;    // uncompressed
    std::uint64_t compressedSize = 0;
    std::uint64_t checksum = 0;
    std::uint64_t crc = 0;
};

// A page description's fields, from its start.
namespace page_field {
constexpr std::size_t kOffset = 0x00;
constexpr std::size_t kPageSize = 0x08;  // not read; AutoCAD writes the section's largest page
constexpr std::size_t kId = 0x10;
constexpr std::size_t kSize = 0x18;
constexpr std::size_t kCompressedSize = 0x20;
constexpr std::size_t kChecksum = 0x28;
constexpr std::size_t kCrc = 0x30;
}  // namespace page_field
constexpr std::size_t kPageDescriptionSize = 56;

struct SectionDescription {
    std::uint64_t size = 0;
    std::uint64_t maxPageSize = 0;  // how much of the section one page holds
    std::uint64_t encrypted = 0;
    std::uint64_t encoding = 0;  // 4: Reed-Solomon interleaved, 1: stored as is
    std::vector<DataPage> pages;
};

using SectionMap = std::map<std::string, SectionDescription, std::less<>>;

// A section description's fields, from its start; the name follows them.
namespace section_field {
constexpr std::size_t kSize = 0x00;
constexpr std::size_t kPageCount = 0x38;
}  // namespace section_field
constexpr std::size_t kSectionDescriptionSize = 64;

// One description where the map stores it, in the map's order: a writer copies the bytes of
// those it does not change.
struct SectionEntry {
    std::string name;  // empty for the closing description
    SectionDescription description;
    std::size_t at = 0;       // its first byte in the map
    std::size_t pagesAt = 0;  // where its page list starts, after the name
    std::size_t end = 0;      // one past its page list
};

// Every description of `map` in order; what follows the last one (less than a description) is
// padding. Nothing when a name or a page list runs past the end.
std::optional<std::vector<SectionEntry>> splitSectionMap(std::string_view map);

// The descriptions of `map` by name (non-ASCII characters become '?'); nothing when a name or
// a page list runs past its end.
std::optional<SectionMap> parseSectionMap(std::string_view map);

}  // namespace drawing::dwg::r2007
