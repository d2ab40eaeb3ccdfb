// SPDX-License-Identifier: GPL-3.0-or-later
// The page and section layer of AC1021 (R2007) files. Everything after the first 0x80 bytes
// is Reed-Solomon coded: the file header at 0x80 and the two system pages (page map, section
// map) with the (255, 239) code, the data pages with (255, 251); code words are interleaved
// byte by byte. Facts checked against a real AutoCAD file where the ODA DWG format notes
// disagree: a section name's length counts bytes including its terminating zero; the system
// page CRCs are mirrored CRCs over the exact compressed and uncompressed sizes.

#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/lz77_r2007.h"
#include "drawing/dwg/r2007_checks.h"
#include "drawing/dwg/r2007_layout.h"
#include "drawing/dwg/r2007_section_map.h"
#include "drawing/dwg/reed_solomon.h"
#include "drawing/dwg/sections.h"

namespace drawing::dwg {

namespace {

using namespace r2007;

constexpr std::uint64_t kAbsoluteCap = std::uint64_t{1} << 30;
// How often a system page may repeat its data; writers fill a page of at most a few KiB.
constexpr std::uint64_t kMaxRepeats = 0xFFFF;

std::uint64_t alignTo8(std::uint64_t size) {
    return (size + 7) & ~std::uint64_t{7};
}

struct FilePage {
    std::uint64_t offset = 0;  // from kPagesBase
    std::uint64_t size = 0;
};

class Reader {
public:
    Reader(std::string_view file, const SectionOptions& options, QString& problem)
        : m_file(file), m_verify(options.verifyCheckValues), m_problem(problem) {
        // Decompressed data can be far larger than the file, but not without bound.
        m_cap = std::min<std::uint64_t>(kAbsoluteCap, file.size() * std::uint64_t{256} + 0x100000);
    }

    // The header alone, `m_file` being the file's first bytes and `fileSize` its size.
    std::optional<std::uint64_t> extent(std::uint64_t fileSize) {
        m_fileSize = fileSize;
        if (m_file.size() < kPagesBase || fileSize < kPagesBase)
            return fail("the file is truncated");
        if (!readFileHeader()) return std::nullopt;
        if (le64(m_header, field::kPagesMapOffset) > fileSize - kPagesBase)
            return fail("the file is truncated");
        return fileSize;
    }

    std::optional<Sections> run() {
        if (m_file.size() < kPagesBase) return fail("the file is truncated");
        if (m_file.substr(0, 6) != "AC1021") return fail("the file is not an AC1021 drawing");
        const PlainHeader plain = readPlainHeader(m_file);
        Sections sections;
        sections.codePage = plain.codePage;
        sections.maintenanceRelease = plain.maintenanceRelease;
        if (!readFileHeader() || !readPageMap() || !readSectionMap()) return std::nullopt;
        // Checked once the header has proved to be a drawing's, not noise.
        if (plain.dataEncrypted) return fail(passwordProtected());
        const std::array<std::pair<const char*, std::string*>, 4> wanted = {{
            {"AcDb:Header", &sections.header},
            {"AcDb:Classes", &sections.classes},
            {"AcDb:Handles", &sections.handles},
            {"AcDb:AcDbObjects", &sections.objects},
        }};
        for (const auto& [name, target] : wanted) {
            auto data = readSection(name);
            if (!data) return std::nullopt;
            *target = std::move(*data);
        }
        return sections;
    }

    std::optional<Layout> layout() {
        if (m_file.size() < kPagesBase) return fail("the file is truncated");
        if (!readFileHeader() || !readPageMap() || !readSectionMap()) return std::nullopt;
        return Layout{std::move(m_header), std::move(m_pageMap), std::move(m_sectionMap)};
    }

private:
    std::nullopt_t fail(const QString& problem) {
        m_problem = problem;
        return std::nullopt;
    }
    std::nullopt_t fail(const char* problem) { return fail(QString::fromLatin1(problem)); }
    bool reject(const char* problem) {
        fail(problem);
        return false;
    }

