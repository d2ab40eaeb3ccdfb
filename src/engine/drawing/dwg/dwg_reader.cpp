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
#include "engine/drawing/dwg/sections.h"
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

std::optional<Release> releaseOf(std::string_view head) {
    const std::string_view version = head.substr(0, 6);
    if (version == "AC1015") return Release::R2000;
    if (version == "AC1018") return Release::R2004;
    if (version == "AC1021") return Release::R2007;
    if (version == "AC1024") return Release::R2010;
    if (version == "AC1027") return Release::R2013;
    if (version == "AC1032") return Release::R2018;
    return std::nullopt;
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
    QString openFlatFile();
    QString openSections();
    std::optional<RawObject> object(std::uint64_t handle);
    std::optional<RawObject> objectAt(std::uint32_t offset, QString& problem) const;
    bool readBlocks();
    void readLayout(const BlockHeaderObject& block, int space);
    bool readChain(const BlockHeaderObject& block, int space);
    bool readEntity(std::uint64_t handle, const BlockHeaderObject& block, int space,
                    EntityCommon& links);
    bool addInsert(const RawObject& raw, const BlockHeaderObject& block, int space,
                   EntityCommon& links);
    bool readAttributes(const InsertObject& insert);
    bool readAttribute(std::uint64_t handle, const InsertObject& insert, bool& ended,
                       std::uint64_t& next);
    QString entryName(std::uint64_t handle, int expectedType);
    QString linetypeName(const EntityCommon& entity);

    std::string_view m_file;
    Drawing& m_drawing;
    bool m_verify;
    Release m_release = Release::R2000;
    Sections m_sections;         // R2004 and later: the decompressed sections
    std::string_view m_objects;  // where the object map's offsets point into
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
    const auto release = releaseOf(m_file);
    if (!release) return QStringLiteral("the file is not a DWG file of a supported release");
    m_release = *release;
    m_drawing.release = QString::fromLatin1(m_file.data(), 6);
    const QString problem = m_release == Release::R2000 ? openFlatFile() : openSections();
    if (!problem.isEmpty()) return problem;
    if (!readBlocks()) return m_error;
    m_drawing.enumeration = m_spaces.enumerate(m_spaceOfInsert);
    return {};
}

// R2000: the sections lie in the file as written, located by the file header.
QString Reader::openFlatFile() {
    QString problem;
    const auto header = readFileHeader(m_file, m_verify, problem);
    if (!header) return problem;
    m_decoder.setCodePage(codePageName(header->codePage));
    const SectionLocation& where = header->objectMap;
    if (where.offset > m_file.size() || where.size > m_file.size() - where.offset)
        return QStringLiteral("the object map is corrupt: it lies beyond the end of the file");
    auto map =
        ObjectMap::read(m_file.substr(where.offset, where.size), m_file.size(), m_verify, problem);
    if (!map) return problem;
    m_map = std::move(*map);
    m_objects = m_file;
    m_layoutType = findClassNumber(m_file, header->classes, "LAYOUT");
    return {};
}

// R2004 and later: the sections are assembled from the file's pages first.
QString Reader::openSections() {
    QString problem;
    SectionOptions options;
    options.verifyCheckValues = m_verify;
    auto sections = m_release == Release::R2007 ? readR2007Sections(m_file, options, problem)
                                                : readPagedSections(m_file, options, problem);
    if (!sections) return problem;
    m_sections = std::move(*sections);
    // From R2007 texts are UTF-16 and reach the decoder as UTF-8.
    if (m_release < Release::R2007) m_decoder.setCodePage(codePageName(m_sections.codePage));
    m_objects = m_sections.objects;
    auto map = ObjectMap::read(m_sections.handles, m_objects.size(), m_verify, problem);
    if (!map) return problem;
    m_map = std::move(*map);
    // Without LAYOUT's class number any class-numbered object a block names as its layout is
    // read as one; one that is not fails to read and its layout is left unordered.
    m_layoutType =
        findClassNumber(m_sections.classes, m_release, m_sections.maintenanceRelease, "LAYOUT");
    return {};
}

std::optional<RawObject> Reader::objectAt(std::uint32_t offset, QString& problem) const {
    return readRawObject(m_objects, offset, m_release, m_verify, problem);
}

