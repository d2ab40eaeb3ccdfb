// SPDX-License-Identifier: GPL-3.0-or-later
// Writing an AC1021 (R2007) file anew around new contents of its objects and object map, the
// mirror of r2007_sections.cpp. The file is only added to: the two sections get new data pages,
// the section map and the page map (each with the copy AutoCAD keeps) new system pages, all
// after the last page; then the file header, at 0x80 and again at the end. Every other page
// keeps its bytes and its place, so the plain header's addresses of the preview, summary and
// application info pages stay right. The replaced pages stay where they were as unused space,
// marked as gaps in the page map: moving the others to reclaim it would gain a little space
// for the risk of changing what this program does not understand.

#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/lz77_r2007.h"
#include "drawing/dwg/r2007_checks.h"
#include "drawing/dwg/r2007_layout.h"
#include "drawing/dwg/r2007_section_map.h"
#include "drawing/dwg/reed_solomon.h"
#include "drawing/dwg/section_writer.h"
#include "drawing/dwg/sections.h"

namespace drawing::dwg {

namespace {

using namespace r2007;

constexpr const char* kObjectsName = "AcDb:AcDbObjects";
constexpr const char* kHandlesName = "AcDb:Handles";
constexpr std::uint64_t kInterleaved = 4;
constexpr std::uint64_t kPageAlignment = 0x20;
constexpr std::uint64_t kMinSystemPage = 0x400;
constexpr std::uint64_t kDefaultPageSize = 0xF800;

std::uint64_t alignTo(std::uint64_t size, std::uint64_t alignment) {
    return (size + alignment - 1) / alignment * alignment;
}

void appendLe64(std::string& bytes, std::uint64_t value) {
    bytes.append(8, '\0');
    putLe64(bytes, bytes.size() - 8, value);
}

// The compressed form of `data` when it is shorter, else the data itself, as AutoCAD stores
// pages that do not compress.
std::string packed(std::string_view data) {
    std::string compressed = compressR2007(data);
    if (compressed.size() < data.size()) return compressed;
    return std::string(data);
}

// A system page's size in the file: room for its data coded twice, at least 0x400 bytes.
std::uint64_t systemPageSize(std::uint64_t dataSize) {
    const std::uint64_t k = reedSolomonDataSize(ReedSolomonCode::SystemPage);
    const std::uint64_t coded = (alignTo(dataSize, 8) * 2 + k - 1) / k * kReedSolomonWord;
    return coded < kMinSystemPage ? kMinSystemPage : alignTo(coded, kPageAlignment);
}

// A system page's bytes and what the file header says of it (but its place).
struct NewSystemPage {
    std::string bytes;
    SystemPage page;
};

// `data` (not empty) packed, repeated as often as the page holds it, and coded; the check
// values are seeded with the seed the file header keeps for the page, encoded.
NewSystemPage systemPage(std::string_view data, std::uint64_t encodedSeed) {
    const std::uint64_t seed = decodeSeed(encodedSeed);
    NewSystemPage result;
    SystemPage& page = result.page;
    page.crcSeed = encodedSeed;
    page.size = data.size();
    page.crc = mirroredCrc(data, updateSeed1(seed, data.size()));
    std::string stored = packed(data);
    page.compressedSize = stored.size();
    page.compressedCrc = mirroredCrc(stored, updateSeed1(seed, stored.size()));
    stored.resize(alignTo(stored.size(), 8), '\0');
    const std::uint64_t size = systemPageSize(data.size());
    const std::uint64_t k = reedSolomonDataSize(ReedSolomonCode::SystemPage);
    page.repeats = size / kReedSolomonWord * k / stored.size();
    std::string repeated;
    for (std::uint64_t i = 0; i < page.repeats; ++i) repeated += stored;
    result.bytes =
        interleaveReedSolomon(repeated, (repeated.size() + k - 1) / k, ReedSolomonCode::SystemPage);
    result.bytes.resize(size, '\0');
    return result;
}

// A data page of an interleaved section: its bytes in the file and its description.
struct NewDataPage {
    std::string bytes;
    DataPage description;
};

NewDataPage dataPage(std::string_view data, std::uint64_t crcSeed) {
    NewDataPage page;
    DataPage& d = page.description;
    d.size = data.size();
    d.checksum = pageChecksum(data, 0);
    // Compressed whenever that is shorter, which object data always is. A stored page would
    // be as valid, but LibreDWG reads stored pages without taking their code words apart.
    std::string stored = packed(data);
    d.compressedSize = stored.size();
    d.crc = mirroredCrc(stored, updateSeed1(crcSeed, stored.size()));
    const std::uint64_t k = reedSolomonDataSize(ReedSolomonCode::DataPage);
    const std::uint64_t words = (alignTo(stored.size(), 8) + k - 1) / k;
    page.bytes = interleaveReedSolomon(stored, words, ReedSolomonCode::DataPage);
    page.bytes.resize(alignTo(page.bytes.size(), kPageAlignment), '\0');
    return page;
}

class Writer {
public:
    Writer(std::string_view file, const ChangedSections& sections, QString& problem)
        : m_file(file), m_changed(sections), m_problem(problem) {}

