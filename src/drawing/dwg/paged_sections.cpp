// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the sections of AC1018, AC1024, AC1027 and AC1032 files out of their pages (the
// page layer: paged_format.h).

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/lz77_r2004.h"
#include "drawing/dwg/paged_format.h"
#include "drawing/dwg/sections.h"

namespace drawing::dwg {

namespace {

using namespace paged;

// Bounds for what a corrupt file may claim: real sections are a few times the file size at
// most, so these only stop absurd allocations.
constexpr std::uint64_t kMaxSectionSize = std::uint64_t{1} << 30;
constexpr std::uint64_t kMaxExpansion = 64;                      // section size / file size
constexpr std::uint64_t kMinSizeBound = std::uint64_t{1} << 20;  // for very small files

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
        const std::string header = maskDataPageHeader(
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
    std::string header;
    if (!readEncryptedHeader(head, true, header, problem)) return std::nullopt;
    const std::uint64_t pageMapAddress = le64(header, kPageMapAddressAt) + kFirstPageAddress;
    if (pageMapAddress > fileSize || fileSize - pageMapAddress < kSystemPageHeaderSize) {
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
    Layout layout;
    if (!readLayout(file, options.verifyCheckValues, layout, problem)) return std::nullopt;
    const std::vector<SectionDescription>& sections = layout.sections;
    const PageTable& pages = layout.pages;

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
