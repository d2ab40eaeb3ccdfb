// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The section map of an AC1021 (R2007) file, once decoded and decompressed: for each section
// its size, flags and pages. Private to r2007_sections.cpp and its tests.

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

struct SectionDescription {
    std::uint64_t size = 0;
    std::uint64_t encrypted = 0;
    std::uint64_t encoding = 0;  // 4: Reed-Solomon interleaved, 1: stored as is
    std::vector<DataPage> pages;
};

using SectionMap = std::map<std::string, SectionDescription, std::less<>>;

// The descriptions of `map` by name (non-ASCII characters become '?'); nothing when a name or
// a page list runs past its end.
std::optional<SectionMap> parseSectionMap(std::string_view map);

}  // namespace drawing::dwg::r2007
