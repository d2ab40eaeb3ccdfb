// SPDX-License-Identifier: GPL-3.0-or-later
// Writing an AC1018, AC1024, AC1027 or AC1032 file anew around new objects and object map
// sections. The pages of every other section stay where they are, byte for byte; the new
// sections go into new pages, where the old ones were or after the others, followed by a new
// section map and a new section page map, and the file header at 0x80 (and its copy at the
// end) points to those.

#include <algorithm>
#include <array>
#include <set>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/lz77_r2004.h"
#include "drawing/dwg/paged_format.h"
#include "drawing/dwg/section_writer.h"
#include "drawing/dwg/sections.h"

namespace drawing::dwg {

namespace {

using namespace paged;

constexpr std::array<std::string_view, 4> kPagedReleases = {"AC1018", "AC1024", "AC1027", "AC1032"};
constexpr std::string_view kObjectsName = "AcDb:AcDbObjects";
constexpr std::string_view kHandlesName = "AcDb:Handles";

std::size_t alignedPageSize(std::size_t size) {
    return (size + kPageAlignment - 1) / kPageAlignment * kPageAlignment;
}

// AutoCAD fills the rest of a page with the bytes that mask the file header.
void padPage(std::string& page) {
    page += maskFileHeader(std::string(alignedPageSize(page.size()) - page.size(), '\0'));
}

// A page of the maps: its header, the data as one literal run, then (as AutoCAD writes them)
// an empty header of the same type.
std::string systemPage(std::uint32_t type, std::string_view data) {
    const std::string stream = literalStreamR2004(data);
    std::string header(kSystemPageHeaderSize, '\0');
    putLe32(header, 0, type);
    putLe32(header, 4, static_cast<std::uint32_t>(data.size()));
    putLe32(header, 8, static_cast<std::uint32_t>(stream.size()));
    putLe32(header, 12, kCompressedPages);
    putLe32(header, 16, pageChecksum(pageChecksum(0, header), stream));
    std::string empty(kSystemPageHeaderSize, '\0');
    putLe32(empty, 0, type);
    putLe32(empty, 12, kCompressedPages);
    return header + stream + empty;
}

// A data page of a replaced section, before it has its place in the file and its number.
struct NewPage {
    SectionDescription* section = nullptr;
    std::size_t index = 0;     // among the section's pages
    std::uint64_t offset = 0;  // in the section
    std::string stream;        // compressed
    std::size_t entry = 0;     // in the page map, once placed
};

class PagedWriter {
public:
    PagedWriter(std::string_view file, QString& problem) : m_file(file), m_problem(problem) {}

    std::optional<std::string> write(const ChangedSections& changed) {
        if (!read()) return std::nullopt;
        SectionDescription* objects = find(kObjectsName);
        SectionDescription* handles = find(kHandlesName);
        if (objects == nullptr || handles == nullptr) {
            m_problem = corruptSectionMap();
            return std::nullopt;
        }
        // The pages of every other section; the rest (the replaced sections', the old maps',
        // and those no section uses) are free.
        std::set<std::uint32_t> kept;
        for (const SectionDescription& section : m_layout.sections)
            if (&section != objects && &section != handles)
                for (const PageEntry& page : section.pages) kept.insert(page.number);
        cutSection(*objects, changed.objects);
        cutSection(*handles, changed.handles);
        if (!placePages(kept)) return std::nullopt;
        numberPages();
        const std::uint32_t sectionMapNumber = freeNumber();
        m_layout.entries[appendPage(systemPage(kSectionMapType, sectionMap()))].number =
            static_cast<std::int32_t>(sectionMapNumber);
        return finish(sectionMapNumber);
    }

private:
    bool read() {
        const bool known = m_file.size() >= kFirstPageAddress &&
                           std::find(kPagedReleases.begin(), kPagedReleases.end(),
                                     m_file.substr(0, 6)) != kPagedReleases.end();
        if (!known) {
            m_problem =
                QStringLiteral("the file is not an AC1018, AC1024, AC1027 or AC1032 drawing");
            return false;
        }
        // Nothing is written around a file the reader could only partly read.
        if (!readPagedSections(m_file, SectionOptions{}, m_problem) ||
            !paged::readLayout(m_file, true, m_layout, m_problem))
            return false;
        return true;
    }

    SectionDescription* find(std::string_view name) {
        for (SectionDescription& section : m_layout.sections)
            if (section.name == name) return &section;
        return nullptr;
    }

    // The section cut into pages of 0x7400 bytes, each compressed by itself.
    void cutSection(SectionDescription& section, std::string_view content) {
        constexpr std::uint32_t kPageSize = 0x7400;
        section.size = content.size();
        section.maxPageSize = kPageSize;
        section.compression = kCompressedPages;
        section.pages.clear();
        for (std::size_t offset = 0; offset < content.size(); offset += kPageSize) {
            std::string piece(content.substr(offset, kPageSize));
            // Readers cut the last page at the section's size.
            if (piece.size() < kMinLiteralRun) piece.resize(kMinLiteralRun, '\0');
            NewPage page{&section, section.pages.size(), offset, compressR2004(piece), 0};
            section.pages.push_back({0, static_cast<std::uint32_t>(page.stream.size()), offset});
            m_newPages.push_back(std::move(page));
        }
    }