    std::optional<std::string> run() {
        // Only a file the reader takes whole, every check value verified, is written back.
        auto original = readR2007Sections(m_file, SectionOptions{}, m_problem);
        if (!original) return std::nullopt;
        m_original = std::move(*original);
        auto layout = readLayout(m_file, m_problem);
        auto entries = layout ? splitSectionMap(layout->sectionMap) : std::nullopt;
        if (!entries) return fail("the section map is corrupt");
        m_layout = std::move(*layout);
        m_entries = std::move(*entries);
        if (!checkSections()) return std::nullopt;
        std::uint64_t pagesEnd = 0;
        for (const PageMapEntry& entry : m_layout.pageMap) {
            pagesEnd += entry.size;
            m_nextId = std::max<std::uint64_t>(m_nextId, magnitude(entry.id) + 1);
        }
        if (pagesEnd > m_file.size() - kPagesBase) return fail("the file is truncated");
        m_nextId = std::max(m_nextId, le64(m_layout.header, field::kPagesMaxId) + 1);
        m_out = std::string(m_file.substr(0, kPagesBase + pagesEnd));

        const std::uint64_t crcSeed = le64(m_layout.header, field::kCrcSeed);
        m_newPages[kObjectsName] = addDataPages(kObjectsName, m_changed.objects, crcSeed);
        m_newPages[kHandlesName] = addDataPages(kHandlesName, m_changed.handles, crcSeed);
        const std::string sectionMap = newSectionMap();
        std::string& header = m_layout.header;
        const NewSystemPage sections =
            systemPage(sectionMap, le64(header, field::kSectionsMapCrcSeed));
        const std::uint64_t sectionsId = addPage(sections.bytes);
        const std::uint64_t sections2Id = addPage(sections.bytes);

        // The page map lists itself and its copy: their sizes follow from the entry count.
        std::vector<PageMapEntry> pageMap = keptPages();
        pageMap.insert(pageMap.end(), m_added.begin(), m_added.end());
        const std::uint64_t pagesId = m_nextId++;
        const std::uint64_t pages2Id = m_nextId++;
        const std::uint64_t pageMapSize = systemPageSize((pageMap.size() + 2) * 16);
        pageMap.push_back({pageMapSize, static_cast<std::int64_t>(pagesId)});
        pageMap.push_back({pageMapSize, static_cast<std::int64_t>(pages2Id)});
        std::string pageMapData;
        for (const PageMapEntry& entry : pageMap) {
            appendLe64(pageMapData, entry.size);
            appendLe64(pageMapData, static_cast<std::uint64_t>(entry.id));
        }
        const NewSystemPage pages = systemPage(pageMapData, le64(header, field::kPagesMapCrcSeed));
        const std::uint64_t pagesAt = m_out.size() - kPagesBase;
        m_out += pages.bytes;
        m_out += pages.bytes;

        putSystemPage(header, kPageMapFields, pages.page);
        putSystemPage(header, kSectionMapFields, sections.page);
        putLe64(header, field::kPagesMap2Offset, pagesAt + pages.bytes.size());
        putLe64(header, field::kPagesMap2Id, pages2Id);
        putLe64(header, field::kPagesMapOffset, pagesAt);
        putLe64(header, field::kPagesMapId, pagesId);
        putLe64(header, field::kHeader2Offset, m_out.size() - kPagesBase);
        putLe64(header, field::kPagesAmount, pageMap.size());
        putLe64(header, field::kPagesMaxId, m_nextId - 1);
        putLe64(header, field::kSectionsMap2Id, sections2Id);
        putLe64(header, field::kSectionsMapId, sectionsId);
        putLe64(header, field::kFileSize, m_out.size() + kFileHeaderSize);
        const std::string fileHeader = codedFileHeader();
        m_out.replace(kFileHeaderAt, kFileHeaderSize, fileHeader);
        m_out += fileHeader;
        return readsBack() ? std::optional<std::string>(std::move(m_out)) : std::nullopt;
    }

private:
    std::nullopt_t fail(const QString& problem) {
        m_problem = problem;
        return std::nullopt;
    }
    std::nullopt_t fail(const char* problem) { return fail(QString::fromLatin1(problem)); }
    bool reject(const QString& problem) {
        fail(problem);
        return false;
    }