    bool readFileHeader() {
        const std::string_view coded = m_file.substr(kFileHeaderAt, kFileHeaderSize);
        if (m_verify && !reedSolomonWordsValid(coded, kHeaderWords, ReedSolomonCode::SystemPage))
            return reject("the file header is corrupt");
        const std::string data =
            deinterleaveReedSolomon(coded, kHeaderWords, ReedSolomonCode::SystemPage);
        // 32 bytes of check values and sizes precede the (compressed) header data.
        const std::int32_t stored =
            static_cast<std::int32_t>(le64(data, header_block::kLength) & 0xFFFFFFFF);
        const auto length = static_cast<std::uint64_t>(std::abs(std::int64_t{stored}));
        if (length == 0 || length > data.size() - header_block::kData)
            return reject("the file header is corrupt");
        const std::string_view packed = std::string_view(data).substr(header_block::kData, length);
        if (m_verify && r2007::normalCrc(packed, r2007::updateSeed2(0, length)) !=
                            le64(data, header_block::kDataCrc))
            return reject("the file header is corrupt");
        if (stored < 0) {
            m_header = std::string(packed);
        } else {
            auto unpacked = decompressR2007(packed, kHeaderData);
            if (!unpacked) return reject("the file header is corrupt");
            m_header = std::move(*unpacked);
        }
        if (m_header.size() != kHeaderData) return reject("the file header is corrupt");
        if (m_verify) {
            // The header's own CRC is computed with its field still zero.
            std::string zeroed = m_header;
            std::memset(zeroed.data() + field::kHeaderCrc, 0, 8);
            if (r2007::normalCrc(zeroed, r2007::updateSeed2(0, kHeaderData)) !=
                le64(m_header, field::kHeaderCrc))
                return reject("the file header is corrupt");
        }
        if (le64(m_header, field::kFileSize) > m_fileSize) return reject("the file is truncated");
        m_crcSeed = le64(m_header, field::kCrcSeed);
        return true;
    }

    // The decoded and decompressed data of a system page; nothing with `m_problem` set.
    std::optional<std::string> readSystemPage(const SystemPage& page, const char* corrupt) {
        constexpr std::uint64_t k = reedSolomonDataSize(ReedSolomonCode::SystemPage);
        if (page.compressedSize == 0 || page.compressedSize > m_file.size() || page.size > m_cap ||
            page.repeats == 0 || page.repeats > kMaxRepeats || page.offset > m_file.size())
            return fail(corrupt);
        const std::uint64_t words = (alignTo8(page.compressedSize) * page.repeats + k - 1) / k;
        const std::uint64_t start = kPagesBase + page.offset;
        // No overflow: `words` is at most about the file size times kMaxRepeats.
        if (start > m_file.size() || words * kReedSolomonWord > m_file.size() - start)
            return fail("the file is truncated");
        const std::string_view coded = m_file.substr(start, words * kReedSolomonWord);
        if (m_verify && !reedSolomonWordsValid(coded, words, ReedSolomonCode::SystemPage))
            return fail(corrupt);
        const std::string data = deinterleaveReedSolomon(coded, words, ReedSolomonCode::SystemPage);
        if (page.compressedSize > data.size()) return fail(corrupt);
        const std::string_view packed = std::string_view(data).substr(0, page.compressedSize);
        const std::uint64_t seed = r2007::decodeSeed(page.crcSeed);
        if (m_verify && r2007::mirroredCrc(packed, r2007::updateSeed1(seed, packed.size())) !=
                            page.compressedCrc)
            return fail(corrupt);
        std::optional<std::string> unpacked;
        if (page.compressedSize < page.size)
            unpacked = decompressR2007(packed, page.size);
        else if (page.compressedSize == page.size)
            unpacked = std::string(packed);
        if (!unpacked || unpacked->size() != page.size) return fail(corrupt);
        if (m_verify &&
            r2007::mirroredCrc(*unpacked, r2007::updateSeed1(seed, unpacked->size())) != page.crc)
            return fail(corrupt);
        return unpacked;
    }