    // A data page at `address` in a slot of `slot` bytes, padded to fill it.
    static std::string dataPage(const NewPage& page, std::uint64_t address, std::size_t slot) {
        std::string header(kDataPageHeaderSize, '\0');
        putLe32(header, 0, kDataPageType);
        putLe32(header, 4, page.section->id);
        putLe32(header, 8, static_cast<std::uint32_t>(page.stream.size()));
        putLe32(header, 12, static_cast<std::uint32_t>(slot));
        putLe64(header, 16, page.offset);
        const std::uint32_t dataChecksum = pageChecksum(0, page.stream);
        putLe32(header, kDataChecksumAt, dataChecksum);
        putLe32(header, kHeaderChecksumAt, pageChecksum(dataChecksum, header));
        std::string bytes = maskDataPageHeader(header, address) + page.stream;
        bytes += maskFileHeader(std::string(slot - bytes.size(), '\0'));
        return bytes;
    }

    static std::size_t slotOf(const NewPage& page) {
        return alignedPageSize(kDataPageHeaderSize + page.stream.size());
    }

    // Where the new pages go. The free pages that end the file are dropped (AutoCAD writes the
    // maps last). A run of free pages inside the file takes as many new pages as fit, the last
    // one's slot stretched to the end of the run, so that the pages behind keep their
    // addresses (which the first bytes of the file and other sections may hold). A run that
    // takes none keeps its old pages, listed in the page map but part of no section (a later
    // write may use them): marking them as gaps instead would mean writing nodes of AutoCAD's
    // free-space tree, whose meaning is not known well enough. The new pages that found no run
    // follow the kept ones.
    bool placePages(const std::set<std::uint32_t>& kept) {
        const auto isFree = [&kept](const PageMapEntry& entry) {
            return entry.number >= 0 && kept.count(static_cast<std::uint32_t>(entry.number)) == 0;
        };
        while (!m_layout.entries.empty() && isFree(m_layout.entries.back()))
            m_layout.entries.pop_back();
        const std::uint64_t end =
            m_layout.entries.empty()
                ? kFirstPageAddress
                : m_layout.entries.back().address + std::uint64_t{m_layout.entries.back().size};
        if (end > m_file.size()) {
            m_problem = truncated();
            return false;
        }
        m_out = std::string(m_file.substr(0, static_cast<std::size_t>(end)));

        std::vector<PageMapEntry> entries;
        std::vector<bool> placed(m_newPages.size(), false);
        for (std::size_t first = 0; first < m_layout.entries.size();) {
            std::size_t last = first;
            while (last < m_layout.entries.size() && isFree(m_layout.entries[last])) ++last;
            if (last == first) {
                entries.push_back(m_layout.entries[first++]);
                continue;
            }
            // The new pages that fit, in order, each where the one before ends.
            const std::uint64_t runEnd =
                m_layout.entries[last - 1].address + m_layout.entries[last - 1].size;
            std::uint64_t at = m_layout.entries[first].address;
            std::vector<std::size_t> fitting;
            for (std::size_t page = 0; page < m_newPages.size(); ++page) {
                if (placed[page] || at + slotOf(m_newPages[page]) > runEnd) continue;
                placed[page] = true;
                fitting.push_back(page);
                at += slotOf(m_newPages[page]);
            }
            if (fitting.empty()) {
                entries.insert(entries.end(),
                               m_layout.entries.begin() + static_cast<std::ptrdiff_t>(first),
                               m_layout.entries.begin() + static_cast<std::ptrdiff_t>(last));
            }
            at = m_layout.entries[first].address;
            for (const std::size_t page : fitting) {
                const std::uint64_t slot =
                    page == fitting.back() ? runEnd - at : slotOf(m_newPages[page]);
                m_out.replace(static_cast<std::size_t>(at), static_cast<std::size_t>(slot),
                              dataPage(m_newPages[page], at, static_cast<std::size_t>(slot)));
                m_newPages[page].entry = entries.size();
                entries.push_back({0, static_cast<std::uint32_t>(slot), at, {}});
                at += slot;
            }
            first = last;
        }
        m_layout.entries = std::move(entries);
        for (std::size_t page = 0; page < m_newPages.size(); ++page) {
            if (placed[page]) continue;
            const std::uint64_t address = m_out.size();
            m_newPages[page].entry =
                appendPage(dataPage(m_newPages[page], address, slotOf(m_newPages[page])));
        }
        return true;
    }

    // Appends a page (its number still to be set); its index in the page map.
    std::size_t appendPage(std::string page) {
        PageMapEntry entry;
        entry.address = m_out.size();
        entry.size = static_cast<std::uint32_t>(alignedPageSize(page.size()));
        m_out += page;
        padPage(m_out);
        m_layout.entries.push_back(entry);
        return m_layout.entries.size() - 1;
    }