    const SectionEntry* entry(std::string_view name) const {
        const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                        [name](const SectionEntry& e) { return e.name == name; });
        return found == m_entries.end() ? nullptr : &*found;
    }

    static std::uint64_t magnitude(std::int64_t id) {
        return id < 0 ? 0 - static_cast<std::uint64_t>(id) : static_cast<std::uint64_t>(id);
    }

    static bool changed(const std::string& name) {
        return name == kObjectsName || name == kHandlesName;
    }

    bool checkSections() {
        for (const char* name : {kObjectsName, kHandlesName}) {
            const SectionEntry* found = entry(name);
            if (!found)
                return reject(
                    QStringLiteral("the drawing has no %1 section").arg(QLatin1String(name)));
            // AutoCAD interleaves the code words of both; a file that does not is left alone
            // rather than written in a way nothing has read before.
            if (found->description.encoding != kInterleaved)
                return reject(
                    QStringLiteral("the %1 section is stored in a way this program does not write")
                        .arg(QLatin1String(name)));
        }
        return true;
    }

    std::uint64_t addPage(const std::string& bytes) {
        const std::uint64_t id = m_nextId++;
        m_out += bytes;
        m_added.push_back({bytes.size(), static_cast<std::int64_t>(id)});
        return id;
    }

    static std::uint64_t pageSize(const SectionEntry& section) {
        const std::uint64_t size = section.description.maxPageSize;
        return size == 0 ? kDefaultPageSize : size;
    }

    std::vector<DataPage> addDataPages(const char* name, std::string_view data,
                                       std::uint64_t crcSeed) {
        const std::uint64_t size = pageSize(*entry(name));
        std::vector<DataPage> pages;
        for (std::uint64_t at = 0; at < data.size(); at += size) {
            NewDataPage page = dataPage(data.substr(at, size), crcSeed);
            page.description.offset = at;
            page.description.id = addPage(page.bytes);
            pages.push_back(page.description);
        }
        return pages;
    }

