// SPDX-License-Identifier: GPL-3.0-or-later
// The page layer of AC1018, AC1024, AC1027 and AC1032 files: an encrypted file header points
// to the section page map (where each page lies), which names the page of the section map
// (which pages make up each section); the data pages are compressed pieces of the sections.

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/lz77_r2004.h"
#include "drawing/dwg/sections.h"

namespace drawing::dwg {

namespace {

constexpr std::size_t kEncryptedHeaderAt = 0x80;
constexpr std::size_t kEncryptedHeaderSize = 0x6C;
constexpr std::size_t kPageMapAddressAt = 0x54;  // counted from the first page (0x100)
constexpr std::size_t kSectionMapIdAt = 0x5C;
constexpr std::size_t kEncryptedHeaderCrcAt = 0x68;
constexpr std::string_view kFileId("AcFssFcAJMB\0", 12);
constexpr std::uint64_t kFirstPageAddress = 0x100;

constexpr std::uint32_t kPageMapType = 0x41630E3B;
constexpr std::uint32_t kSectionMapType = 0x4163003B;
constexpr std::uint32_t kDataPageType = 0x4163043B;
constexpr std::uint32_t kDataPageMask = 0x4164536B;
constexpr std::uint32_t kCompressedPages = 2;
constexpr std::uint32_t kStoredPages = 1;
constexpr std::size_t kSystemPageHeaderSize = 20;
constexpr std::size_t kDataPageHeaderSize = 32;
constexpr std::size_t kHeaderChecksumAt = 0x18;
constexpr std::size_t kDataChecksumAt = 0x1C;

constexpr std::size_t kSectionMapHeaderSize = 20;
constexpr std::size_t kDescriptionSize = 96;
constexpr std::size_t kSectionNameSize = 64;
constexpr std::size_t kPageEntrySize = 16;

// Bounds for what a corrupt file may claim: real sections are a few times the file size at
// most, so these only stop absurd allocations.
constexpr std::uint64_t kMaxSectionSize = std::uint64_t{1} << 30;
constexpr std::uint64_t kMaxExpansion = 64;                      // section size / file size
constexpr std::uint64_t kMinSizeBound = std::uint64_t{1} << 20;  // for very small files

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

// The Adler-32-like sum that guards each page; `seed` chains the header and data sums.
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

// The CRC-32 of zlib (reflected polynomial 0xEDB88320); only 0x6C bytes ever go through it.
std::uint32_t crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1u) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

// The file header part that the writer masks with the stream of the C library's rand().
std::string decryptHeader(std::string_view encrypted) {
    std::string plain(encrypted);
    std::uint32_t seed = 1;
    for (char& c : plain) {
        seed = seed * 0x343FDu + 0x269EC3u;
        c = static_cast<char>(static_cast<unsigned char>(c) ^ ((seed >> 16) & 0xFFu));
    }
    return plain;
}

struct PageMapPointers {
    std::uint64_t pageMapAddress = 0;
    std::uint32_t sectionMapId = 0;
};

bool readEncryptedHeader(std::string_view file, bool verify, PageMapPointers& pointers,
                         QString& problem) {
    std::string header = decryptHeader(file.substr(kEncryptedHeaderAt, kEncryptedHeaderSize));
    if (std::string_view(header).substr(0, kFileId.size()) != kFileId) {
        problem = corruptHeader();
        return false;
    }
    const std::uint32_t storedCrc = le32(header, kEncryptedHeaderCrcAt);
    putLe32(header, kEncryptedHeaderCrcAt, 0);
    if (verify && crc32(header) != storedCrc) {
        problem = corruptHeader();
        return false;
    }
    pointers.pageMapAddress = le64(header, kPageMapAddressAt) + kFirstPageAddress;
    pointers.sectionMapId = le32(header, kSectionMapIdAt);
    return true;
}

// A bound on what a map page may decompress to: its entries (8 or 16 bytes) each describe a
// page of this file, and a page takes at least 32 bytes; the slack covers section names.
std::uint64_t systemPageLimit(std::string_view file) {
    return std::min<std::uint64_t>(kMaxSectionSize, std::uint64_t{file.size()} + 0x10000);
}

// A page of the maps: a 20-byte header (type, sizes, compression, checksum), then data.
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

struct PageLocation {
    std::uint64_t address = 0;
    std::uint64_t size = 0;
};

using PageTable = std::map<std::uint32_t, PageLocation>;

// (number, size) pairs of the pages in file order; a negative number is a gap, followed by
// four longs of a free-space tree.
bool readPageMap(std::string_view map, PageTable& pages, QString& problem) {
    constexpr std::size_t kEntrySize = 8;
    constexpr std::size_t kGapExtraSize = 16;
    std::uint64_t address = kFirstPageAddress;
    std::size_t at = 0;
    while (at < map.size()) {
        if (map.size() - at < kEntrySize) break;
        const auto number = static_cast<std::int32_t>(le32(map, at));
        const auto size = static_cast<std::int32_t>(le32(map, at + 4));
        at += kEntrySize;
        if (size <= 0) {
            problem = corruptPageMap();
            return false;
        }
        if (number < 0) {
            if (map.size() - at < kGapExtraSize) break;
            at += kGapExtraSize;
        } else if (!pages
                        .emplace(static_cast<std::uint32_t>(number),
                                 PageLocation{address, static_cast<std::uint64_t>(size)})
                        .second) {
            problem = corruptPageMap();
            return false;
        }
        address += static_cast<std::uint64_t>(size);
    }
    if (at != map.size() || pages.empty()) {
        problem = corruptPageMap();
        return false;
    }
    return true;
}

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
};

