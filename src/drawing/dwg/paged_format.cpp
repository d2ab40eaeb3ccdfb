// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/paged_format.h"

#include <algorithm>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/lz77_r2004.h"
#include "drawing/dwg/sections.h"

namespace drawing::dwg::paged {

namespace {

constexpr std::string_view kFileId("AcFssFcAJMB\0", 12);
constexpr std::uint32_t kDataPageMask = 0x4164536B;
constexpr std::size_t kSectionNameSize = 64;

// A bound on what a map page may decompress to: its entries (8 or 16 bytes) each describe a
// page of this file, and a page takes at least 32 bytes; the slack covers section names.
std::uint64_t systemPageLimit(std::string_view file) {
    constexpr std::uint64_t kMaxSectionSize = std::uint64_t{1} << 30;
    return std::min<std::uint64_t>(kMaxSectionSize, std::uint64_t{file.size()} + 0x10000);
}

}  // namespace

QString truncated() {
    return QStringLiteral("the file is truncated");
}
QString corruptHeader() {
    return QStringLiteral("the file header is corrupt");
}
QString corruptPageMap() {
    return QStringLiteral("the section page map is corrupt");
}
QString corruptSectionMap() {
    return QStringLiteral("the section map is corrupt");
}

std::uint32_t pageChecksum(std::uint32_t seed, std::string_view bytes) {
    // Sums over at most this many bytes cannot overflow 32 bits.
    constexpr std::size_t kRun = 0x15B0;
    constexpr std::uint32_t kModulus = 0xFFF1;
    std::uint32_t low = seed & 0xFFFFu;
    std::uint32_t high = seed >> 16;
    constexpr std::size_t kBlock = 16;
    while (!bytes.empty()) {
        const std::string_view run = bytes.substr(0, kRun);
        const auto* data = reinterpret_cast<const unsigned char*>(run.data());
        std::size_t size = run.size();
        // A block of 16 bytes b[0..15] adds sum(b) to `low` and 16 * low + sum((16 - i) * b[i])
        // to `high`: the same sums as byte by byte, in a form the compiler can vectorise.
        for (; size >= kBlock; size -= kBlock, data += kBlock) {
            std::uint32_t sum = 0;
            std::uint32_t weighted = 0;
            for (std::size_t i = 0; i < kBlock; ++i) {
                sum += data[i];
                weighted += static_cast<std::uint32_t>(kBlock - i) * data[i];
            }
            high += static_cast<std::uint32_t>(kBlock) * low + weighted;
            low += sum;
        }
        for (; size > 0; --size, ++data) {
            low += *data;
            high += low;
        }
        low %= kModulus;
        high %= kModulus;
        bytes.remove_prefix(run.size());
    }
    return (high << 16) | (low & 0xFFFFu);
}

// Only 0x6C bytes ever go through it.
std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

std::string maskFileHeader(std::string_view bytes) {
    std::string plain(bytes);
    std::uint32_t seed = 1;
    for (char& c : plain) {
        seed = seed * 0x343FDu + 0x269EC3u;
        c = static_cast<char>(static_cast<unsigned char>(c) ^ ((seed >> 16) & 0xFFu));
    }
    return plain;
}

std::string maskDataPageHeader(std::string_view header, std::uint64_t address) {
    std::string masked(header);
    const std::uint32_t mask = kDataPageMask ^ static_cast<std::uint32_t>(address);
    for (std::size_t at = 0; at < masked.size(); at += 4)
        putLe32(masked, at, le32(masked, at) ^ mask);
    return masked;
}

bool readEncryptedHeader(std::string_view file, bool verify, std::string& header,
                         QString& problem) {
    header = maskFileHeader(file.substr(kEncryptedHeaderAt, kEncryptedHeaderSize));
    if (std::string_view(header).substr(0, kFileId.size()) != kFileId) {
        problem = corruptHeader();
        return false;
    }
    std::string zeroed = header;
    putLe32(zeroed, kEncryptedHeaderCrcAt, 0);
    if (verify && crc32(zeroed) != le32(header, kEncryptedHeaderCrcAt)) {
        problem = corruptHeader();
        return false;
    }
    return true;
}

bool readSystemPage(std::string_view file, std::uint64_t address, std::uint32_t type, bool verify,
                    const QString& corrupt, std::string& data, QString& problem) {
    if (address > file.size() || file.size() - address < kSystemPageHeaderSize) {
        problem = truncated();
        return false;
    }
    const std::string_view header = file.substr(address, kSystemPageHeaderSize);
    const std::uint32_t decompressedSize = le32(header, 4);
    const std::uint32_t compressedSize = le32(header, 8);
    if (le32(header, 0) != type || le32(header, 12) != kCompressedPages ||
        decompressedSize > systemPageLimit(file)) {
        problem = corrupt;
        return false;
    }
    const std::uint64_t dataAt = address + kSystemPageHeaderSize;
    if (compressedSize > file.size() - dataAt) {
        problem = truncated();
        return false;
    }
    const std::string_view compressed = file.substr(dataAt, compressedSize);
    if (verify) {
        std::string zeroed(header);
        putLe32(zeroed, 16, 0);
        if (pageChecksum(pageChecksum(0, zeroed), compressed) != le32(header, 16)) {
            problem = corrupt;
            return false;
        }
    }
    if (!decompressR2004(compressed, data, decompressedSize) || data.size() != decompressedSize) {
        problem = corrupt;
        return false;
    }
    return true;
}

bool readPageMap(std::string_view map, std::vector<PageMapEntry>& entries, PageTable& pages,
                 QString& problem) {
    constexpr std::size_t kEntrySize = 8;
    constexpr std::size_t kGapTreeSize = 16;
    std::uint64_t address = kFirstPageAddress;
    std::size_t at = 0;
    while (at < map.size()) {
        if (map.size() - at < kEntrySize) break;
        PageMapEntry entry;
        entry.number = static_cast<std::int32_t>(le32(map, at));
        const auto size = static_cast<std::int32_t>(le32(map, at + 4));
        at += kEntrySize;
        if (size <= 0) {
            problem = corruptPageMap();
            return false;
        }
        entry.size = static_cast<std::uint32_t>(size);
        entry.address = address;
        if (entry.number < 0) {
            if (map.size() - at < kGapTreeSize) break;
            entry.gapTree = std::string(map.substr(at, kGapTreeSize));
            at += kGapTreeSize;
        } else if (!pages
                        .emplace(static_cast<std::uint32_t>(entry.number),
                                 PageLocation{address, entry.size})
                        .second) {
            problem = corruptPageMap();
            return false;
        }
        address += entry.size;
        entries.push_back(std::move(entry));
    }
    if (at != map.size() || pages.empty()) {
        problem = corruptPageMap();
        return false;
    }
    return true;
}

bool readSectionMap(std::string_view map, std::string& header,
                    std::vector<SectionDescription>& sections, QString& problem) {
    problem = corruptSectionMap();
    if (map.size() < kSectionMapHeaderSize) return false;
    header = std::string(map.substr(0, kSectionMapHeaderSize));
    const std::uint32_t count = le32(map, 0);
    if (count > (map.size() - kSectionMapHeaderSize) / kDescriptionSize) return false;
    std::size_t at = kSectionMapHeaderSize;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (map.size() - at < kDescriptionSize) return false;
        SectionDescription section;
        section.stored = std::string(map.substr(at, kDescriptionSize));
        section.size = le64(map, at);
        const std::uint32_t pageCount = le32(map, at + 8);
        section.maxPageSize = le32(map, at + 12);
        section.compression = le32(map, at + 20);
        section.id = le32(map, at + 24);
        section.encrypted = le32(map, at + 28);
        const std::string_view name = map.substr(at + 32, kSectionNameSize);
        section.name = std::string(name.substr(0, name.find('\0')));
        at += kDescriptionSize;
        if (pageCount > (map.size() - at) / kPageEntrySize) return false;
        section.pages.reserve(pageCount);
        for (std::uint32_t page = 0; page < pageCount; ++page) {
            section.pages.push_back({le32(map, at), le32(map, at + 4), le64(map, at + 8)});
            at += kPageEntrySize;
        }
        sections.push_back(std::move(section));
    }
    problem.clear();
    return true;
}

bool readLayout(std::string_view file, bool verify, Layout& layout, QString& problem) {
    if (file.size() < kFirstPageAddress) {
        problem = truncated();
        return false;
    }
    if (!readEncryptedHeader(file, verify, layout.header, problem)) return false;
    if (readPlainHeader(file).dataEncrypted) {
        problem = passwordProtected();
        return false;
    }
    std::string pageMap;
    if (!readSystemPage(file, le64(layout.header, kPageMapAddressAt) + kFirstPageAddress,
                        kPageMapType, verify, corruptPageMap(), pageMap, problem) ||
        !readPageMap(pageMap, layout.entries, layout.pages, problem))
        return false;
    const auto sectionMapPage = layout.pages.find(le32(layout.header, kSectionMapIdAt));
    if (sectionMapPage == layout.pages.end()) {
        problem = corruptPageMap();
        return false;
    }
    std::string sectionMap;
    return readSystemPage(file, sectionMapPage->second.address, kSectionMapType, verify,
                          corruptSectionMap(), sectionMap, problem) &&
           readSectionMap(sectionMap, layout.sectionMapHeader, layout.sections, problem);
}

}  // namespace drawing::dwg::paged
