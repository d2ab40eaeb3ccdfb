// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/r12_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "drawing/dwg/byte_order.h"
#include "drawing/dwg/crc16.h"
#include "drawing/dwg/file_header.h"
#include "drawing/dwg/record_names.h"
#include "drawing/ocs.h"
#include "drawing/space_order.h"
#include "drawing/string_pool.h"
#include "drawing/text_decoder.h"

namespace drawing::dwg {

namespace {

enum class OldRelease { R2_10, R2_6, R9, R10, R12 };

std::optional<OldRelease> oldReleaseOf(std::string_view head) {
    const std::string_view version = head.substr(0, 6);
    if (version == "AC1009") return OldRelease::R12;
    if (version == "AC1006") return OldRelease::R10;
    if (version == "AC1004") return OldRelease::R9;
    if (version == "AC1003") return OldRelease::R2_6;
    if (version == "AC2.10") return OldRelease::R2_10;
    return std::nullopt;
}

// The file header: where the entities lie, then one locator per table (record size, record
// count, flags, offset), then the header variables.
constexpr std::size_t kEntitiesAt = 0x14;
constexpr std::size_t kExtraEntitiesAt = 0x24;  // R11/R12
constexpr std::size_t kTablesAt = 0x2C;
constexpr std::size_t kTableLocatorSize = 10;
constexpr std::size_t kHeaderSize = 0x5E;
constexpr std::size_t kCodePageAt = 0x3F9;  // R11/R12: $DWGCODEPAGE as a number
constexpr std::uint16_t kCheckSeed = 0xC0C1;
enum Table { kBlockTable = 0, kLayerTable = 1, kLinetypeTable = 3 };
constexpr std::size_t kNameSize = 32;  // after the record's flag byte

constexpr unsigned kErased = 0x80;  // in the type byte
constexpr unsigned kInsert = 14;
constexpr unsigned kAttrib = 16;
constexpr unsigned kSeqEnd = 17;

// The entity's flag byte: which common fields it holds.
constexpr unsigned kHasColor = 0x01;
constexpr unsigned kHasLinetype = 0x02;
constexpr unsigned kHasElevation = 0x04;
constexpr unsigned kHasThickness = 0x08;
constexpr unsigned kHasHandle = 0x20;
constexpr unsigned kPaperSpace = 0x40;  // and an extra flag byte follows
constexpr unsigned kAttributesFollow = 0x80;
// The extra flag byte.
constexpr unsigned kHasExtendedData = 0x02;
constexpr unsigned kHasViewport = 0x04;
// An INSERT's option word: which of its fields are there.
constexpr unsigned kHasXScale = 0x01;
constexpr unsigned kHasYScale = 0x02;
constexpr unsigned kHasRotation = 0x04;
constexpr unsigned kHasZScale = 0x08;
constexpr unsigned kHasColumns = 0x10;
constexpr unsigned kHasRows = 0x20;
constexpr unsigned kHasColumnSpacing = 0x40;
constexpr unsigned kHasRowSpacing = 0x80;
constexpr unsigned kHasExtrusion = 0x100;

// Linetype numbers an entity gives instead of a table index, as the header's current
// linetype does.
constexpr unsigned kLinetypeByLayer = 256;
constexpr unsigned kLinetypeByBlock = 255;

// A table record's name: a fixed field ended by a zero byte.
std::string_view fixedName(std::string_view field) {
    const std::size_t end = field.find('\0');
    return end == std::string_view::npos ? field : field.substr(0, end);
}

// The fields of one entity, read in order; reading past its end leaves ok() false.
class Fields {
public:
    explicit Fields(std::string_view bytes) : m_bytes(bytes) {}
    bool ok() const { return m_ok; }
    unsigned byte() { return take(1) ? static_cast<unsigned char>(m_bytes[m_at - 1]) : 0; }
    unsigned word() { return take(2) ? le16(m_bytes, m_at - 2) : 0; }
    double real() {
        if (!take(8)) return 0;
        const std::uint64_t bits = le64(m_bytes, m_at - 8);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    std::string_view text() {
        const unsigned size = word();
        if (!take(size)) return {};
        return fixedName(m_bytes.substr(m_at - size, size));
    }
    void skip(std::size_t count) { take(count); }

private:
    bool take(std::size_t count) {
        if (!m_ok || count > m_bytes.size() - m_at) return m_ok = false;
        m_at += count;
        return true;
    }
    std::string_view m_bytes;
    std::size_t m_at = 0;
    bool m_ok = true;
};

// What every entity starts with.
struct EntityHead {
    unsigned flags = 0;
    unsigned options = 0;
    unsigned layer = 0;
    int color = 256;
    std::optional<unsigned> linetype;
    double elevation = 0;
    std::string handle;
};

class OldReader {
public:
    OldReader(std::string_view file, Drawing& drawing, OldRelease release, bool verify)
        : m_file(file),
          m_drawing(drawing),
          m_release(release),
          m_verify(verify),
          m_pool(m_decoder) {}