    // The map as it was, the descriptions of the two sections written anew.
    std::string newSectionMap() const {
        const std::string_view map = m_layout.sectionMap;
        std::string out;
        for (const SectionEntry& entry : m_entries) {
            if (!changed(entry.name)) {
                out += map.substr(entry.at, entry.end - entry.at);
                continue;
            }
            const std::vector<DataPage>& pages = m_newPages.at(entry.name);
            std::string head(map.substr(entry.at, entry.pagesAt - entry.at));
            const std::string& data =
                entry.name == kObjectsName ? m_changed.objects : m_changed.handles;
            putLe64(head, section_field::kSize, data.size());
            putLe64(head, section_field::kPageCount, pages.size());
            out += head;
            for (const DataPage& page : pages) {
                std::string description(kPageDescriptionSize, '\0');
                putLe64(description, page_field::kOffset, page.offset);
                // What AutoCAD writes here for a full page: the largest page of the section.
                putLe64(description, page_field::kPageSize, pageSize(entry));
                putLe64(description, page_field::kId, page.id);
                putLe64(description, page_field::kSize, page.size);
                putLe64(description, page_field::kCompressedSize, page.compressedSize);
                putLe64(description, page_field::kChecksum, page.checksum);
                putLe64(description, page_field::kCrc, page.crc);
                out += description;
            }
        }
        if (!m_entries.empty()) out += map.substr(m_entries.back().end);
        return out;
    }

    // The old entries, those of replaced pages turned into gaps.
    std::vector<PageMapEntry> keptPages() const {
        std::set<std::uint64_t> used;
        for (const SectionEntry& entry : m_entries)
            if (!changed(entry.name))
                for (const DataPage& page : entry.description.pages) used.insert(page.id);
        std::vector<PageMapEntry> pages = m_layout.pageMap;
        for (PageMapEntry& page : pages)
            if (page.id > 0 && used.count(static_cast<std::uint64_t>(page.id)) == 0)
                page.id = -page.id;
        return pages;
    }

    // The file header data compressed (LibreDWG takes a stored one for compressed), checked and
    // coded in the block the old header leaves: its check sequence and padding are kept.
    std::string codedFileHeader() {
        std::string& header = m_layout.header;
        std::memset(header.data() + field::kHeaderCrc, 0, 8);
        putLe64(header, field::kHeaderCrc, normalCrc(header, updateSeed2(0, header.size())));
        const std::string data = compressR2007(header);
        const std::string_view old = m_file.substr(kFileHeaderAt, kFileHeaderSize);
        std::string block = deinterleaveReedSolomon(old, kHeaderWords, ReedSolomonCode::SystemPage);
        putLe64(block, header_block::kDataCrc, normalCrc(data, updateSeed2(0, data.size())));
        putLe32(block, header_block::kLength, static_cast<std::uint32_t>(data.size()));
        putLe32(block, header_block::kLength2, 0);  // zero beside a compressed length
        const std::size_t unit = alignTo(header_block::kData + data.size(), 8);
        std::string first = block.substr(0, header_block::kData) + data;
        first.resize(unit, '\0');
        // The block is repeated as often as the code words hold it.
        for (std::size_t at = 0; at + unit <= block.size(); at += unit)
            block.replace(at, unit, first);
        std::string coded(old);
        coded.replace(0, kHeaderWords * kReedSolomonWord,
                      interleaveReedSolomon(block, kHeaderWords, ReedSolomonCode::SystemPage));
        return coded;
    }

    // The new file gives the new sections and the others unchanged.
    bool readsBack() {
        const auto sections = readR2007Sections(m_out, SectionOptions{}, m_problem);
        if (sections && sections->objects == m_changed.objects &&
            sections->handles == m_changed.handles && sections->header == m_original.header &&
            sections->classes == m_original.classes && sections->codePage == m_original.codePage)
            return true;
        if (sections) fail("the rewritten file does not read back as written");
        return false;
    }

    std::string_view m_file;
    const ChangedSections& m_changed;
    QString& m_problem;
    Sections m_original;
    Layout m_layout;
    std::vector<SectionEntry> m_entries;
    std::uint64_t m_nextId = 1;
    std::string m_out;
    std::vector<PageMapEntry> m_added;  // the pages after the old ones, in file order
    std::map<std::string, std::vector<DataPage>> m_newPages;
};

}  // namespace

std::optional<std::string> rewriteR2007File(std::string_view file, const ChangedSections& sections,
                                            QString& problem) {
    return Writer(file, sections, problem).run();
}

}  // namespace drawing::dwg
