// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/flat_file_writer.h"

#include <cstdint>

#include "drawing/dwg/bit_writer.h"
#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/crc16.h"
#include "drawing/dwg/file_header.h"

namespace drawing::dwg {

namespace {

constexpr std::size_t kPreviewSeeker = 0x0D;
constexpr std::size_t kLocatorCount = 0x15;
constexpr std::size_t kLocatorStart = 0x19;
constexpr std::size_t kLocatorRecordSize = 9;
constexpr std::size_t kMaxSecondHeaderSections = 16;
constexpr std::size_t kMaxSecondHeaderHandles = 64;
constexpr std::string_view kSecondHeaderStart =
    "\xD4\x7B\x21\xCE\x28\x93\x9F\xBF\x53\x24\x40\x09\x12\x3C\xAA\x01";
constexpr std::string_view kPreviewStart =
    "\x1F\x25\x6D\x07\xD4\x36\x28\x28\x9D\x57\xCA\x3F\x9D\x44\x10\x2B";

// Where the bytes after the old object map went: everything from `from` on moved by `delta`.
struct Shift {
    std::uint32_t from = 0;
    std::int64_t delta = 0;
    std::uint32_t operator()(std::uint32_t at) const {
        return at >= from ? static_cast<std::uint32_t>(at + delta) : at;
    }
};

void putLe16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}

// The file header's locators and check value.
void updateFileHeader(std::string& file, const Shift& shift, std::uint32_t mapOffset,
                      std::uint32_t mapSize) {
    const std::uint32_t count = le32(file, kLocatorCount);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = kLocatorStart + i * kLocatorRecordSize;
        if (file[at] == 2) {
            putLe32(file, at + 1, mapOffset);
            putLe32(file, at + 5, mapSize);
        } else if (le32(file, at + 5) != 0) {
            putLe32(file, at + 1, shift(le32(file, at + 1)));
        }
    }
    putLe32(file, kPreviewSeeker, shift(le32(file, kPreviewSeeker)));
    const std::size_t crcAt = kLocatorStart + count * kLocatorRecordSize;
    putLe16(file, crcAt, fileHeaderCheckValue(std::string_view(file).substr(0, crcAt), count));
}

// The preview's table of images gives each one's address.
bool updatePreview(std::string& file, const Shift& shift, QString& problem) {
    const std::uint32_t at = le32(file, kPreviewSeeker);
    if (at < shift.from + shift.delta) return true;  // it did not move
    if (file.size() < at + 21 || std::string_view(file).substr(at, 16) != kPreviewStart) {
        problem = QStringLiteral("the preview image cannot be found");
        return false;
    }
    const unsigned count = static_cast<unsigned char>(file[at + 20]);
    if (file.size() < at + 21 + std::size_t{count} * 9) {
        problem = QStringLiteral("the preview image is truncated");
        return false;
    }
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = at + 21 + std::size_t{i} * 9;
        putLe32(file, entry + 1, shift(le32(file, entry + 1)));
    }
    return true;
}