    bool readPageMap() {
        SystemPage page = systemPageIn(m_header, kPageMapFields);
        page.offset = le64(m_header, field::kPagesMapOffset);
        const auto data = readSystemPage(page, "the page map is corrupt");
        if (!data) return false;
        if (data->size() % 16 != 0) return reject("the page map is corrupt");
        // Pairs of size and id; pages follow each other, a negative id marks a gap.
        std::uint64_t offset = 0;
        for (std::size_t at = 0; at < data->size(); at += 16) {
            const std::uint64_t size = le64(*data, at);
            const auto id = static_cast<std::int64_t>(le64(*data, at + 8));
            // Page sizes are far below 4 GiB; with at most 2^26 entries the sum cannot overflow.
            if (size > 0xFFFFFFFF) return reject("the page map is corrupt");
            if (id > 0) m_pages[static_cast<std::uint64_t>(id)] = {offset, size};
            m_pageMap.push_back({size, id});
            offset += size;
        }
        return true;
    }

    bool readSectionMap() {
        const auto where = m_pages.find(le64(m_header, field::kSectionsMapId));
        if (where == m_pages.end()) return reject("the section map is corrupt");
        SystemPage page = systemPageIn(m_header, kSectionMapFields);
        page.offset = where->second.offset;
        auto data = readSystemPage(page, "the section map is corrupt");
        if (!data) return false;
        auto sections = r2007::parseSectionMap(*data);
        if (!sections) return reject("the section map is corrupt");
        m_sections = std::move(*sections);
        m_sectionMap = std::move(*data);
        return true;
    }

    std::optional<std::string> readSection(const char* name) {
        const auto found = m_sections.find(name);
        if (found == m_sections.end())
            return fail(QStringLiteral("the drawing has no %1 section").arg(QLatin1String(name)));
        const r2007::SectionDescription& section = found->second;
        if (section.encrypted != 0) return fail(passwordProtected());
        const QString corrupt =
            QStringLiteral("the %1 section is corrupt").arg(QLatin1String(name));
        if (section.size > m_cap) return fail(corrupt);
        if (section.encoding != 1 && section.encoding != 4) return fail(corrupt);
        std::string data(section.size, '\0');
        std::uint64_t end = 0;
        for (const r2007::DataPage& page : section.pages) {
            // Pages only holding zeros are left out: a gap before a page stays zero.
            if (page.offset < end || page.offset > data.size() ||
                page.size > data.size() - page.offset || page.compressedSize > page.size)
                return fail(corrupt);
            auto bytes = readDataPage(page, section.encoding == 4, corrupt);
            if (!bytes) return std::nullopt;
            std::memcpy(data.data() + page.offset, bytes->data(), bytes->size());
            end = page.offset + page.size;
        }
        return data;
    }

    std::optional<std::string> readDataPage(const r2007::DataPage& page, bool interleaved,
                                            const QString& corrupt) {
        const auto where = m_pages.find(page.id);
        if (where == m_pages.end()) return fail(corrupt);
        const FilePage& filePage = where->second;
        const std::uint64_t start = kPagesBase + filePage.offset;
        if (start > m_file.size() || filePage.size > m_file.size() - start)
            return fail("the file is truncated");
        const std::string_view stored = m_file.substr(start, filePage.size);
        std::string decoded;
        std::string_view packed;
        if (interleaved) {
            constexpr std::uint64_t k = reedSolomonDataSize(ReedSolomonCode::DataPage);
            const std::uint64_t words = (alignTo8(page.compressedSize) + k - 1) / k;
            if (words * kReedSolomonWord > stored.size()) return fail(corrupt);
            if (m_verify && !reedSolomonWordsValid(stored, words, ReedSolomonCode::DataPage))
                return fail(corrupt);
            decoded = deinterleaveReedSolomon(stored, words, ReedSolomonCode::DataPage);
            packed = std::string_view(decoded).substr(0, page.compressedSize);
        } else {
            if (page.compressedSize > stored.size()) return fail(corrupt);
            packed = stored.substr(0, page.compressedSize);
        }
        if (m_verify &&
            r2007::mirroredCrc(packed, r2007::updateSeed1(m_crcSeed, packed.size())) != page.crc)
            return fail(corrupt);
        std::optional<std::string> unpacked;
        if (page.compressedSize < page.size)
            unpacked = decompressR2007(packed, page.size);
        else
            unpacked = std::string(packed);
        if (!unpacked || unpacked->size() != page.size) return fail(corrupt);
        // The checksum's seed is not documented; zero matches the files AutoCAD writes.
        if (m_verify && r2007::pageChecksum(*unpacked, 0) != page.checksum) return fail(corrupt);
        return unpacked;
    }

