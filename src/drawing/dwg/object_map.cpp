// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/object_map.h"

#include <algorithm>

#include "drawing/dwg/bit_reader.h"
#include "drawing/dwg/bit_writer.h"
#include "drawing/dwg/crc16.h"

namespace drawing::dwg {

namespace {

constexpr std::uint32_t kMaxSectionSize = 2040;
constexpr std::size_t kFlatSectionFill = 2031;
constexpr std::size_t kPagedSectionSize = 2032;

void appendCheckedSection(std::string& out, std::string section) {
    section[0] = static_cast<char>(section.size() >> 8);
    section[1] = static_cast<char>(section.size() & 0xFF);
    const std::uint16_t crc = crc16(section, 0xC0C1);
    out += section;
    out.push_back(static_cast<char>(crc >> 8));
    out.push_back(static_cast<char>(crc & 0xFF));
}

}  // namespace

std::optional<std::uint32_t> ObjectMap::find(std::uint64_t handle) const {
    const auto found = std::lower_bound(
        m_entries.begin(), m_entries.end(), handle,
        [](const Entry& entry, std::uint64_t value) { return entry.handle < value; });
    if (found == m_entries.end() || found->handle != handle) return std::nullopt;
    return found->offset;
}

std::string ObjectMap::write(const std::vector<Entry>& entries, bool pagedFile) {
    std::string out;
    std::size_t i = 0;
    while (i < entries.size()) {
        BitWriter section;
        section.rawShort(0);  // its size, set below
        std::uint64_t handle = 0;
        std::int64_t offset = 0;
        while (i < entries.size() && (pagedFile || section.bytes().size() - 2 < kFlatSectionFill)) {
            BitWriter pair;
            pair.modularChar(entries[i].handle - handle);
            pair.signedModularChar(std::int64_t{entries[i].offset} - offset);
            if (pagedFile && section.bytes().size() > 2 &&
                section.bytes().size() + pair.bytes().size() > kPagedSectionSize)
                break;
            section.copyBits(pair.bytes(), 0, pair.bitSize());
            handle = entries[i].handle;
            offset = entries[i].offset;
            ++i;
        }
        appendCheckedSection(out, section.bytes());
    }
    appendCheckedSection(out, std::string(2, '\0'));  // the empty last section
    return out;
}

void ObjectMap::move(std::uint64_t handle, std::uint32_t offset) {
    const auto found = std::lower_bound(
        m_entries.begin(), m_entries.end(), handle,
        [](const Entry& entry, std::uint64_t value) { return entry.handle < value; });
    if (found != m_entries.end() && found->handle == handle) found->offset = offset;
}

std::optional<ObjectMap> ObjectMap::read(std::string_view map, std::size_t objectsSize,
                                         bool verifyCheckValues, QString& problem) {
    const auto corrupt = [&problem](const QString& why) {
        problem = QStringLiteral("the object map is corrupt: %1").arg(why);
        return std::nullopt;
    };
    ObjectMap result;
    std::size_t at = 0;
    bool sorted = true;
    for (;;) {
        if (map.size() - at < 2) return corrupt(QStringLiteral("it has no last section"));
        // The section size is big-endian and counts its own two bytes.
        const std::uint32_t size = (std::uint32_t{static_cast<unsigned char>(map[at])} << 8) |
                                   static_cast<unsigned char>(map[at + 1]);
        if (size == 2) break;
        if (size < 2 || size > kMaxSectionSize || map.size() - at < std::size_t{size} + 2)
            return corrupt(QStringLiteral("a section has an invalid size"));
        const std::string_view section = map.substr(at, size);
        const std::uint16_t stored =
            static_cast<std::uint16_t>((static_cast<unsigned char>(map[at + size]) << 8) |
                                       static_cast<unsigned char>(map[at + size + 1]));
        if (verifyCheckValues && crc16(section, 0xC0C1) != stored)
            return corrupt(QStringLiteral("a section's check value does not match"));
        BitReader reader(section, 16, std::size_t{size} * 8);
        std::uint64_t handle = 0;
        std::int64_t offset = 0;
        while (reader.remaining() > 0) {
            handle += reader.modularChar();
            offset += reader.signedModularChar();
            if (reader.failed() || offset < 0 || offset >= static_cast<std::int64_t>(objectsSize))
                return corrupt(QStringLiteral("an object lies outside the file"));
            if (!result.m_entries.empty() && handle <= result.m_entries.back().handle)
                sorted = false;
            result.m_entries.push_back({handle, static_cast<std::uint32_t>(offset)});
        }
        at += std::size_t{size} + 2;
    }
    if (!sorted) {
        std::stable_sort(result.m_entries.begin(), result.m_entries.end(),
                         [](const Entry& a, const Entry& b) { return a.handle < b.handle; });
    }
    return result;
}

}  // namespace drawing::dwg
