// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where an AC1021 (R2007) file keeps its pages: the file header at 0x80 and the two system
// pages it locates (the page map, the section map). Private to the R2007 reader, its writer
// and their tests.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/dwg/byte_order.h"

namespace drawing::dwg::r2007 {

constexpr std::size_t kFileHeaderAt = 0x80;
constexpr std::size_t kFileHeaderSize = 0x400;
// Page offsets in the page map count from the end of the file header.
constexpr std::uint64_t kPagesBase = 0x480;
// The file header's code words, and the size of its data once decompressed.
constexpr std::size_t kHeaderWords = 3;
constexpr std::size_t kHeaderData = 0x110;

// Fields of the decompressed file header.
namespace field {
constexpr std::size_t kFileSize = 0x08;
constexpr std::size_t kPagesMapCrcCompressed = 0x10;
constexpr std::size_t kPagesMapCorrectionFactor = 0x18;
constexpr std::size_t kPagesMapCrcSeed = 0x20;
constexpr std::size_t kPagesMap2Offset = 0x28;
constexpr std::size_t kPagesMap2Id = 0x30;
constexpr std::size_t kPagesMapOffset = 0x38;
constexpr std::size_t kPagesMapId = 0x40;
constexpr std::size_t kHeader2Offset = 0x48;
constexpr std::size_t kPagesMapSizeCompressed = 0x50;
constexpr std::size_t kPagesMapSizeUncompressed = 0x58;
constexpr std::size_t kPagesAmount = 0x60;
constexpr std::size_t kPagesMaxId = 0x68;
constexpr std::size_t kPagesMapCrcUncompressed = 0x80;
constexpr std::size_t kSectionsMapCrcUncompressed = 0xA8;
constexpr std::size_t kSectionsMapSizeCompressed = 0xB0;
constexpr std::size_t kSectionsMap2Id = 0xB8;
constexpr std::size_t kSectionsMapId = 0xC0;
constexpr std::size_t kSectionsMapSizeUncompressed = 0xC8;
constexpr std::size_t kSectionsMapCrcCompressed = 0xD0;
constexpr std::size_t kSectionsMapCorrectionFactor = 0xD8;
constexpr std::size_t kSectionsMapCrcSeed = 0xE0;
constexpr std::size_t kCrcSeed = 0xF0;
constexpr std::size_t kHeaderCrc = 0x108;
}  // namespace field

// The coded file header, once its code words are taken apart: check values, the stored
// length of the header data (negative: not compressed), then that data.
namespace header_block {
constexpr std::size_t kDataCrc = 0x10;
constexpr std::size_t kLength = 0x18;
constexpr std::size_t kLength2 = 0x1C;
constexpr std::size_t kData = 0x20;
}  // namespace header_block

// Where a system page is and how it was written, as the file header tells.
struct SystemPage {
    std::uint64_t offset = 0;  // from kPagesBase
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t repeats = 0;  // how often the data is repeated before coding
    std::uint64_t compressedCrc = 0;
    std::uint64_t crc = 0;
    std::uint64_t crcSeed = 0;  // encoded
};

// The file header fields that tell of one system page; the section map's place is that of its
// page in the page map.
struct SystemPageFields {
    std::size_t compressedSize;
    std::size_t size;
    std::size_t repeats;
    std::size_t compressedCrc;
    std::size_t crc;
    std::size_t crcSeed;
};
constexpr SystemPageFields kPageMapFields = {
    field::kPagesMapSizeCompressed,   field::kPagesMapSizeUncompressed,
    field::kPagesMapCorrectionFactor, field::kPagesMapCrcCompressed,
    field::kPagesMapCrcUncompressed,  field::kPagesMapCrcSeed};
constexpr SystemPageFields kSectionMapFields = {
    field::kSectionsMapSizeCompressed,   field::kSectionsMapSizeUncompressed,
    field::kSectionsMapCorrectionFactor, field::kSectionsMapCrcCompressed,
    field::kSectionsMapCrcUncompressed,  field::kSectionsMapCrcSeed};

// `header` is the decompressed file header data.
inline SystemPage systemPageIn(std::string_view header, const SystemPageFields& fields) {
    SystemPage page;
    page.compressedSize = le64(header, fields.compressedSize);
    page.size = le64(header, fields.size);
    page.repeats = le64(header, fields.repeats);
    page.compressedCrc = le64(header, fields.compressedCrc);
    page.crc = le64(header, fields.crc);
    page.crcSeed = le64(header, fields.crcSeed);
    return page;
}

inline void putSystemPage(std::string& header, const SystemPageFields& fields,
                          const SystemPage& page) {
    putLe64(header, fields.compressedSize, page.compressedSize);
    putLe64(header, fields.size, page.size);
    putLe64(header, fields.repeats, page.repeats);
    putLe64(header, fields.compressedCrc, page.compressedCrc);
    putLe64(header, fields.crc, page.crc);
    putLe64(header, fields.crcSeed, page.crcSeed);
}

// One pair of the page map: pages follow each other from kPagesBase; a negative id marks a gap.
struct PageMapEntry {
    std::uint64_t size = 0;
    std::int64_t id = 0;
};

struct Layout {
    std::string header;                 // the decompressed file header data (kHeaderData)
    std::vector<PageMapEntry> pageMap;  // in file order
    std::string sectionMap;             // the decompressed section map
};

// The layout of `file` with every check value of the file header and the system pages verified;
// nothing and `problem` set otherwise.
std::optional<Layout> readLayout(std::string_view file, QString& problem);

}  // namespace drawing::dwg::r2007