// The second file header, which repeats the section locators; it is rewritten with the new
// ones and its check value, keeping its size so nothing after it moves. It is looked for in the
// old file, where no new text can look like its sentinel, and must say where it lies itself.
bool updateSecondHeader(std::string_view old, std::string& file, const Shift& shift,
                        std::uint32_t mapOffset, std::uint32_t mapSize, QString& problem) {
    const std::size_t oldStart = old.find(kSecondHeaderStart, kLocatorStart);
    if (oldStart == std::string_view::npos) return true;  // R13 before C3 has none
    const std::size_t start = shift(static_cast<std::uint32_t>(oldStart));
    if (file.size() < start + kSecondHeaderStart.size() ||
        std::string_view(file).substr(start, kSecondHeaderStart.size()) != kSecondHeaderStart) {
        problem = QStringLiteral("the second file header lies within the object map");
        return false;
    }
    const std::size_t body = start + kSecondHeaderStart.size();
    const auto fail = [&problem] {
        problem = QStringLiteral("the second file header is corrupt");
        return false;
    };
    BitReader in(file, body * 8, file.size() * 8);
    const std::uint32_t size = in.rawLong();
    const auto ownAddress = static_cast<std::uint32_t>(in.bitLong());
    const std::size_t fixedBegin = in.position();
    for (int i = 0; i < 13; ++i) in.rawChar();  // version, zeros, maintenance release
    in.bitShort();                              // the release number
    in.rawShort();                              // code page
    const std::size_t fixedEnd = in.position();
    const auto sections = static_cast<std::uint16_t>(in.bitShort());
    if (in.failed() || ownAddress != oldStart || sections > kMaxSecondHeaderSections ||
        size > file.size() - body)
        return fail();
    BitWriter out;
    out.rawLong(size);
    out.bitLong(static_cast<std::int32_t>(start));
    out.copyBits(file, fixedBegin, fixedEnd);
    out.bitShort(static_cast<std::int16_t>(sections));
    for (unsigned i = 0; i < sections; ++i) {
        const std::uint8_t number = in.rawChar();
        const auto address = static_cast<std::uint32_t>(in.bitLong());
        const auto length = static_cast<std::uint32_t>(in.bitLong());
        out.rawChar(number);
        if (number == 2) {
            out.bitLong(static_cast<std::int32_t>(mapOffset));
            out.bitLong(static_cast<std::int32_t>(mapSize));
        } else {
            out.bitLong(static_cast<std::int32_t>(length != 0 ? shift(address) : address));
            out.bitLong(static_cast<std::int32_t>(length));
        }
    }
    const std::size_t handlesBegin = in.position();
    const auto handles = static_cast<std::uint16_t>(in.bitShort());
    if (handles > kMaxSecondHeaderHandles) return fail();
    for (unsigned i = 0; i < handles; ++i) {
        const unsigned bytes = in.rawChar();
        in.rawChar();
        for (unsigned b = 0; b < bytes; ++b) in.rawChar();
    }
    if (in.failed()) return fail();
    out.copyBits(file, handlesBegin, in.position());
    out.padToByte();
    in.skipBits((8 - (in.position() & 7)) & 7);
    const std::size_t oldCrcAt = in.position() / 8;
    if (in.failed() || oldCrcAt + 2 > body + size) return fail();
    std::string written = out.bytes();
    if (written.size() != oldCrcAt - body) {
        problem = QStringLiteral("the second file header cannot hold the new locations");
        return false;
    }
    const std::uint16_t crc = crc16(written, 0xC0C1);
    file.replace(body, written.size(), written);
    putLe16(file, oldCrcAt, crc);
    return true;
}

}  // namespace

std::optional<std::string> rewriteFlatFile(std::string_view file, Release release,
                                           const std::vector<AttribEdit>& edits, QString& problem) {
    const auto header = readFileHeader(file, true, problem);
    if (!header) return std::nullopt;
    const SectionLocation& where = header->objectMap;
    if (where.offset > file.size() || where.size > file.size() - where.offset) {
        problem = QStringLiteral("the object map is corrupt: it lies beyond the end of the file");
        return std::nullopt;
    }
    auto map = ObjectMap::read(file.substr(where.offset, where.size), file.size(), true, problem);
    if (!map) return std::nullopt;
    // Objects after the map would move with what follows it, out of the map's reach.
    for (const ObjectMap::Entry& entry : map->entries()) {
        if (entry.offset >= where.offset) {
            problem = QStringLiteral("an object lies after the object map");
            return std::nullopt;
        }
    }
    auto edited =
        editAttributes(file.substr(0, where.offset), std::move(*map), release, edits, problem);
    if (!edited) return std::nullopt;
    const std::size_t mapEnd = std::size_t{where.offset} + where.size;
    const std::size_t newMapOffset = edited->objects.size();
    const std::size_t tail = newMapOffset + edited->map.size();
    if (tail + (file.size() - mapEnd) > 0x7FFFFFFF) {
        problem = QStringLiteral("the file would exceed the largest size a DWG file holds");
        return std::nullopt;
    }
    const Shift shift{static_cast<std::uint32_t>(mapEnd),
                      static_cast<std::int64_t>(tail) - static_cast<std::int64_t>(mapEnd)};
    std::string out = std::move(edited->objects);
    out += edited->map;
    out += file.substr(mapEnd);
    const auto mapOffset = static_cast<std::uint32_t>(newMapOffset);
    const auto mapSize = static_cast<std::uint32_t>(edited->map.size());
    updateFileHeader(out, shift, mapOffset, mapSize);
    if (!updatePreview(out, shift, problem) ||
        !updateSecondHeader(file, out, shift, mapOffset, mapSize, problem))
        return std::nullopt;
    return out;
}

}  // namespace drawing::dwg
