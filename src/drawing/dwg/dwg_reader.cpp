// SPDX-License-Identifier: GPL-3.0-or-later
#include "drawing/dwg/dwg_reader.h"

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "drawing/block_records.h"
#include "drawing/dwg/classes.h"
#include "drawing/dwg/file_header.h"
#include "drawing/dwg/object_map.h"
#include "drawing/dwg/r12_reader.h"
#include "drawing/dwg/record_names.h"
#include "drawing/dwg/reference_objects.h"
#include "drawing/dwg/round_trip.h"
#include "drawing/dwg/sections.h"
#include "drawing/dwg/table_objects.h"
#include "drawing/ocs.h"
#include "drawing/space_order.h"
#include "drawing/string_pool.h"
#include "drawing/text_decoder.h"

namespace drawing::dwg {

namespace {

bool sameIgnoringCase(const QString& a, const char* b) {
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

class Reader {
public:
    Reader(std::string_view file, Drawing& drawing, bool verify)
        : m_file(file), m_drawing(drawing), m_verify(verify), m_pool(m_decoder) {}

    QString run();

private:
    // What visiting one entity of a chain or list gives: go on with the next, the list's end
    // marker (SEQEND), a gap (an object the drawing no longer holds, or no entity), or a
    // failure that refuses the drawing.
    enum class Step { Next, End, Gap, Failed };
    using Visit = std::function<Step(std::uint64_t, const RawObject&, EntityCommon&)>;

    bool fail(const QString& why) {
        if (m_error.isEmpty()) m_error = why;
        return false;
    }
    QString openFlatFile();
    QString openSections();
    std::optional<RawObject> object(std::uint64_t handle);
    std::optional<RawObject> objectAt(std::uint32_t offset, QString& problem) const;
    bool isEntityType(int objectType) const;
    Step visitOne(std::uint64_t handle, const Visit& visit, EntityCommon& links,
                  std::uint64_t owner, const char* loop);
    bool walkList(const std::vector<std::uint64_t>& handles, const Visit& visit,
                  std::uint64_t owner, const char* loop);
    bool walkChain(std::uint64_t first, std::uint64_t last, const Visit& visit, std::uint64_t owner,
                   const char* loop);
    bool walkBack(std::uint64_t first, std::uint64_t gap, std::uint64_t last, const Visit& visit,
                  std::uint64_t owner, const char* loop);
    bool readBlocks();
    std::uint64_t dynamicBlockOf(const BlockHeaderObject& block, const QString& name);
    void readLayout(const BlockHeaderObject& block, int space);
    // Whether the extension dictionary `dictionary` (0: none) has a field in it.
    bool holdsField(std::uint64_t dictionary) const;
    bool readChain(const BlockHeaderObject& block, int space);
    Step readEntity(std::uint64_t handle, const RawObject& raw, const BlockHeaderObject& block,
                    int space, EntityCommon& links);
    bool addInsert(const RawObject& raw, const BlockHeaderObject& block, int space,
                   EntityCommon& links);
    bool readAttributes(const InsertObject& insert);
    Step readAttribute(std::uint64_t handle, const RawObject& raw, EntityCommon& links);
    QString entryName(std::uint64_t handle, int expectedType);
    std::string shownName(std::uint64_t extensionDictionary, std::string stored);
    QString linetypeName(const EntityCommon& entity);

    std::string_view m_file;
    Drawing& m_drawing;
    bool m_verify;
    Release m_release = Release::R2000;
    Sections m_sections;         // R2004 and later: the decompressed sections
    std::string_view m_objects;  // where the object map's offsets point into
    QString m_error;
    ObjectMap m_map;
    ClassTypes m_classes;
    TextDecoder m_decoder;
    StringPool m_pool;
    SpaceOrder m_spaces;
    BlockRecords m_blockRecords;
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
    const QString problem = m_release <= Release::R2000 ? openFlatFile() : openSections();
    if (!problem.isEmpty()) return problem;
    if (!readBlocks()) return m_error;
    m_spaces.finish(m_drawing, m_spaceOfInsert);
    return {};
}

// R13 to R2000: the sections lie in the file as written, located by the file header.
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
    m_classes = readClassTypes(m_file, header->classes);
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
    m_classes = readClassTypes(m_sections.classes, m_release, m_sections.maintenanceRelease);
    return {};
}

std::optional<RawObject> Reader::objectAt(std::uint32_t offset, QString& problem) const {
    return readRawObject(m_objects, offset, m_release, m_verify, problem);
}

// Nothing, and no error, when the object map does not list `handle`: real drawings name
// objects they no longer hold, and what is missing is skipped. An object that is listed but
// cannot be read is an error.
std::optional<RawObject> Reader::object(std::uint64_t handle) {
    const auto offset = m_map.find(handle);
    if (!offset) return std::nullopt;
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
        if (!raw) return fail(m_error);
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
        if (!m_error.isEmpty()) return false;
        // A block the drawing no longer holds, or an object of another kind, is no block.
        if (!raw || raw->type != type::kBlockHeader) continue;
        BlockHeaderObject block;
        if (!readBlockHeader(*raw, block))
            return fail(QStringLiteral("the block definition %1 is corrupt")
                            .arg(QString::fromStdString(hexHandle(handle))));
        const std::string shown = shownName(block.common.extensionDictionary, block.name);
        const QString name = m_release <= Release::R14 && i >= 2
                                 ? numberedAnonymous(m_pool.get(shown), i - 2)
                                 : m_pool.get(shown);
        m_names.emplace(block.common.handle, name);
        m_blockRecords.add(static_cast<qint64>(block.common.handle), name,
                           static_cast<qint64>(dynamicBlockOf(block, name)));
        if (!m_error.isEmpty()) return false;
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

std::uint64_t Reader::dynamicBlockOf(const BlockHeaderObject& block, const QString& name) {
    if (!name.startsWith(u"*U", Qt::CaseInsensitive)) return 0;
    for (const ExtendedData& data : block.extendedData) {
        if (entryName(data.application, type::kAppId) == QLatin1String(kBlockRepresentationApp))
            return firstHandleItem(data.items, m_release);
    }
    return 0;
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
        layout && (layout->type == m_classes.layout || layout->type == type::kLayout ||
                   (m_classes.layout < 0 && layout->type >= type::kFirstClass));
    LayoutObject read;
    if (isLayout && dwg::readLayout(*layout, read))
        m_spaces.addLayoutObject(read.tabOrder, record, m_decoder.decode(read.name));
}

bool Reader::isEntityType(int objectType) const {
    if (objectType >= type::kFirstClass)
        // Without the classes every numbered type may be an entity, as custom ones are.
        return m_classes.entities.empty() || m_classes.isEntity(objectType);
    return (objectType >= type::kText && objectType <= type::kXLine) ||
           (objectType >= type::kOleFrame && objectType <= type::kMLine) ||
           objectType == type::kOle2Frame || objectType == type::kLwPolyline ||
           objectType == type::kHatch || objectType == type::kProxyEntity;
}

Reader::Step Reader::visitOne(std::uint64_t handle, const Visit& visit, EntityCommon& links,
                              std::uint64_t owner, const char* loop) {
    if (!m_visited.insert(handle).second) {
        fail(QString::fromLatin1(loop).arg(QString::fromStdString(hexHandle(owner))));
        return Step::Failed;
    }
    const auto raw = object(handle);
    if (!m_error.isEmpty()) return Step::Failed;
    if (!raw || !isEntityType(raw->type)) return Step::Gap;
    links = EntityCommon{};
    return visit(handle, *raw, links);
}

bool Reader::walkList(const std::vector<std::uint64_t>& handles, const Visit& visit,
                      std::uint64_t owner, const char* loop) {
    for (const std::uint64_t handle : handles) {
        EntityCommon links;
        const Step step = visitOne(handle, visit, links, owner, loop);
        if (step == Step::Failed) return false;
        if (step == Step::End) break;
    }
    return true;
}

bool Reader::walkChain(std::uint64_t first, std::uint64_t last, const Visit& visit,
                       std::uint64_t owner, const char* loop) {
    std::uint64_t handle = first;
    while (handle != 0) {
        EntityCommon links;
        const Step step = visitOne(handle, visit, links, owner, loop);
        if (step == Step::Failed) return false;
        if (step == Step::End) return true;
        if (step == Step::Gap) return walkBack(first, handle, last, visit, owner, loop);
        if (handle == last) return true;
        handle = links.next;
    }
    return true;
}

// The chain is linked both ways: the entities after a gap are found from its other end,
// following the links back to the gap. Those beyond a second gap are lost.
bool Reader::walkBack(std::uint64_t first, std::uint64_t gap, std::uint64_t last,
                      const Visit& visit, std::uint64_t owner, const char* loop) {
    std::vector<std::uint64_t> tail;
    std::unordered_set<std::uint64_t> seen;
    for (std::uint64_t handle = last; handle != 0 && handle != gap && !m_visited.contains(handle) &&
                                      seen.insert(handle).second;) {
        const auto raw = object(handle);
        if (!m_error.isEmpty()) return false;
        EntityCommon links;
        if (!raw || !isEntityType(raw->type) || !readEntityLinks(*raw, links)) break;
        tail.push_back(handle);
        if (handle == first) break;
        handle = links.previous;
    }
    for (auto it = tail.rbegin(); it != tail.rend(); ++it) {
        EntityCommon links;
        const Step step = visitOne(*it, visit, links, owner, loop);
        if (step == Step::Failed) return false;
        if (step == Step::End) break;
    }
    return true;
}

bool Reader::readChain(const BlockHeaderObject& block, int space) {
    const Visit visit = [&](std::uint64_t handle, const RawObject& raw, EntityCommon& links) {
        return readEntity(handle, raw, block, space, links);
    };
    static constexpr const char* kLoop = "the entities of block %1 loop";
    if (m_release >= Release::R2004)
        return walkList(block.entities, visit, block.common.handle, kLoop);
    return walkChain(block.firstEntity, block.lastEntity, visit, block.common.handle, kLoop);
}

Reader::Step Reader::readEntity(std::uint64_t handle, const RawObject& raw,
                                const BlockHeaderObject& block, int space, EntityCommon& links) {
    if (raw.type == type::kInsert || raw.type == type::kMInsert)
        return addInsert(raw, block, space, links) ? Step::Next : Step::Failed;
    // Before R2004 every entity is opened for its link to the next; later ones need not be.
    if (m_release < Release::R2004 && !readEntityLinks(raw, links)) {
        fail(QStringLiteral("the entity %1 is corrupt")
                 .arg(QString::fromStdString(hexHandle(handle))));
        return Step::Failed;
    }
    return Step::Next;
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
    // Every block record is read before the first reference.
    r.effectiveName = m_blockRecords.effectiveNameOf(static_cast<qint64>(insert.block));
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
    const Visit visit = [&](std::uint64_t handle, const RawObject& raw, EntityCommon& links) {
        return readAttribute(handle, raw, links);
    };
    static constexpr const char* kLoop = "the attributes of block reference %1 loop";
    if (m_release >= Release::R2004)
        return walkList(insert.ownedAttributes, visit, insert.common.handle, kLoop);
    return walkChain(insert.firstAttribute, insert.lastAttribute, visit, insert.common.handle,
                     kLoop);
}

Reader::Step Reader::readAttribute(std::uint64_t handle, const RawObject& raw,
                                   EntityCommon& links) {
    if (raw.type == type::kSeqEnd) return Step::End;
    // Any other entity a reference lists is none of its attributes.
    if (raw.type != type::kAttrib) return Step::Gap;
    AttribObject attrib;
    if (!readAttrib(raw, attrib)) {
        fail(QStringLiteral("the attribute %1 is corrupt")
                 .arg(QString::fromStdString(hexHandle(handle))));
        return Step::Failed;
    }
    AttributeRecord a;
    a.tag = m_pool.get(attrib.tag);
    a.text =
        attrib.multiline ? m_decoder.decodeMText(attrib.value) : m_decoder.decode(attrib.value);
    a.handle.assign(hexHandle(attrib.common.handle));
    a.fromField = holdsField(attrib.common.extensionDictionary);
    if (m_drawing.attributes.size() >= UINT32_MAX - 1) {
        fail(QStringLiteral("too many attributes"));
        return Step::Failed;
    }
    m_drawing.attributes.push_back(std::move(a));
    links = attrib.common;
    return Step::Next;
}

bool Reader::holdsField(std::uint64_t dictionary) const {
    if (dictionary == 0) return false;
    const auto offset = m_map.find(dictionary);
    QString ignored;
    const auto raw = offset ? objectAt(*offset, ignored) : std::nullopt;
    return raw && raw->type == type::kDictionary && dictionaryEntry(*raw, "ACAD_FIELD") != 0;
}

QString Reader::entryName(std::uint64_t handle, int expectedType) {
    const auto known = m_names.find(handle);
    if (known != m_names.end()) return known->second;
    const auto raw = object(handle);
    if (!m_error.isEmpty()) return {};
    // An entry the drawing no longer holds, or an object of another kind, names nothing.
    if (!raw || raw->type != expectedType) return m_names.emplace(handle, QString()).first->second;
    std::string name;
    std::uint64_t dictionary = 0;
    if (!readEntryName(*raw, name, &dictionary)) {
        fail(QStringLiteral("the table entry %1 is corrupt")
                 .arg(QString::fromStdString(hexHandle(handle))));
        return {};
    }
    QString decoded = m_pool.get(shownName(dictionary, std::move(name)));
    m_names.emplace(handle, decoded);
    return decoded;
}

// R13 and R14 store table names in upper case; a drawing a later release saved down keeps
// the name that release shows beside it (round_trip.h), and that name is the one shown. The
// round-trip data is a courtesy: what cannot be read of it leaves the stored name.
std::string Reader::shownName(std::uint64_t extensionDictionary, std::string stored) {
    if (m_release > Release::R14 || extensionDictionary == 0) return stored;
    QString ignored;
    const auto dictionaryAt = m_map.find(extensionDictionary);
    const auto dictionary = dictionaryAt ? objectAt(*dictionaryAt, ignored) : std::nullopt;
    if (!dictionary || dictionary->type != type::kDictionary) return stored;
    const auto recordAt = m_map.find(dictionaryEntry(*dictionary, kRoundTripEntry));
    const auto record = recordAt ? objectAt(*recordAt, ignored) : std::nullopt;
    if (!record || (record->type != type::kXRecord && record->type != m_classes.xrecord))
        return stored;
    std::string shown = shownEntryName(*record, stored);
    return shown.empty() ? stored : shown;
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
    return releaseOf(head).has_value() || isR12FamilyRelease(head);
}

QString releaseName(std::string_view head) {
    struct Known {
        std::string_view version;
        const char* name;
    };
    static constexpr Known kReleases[] = {
        {"AC1.2", "1.2"},   {"AC1.40", "1.40"},    {"AC1.50", "2.0"},  {"AC2.10", "2.10"},
        {"AC1001", "2.2"},  {"AC1002", "2.5"},     {"AC1003", "2.6"},  {"AC1004", "R9"},
        {"AC1006", "R10"},  {"AC1009", "R11/R12"}, {"AC1012", "R13"},  {"AC1014", "R14"},
        {"AC1015", "2000"}, {"AC1018", "2004"},    {"AC1021", "2007"}, {"AC1024", "2010"},
        {"AC1027", "2013"}, {"AC1032", "2018"}};
    for (const Known& known : kReleases)
        if (head.substr(0, known.version.size()) == known.version)
            return QStringLiteral("AutoCAD %1").arg(QLatin1String(known.name));
    return {};
}

ReadExtent readExtent(std::string_view head, std::uint64_t fileSize) {
    ReadExtent extent;
    std::optional<std::uint64_t> bytes;
    if (isR12FamilyRelease(head)) {
        bytes = r12FileExtent(head, fileSize, extent.problem);
    } else if (const auto release = releaseOf(head); !release) {
        extent.problem = QStringLiteral("the file is not a DWG file of a supported release");
    } else if (*release <= Release::R2000) {
        bytes = flatFileExtent(head, fileSize, extent.problem);
    } else if (*release == Release::R2007) {
        bytes = r2007FileExtent(head, fileSize, extent.problem);
    } else {
        bytes = pagedFileExtent(head, fileSize, extent.problem);
    }
    if (bytes) extent.bytes = *bytes;
    return extent;
}

QString readDwg(std::string_view file, Drawing& drawing, const DwgOptions& options) {
    if (isR12FamilyRelease(file)) return readR12Dwg(file, drawing, options.verifyCheckValues);
    return Reader(file, drawing, options.verifyCheckValues).run();
}

}  // namespace drawing::dwg