    std::string_view m_file;
    std::uint64_t m_fileSize = m_file.size();  // what the file header's size is checked against
    bool m_verify;
    QString& m_problem;
    std::uint64_t m_cap = 0;
    std::string m_header;  // the decompressed file header data
    std::uint64_t m_crcSeed = 0;
    std::map<std::uint64_t, FilePage> m_pages;  // by page id
    std::vector<PageMapEntry> m_pageMap;        // as the file lists them
    std::string m_sectionMap;                   // decompressed
    r2007::SectionMap m_sections;
};

}  // namespace

namespace r2007 {

std::optional<std::vector<SectionEntry>> splitSectionMap(std::string_view map) {
    std::vector<SectionEntry> entries;
    std::size_t at = 0;
    // Descriptions of 64 bytes, the name (its length counts bytes, the closing zero included),
    // then 56 bytes for each page. Anything shorter than a description at the end is padding.
    while (map.size() - at >= kSectionDescriptionSize) {
        SectionEntry entry;
        entry.at = at;
        SectionDescription& description = entry.description;
        description.size = le64(map, at + section_field::kSize);
        description.maxPageSize = le64(map, at + 0x08);
        description.encrypted = le64(map, at + 0x10);
        const std::uint64_t nameBytes = le64(map, at + 0x20);
        description.encoding = le64(map, at + 0x30);
        const std::uint64_t pageCount = le64(map, at + section_field::kPageCount);
        at += kSectionDescriptionSize;
        if (nameBytes > map.size() - at || nameBytes % 2 != 0) return std::nullopt;
        for (std::size_t i = 0; i < nameBytes; i += 2) {
            const unsigned unit = le16(map, at + i);
            if (unit == 0) break;
            entry.name.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
        }
        at += nameBytes;
        entry.pagesAt = at;
        if (pageCount > (map.size() - at) / kPageDescriptionSize) return std::nullopt;
        for (std::uint64_t i = 0; i < pageCount; ++i, at += kPageDescriptionSize) {
            DataPage page;
            page.offset = le64(map, at + page_field::kOffset);
            page.id = le64(map, at + page_field::kId);
            page.size = le64(map, at + page_field::kSize);
            page.compressedSize = le64(map, at + page_field::kCompressedSize);
            page.checksum = le64(map, at + page_field::kChecksum);
            page.crc = le64(map, at + page_field::kCrc);
            description.pages.push_back(page);
        }
        entry.end = at;
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<SectionMap> parseSectionMap(std::string_view map) {
    auto entries = splitSectionMap(map);
    if (!entries) return std::nullopt;
    SectionMap sections;
    // The last description, nameless and without pages, closes the map.
    for (SectionEntry& entry : *entries)
        if (!entry.name.empty())
            sections.insert_or_assign(std::move(entry.name), std::move(entry.description));
    return sections;
}

std::optional<Layout> readLayout(std::string_view file, QString& problem) {
    return Reader(file, SectionOptions{}, problem).layout();
}

}  // namespace r2007

std::optional<std::uint64_t> r2007FileExtent(std::string_view head, std::uint64_t fileSize,
                                             QString& problem) {
    return Reader(head, SectionOptions{}, problem).extent(fileSize);
}

std::optional<Sections> readR2007Sections(std::string_view file, const SectionOptions& options,
                                          QString& problem) {
    return Reader(file, options, problem).run();
}

}  // namespace drawing::dwg
