// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/file_header.h"

#include <algorithm>
#include <array>

#include "drawing/dwg/bit_reader.h"
#include "drawing/dwg/crc16.h"

namespace drawing::dwg {

namespace {

constexpr std::size_t kLocatorStart = 0x19;
constexpr std::size_t kLocatorRecordSize = 9;
// Far more than any writer uses (six): a corrupt count must not make us read garbage.
constexpr std::uint32_t kMaxLocators = 16;

// The check value of the header is XORed with a value that depends on the record count.
std::uint16_t headerCrcMask(std::uint32_t records) {
    switch (records) {
        case 3:
            return 0xA598;
        case 4:
            return 0x8101;
        case 5:
            return 0x3CC4;
        case 6:
            return 0x8461;
        default:
            return 0;
    }
}

}  // namespace

std::optional<FileHeader> readFileHeader(std::string_view file, bool verifyCheckValue,
                                         QString& problem) {
    if (file.size() < kLocatorStart) {
        problem = QStringLiteral("the file header is truncated");
        return std::nullopt;
    }
    BitReader reader(file);
    reader.seek(0x13 * 8);
    FileHeader header;
    header.codePage = reader.rawShort();
    const std::uint32_t count = reader.rawLong();
    if (count == 0 || count > kMaxLocators) {
        problem = QStringLiteral("the file header has an invalid section count (%1)").arg(count);
        return std::nullopt;
    }
    const std::size_t crcAt = kLocatorStart + count * kLocatorRecordSize;
    if (file.size() < crcAt + 2) {
        problem = QStringLiteral("the file header is truncated");
        return std::nullopt;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        const unsigned number = reader.rawChar();
        SectionLocation location;
        location.offset = reader.rawLong();
        location.size = reader.rawLong();
        location.present = true;
        header.locatedEnd =
            std::max(header.locatedEnd, std::uint64_t{location.offset} + location.size);
        if (number == 0) header.headerVariables = location;
        if (number == 1) header.classes = location;
        if (number == 2) header.objectMap = location;
    }
    const std::uint16_t stored = reader.rawShort();
    const std::uint16_t computed = fileHeaderCheckValue(file.substr(0, crcAt), count);
    if (reader.failed() || (verifyCheckValue && stored != computed)) {
        problem = QStringLiteral("the file header is corrupt (check value mismatch)");
        return std::nullopt;
    }
    if (!header.objectMap.present) {
        problem = QStringLiteral("the file has no object map");
        return std::nullopt;
    }
    return header;
}

std::uint16_t fileHeaderCheckValue(std::string_view header, std::uint32_t records) {
    return static_cast<std::uint16_t>(crc16(header, 0) ^ headerCrcMask(records));
}

std::optional<std::uint64_t> flatFileExtent(std::string_view head, std::uint64_t fileSize,
                                            QString& problem) {
    const auto header = readFileHeader(head, true, problem);
    if (!header) return std::nullopt;
    const SectionLocation& map = header->objectMap;
    if (map.offset > fileSize || map.size > fileSize - map.offset) {
        problem = QStringLiteral("the object map is corrupt: it lies beyond the end of the file");
        return std::nullopt;
    }
    // A section other than the object map may be located beyond the end (an optional one);
    // the reader does without it.
    return std::min(fileSize, header->locatedEnd);
}

std::string_view codePageName(int number) {
    static constexpr std::array<std::string_view, 45> kNames = {
        "",           "US_ASCII",   "ISO_8859_1", "ISO_8859_2", "ISO_8859_3", "ISO_8859_4",
        "ISO_8859_5", "ISO_8859_6", "ISO_8859_7", "ISO_8859_8", "ISO_8859_9", "DOS437",
        "DOS850",     "DOS852",     "DOS855",     "DOS857",     "DOS860",     "DOS861",
        "DOS863",     "DOS864",     "DOS865",     "DOS869",     "DOS932",     "MACINTOSH",
        "BIG5",       "KSC5601",    "JOHAB",      "DOS866",     "ANSI_1250",  "ANSI_1251",
        "ANSI_1252",  "GB2312",     "ANSI_1253",  "ANSI_1254",  "ANSI_1255",  "ANSI_1256",
        "ANSI_1257",  "ANSI_874",   "ANSI_932",   "ANSI_936",   "ANSI_949",   "ANSI_950",
        "ANSI_1361",  "ANSI_1200",  "ANSI_1258"};
    if (number < 0 || number >= static_cast<int>(kNames.size())) return {};
    return kNames[static_cast<std::size_t>(number)];
}

}  // namespace drawing::dwg