    // The new pages take the lowest numbers the kept ones leave, so that writing the same
    // sections again gives the same file.
    void numberPages() {
        std::set<std::size_t> fresh;
        for (const NewPage& page : m_newPages) fresh.insert(page.entry);
        for (std::size_t at = 0; at < m_layout.entries.size(); ++at)
            if (fresh.count(at) == 0 && m_layout.entries[at].number >= 0)
                m_usedNumbers.insert(static_cast<std::uint32_t>(m_layout.entries[at].number));
        for (NewPage& page : m_newPages) {
            const std::uint32_t number = freeNumber();
            m_layout.entries[page.entry].number = static_cast<std::int32_t>(number);
            page.section->pages[page.index].number = number;
        }
    }

    std::uint32_t freeNumber() {
        while (m_usedNumbers.count(m_nextNumber) != 0) ++m_nextNumber;
        m_usedNumbers.insert(m_nextNumber);
        return m_nextNumber++;
    }

    std::string sectionMap() const {
        std::string map = m_layout.sectionMapHeader;
        for (const SectionDescription& section : m_layout.sections) {
            std::string description = section.stored;
            putLe64(description, 0, section.size);
            putLe32(description, 8, static_cast<std::uint32_t>(section.pages.size()));
            putLe32(description, 12, section.maxPageSize);
            putLe32(description, 20, section.compression);
            map += description;
            for (const PageEntry& page : section.pages) {
                std::string entry(kPageEntrySize, '\0');
                putLe32(entry, 0, page.number);
                putLe32(entry, 4, page.compressedSize);
                putLe64(entry, 8, page.offset);
                map += entry;
            }
        }
        return map;
    }

    // The page map (which lists itself, so its size is known before it is written: the
    // literal run's length depends on the data's length alone), the copy of the file header
    // after it, and the file header.
    std::optional<std::string> finish(std::uint32_t sectionMapNumber) {
        const std::uint32_t pageMapNumber = freeNumber();
        const std::uint64_t pageMapAddress = m_out.size();
        constexpr std::size_t kEntrySize = 8;
        std::size_t mapSize = kEntrySize;  // its own entry
        for (const PageMapEntry& entry : m_layout.entries)
            mapSize += kEntrySize + entry.gapTree.size();
        const std::size_t pageSize = alignedPageSize(
            systemPage(kPageMapType, std::string(mapSize, '\0')).size() + kEncryptedHeaderSize);
        m_layout.entries.push_back({static_cast<std::int32_t>(pageMapNumber),
                                    static_cast<std::uint32_t>(pageSize),
                                    pageMapAddress,
                                    {}});
        std::string map;
        std::uint32_t pageCount = 0;
        for (const PageMapEntry& entry : m_layout.entries) {
            std::string bytes(kEntrySize, '\0');
            putLe32(bytes, 0, static_cast<std::uint32_t>(entry.number));
            putLe32(bytes, 4, entry.size);
            map += bytes + entry.gapTree;
            if (entry.number >= 0) ++pageCount;
        }
        m_out += systemPage(kPageMapType, map);

        // The copy of the file header ends the file, inside the page map's page as AutoCAD
        // writes it.
        const std::uint64_t secondHeaderAddress = m_out.size();
        std::string header = m_layout.header;
        putLe32(header, kLastPageIdAt, pageMapNumber);
        putLe64(header, kLastPageEndAt, pageMapAddress + pageSize - kFirstPageAddress);
        putLe64(header, kSecondHeaderAt, secondHeaderAddress);
        putLe32(header, kPageCountAt, pageCount);
        putLe32(header, kPageMapIdAt, pageMapNumber);
        putLe64(header, kPageMapAddressAt, pageMapAddress - kFirstPageAddress);
        putLe32(header, kSectionMapIdAt, sectionMapNumber);
        // Readers take page numbers up to this one only.
        putLe32(header, kPageArraySizeAt, *m_usedNumbers.rbegin());
        putLe32(header, kEncryptedHeaderCrcAt, 0);
        putLe32(header, kEncryptedHeaderCrcAt, crc32(header));
        const std::string encrypted = maskFileHeader(header);
        m_out += encrypted;
        m_out.replace(kEncryptedHeaderAt, kEncryptedHeaderSize, encrypted);
        return std::move(m_out);
    }

    std::string_view m_file;
    QString& m_problem;
    Layout m_layout;  // its page map changes as the new pages take their place
    std::vector<NewPage> m_newPages;
    std::string m_out;
    std::set<std::uint32_t> m_usedNumbers;
    std::uint32_t m_nextNumber = 1;
};

}  // namespace

std::optional<std::string> rewritePagedFile(std::string_view file, const ChangedSections& sections,
                                            QString& problem) {
    problem.clear();
    return PagedWriter(file, problem).write(sections);
}

}  // namespace drawing::dwg
