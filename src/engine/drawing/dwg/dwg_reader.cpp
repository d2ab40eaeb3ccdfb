#include "engine/drawing/dwg/dwg_reader.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/drawing/dwg/classes.h"
#include "engine/drawing/dwg/file_header.h"
#include "engine/drawing/dwg/object_map.h"
#include "engine/drawing/dwg/reference_objects.h"
#include "engine/drawing/dwg/table_objects.h"
#include "engine/drawing/ocs.h"
#include "engine/drawing/space_order.h"
#include "engine/drawing/string_pool.h"
#include "engine/drawing/text_decoder.h"

namespace drawing::dwg {

namespace {

// Upper-case hexadecimal without leading zeros, as DXF writes a handle.
std::string hexHandle(std::uint64_t handle) {
    char text[24];
    std::snprintf(text, sizeof text, "%llX", static_cast<unsigned long long>(handle));
    return text;
}

bool sameIgnoringCase(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

class Reader {
public:
    Reader(std::string_view file, Drawing& drawing, bool verify)
        : m_file(file), m_drawing(drawing), m_verify(verify), m_pool(m_decoder) {}

    QString run();

private:
    bool fail(const QString& why) {
        if (m_error.isEmpty()) m_error = why;
        return false;
    }
    std::optional<RawObject> object(std::uint64_t handle);
    bool readBlocks();
    void readLayout(const BlockHeaderObject& block, int space);
    bool readChain(const BlockHeaderObject& block, int space);
    bool addInsert(const RawObject& raw, const BlockHeaderObject& block, int space,
                   EntityCommon& links);
    bool readAttributes(const InsertObject& insert);
    QString entryName(std::uint64_t handle, int expectedType);
    QString linetypeName(const EntityCommon& entity);

    std::string_view m_file;
    Drawing& m_drawing;
    bool m_verify;
    QString m_error;
    ObjectMap m_map;
    int m_layoutType = -1;
    TextDecoder m_decoder;
    StringPool m_pool;
    SpaceOrder m_spaces;
    std::vector<std::int32_t> m_spaceOfInsert;
    std::unordered_map<std::uint64_t, QString> m_names;  // table entries by handle
    // Entities already met in an entity or attribute chain: each belongs to one chain, so a
    // second visit means a corrupt link, and the whole walk stays linear in the file.
    std::unordered_set<std::uint64_t> m_visited;
    std::unordered_set<std::uint64_t> m_layoutsRead;
};

QString Reader::run() {
    m_drawing.release = QStringLiteral("AC1015");
    QString problem;
    const auto header = readFileHeader(m_file, m_verify, problem);
    if (!header) return problem;
    m_decoder.setCodePage(codePageName(header->codePage));
    auto map = ObjectMap::read(m_file, header->objectMap, m_verify, problem);
    if (!map) return problem;
    m_map = std::move(*map);
    m_layoutType = findClassNumber(m_file, header->classes, "LAYOUT");
    if (!readBlocks()) return m_error;
    m_drawing.enumeration = m_spaces.enumerate(m_spaceOfInsert);
    return {};
}

std::optional<RawObject> Reader::object(std::uint64_t handle) {
    const auto offset = m_map.find(handle);
    if (!offset) {
        fail(QStringLiteral("the object %1 is missing from the object map")
                 .arg(QString::fromStdString(hexHandle(handle))));
        return std::nullopt;
    }
    QString problem;
    auto raw = readRawObject(m_file, *offset, m_verify, problem);
    if (!raw) fail(problem);
    return raw;
}

bool Reader::readBlocks() {
    // The block table's control object: the first BLOCK_CONTROL in handle order. Block
    // definitions are taken from it, never from the object map alone, which may still list
    // erased ones.
    BlockControlObject control;
    bool found = false;
    for (const ObjectMap::Entry& entry : m_map.entries()) {
        if (peekType(m_file, entry.offset) != type::kBlockControl) continue;
        const auto raw = object(entry.handle);
        if (!raw) return false;
        if (!readBlockControl(*raw, control))
            return fail(QStringLiteral("the block table is corrupt"));
        found = true;
        break;
    }
    if (!found) return fail(QStringLiteral("the drawing has no block table"));

    // Model space first, then the active paper space, then the other paper-space blocks in
    // table order; SpaceOrder sorts the layouts by their tab order at the end.
    std::vector<std::uint64_t> candidates{control.modelSpace, control.paperSpace};
    candidates.insert(candidates.end(), control.entries.begin(), control.entries.end());
    std::vector<std::pair<BlockHeaderObject, int>> spaces;
    std::unordered_set<std::uint64_t> listed;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        const std::uint64_t handle = candidates[i];
        // A block listed twice is read once: a crafted table must not make reading quadratic.
        if (handle == 0 || !listed.insert(handle).second) continue;
        const auto raw = object(handle);
        if (!raw) return false;
        BlockHeaderObject block;
        if (raw->type != type::kBlockHeader || !readBlockHeader(*raw, block))
            return fail(QStringLiteral("the block definition %1 is corrupt")
                            .arg(QString::fromStdString(hexHandle(handle))));
        const QString name = m_pool.get(block.name);
        m_names.emplace(block.common.handle, name);
        int space = SpaceOrder::kNotALayout;
        if (i == 0) {
            space = SpaceOrder::kModelSpace;
        } else if (i == 1) {
            space = m_spaces.activePaperSpace();
        } else if (name.startsWith(u"*Paper_Space", Qt::CaseInsensitive)) {
            // AutoCAD may name several paper-space blocks alike; each is its own layout.
            space = m_spaces.layoutOfBlock("*Paper_Space#" + hexHandle(block.common.handle));
        }
        if (space == SpaceOrder::kNotALayout) continue;
        if (space >= 0) readLayout(block, space);
        spaces.emplace_back(std::move(block), space);
    }
    for (const auto& [block, space] : spaces)
        if (!readChain(block, space)) return false;
    return true;
}

void Reader::readLayout(const BlockHeaderObject& block, int space) {
    const std::string record = hexHandle(block.common.handle);
    m_spaces.setBlockRecord(space, record);
    long long tabOrder = 0;
    // Each LAYOUT serves one block; one named by several blocks is read for the first.
    if (block.layout == 0 || !m_layoutsRead.insert(block.layout).second) return;
    const auto offset = m_map.find(block.layout);
    QString ignored;
    const auto layout = offset ? readRawObject(m_file, *offset, m_verify, ignored) : std::nullopt;
    // Without a readable LAYOUT the tab order stays unknown: SpaceOrder then puts the
    // layout after those with one.
    if (layout && (layout->type == m_layoutType || layout->type == type::kLayout) &&
        readLayoutTabOrder(*layout, tabOrder))
        m_spaces.addLayoutObject(tabOrder, record);
}

bool Reader::readChain(const BlockHeaderObject& block, int space) {
    std::uint64_t handle = block.firstEntity;
    while (handle != 0) {
        if (!m_visited.insert(handle).second)
            return fail(QStringLiteral("the entity chain of block %1 loops")
                            .arg(QString::fromStdString(hexHandle(block.common.handle))));
        const auto raw = object(handle);
        if (!raw) return false;
        EntityCommon links;
        if (raw->type == type::kInsert || raw->type == type::kMInsert) {
            if (!addInsert(*raw, block, space, links)) return false;
        } else if (!readEntityLinks(*raw, links)) {
            return fail(QStringLiteral("the entity %1 is corrupt")
                            .arg(QString::fromStdString(hexHandle(handle))));
        }
        if (handle == block.lastEntity) break;
        handle = links.next;
    }
    return true;
}

bool Reader::addInsert(const RawObject& raw, const BlockHeaderObject& block, int space,
                       EntityCommon& links) {
    InsertObject insert;
    if (!readInsert(raw, insert))
        return fail(QStringLiteral("the block reference %1 is corrupt")
                        .arg(QString::fromStdString(hexHandle(insert.common.handle))));
    links = insert.common;
    InsertRecord r;
    r.name = entryName(insert.block, type::kBlockHeader);
    r.layer = entryName(insert.common.layer, type::kLayer);
    r.linetype = linetypeName(insert.common);
    if (!m_error.isEmpty()) return false;
    r.handle.assign(hexHandle(insert.common.handle));
    r.ownerId = static_cast<qint64>(insert.common.mode == 0 && insert.common.owner != 0
                                        ? insert.common.owner
                                        : block.common.handle);
    r.insertion = ocsToWorld(insert.ocsPoint, insert.extrusion);
    r.rotation = insert.rotation;
    r.xScale = insert.xScale;
    r.yScale = insert.yScale;
    r.zScale = insert.zScale;
    r.linetypeScale = insert.common.linetypeScale;
    r.color = insert.common.color;
    r.lineweight = insert.common.lineweight;
    r.minsert = raw.type == type::kMInsert || insert.columns > 1 || insert.rows > 1;
    r.visible = !insert.common.invisible;
    r.hasExtensionDictionary = insert.common.hasExtensionDictionary;
    r.attributesFollow = insert.hasAttributes;
    r.paperSpace = space != SpaceOrder::kModelSpace;
    r.firstAttribute = static_cast<std::uint32_t>(m_drawing.attributes.size());
    if (insert.hasAttributes && !readAttributes(insert)) return false;
    r.attributeCount = static_cast<std::uint32_t>(m_drawing.attributes.size()) - r.firstAttribute;
    if (m_drawing.inserts.size() >= UINT32_MAX - 1)
        return fail(QStringLiteral("too many block references"));
    m_drawing.inserts.push_back(std::move(r));
    m_spaceOfInsert.push_back(space);
    return true;
}

bool Reader::readAttributes(const InsertObject& insert) {
    std::uint64_t handle = insert.firstAttribute;
    while (handle != 0) {
        if (!m_visited.insert(handle).second)
            return fail(QStringLiteral("the attributes of block reference %1 loop")
                            .arg(QString::fromStdString(hexHandle(insert.common.handle))));
        const auto raw = object(handle);
        if (!raw) return false;
        if (raw->type == type::kSeqEnd) break;
        if (raw->type != type::kAttrib)
            return fail(QStringLiteral("block reference %1 lists a non-attribute %2")
                            .arg(QString::fromStdString(hexHandle(insert.common.handle)),
                                 QString::fromStdString(hexHandle(handle))));
        AttribObject attrib;
        if (!readAttrib(*raw, attrib))
            return fail(QStringLiteral("the attribute %1 is corrupt")
                            .arg(QString::fromStdString(hexHandle(handle))));
        AttributeRecord a;
        a.tag = m_pool.get(attrib.tag);
        a.text = m_decoder.decode(attrib.value);
        a.handle.assign(hexHandle(attrib.common.handle));
        if (m_drawing.attributes.size() >= UINT32_MAX - 1)
            return fail(QStringLiteral("too many attributes"));
        m_drawing.attributes.push_back(std::move(a));
        if (handle == insert.lastAttribute) break;
        handle = attrib.common.next;
    }
    return true;
}

QString Reader::entryName(std::uint64_t handle, int expectedType) {
    const auto known = m_names.find(handle);
    if (known != m_names.end()) return known->second;
    const auto raw = object(handle);
    std::string name;
    if (!raw) return {};
    if (raw->type != expectedType || !readEntryName(*raw, name)) {
        fail(QStringLiteral("the table entry %1 is corrupt")
                 .arg(QString::fromStdString(hexHandle(handle))));
        return {};
    }
    QString decoded = m_pool.get(name);
    m_names.emplace(handle, decoded);
    return decoded;
}

QString Reader::linetypeName(const EntityCommon& entity) {
    static const QString byLayer = QStringLiteral("ByLayer");
    static const QString byBlock = QStringLiteral("ByBlock");
    static const QString continuous = QStringLiteral("Continuous");
    switch (entity.linetypeFlags) {
        case 0:
            return byLayer;
        case 1:
            return byBlock;
        case 2:
            return continuous;
        default:
            break;
    }
    const QString name = entryName(entity.linetype, type::kLinetype);
    if (sameIgnoringCase(name, "BYLAYER")) return byLayer;
    if (sameIgnoringCase(name, "BYBLOCK")) return byBlock;
    return name;
}

}  // namespace

QString readR2000(std::string_view file, Drawing& drawing, const R2000Options& options) {
    return Reader(file, drawing, options.verifyCheckValues).run();
}

}  // namespace drawing::dwg