std::optional<RawObject> Reader::object(std::uint64_t handle) {
    const auto offset = m_map.find(handle);
    if (!offset) {
        fail(QStringLiteral("the object %1 is missing from the object map")
                 .arg(QString::fromStdString(hexHandle(handle))));
        return std::nullopt;
    }
    QString problem;
    auto raw = objectAt(*offset, problem);
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
        if (peekType(m_objects, entry.offset, m_release) != type::kBlockControl) continue;
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
    // Each LAYOUT serves one block; one named by several blocks is read for the first.
    if (block.layout == 0 || !m_layoutsRead.insert(block.layout).second) return;
    const auto offset = m_map.find(block.layout);
    QString ignored;
    const auto layout = offset ? objectAt(*offset, ignored) : std::nullopt;
    // Without a readable LAYOUT the tab order stays unknown: SpaceOrder then puts the
    // layout after those with one.
    const bool isLayout =
        layout && (layout->type == m_layoutType || layout->type == type::kLayout ||
                   (m_layoutType < 0 && layout->type >= type::kFirstClass));
    LayoutObject read;
    if (isLayout && dwg::readLayout(*layout, read)) m_spaces.addLayoutObject(read.tabOrder, record);
}

bool Reader::readChain(const BlockHeaderObject& block, int space) {
    EntityCommon links;
    if (m_release >= Release::R2004) {
        for (const std::uint64_t handle : block.entities)
            if (!readEntity(handle, block, space, links)) return false;
        return true;
    }
    std::uint64_t handle = block.firstEntity;
    while (handle != 0) {
        if (!readEntity(handle, block, space, links)) return false;
        if (handle == block.lastEntity) break;
        handle = links.next;
    }
    return true;
}

bool Reader::readEntity(std::uint64_t handle, const BlockHeaderObject& block, int space,
                        EntityCommon& links) {
    if (!m_visited.insert(handle).second)
        return fail(QStringLiteral("the entities of block %1 loop")
                        .arg(QString::fromStdString(hexHandle(block.common.handle))));
    const auto raw = object(handle);
    if (!raw) return false;
    links = EntityCommon{};
    if (raw->type == type::kInsert || raw->type == type::kMInsert)
        return addInsert(*raw, block, space, links);
    // Before R2004 every entity is opened for its link to the next; later ones need not be.
    if (m_release < Release::R2004 && !readEntityLinks(*raw, links))
        return fail(QStringLiteral("the entity %1 is corrupt")
                        .arg(QString::fromStdString(hexHandle(handle))));
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
    bool ended = false;
    std::uint64_t next = 0;
    if (m_release >= Release::R2004) {
        for (const std::uint64_t handle : insert.ownedAttributes) {
            if (!readAttribute(handle, insert, ended, next)) return false;
            if (ended) break;
        }
        return true;
    }
    std::uint64_t handle = insert.firstAttribute;
    while (handle != 0) {
        if (!readAttribute(handle, insert, ended, next)) return false;
        if (ended || handle == insert.lastAttribute) break;
        handle = next;
    }
    return true;
}

bool Reader::readAttribute(std::uint64_t handle, const InsertObject& insert, bool& ended,
                           std::uint64_t& next) {
    if (!m_visited.insert(handle).second)
        return fail(QStringLiteral("the attributes of block reference %1 loop")
                        .arg(QString::fromStdString(hexHandle(insert.common.handle))));
    const auto raw = object(handle);
    if (!raw) return false;
    if (raw->type == type::kSeqEnd) {
        ended = true;
        return true;
    }
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
    a.text =
        attrib.multiline ? m_decoder.decodeMText(attrib.value) : m_decoder.decode(attrib.value);
    a.handle.assign(hexHandle(attrib.common.handle));
    if (m_drawing.attributes.size() >= UINT32_MAX - 1)
        return fail(QStringLiteral("too many attributes"));
    m_drawing.attributes.push_back(std::move(a));
    next = attrib.common.next;
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

bool isReadableRelease(std::string_view head) {
    return releaseOf(head).has_value();
}

QString readDwg(std::string_view file, Drawing& drawing, const DwgOptions& options) {
    return Reader(file, drawing, options.verifyCheckValues).run();
}

}  // namespace drawing::dwg