bool readSectionMap(std::string_view map, std::vector<SectionDescription>& sections,
                    QString& problem) {
    problem = corruptSectionMap();
    if (map.size() < kSectionMapHeaderSize) return false;
    const std::uint32_t count = le32(map, 0);
    if (count > (map.size() - kSectionMapHeaderSize) / kDescriptionSize) return false;
    std::size_t at = kSectionMapHeaderSize;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (map.size() - at < kDescriptionSize) return false;
        SectionDescription section;
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

// The 32-byte header of a data page, masked with a value that depends on its address.
std::string unmaskDataPageHeader(std::string_view masked, std::uint64_t address) {
    std::string header(masked);
    const std::uint32_t mask = kDataPageMask ^ static_cast<std::uint32_t>(address);
    for (std::size_t at = 0; at < header.size(); at += 4)
        putLe32(header, at, le32(header, at) ^ mask);
    return header;
}

bool readSection(std::string_view file, const SectionDescription& section, const PageTable& pages,
                 bool verify, std::string& out, QString& problem) {
    const QString corrupt =
        QStringLiteral("the section %1 is corrupt").arg(QString::fromStdString(section.name));
    const std::uint64_t sizeBound = std::min(
        kMaxSectionSize, std::max(kMinSizeBound, kMaxExpansion * std::uint64_t{file.size()}));
    const bool compressed = section.compression == kCompressedPages;
    if ((!compressed && section.compression != kStoredPages) || section.size > sizeBound ||
        section.maxPageSize == 0 || section.maxPageSize > sizeBound) {
        problem = corruptSectionMap();
        return false;
    }
    // Pages left out of the file hold only zeros.
    out.assign(static_cast<std::size_t>(section.size), '\0');
    std::string decompressed;
    // A page used twice would let a small crafted file cost unbounded work.
    std::set<std::uint32_t> used;
    for (const PageEntry& entry : section.pages) {
        const auto found = pages.find(entry.number);
        if (found == pages.end() || entry.offset >= section.size ||
            !used.insert(entry.number).second) {
            problem = corruptSectionMap();
            return false;
        }
        const PageLocation& location = found->second;
        if (location.address > file.size() ||
            file.size() - location.address < kDataPageHeaderSize) {
            problem = truncated();
            return false;
        }
        const std::string header = unmaskDataPageHeader(
            file.substr(static_cast<std::size_t>(location.address), kDataPageHeaderSize),
            location.address);
        const std::uint32_t dataSize = le32(header, 8);
        if (le32(header, 0) != kDataPageType || le32(header, 4) != section.id ||
            dataSize != entry.compressedSize || le64(header, 16) != entry.offset ||
            location.size < kDataPageHeaderSize + std::uint64_t{dataSize}) {
            problem = corrupt;
            return false;
        }
        const std::uint64_t dataAt = location.address + kDataPageHeaderSize;
        if (dataSize > file.size() - dataAt) {
            problem = truncated();
            return false;
        }
        const std::string_view data = file.substr(static_cast<std::size_t>(dataAt), dataSize);
        if (verify) {
            const std::uint32_t dataChecksum = pageChecksum(0, data);
            std::string zeroed = header;
            putLe32(zeroed, kHeaderChecksumAt, 0);
            if (dataChecksum != le32(header, kDataChecksumAt) ||
                pageChecksum(dataChecksum, zeroed) != le32(header, kHeaderChecksumAt)) {
                problem = corrupt;
                return false;
            }
        }
        std::string_view content = data;
        if (compressed) {
            if (!decompressR2004(data, decompressed, section.maxPageSize)) {
                problem = corrupt;
                return false;
            }
            content = decompressed;
        }
        // The last page is padded to the full page size; the padding is not the section's.
        const auto offset = static_cast<std::size_t>(entry.offset);
        content = content.substr(0, out.size() - offset);
        out.replace(offset, content.size(), content);
    }
    return true;
}

const SectionDescription* findSection(const std::vector<SectionDescription>& sections,
                                      std::string_view name) {
    for (const SectionDescription& section : sections)
        if (section.name == name) return &section;
    return nullptr;
}

}  // namespace

