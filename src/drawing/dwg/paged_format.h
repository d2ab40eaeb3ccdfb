// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The page layer of AC1018, AC1024, AC1027 and AC1032 files, shared by the reader and the
// writer: an encrypted file header at 0x80 points to the section page map (where each page
// lies), which names the page of the section map (which pages make up each section); the data
// pages are compressed pieces of the sections.

#include <QString>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace drawing::dwg::paged {

inline constexpr std::size_t kEncryptedHeaderAt = 0x80;
inline constexpr std::size_t kEncryptedHeaderSize = 0x6C;
inline constexpr std::uint64_t kFirstPageAddress = 0x100;

// Fields of the decrypted file header.
inline constexpr std::size_t kLastPageIdAt = 0x28;
inline constexpr std::size_t kLastPageEndAt = 0x2C;  // counted from the first page
inline constexpr std::size_t kSecondHeaderAt = 0x34;
inline constexpr std::size_t kPageCountAt = 0x40;
inline constexpr std::size_t kPageMapIdAt = 0x50;
inline constexpr std::size_t kPageMapAddressAt = 0x54;  // counted from the first page
inline constexpr std::size_t kSectionMapIdAt = 0x5C;
inline constexpr std::size_t kPageArraySizeAt = 0x60;
inline constexpr std::size_t kEncryptedHeaderCrcAt = 0x68;

inline constexpr std::uint32_t kPageMapType = 0x41630E3B;
inline constexpr std::uint32_t kSectionMapType = 0x4163003B;
inline constexpr std::uint32_t kDataPageType = 0x4163043B;
inline constexpr std::uint32_t kCompressedPages = 2;
inline constexpr std::uint32_t kStoredPages = 1;
inline constexpr std::size_t kSystemPageHeaderSize = 20;
inline constexpr std::size_t kDataPageHeaderSize = 32;
inline constexpr std::size_t kHeaderChecksumAt = 0x18;
inline constexpr std::size_t kDataChecksumAt = 0x1C;
// Pages start and end on this boundary.
inline constexpr std::size_t kPageAlignment = 0x20;

inline constexpr std::size_t kSectionMapHeaderSize = 20;
inline constexpr std::size_t kDescriptionSize = 96;
inline constexpr std::size_t kPageEntrySize = 16;

QString truncated();
QString corruptHeader();
QString corruptPageMap();
QString corruptSectionMap();

// The Adler-32-like sum that guards each page; `seed` chains the header and data sums.
std::uint32_t pageChecksum(std::uint32_t seed, std::string_view bytes);

// The CRC-32 of zlib (reflected polynomial 0xEDB88320) that guards the file header.
std::uint32_t crc32(std::string_view bytes);

// The stream of the C library's rand() that masks the file header, XORed onto `bytes` (it
// encrypts and decrypts alike); over zeros it gives the filler AutoCAD pads pages with.
std::string maskFileHeader(std::string_view bytes);

// The 32-byte header of a data page, masked with a value that depends on its address (the
// same operation masks and unmasks).
std::string maskDataPageHeader(std::string_view header, std::uint64_t address);

// The decrypted file header, its file id and (when `verify`) its CRC checked.
bool readEncryptedHeader(std::string_view file, bool verify, std::string& header, QString& problem);

// A page of the maps: a 20-byte header (type, sizes, compression, checksum), then data.
bool readSystemPage(std::string_view file, std::uint64_t address, std::uint32_t type, bool verify,
                    const QString& corrupt, std::string& data, QString& problem);

// One entry of the section page map, in file order: a page, or a gap (a negative number,
// followed in the map by four longs of a free-space tree, kept in `gapTree`).
struct PageMapEntry {
    std::int32_t number = 0;
    std::uint32_t size = 0;
    std::uint64_t address = 0;
    std::string gapTree;
};

struct PageLocation {
    std::uint64_t address = 0;
    std::uint64_t size = 0;
};

using PageTable = std::map<std::uint32_t, PageLocation>;

bool readPageMap(std::string_view map, std::vector<PageMapEntry>& entries, PageTable& pages,
                 QString& problem);

struct PageEntry {
    std::uint32_t number = 0;
    std::uint32_t compressedSize = 0;
    std::uint64_t offset = 0;
};

struct SectionDescription {
    std::string name;
    std::uint64_t size = 0;
    std::uint32_t maxPageSize = 0;
    std::uint32_t compression = 0;
    std::uint32_t id = 0;
    std::uint32_t encrypted = 0;
    std::vector<PageEntry> pages;
    std::string stored;  // the description's 96 bytes as the map holds them
};

// The section map's descriptions; `header` gets its first 20 bytes.
bool readSectionMap(std::string_view map, std::string& header,
                    std::vector<SectionDescription>& sections, QString& problem);

// What the maps of a file say: the decrypted file header, the pages, the sections.
struct Layout {
    std::string header;
    std::vector<PageMapEntry> entries;
    PageTable pages;
    std::string sectionMapHeader;
    std::vector<SectionDescription> sections;
};

// Reads the file header, the section page map and the section map (their check values when
// `verify`); false and `problem` set when one is missing, truncated or corrupt, or when the
// drawing is encrypted with a password.
bool readLayout(std::string_view file, bool verify, Layout& layout, QString& problem);

}  // namespace drawing::dwg::paged