    QString run();

private:
    bool fail(const QString& why) {
        if (m_error.isEmpty()) m_error = why;
        return false;
    }
    static QString at(std::size_t offset) { return QString::number(offset); }
    bool checked(std::string_view bytes) const;
    bool readTable(int table, const char* what, std::vector<QString>& names);
    bool section(std::size_t start, std::size_t size, const char* what);
    bool walk(std::size_t start, std::size_t end);
    bool entityAt(std::size_t offset, std::size_t end, std::string_view& entity);
    bool readHead(Fields& fields, EntityHead& head) const;
    bool addInsert(std::string_view entity, std::size_t offset, std::size_t& next, std::size_t end);
    bool readAttrib(std::string_view entity, std::size_t offset);
    QString linetypeOf(const EntityHead& head) const;
    static QString nameAt(const std::vector<QString>& names, unsigned index) {
        return index < names.size() ? names[index] : QString();
    }

    std::string_view m_file;
    Drawing& m_drawing;
    OldRelease m_release;
    bool m_verify;
    QString m_error;
    TextDecoder m_decoder;
    StringPool m_pool;
    SpaceOrder m_spaces;
    std::vector<std::int32_t> m_spaceOfInsert;
    std::vector<QString> m_blocks;
    std::vector<QString> m_layers;
    std::vector<QString> m_linetypes;
};

QString OldReader::run() {
    m_drawing.release = QString::fromLatin1(m_file.data(), 6);
    if (m_file.size() < kHeaderSize) return QStringLiteral("the file header is truncated");
    if (m_release == OldRelease::R12) {
        if (m_file.size() < kCodePageAt + 2) return QStringLiteral("the file header is truncated");
        m_decoder.setCodePage(codePageName(le16(m_file, kCodePageAt)));
    }
    if (!readTable(kBlockTable, "block", m_blocks) || !readTable(kLayerTable, "layer", m_layers) ||
        !readTable(kLinetypeTable, "linetype", m_linetypes))
        return m_error;
    for (std::size_t i = 0; i < m_blocks.size(); ++i)
        m_blocks[i] = numberedAnonymous(m_blocks[i], i);

    const std::uint32_t start = le32(m_file, kEntitiesAt);
    const std::uint32_t end = le32(m_file, kEntitiesAt + 4);
    if (start < kHeaderSize || end < start || end > m_file.size())
        return QStringLiteral("the entity section is corrupt: it lies outside the file");
    if (!walk(start, end)) return m_error;
    if (m_release == OldRelease::R12) {
        // Entities added later may sit in a section of their own after the block entities.
        const std::uint32_t extraStart = le32(m_file, kExtraEntitiesAt);
        const std::uint32_t extraSize = le32(m_file, kExtraEntitiesAt + 4) & 0x00FFFFFFu;
        if (extraSize > 0) {
            if (extraStart < kHeaderSize || extraStart > m_file.size() ||
                extraSize > m_file.size() - extraStart)
                return QStringLiteral(
                    "the extra entity section is corrupt: it lies outside the file");
            if (!walk(extraStart, extraStart + extraSize)) return m_error;
        }
    }
    m_spaces.finish(m_drawing, m_spaceOfInsert);
    return {};
}

// R11/R12 end each record and entity with a check value; older releases have none.
bool OldReader::checked(std::string_view bytes) const {
    if (m_release != OldRelease::R12 || !m_verify) return true;
    return bytes.size() >= 2 &&
           crc16(bytes.substr(0, bytes.size() - 2), kCheckSeed) == le16(bytes, bytes.size() - 2);
}

bool OldReader::readTable(int table, const char* what, std::vector<QString>& names) {
    const std::size_t locator = kTablesAt + static_cast<std::size_t>(table) * kTableLocatorSize;
    const std::size_t recordSize = le16(m_file, locator);
    const std::size_t count = le16(m_file, locator + 2);
    const std::size_t begin = le32(m_file, locator + 6);
    const QString corrupt = QStringLiteral("the %1 table is corrupt").arg(QLatin1String(what));
    if (count == 0) return true;
    if (recordSize < 1 + kNameSize || begin < kHeaderSize || begin > m_file.size() ||
        count > (m_file.size() - begin) / recordSize)
        return fail(corrupt + QStringLiteral(": it lies outside the file"));
    names.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view record = m_file.substr(begin + i * recordSize, recordSize);
        if (!checked(record))
            return fail(corrupt + QStringLiteral(": record %1 fails its check").arg(i));
        names.push_back(m_pool.get(fixedName(record.substr(1, kNameSize))));
    }
    return true;
}

bool OldReader::entityAt(std::size_t offset, std::size_t end, std::string_view& entity) {
    if (end - offset < 4)
        return fail(QStringLiteral("the entity at byte %1 is cut off").arg(at(offset)));
    const std::size_t size = le16(m_file, offset + 2);
    // The size counts the whole entity from its type byte on.
    if (size < 4 || size > end - offset)
        return fail(
            QStringLiteral("the entity at byte %1 is corrupt: its size is wrong").arg(at(offset)));
    entity = m_file.substr(offset, size);
    return true;
}

bool OldReader::walk(std::size_t start, std::size_t end) {
    std::size_t offset = start;
    while (offset < end) {
        std::string_view entity;
        if (!entityAt(offset, end, entity)) return false;
        std::size_t next = offset + entity.size();
        const unsigned type = static_cast<unsigned char>(entity[0]);
        if (type == kInsert && !addInsert(entity, offset, next, end)) return false;
        offset = next;
    }
    return true;
}

bool OldReader::readHead(Fields& fields, EntityHead& head) const {
    fields.skip(4);  // type, flags' byte read below, size
    head.layer = fields.word();
    head.options = fields.word();
    unsigned extra = 0;
    if (head.flags & kPaperSpace) extra = fields.byte();
    if (extra & kHasExtendedData) fields.skip(fields.word());
    if (head.flags & kHasColor) head.color = static_cast<int>(fields.byte());
    // Linetype indices grew to two bytes in R11.
    if (head.flags & kHasLinetype)
        head.linetype = m_release == OldRelease::R12 ? fields.word() : fields.byte();
    if (head.flags & kHasElevation) head.elevation = fields.real();
    if (head.flags & kHasThickness) fields.skip(8);
    if (head.flags & kHasHandle) {
        const unsigned size = fields.byte();
        if (size > 8) return false;
        std::uint64_t value = 0;
        for (unsigned i = 0; i < size; ++i) value = (value << 8) | fields.byte();
        head.handle = hexHandle(value);
    }
    if (extra & kHasViewport) fields.skip(2);
    return fields.ok();
}

bool OldReader::addInsert(std::string_view entity, std::size_t offset, std::size_t& next,
                          std::size_t end) {
    const QString corrupt =
        QStringLiteral("the block reference at byte %1 is corrupt").arg(at(offset));
    Fields fields(entity);
    EntityHead head;
    head.flags = static_cast<unsigned char>(entity[1]);
    if (!readHead(fields, head)) return fail(corrupt);
    const unsigned block = fields.word();
    Point3 point{fields.real(), fields.real(), head.elevation};
    InsertRecord r;
    const unsigned options = head.options;
    if (options & kHasXScale) r.xScale = fields.real();
    if (options & kHasYScale) r.yScale = fields.real();
    if (options & kHasRotation) r.rotation = fields.real();
    if (options & kHasZScale) r.zScale = fields.real();
    const unsigned columns = options & kHasColumns ? fields.word() : 1;
    const unsigned rows = options & kHasRows ? fields.word() : 1;
    if (options & kHasColumnSpacing) fields.skip(8);
    if (options & kHasRowSpacing) fields.skip(8);
    Point3 extrusion{0, 0, 1};
    if (options & kHasExtrusion) extrusion = {fields.real(), fields.real(), fields.real()};
    if (!fields.ok() || !checked(entity)) return fail(corrupt);

    r.name = nameAt(m_blocks, block);
    r.layer = nameAt(m_layers, head.layer);
    r.linetype = linetypeOf(head);
    r.handle.assign(head.handle);
    r.insertion = ocsToWorld(point, extrusion);
    r.color = head.color;
    r.minsert = columns > 1 || rows > 1;
    r.attributesFollow = (head.flags & kAttributesFollow) != 0;
    const int space =
        head.flags & kPaperSpace ? m_spaces.activePaperSpace() : SpaceOrder::kModelSpace;
    r.paperSpace = space != SpaceOrder::kModelSpace;
    r.firstAttribute = static_cast<std::uint32_t>(m_drawing.attributes.size());
    if (r.attributesFollow) {
        // The attributes follow up to a SEQEND, erased ones among them passed over.
        while (next < end) {
            std::string_view following;
            if (!entityAt(next, end, following)) return false;
            const unsigned type = static_cast<unsigned char>(following[0]);
            if (type & kErased) {
                next += following.size();
                continue;
            }
            if (type == kAttrib) {
                if (!readAttrib(following, next)) return false;
                next += following.size();
                continue;
            }
            if (type == kSeqEnd) next += following.size();
            break;
        }
    }
    r.attributeCount = static_cast<std::uint32_t>(m_drawing.attributes.size()) - r.firstAttribute;
    if (m_drawing.inserts.size() >= UINT32_MAX - 1)
        return fail(QStringLiteral("too many block references"));
    m_drawing.inserts.push_back(std::move(r));
    m_spaceOfInsert.push_back(space);
    return true;
}

bool OldReader::readAttrib(std::string_view entity, std::size_t offset) {
    Fields fields(entity);
    EntityHead head;
    head.flags = static_cast<unsigned char>(entity[1]);
    const bool headRead = readHead(fields, head);
    fields.skip(16 + 8);  // alignment point, height
    const std::string_view value = fields.text();
    const std::string_view tag = fields.text();
    if (!headRead || !fields.ok() || !checked(entity))
        return fail(QStringLiteral("the attribute at byte %1 is corrupt").arg(at(offset)));
    if (m_drawing.attributes.size() >= UINT32_MAX - 1)
        return fail(QStringLiteral("too many attributes"));
    AttributeRecord a;
    a.tag = m_pool.get(tag);
    a.text = m_decoder.decode(value);
    a.handle.assign(head.handle);
    m_drawing.attributes.push_back(std::move(a));
    return true;
}

QString OldReader::linetypeOf(const EntityHead& head) const {
    static const QString byLayer = QStringLiteral("ByLayer");
    static const QString byBlock = QStringLiteral("ByBlock");
    if (!head.linetype) return byLayer;
    const unsigned index = *head.linetype;
    if (index < m_linetypes.size()) {
        const QString& name = m_linetypes[index];
        if (name.compare(u"BYLAYER", Qt::CaseInsensitive) == 0) return byLayer;
        if (name.compare(u"BYBLOCK", Qt::CaseInsensitive) == 0) return byBlock;
        return name;
    }
    if (index == kLinetypeByLayer) return byLayer;
    if (index == kLinetypeByBlock) return byBlock;
    return {};  // a linetype the table does not hold names nothing
}

}  // namespace

bool isR12FamilyRelease(std::string_view head) {
    return oldReleaseOf(head).has_value();
}

std::optional<std::uint64_t> r12FileExtent(std::string_view head, std::uint64_t fileSize,
                                           QString& problem) {
    const auto release = oldReleaseOf(head);
    auto refuse = [&](const QString& why) {
        problem = why;
        return std::nullopt;
    };
    if (!release)
        return refuse(QStringLiteral("the file is not a DWG file of a supported release"));
    std::uint64_t end = kHeaderSize;
    if (*release == OldRelease::R12) end = kCodePageAt + 2;
    if (fileSize < end || head.size() < end)
        return refuse(QStringLiteral("the file header is truncated"));
    const std::pair<int, const char*> tables[] = {
        {kBlockTable, "block"}, {kLayerTable, "layer"}, {kLinetypeTable, "linetype"}};
    for (const auto& [table, what] : tables) {
        const std::size_t locator = kTablesAt + static_cast<std::size_t>(table) * kTableLocatorSize;
        const std::uint64_t count = le16(head, locator + 2);
        const std::uint64_t begin = le32(head, locator + 6);
        const std::uint64_t tableEnd = begin + count * le16(head, locator);
        if (count == 0) continue;
        if (begin < kHeaderSize || tableEnd > fileSize)
            return refuse(QStringLiteral("the %1 table is corrupt: it lies outside the file")
                              .arg(QLatin1String(what)));
        end = std::max(end, tableEnd);
    }
    const std::uint32_t start = le32(head, kEntitiesAt);
    const std::uint32_t entitiesEnd = le32(head, kEntitiesAt + 4);
    if (start < kHeaderSize || entitiesEnd < start || entitiesEnd > fileSize)
        return refuse(QStringLiteral("the entity section is corrupt: it lies outside the file"));
    end = std::max<std::uint64_t>(end, entitiesEnd);
    if (*release == OldRelease::R12) {
        const std::uint64_t extraStart = le32(head, kExtraEntitiesAt);
        const std::uint64_t extraSize = le32(head, kExtraEntitiesAt + 4) & 0x00FFFFFFu;
        if (extraSize > 0) {
            if (extraStart < kHeaderSize || extraStart + extraSize > fileSize)
                return refuse(QStringLiteral(
                    "the extra entity section is corrupt: it lies outside the file"));
            end = std::max(end, extraStart + extraSize);
        }
    }
    return end;
}

QString readR12Dwg(std::string_view file, Drawing& drawing, bool verifyCheckValues) {
    const auto release = oldReleaseOf(file);
    if (!release) return QStringLiteral("the file is not a DWG file of a supported release");
    return OldReader(file, drawing, *release, verifyCheckValues).run();
}

}  // namespace drawing::dwg