std::optional<std::uint64_t> pagedFileExtent(std::string_view head, std::uint64_t fileSize,
                                             QString& problem) {
    if (head.size() < kFirstPageAddress || fileSize < kFirstPageAddress) {
        problem = truncated();
        return std::nullopt;
    }
    PageMapPointers pointers;
    if (!readEncryptedHeader(head, true, pointers, problem)) return std::nullopt;
    if (pointers.pageMapAddress > fileSize ||
        fileSize - pointers.pageMapAddress < kSystemPageHeaderSize) {
        problem = truncated();
        return std::nullopt;
    }
    // The pages lie one after the other from the first page on, the page map among them;
    // where they end is known only from the map itself.
    return fileSize;
}

std::optional<Sections> readPagedSections(std::string_view file, const SectionOptions& options,
                                          QString& problem) {
    if (file.size() < kFirstPageAddress) {
        problem = truncated();
        return std::nullopt;
    }
    const PlainHeader plain = readPlainHeader(file);
    Sections result;
    result.maintenanceRelease = plain.maintenanceRelease;
    result.codePage = plain.codePage;
    PageMapPointers pointers;
    if (!readEncryptedHeader(file, options.verifyCheckValues, pointers, problem))
        return std::nullopt;
    if (plain.dataEncrypted) {
        problem = passwordProtected();
        return std::nullopt;
    }
    std::string pageMap;
    if (!readSystemPage(file, pointers.pageMapAddress, kPageMapType, options.verifyCheckValues,
                        corruptPageMap(), pageMap, problem))
        return std::nullopt;
    PageTable pages;
    if (!readPageMap(pageMap, pages, problem)) return std::nullopt;

    const auto sectionMapPage = pages.find(pointers.sectionMapId);
    if (sectionMapPage == pages.end()) {
        problem = corruptPageMap();
        return std::nullopt;
    }
    std::string sectionMap;
    if (!readSystemPage(file, sectionMapPage->second.address, kSectionMapType,
                        options.verifyCheckValues, corruptSectionMap(), sectionMap, problem))
        return std::nullopt;
    std::vector<SectionDescription> sections;
    if (!readSectionMap(sectionMap, sections, problem)) return std::nullopt;

    const std::array<std::pair<std::string_view, std::string*>, 4> wanted = {{
        {"AcDb:Header", &result.header},
        {"AcDb:Classes", &result.classes},
        {"AcDb:Handles", &result.handles},
        {"AcDb:AcDbObjects", &result.objects},
    }};
    for (const auto& [name, target] : wanted) {
        const SectionDescription* section = findSection(sections, name);
        if (section == nullptr) {
            problem = QStringLiteral("the drawing has no section %1").arg(QLatin1String(name));
            return std::nullopt;
        }
        if (section->encrypted == 1) {
            problem = passwordProtected();
            return std::nullopt;
        }
    }
    for (const auto& [name, target] : wanted) {
        if (!readSection(file, *findSection(sections, name), pages, options.verifyCheckValues,
                         *target, problem))
            return std::nullopt;
    }
    return result;
}

}  // namespace drawing::dwg
